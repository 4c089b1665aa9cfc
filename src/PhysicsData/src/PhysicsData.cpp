#include <kel/physicsdata/physics/PhysicsData.h>

#include <stdexcept>
#include <string>

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/BetaCheck.h>
#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/CheckEngineSet.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/store/DependencyStore.h>
#include <kel/physicsdata/tools/DefaultPhysicsTARNAdaptor.h>
#include <kel/physicsutils/CompositeTARNDatastore.h>
#include <kel/physicsutils/PhysicsStrings.h>
#include <kel/physicsutils/RethrowLocated.h>
#include <kel/physicsutils/TARNDatastore.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/physicsutils/TARNPath.h>
#include <kel/utilities/DependencyGraph.h>
#include <kel/utilities/OperationTimer.h>
#include <kel/utilities/StringUtilities.h>

#include "CheckStoreAdaptor.h"
#include "DataLocator.h"

namespace kel {

namespace {

const std::string kCheckDataPath = "/PHYSICS/CHECK DATA";
const std::string kCheckType = "CHECK";
const std::string kListType = "LIST";
const std::string kGlobalCheckType = "GLOBAL CHECK";
const std::string kGlobalCheckRootList = "Global Check Root List";
const std::string kCheckNode = "CHECK:";
const std::string kListNode = "LIST:";

// The path of a child of the CHECK DATA folder, written into path; an unnamed child is
// "/TYPE".
const std::string& childPath(std::string& path, const std::string& type, const std::string& name) {
    path.assign(kCheckDataPath).append(1, '/').append(type);
    if (!name.empty()) path.append(1, ':').append(name);
    return path;
}

std::string childPath(const std::string& type, const std::string& name) {
    std::string path;
    path.reserve(kCheckDataPath.size() + type.size() + name.size() + 2);
    return childPath(path, type, name);
}

// Files checks and lists in the graph under their node names (CHECK:name, LIST:name), each
// with the checks and lists it names; the buffers serve one product after another.
class GraphFiler {
public:
    explicit GraphFiler(DependencyGraph& graph) : m_graph(graph) {}

