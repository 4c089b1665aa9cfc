#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace kel {

class CheckDataSource;
class ObjDependDef;
class ParamValueDef;

// Finds the checks and lists of dependency definitions that lack context where they are
// evaluated. A check or list may require object types (its getRequiredContext) to be on
// the evaluated object's path; only the RULES' named object types on the object path
// (the object itself and its ancestors) can provide them. For one object path the
// verifier reports every check and list of a definition whose required context that path
// does not hold.
//
// Each finding is two consecutive lines: a subject line such as
//   "Availability of child " + type + " depends on CHECK " + name
// and a context line
//   " [ Unsatisfied context: " + missing types, ascending, joined with ',' + " ]".
//
// The verifier changes nothing; it throws only what the data source throws for a name it
// does not hold (every name is resolved with mustExist set), and then returns no lines.
//
// Ownership: the data source is not owned and must outlive the verifier. Copies share the
// source. Const operations keep no state beyond a cache of the last object path's named
// types, and may be used from one thread at a time (the source's look-ups decide further
// thread-safety).
class ContextVerifier {
public:
    // namedTypes: the RULES' named object types (ModelRules::getNamedObjectTypes).
    ContextVerifier(const std::vector<std::string>& namedTypes, const CheckDataSource* source);

    // Lines for the checks and lists that decide the availability of the definition's
    // children and parameters, for an object at type path `typePath` (context + "/" +
    // the definition's type): children's checks, children's lists, parameters' checks,
    // parameters' lists, each group in ascending subject order and, per subject, in the
    // order of the record's checks.
    std::vector<std::string> verifyObjDependChecks(const std::string& typePath,
                                                   const ObjDependDef* def) const;

    // Lines for the checks, then the lists, that the parameter value definition refers
    // to; the subject is the parameter's name.
    std::vector<std::string> verifyParamValChecks(const std::string& typePath,
                                                  const ParamValueDef* def) const;

private:
    using Strings = std::vector<std::string>;
    // The named types an object path holds, ascending, each once: views into m_lastPath.
    using Available = std::vector<std::string_view>;
    using WarnOp = void (ContextVerifier::*)(const std::string& subject, const std::string& name,
                                             const Strings& missing, Strings& lines) const;

    struct Pass;

    bool isNamedType(const std::string& type) const;
    // Those of `typePath`; valid until the next call. A definition's checks and its
    // parameters' are verified for one object path after another, so the last is kept.
    const Available& namedTypesFromTypePath(const std::string& typePath) const;

    void warnChildCheck(const std::string& subject, const std::string& name, const Strings& missing,
                        Strings& lines) const;
    void warnChildList(const std::string& subject, const std::string& name, const Strings& missing,
                       Strings& lines) const;
    void warnParamCheck(const std::string& subject, const std::string& name, const Strings& missing,
                        Strings& lines) const;
    void warnParamList(const std::string& subject, const std::string& name, const Strings& missing,
                       Strings& lines) const;
    void warnParamValCheck(const std::string& subject, const std::string& name,
                           const Strings& missing, Strings& lines) const;
    void warnParamValList(const std::string& subject, const std::string& name,
                          const Strings& missing, Strings& lines) const;

    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const noexcept {
            return std::hash<std::string_view>{}(name);
        }
    };
    std::unordered_set<std::string, NameHash, std::equal_to<>> m_namedTypes;
    const CheckDataSource* m_dataSource;
    mutable std::string m_lastPath;
    mutable Available m_lastAvailable;
    mutable bool m_lastValid = false;
};

}  // namespace kel
