#pragma once

#include <string>
#include <utility>
#include <vector>

#include <kel/physicsdata/dependency/OptionMask.h>

namespace kel {

class Check;
class EvalContext;
class List;
class TARNContext;

// The availability record of one child object type of an object dependency definition:
// whether the child is required, a singleton, coupled to its parent, under which context
// rule selectors it applies, which checks make it available, and which lists give the
// names it may take and its default names.
//
// Records are built and filled only by their ObjDependDef, which owns them; callers get
// const pointers and use the public queries. Checks and lists are not owned: they belong
// to the physics data and must outlive the record. Copying copies the pointers. Not
// synchronised; evaluation runs on the caller's thread.
class ChildAvail {
public:
    const std::string& getType() const { return m_type; }
    bool isRequired() const { return m_required; }
    bool isSingleton() const { return m_singleton; }
    bool hasValidationRelaxed() const { return m_relaxedValidation; }
    // Coupled to the parent: required, declared coupled, or with restricted names.
    bool isCoupled() const { return m_coupled || m_allowedNameList != nullptr; }
    bool areNamesRestricted() const { return m_allowedNameList != nullptr; }
    bool anyDefaultNames() const { return m_defaultNameList != nullptr; }

    // True when every check passes (and when there is none). Checks run in the order
    // added and evaluation stops at the first that fails. Exceptions of a check pass
    // through.
    bool evaluate(const TARNContext& context, EvalContext* evalContext) const;

    // With an allowed-name (resp. default-name) list, `names` is replaced by the list's
    // values; without one it is left as it is.
    void evaluateAllowedNames(const TARNContext& context, EvalContext* evalContext,
                              std::vector<std::string>& names) const;
    void evaluateDefaultNames(const TARNContext& context, EvalContext* evalContext,
                              std::vector<std::string>& names) const;

    // The names of the checks, in order, duplicates kept.
    std::vector<std::string> getReferencedCheckNames() const;
    // The allowed-name list's name, then the default-name list's, each where set.
    std::vector<std::string> getReferencedListNames() const;

private:
    friend class ObjDependDef;
    friend struct AvailRecordTestAccess;

    // A required child is always coupled.
    ChildAvail(std::string type, bool singleton, bool required, bool coupled,
               bool relaxedValidation);

    void addAvailCheck(Check* check) { m_checks.push_back(check); }
    void setApplicableOptions(OptionMask&& options) { m_applicableOptions = std::move(options); }
    void setAllowedNameList(List* list) { m_allowedNameList = list; }
    void setDefaultNameList(List* list) { m_defaultNameList = list; }

    // Bit `selector` of the applicable options; the selector must be in range.
    bool matchOption(unsigned long long selector) const;

    std::string m_type;
    bool m_required;
    bool m_singleton;
    bool m_coupled;
    bool m_relaxedValidation;
    OptionMask m_applicableOptions;
    std::vector<Check*> m_checks;
    List* m_allowedNameList = nullptr;
    List* m_defaultNameList = nullptr;
};

}  // namespace kel
