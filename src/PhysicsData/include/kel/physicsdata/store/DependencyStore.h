#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <kel/utilities/NonCopyable.h>

namespace kel {

class AvailabilityCheckDataSource;
class ModelRules;
class ObjDependDef;
class ParamValueDef;
class TARNDatastore;
struct PhysicsDataOptions;

// Every object dependency definition (ObjDependDef) and parameter value definition
// (ParamValueDef) of the "/PHYSICS/DEPENDENCIES" data, each filed under the parent
// contexts (type paths of the parent, "" for a child of ROOT) in which it applies.
//
// The constructor does all the work: it runs the object dependency parser, then the
// parameter value parser, and, when the environment variable "KEL_PHYSICS_VALIDATE_DATA"
// exists (any value), cross-checks object and parameter definitions and the context of
// every check, throwing one PhysicsException that lists every problem found. With
// "KEL_PHYSICS_DUMP_UNUSED" set as well, it writes the unused-physics report (RULES items
// the data leaves unused) to standard output. A failed constructor leaves no store.
//
// Ownership: the datastore and the data source are used during construction only; the
// ModelRules is kept by pointer and must outlive the store. The checks and lists the
// definitions point to belong to the data source's owner and must outlive the store.
// Definition pointers handed out are valid while the store lives.
//
// Read-only after construction; queries take no locks and are safe from one thread at a
// time (the rules model fills caches).
class DependencyStore : private NonCopyable {
public:
    static const char* const s_validateDataEnv;  // "KEL_PHYSICS_VALIDATE_DATA"
    static const char* const s_dumpUnusedEnv;    // "KEL_PHYSICS_DUMP_UNUSED"

    DependencyStore(const TARNDatastore* ds, const ModelRules* rules,
                    const AvailabilityCheckDataSource* source);
    // The same with the switches given by the host instead of read from the environment.
    DependencyStore(const TARNDatastore* ds, const ModelRules* rules,
                    const AvailabilityCheckDataSource* source, const PhysicsDataOptions& options);
    virtual ~DependencyStore();

    // The object definition of `type` in parent context `context`; null on a miss, or a
    // PhysicsException "... no data to match requested context ..." with mustExist.
    const ObjDependDef* getObjDependDef(const std::string& context, const std::string& type,
                                        bool mustExist) const;
    // The value definition of parameter `name` for an object at type path `context`.
    const ParamValueDef* getParamValueDef(const std::string& context, const std::string& name,
                                          bool mustExist) const;

    // The parent contexts sharing the definition found for (context, type / name), among
    // every candidate context of the type / parameter: empty when there is none there;
    // ["All Valid Contexts"] when no candidate holds another definition; ["Default"] when
    // the definition serves a data's "Default" contexts; else the sharing contexts.
    std::vector<std::string> findEquivObjContexts(const std::string& context,
                                                  const std::string& type) const;
    std::vector<std::string> findEquivParamContexts(const std::string& context,
                                                    const std::string& name) const;

    // Clears and fills each non-null set with the names of every check / list that any
    // definition refers to.
    void getRefdCheckAndListNames(std::set<std::string>* checks,
                                  std::set<std::string>* lists) const;
    // Calls onCheck / onList (each when set) with the name of every check / list that a
    // definition refers to, once per reference: a name may come many times, in no set
    // order. For callers that only test names, without building sets. The name is valid
    // during the call.
    using NameVisitor = std::function<void(const std::string&)>;
    void forEachRefdCheckAndListName(const NameVisitor& onCheck, const NameVisitor& onList) const;

    // How many distinct object / parameter value definitions the store holds.
    std::size_t countObjDependDefs() const;
    std::size_t countParamValueDefs() const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kel