    template <class Product>
    void add(const std::string& nodePrefix, const std::string& name, const Product& product) {
        m_node.assign(nodePrefix).append(name);
        const std::vector<std::string> checks = product.getCheckNamesDependOn();
        const std::vector<std::string> lists = product.getListNamesDependOn();
        m_deps.resize(checks.size() + lists.size());
        std::size_t at = 0;
        for (const auto& check : checks)
            m_deps[at++].assign(kCheckNode).append(check);
        for (const auto& list : lists)
            m_deps[at++].assign(kListNode).append(list);
        m_graph.addDependency(m_node, m_deps);
    }

private:
    DependencyGraph& m_graph;
    std::string m_node;
    std::vector<std::string> m_deps;
};

// Splits a path at its last "/" into (context, last component).
std::pair<std::string, std::string> splitAtLastSlash(const std::string& path,
                                                     const char* operation) {
    const auto pos = path.rfind('/');
    if (pos == std::string::npos) {
        throw std::out_of_range(std::string("PhysicsData::") + operation +
                                " - path has no \"/\": \"" + path + "\"");
    }
    return {path.substr(0, pos), path.substr(pos + 1)};
}

}  // namespace

// ---------------------------------------------------------------------------------------
// DataVerifyAdaptor

bool PhysicsData::DataVerifyAdaptor::isValidPath(const TARNPath& path) const {
    return m_rules->isValidPath(path);
}

bool PhysicsData::DataVerifyAdaptor::isValidType(const std::string& type) const {
    return m_rules->isValidType(type);
}

bool PhysicsData::DataVerifyAdaptor::isAllowedParamAll(const std::string& type,
                                                       const std::string& param) const {
    return m_rules->isAllowedParamAll(type, param);
}

int PhysicsData::DataVerifyAdaptor::verifyParamValue(const std::string& type,
                                                     const std::string& param,
                                                     const std::string& value) const {
    const TARNParam::Type paramType = getParamType(type, param);
    if (TARNParam::isLogicalType(paramType)) {
        return TARNParam::valueAsBool(value).second ? ValueOk : ValueBad;
    }
    if (TARNParam::isStringType(paramType)) {
        if (param == m_rules->getContextRuleParam(type)) {
            for (const auto& option : m_rules->getAllowedOptions(type))
                if (option == value) return ValueOk;
            return ValueBad;
        }
        return m_rules->isPossibleAllowedString(type, param, value) ? ValueOk : ValueBad;
    }
    return ValueNotCheckable;
}

TARNParam::Type PhysicsData::DataVerifyAdaptor::getParamType(const std::string& type,
                                                             const std::string& param) const {
    return m_rules->getParamType(type, param);
}

PhysicsData::DataVerifyAdaptor::~DataVerifyAdaptor() = default;

bool PhysicsData::DataVerifyAdaptor::isSingletonType(const std::string& type) const {
    return m_rules->isValidType(type) && m_rules->isSingleton(type);
}

// ---------------------------------------------------------------------------------------
// Construction

PhysicsData::PhysicsData(const TARNDatastore* physics, const ModelRules* rules,
                         const PhysicsFunctionStore* functions, BetaPhysicsManager* beta)
    : PhysicsData(physics, rules, functions, beta, PhysicsDataOptions::fromEnvironment()) {}

PhysicsData::PhysicsData(const TARNDatastore* physics, const ModelRules* rules,
                         const PhysicsFunctionStore* functions, BetaPhysicsManager* beta,
                         const PhysicsDataOptions& options)
    : m_physics(physics), m_rules(rules), m_functions(functions), m_beta(beta) {
    if (!m_physics || !m_rules) {
        throw PhysicsException("PhysicsData::PhysicsData - null input parameter.");
    }
    m_verify = std::make_unique<DataVerifyAdaptor>(m_rules);
    m_engine = std::make_shared<CheckEngineSet>(m_functions, m_verify.get());
    initialise(options);
}

PhysicsData::~PhysicsData() = default;

void PhysicsData::initialise(const PhysicsDataOptions& options) {
    OperationTimer timer("PhysicsData initialisation");
    // What the CHECKs and LISTs name, needed only until they are resolved: let go before
    // the dependency data is built.
    {
        DependencyGraph graph;
        GraphFiler filer(graph);

        std::string path;  // of each CHECK and LIST in turn

        timer.enterSection("...init Checks...");
        for (const auto& name : m_physics->getChildObjectNamesByType(kCheckDataPath, kCheckType)) {
            childPath(path, kCheckType, name);
            locatingErrors(*m_physics, path, [&] {
                const ParameterMap params = m_physics->getParameterMap(path);
                Check* check = m_engine->checks().create(name, params);
                filer.add(kCheckNode, name, *check);
                if (m_beta &&
                    parameterValue(params, PhysicsStrings::s_Type) == PhysicsStrings::s_Beta) {
                    auto* betaCheck = dynamic_cast<BetaCheck*>(check);
                    if (!betaCheck) {
                        throw std::runtime_error("Supposed Beta Check \"" + name +
                                                 "\" failed dynamic cast to BetaCheck.");
                    }
                    m_beta->addBetaCheck(name, betaCheck);
                }
            });
        }

        timer.enterSection("...init Lists...");
        for (const auto& name : m_physics->getChildObjectNamesByType(kCheckDataPath, kListType)) {
            childPath(path, kListType, name);
            locatingErrors(*m_physics, path, [&] {
                filer.add(kListNode, name,
                          *m_engine->lists().create(name, m_physics->getParameterMap(path)));
            });
        }

        timer.enterSection("...resolve Check/List dependencies...");
        initialiseChecks(graph);

        timer.enterSection("...initialise BetaManager...");
        if (m_beta) {
            CheckStoreAdaptor source(this, m_functions);
            m_beta->setup(&source, graph);
        }
    }

    timer.enterSection("...initialise GlobalChecks...");
    initialiseGlobalChecks();

    timer.enterSection("...initialise DEPENDENCIES data...");
    initialiseDependencies(options);
}

void PhysicsData::initialiseChecks(DependencyGraph& graph) {
    // Every CHECK and LIST made is a node of the graph, and nothing else is.
    const std::vector<std::string> nodes = graph.getNamesWithDependencies();

    std::vector<std::string> unknown;
    if (!graph.areNodeNamesKnown(nodes, unknown)) {
        throw PhysicsException(
            "PhysicsData::initialiseChecks - the following unrecognised objects are referenced "
            "in at least one existing CHECK or LIST: " +
            StringUtilities::vectorToString(unknown, ','));
    }
    std::string node;
    if (!graph.isAcyclic(node)) {
        throw PhysicsException(
            "PhysicsData::initialiseChecks - there are cyclic dependencies between the CHECK or "
            "LIST objects that have been defined. For example, the object \"" +
            node + "\" is in a cyclic subgraph.");
    }
    if (!graph.isDepthWithin(Check::s_maxNestingDepth, node)) {
        throw PhysicsException("PhysicsData::initialiseChecks - the object \"" + node +
                               "\" nests CHECK or LIST objects more than " +
                               std::to_string(Check::s_maxNestingDepth) +
                               " levels deep, the limit.");
    }

    CheckStoreAdaptor source(this, m_functions);
    std::string name;
    for (const auto& node : nodes) {
        const bool isCheck = node.compare(0, kCheckNode.size(), kCheckNode) == 0;
        name.assign(node, (isCheck ? kCheckNode : kListNode).size());
        locatingErrorsAt(
            *m_physics, [&] { return childPath(isCheck ? kCheckType : kListType, name); },
            [&] {
                if (isCheck)
                    m_engine->checks().get(name, true)->setUnresolved(&source);
                else
                    m_engine->lists().get(name, true)->setUnresolved(&source);
            });
    }
}

void PhysicsData::initialiseGlobalChecks() {
    CheckStoreAdaptor source(this, m_functions);
    for (const auto& name :
         m_physics->getChildObjectNamesByType(kCheckDataPath, kGlobalCheckType)) {
        const std::string path = childPath(kGlobalCheckType, name);
        locatingErrors(*m_physics, path, [&] {
            GlobalCheck* globalCheck =
                m_engine->globalChecks().create(name, m_physics->getParameterMap(path));
            globalCheck->setUnresolved(&source);
        });
    }
}

void PhysicsData::initialiseDependencies(const PhysicsDataOptions& options) {
    // The RULES fill in what the PHYSICS data leaves out; the real data wins.
    DefaultPhysicsTARNAdaptor defaults(m_physics, m_rules);
    CompositeTARNDatastore composite(m_physics, false);
    composite.compose(&defaults, false, nullptr);

    CheckStoreAdaptor source(this, m_functions);
    m_dependencyStore = std::make_unique<DependencyStore>(&composite, m_rules, &source, options);

    if (m_physics->hasParameter(kCheckDataPath, kGlobalCheckRootList)) {
        m_globalCheckRoots =
            m_physics->getParameterValueAsList(kCheckDataPath, kGlobalCheckRootList);
    }
}

// ---------------------------------------------------------------------------------------
// Queries

Check* PhysicsData::getCheck(const std::string& name, bool mustExist) const {
    return m_engine->checks().get(name, mustExist);
}

List* PhysicsData::getList(const std::string& name, bool mustExist) const {
    return m_engine->lists().get(name, mustExist);
}

GlobalCheck* PhysicsData::getGlobalCheck(const std::string& name, bool mustExist) const {
    return m_engine->globalChecks().get(name, mustExist);
}

std::vector<std::string> PhysicsData::getCheckNames() const {
    return m_engine->checks().getNames();
}

std::vector<std::string> PhysicsData::getListNames() const {
    return m_engine->lists().getNames();
}

std::vector<std::string> PhysicsData::getGlobalCheckNames() const {
    return m_engine->globalChecks().getNames();
}

Check* PhysicsData::getObjAvailCheck(const std::string& checkName, const std::string& type,
                                     bool mustExist) const {
    if (m_beta) {
        if (Check* proxy = m_beta->getObjAvailCheck(checkName, type)) return proxy;
    }
    return getCheck(checkName, mustExist);
}

Check* PhysicsData::getParamAvailCheck(const std::string& checkName, const std::string& param,
                                       bool mustExist) const {
    if (m_beta) {
        if (Check* proxy = m_beta->getParamAvailCheck(checkName, param)) return proxy;
    }
    return getCheck(checkName, mustExist);
}

Check* PhysicsData::getParamValAvailCheck(const std::string& checkName, const std::string& param,
                                          const std::string& value, bool mustExist) const {
    if (m_beta) {
        if (Check* proxy = m_beta->getParamValAvailCheck(checkName, param, value)) return proxy;
    }
    return getCheck(checkName, mustExist);
}

const ObjDependDef* PhysicsData::getObjDependDef(const std::string& typePath,
                                                 bool mustExist) const {
    const auto [context, type] = splitAtLastSlash(typePath, "getObjDependDef");
    return m_dependencyStore->getObjDependDef(context, type, mustExist);
}

const ParamValueDef* PhysicsData::getParamValueDef(const std::string& context,
                                                   const std::string& name, bool mustExist) const {
    return m_dependencyStore->getParamValueDef(context, name, mustExist);
}

std::vector<std::string> PhysicsData::getRequiredParams(const std::string& objectPath) const {
    return getObjDependDef(TARNPath(objectPath).getTypePath(), true)->getOrderedReqParamNames();
}

std::vector<std::string> PhysicsData::getOptionalParams(const std::string& objectPath) const {
    return getObjDependDef(TARNPath(objectPath).getTypePath(), true)->getOrderedOptParamNames();
}

std::vector<std::string> PhysicsData::findEquivObjContexts(const std::string& typePath) const {
    const auto [context, type] = splitAtLastSlash(typePath, "findEquivObjContexts");
    return m_dependencyStore->findEquivObjContexts(context, type);
}

std::vector<std::string> PhysicsData::findEquivParamContexts(const std::string& path) const {
    const auto [context, name] = splitAtLastSlash(path, "findEquivParamContexts");
    return m_dependencyStore->findEquivParamContexts(context, name);
}

bool PhysicsData::isValidObjPath(const std::string& objectPath) const {
    const TARNPath path(objectPath);
    if (!m_rules->isValidPath(path)) return false;
    const std::string typePath = path.getTypePath();
    const auto pos = typePath.rfind('/');
    if (pos == std::string::npos) return false;
    return m_dependencyStore->getObjDependDef(typePath.substr(0, pos), path.getLastType(), false) !=
           nullptr;
}

bool PhysicsData::isValidParamPath(const std::string& paramPath) const {
    const auto pos = paramPath.rfind('/');
    if (pos == std::string::npos) return false;
    const TARNPath objectPath(paramPath.substr(0, pos));
    if (!m_rules->isValidPath(objectPath)) return false;
    return m_dependencyStore->getParamValueDef(objectPath.getTypePath(), paramPath.substr(pos + 1),
                                               false) != nullptr;
}

}  // namespace kel
