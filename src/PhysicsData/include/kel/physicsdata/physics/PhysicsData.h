#pragma once

#include <memory>
#include <string>
#include <vector>

#include <kel/physicschecks/DataVerifyInterface.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class BetaPhysicsManager;
class Check;
class CheckEngineSet;
class DependencyGraph;
class DependencyStore;
class GlobalCheck;
class List;
class ModelRules;
class ObjDependDef;
class ParamValueDef;
class PhysicsFunctionStore;
class TARNDatastore;

// The physics knowledge of one PHYSICS data set over one RULES model: every CHECK, LIST
// and GLOBAL CHECK of "/PHYSICS/CHECK DATA", wired together, and the dependency
// definitions of "/PHYSICS/DEPENDENCIES" filed by parent context.
//
// The constructor does all the work in one call: it creates the check engine objects,
// rejects references to unknown names and cycles among checks and lists, resolves every
// reference, sets up the beta manager (when given), creates the global checks and builds
// the dependency store (which validates the data against the RULES when the environment
// variable "KEL_PHYSICS_VALIDATE_DATA" exists, and with "KEL_PHYSICS_DUMP_UNUSED" too
// prints the unused-physics report). Any failure throws (PhysicsException or
// std::runtime_error) and leaves no object. Afterwards only queries run.
//
// Paths: an object path is "/TYPE:name/..." from the root; a type path keeps only the
// types. Operations that split a path split at its last "/": the part before is the
// parent context, the part after the type or parameter name; a path without "/" throws
// std::out_of_range.
//
// Ownership: the datastore, the rules, the function store and the beta manager belong to
// the host. The datastore is read only during construction; the others must outlive the
// PhysicsData and everything obtained from it. The PhysicsData owns its dependency store and its
// verify adaptor; it holds the check engine set (factories, stores and every check, list
// and global check) through a shared pointer, so checks, lists and definitions obtained
// from it stay valid while the PhysicsData lives, or longer for checks when the host keeps
// the set through shareCheckEngineSet. The beta manager keeps pointers to the beta checks
// and to the checks depending on them: once the PhysicsData is gone (or its constructor
// failed) and the set is not shared, the manager must not hand out availability checks
// again.
//
// Thread-safety: none. Queries may fill caches in the rules and the beta manager, so one
// PhysicsData is used from one thread at a time.
class PhysicsData : private NonCopyable {
public:
    // What the check engine asks of the RULES while it initialises products.
    class DataVerifyAdaptor : public DataVerifyInterface {
    public:
        explicit DataVerifyAdaptor(const ModelRules* rules) : m_rules(rules) {}

        bool isValidPath(const TARNPath& path) const override;
        bool isValidType(const std::string& type) const override;
        bool isAllowedParamAll(const std::string& type, const std::string& param) const override;
        // Logical parameters: 1 when the value is not a logical word. String parameters:
        // the context rule parameter must hold one of the type's allowed options, any
        // other string parameter a possible allowed string (else 1). Other types: 2.
        int verifyParamValue(const std::string& type, const std::string& param,
                             const std::string& value) const override;
        TARNParam::Type getParamType(const std::string& type,
                                     const std::string& param) const override;
        ~DataVerifyAdaptor() override;
        bool isSingletonType(const std::string& type) const override;

    private:
        const ModelRules* m_rules;
    };

    // physics and rules must not be null; functions may be null (no RHS functions) and
    // beta may be null (no beta handling). Validation and the unused-physics report are
    // switched by the environment (PhysicsDataOptions::fromEnvironment).
    PhysicsData(const TARNDatastore* physics, const ModelRules* rules,
                const PhysicsFunctionStore* functions, BetaPhysicsManager* beta);
    // The same with the switches given by the host; the environment is not read.
    PhysicsData(const TARNDatastore* physics, const ModelRules* rules,
                const PhysicsFunctionStore* functions, BetaPhysicsManager* beta,
                const PhysicsDataOptions& options);
    virtual ~PhysicsData();

    const ModelRules* getRules() const { return m_rules; }
    const PhysicsFunctionStore* getFunctionStore() const { return m_functions; }
    BetaPhysicsManager* getBetaManager() const { return m_beta; }

    // Store look-ups: null for an unknown name, or std::runtime_error
    // "<Kind> of name <name> not known." with mustExist.
    Check* getCheck(const std::string& name, bool mustExist) const;
    List* getList(const std::string& name, bool mustExist) const;
    GlobalCheck* getGlobalCheck(const std::string& name, bool mustExist) const;
    // All names of a store, in ascending order.
    std::vector<std::string> getCheckNames() const;
    std::vector<std::string> getListNames() const;
    std::vector<std::string> getGlobalCheckNames() const;

    // The check deciding one availability question: the beta manager's proxy when it has
    // one for the question, otherwise getCheck(checkName, mustExist).
    Check* getObjAvailCheck(const std::string& checkName, const std::string& type,
                            bool mustExist) const;
    Check* getParamAvailCheck(const std::string& checkName, const std::string& param,
                              bool mustExist) const;
    Check* getParamValAvailCheck(const std::string& checkName, const std::string& param,
                                 const std::string& value, bool mustExist) const;

    // The object dependency definition of a type path ("/A/B": context "/A", type "B").
    const ObjDependDef* getObjDependDef(const std::string& typePath, bool mustExist) const;
    // The value definition of parameter `name` of objects whose type path is `context`.
    const ParamValueDef* getParamValueDef(const std::string& context, const std::string& name,
                                          bool mustExist) const;

    // Required / optional parameter names, in order, of the object at an object path; the
    // definition for its type path must exist (else PhysicsException).
    std::vector<std::string> getRequiredParams(const std::string& objectPath) const;
    std::vector<std::string> getOptionalParams(const std::string& objectPath) const;

    // The parent contexts sharing the definition found for a type path or parameter type
    // path: ["All Valid Contexts"], ["Default"], the list, or empty when none is found.
    std::vector<std::string> findEquivObjContexts(const std::string& typePath) const;
    std::vector<std::string> findEquivParamContexts(const std::string& path) const;

    // True when the RULES accept the path and the PHYSICS data defines it.
    bool isValidObjPath(const std::string& objectPath) const;
    bool isValidParamPath(const std::string& paramPath) const;

    // The "Global Check Root List" of "/PHYSICS/CHECK DATA", as written; empty without it.
    const std::vector<std::string>& getPertinentGlobalCheckRoots() const {
        return m_globalCheckRoots;
    }

    const DependencyStore& getDependencyStore() const { return *m_dependencyStore; }
    // Shares ownership of the check engine set, for hosts that keep checks longer. Once
    // the PhysicsData is gone its stores may be read but must not create products.
    std::shared_ptr<CheckEngineSet> shareCheckEngineSet() const { return m_engine; }

private:
    void initialise(const PhysicsDataOptions& options);
    void initialiseChecks(DependencyGraph& graph);
    void initialiseGlobalChecks();
    void initialiseDependencies(const PhysicsDataOptions& options);

    const TARNDatastore* m_physics;
    const ModelRules* m_rules;
    const PhysicsFunctionStore* m_functions;
    BetaPhysicsManager* m_beta;
    // Declaration order fixes destruction order: the dependency store (whose definitions
    // point to checks) goes first, then the engine set, then the verify adaptor.
    std::unique_ptr<DataVerifyAdaptor> m_verify;
    std::shared_ptr<CheckEngineSet> m_engine;
    std::unique_ptr<DependencyStore> m_dependencyStore;
    std::vector<std::string> m_globalCheckRoots;
};

}  // namespace kel
