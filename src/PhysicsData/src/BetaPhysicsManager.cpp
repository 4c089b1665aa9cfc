#include <kel/physicsdata/beta/BetaPhysicsManager.h>

#include <map>
#include <stdexcept>
#include <unordered_map>

#include <kel/physicschecks/BetaCheck.h>
#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicsdata/beta/BetaAvailCheckProxy.h>
#include <kel/physicsdata/beta/BetaLoggingController.h>
#include <kel/physicsdata/dependency/AvailData.h>
#include <kel/utilities/DependencyGraph.h>

namespace kel {

namespace {

// Node names of checks in the check/list dependency graph carry this prefix.
const std::string s_checkNodePrefix = "CHECK:";

}  // namespace

struct BetaPhysicsManager::ProxyRegistry {
    explicit ProxyRegistry(BetaLoggingController* controller) : loggingController(controller) {}

    // One proxy per distinct question; owned.
    std::map<AvailData, std::unique_ptr<BetaAvailCheckProxy>> proxies;
    // Beta checks and every check depending on one, by name; not owned. Only looked up by
    // name, once per availability question.
    std::unordered_map<std::string, Check*> betaDependentChecks;
    BetaLoggingController* loggingController;
};

BetaPhysicsManager::BetaPhysicsManager()
    : m_loggingController(std::make_unique<BetaLoggingController>()),
      m_registry(std::make_unique<ProxyRegistry>(m_loggingController.get())) {}

// The registry (and its proxies) goes before the controller they point to.
BetaPhysicsManager::~BetaPhysicsManager() {
    m_registry.reset();
}

BetaLoggingController* BetaPhysicsManager::getLoggingController() const {
    return m_loggingController.get();
}

void BetaPhysicsManager::enableBetaLogging() {
    m_loggingController->enableBetaLogging();
}

void BetaPhysicsManager::disableBetaLogging() {
    m_loggingController->disableBetaLogging();
}

void BetaPhysicsManager::addBetaCheck(const std::string& name, BetaCheck* check) {
    if (!check)
        throw std::invalid_argument("BetaPhysicsManager::addBetaCheck - no check given for \"" +
                                    name + "\".");
    m_betaCheckKeys.insert(s_checkNodePrefix + name);
    check->setBetaLogger(m_loggingController.get());
    m_registry->betaDependentChecks[name] = check;
}

void BetaPhysicsManager::setup(const CheckDataSource* source, const DependencyGraph& graph) {
    // One reverse traversal from the beta checks finds every node depending on one.
    for (const std::string& node : graph.getNamesDependingOn(m_betaCheckKeys)) {
        if (node.compare(0, s_checkNodePrefix.size(), s_checkNodePrefix) != 0) continue;
        if (!source)
            throw std::invalid_argument("BetaPhysicsManager::setup - no check data source given.");
        std::string name = node.substr(s_checkNodePrefix.size());
        m_registry->betaDependentChecks[name] = source->getCheck(name, true);
    }
}

Check* BetaPhysicsManager::getProxy(AvailData::Type type, const std::string& checkName,
                                    const std::string& subject, const std::string& value) const {
    ProxyRegistry& registry = *m_registry;
    // Names are never taken out of the dependent checks and a proxy is only made for one of
    // them, so a check outside them has no proxy: most questions end here, nothing copied.
    auto dependent = registry.betaDependentChecks.find(checkName);
    if (dependent == registry.betaDependentChecks.end()) return nullptr;

    AvailData question(type, checkName, subject, value);
    auto found = registry.proxies.find(question);
    if (found != registry.proxies.end()) return found->second.get();
    if (!dependent->second) return nullptr;

    auto proxy = std::make_unique<BetaAvailCheckProxy>(dependent->second,
                                                       registry.loggingController, question);
    Check* result = proxy.get();
    registry.proxies.emplace(std::move(question), std::move(proxy));
    return result;
}

Check* BetaPhysicsManager::getObjAvailCheck(const std::string& checkName,
                                            const std::string& objectType) const {
    return getProxy(AvailData::OBJ_AVAIL, checkName, objectType, std::string());
}

Check* BetaPhysicsManager::getParamAvailCheck(const std::string& checkName,
                                              const std::string& paramName) const {
    return getProxy(AvailData::PARAM_AVAIL, checkName, paramName, std::string());
}

Check* BetaPhysicsManager::getParamValAvailCheck(const std::string& checkName,
                                                 const std::string& paramName,
                                                 const std::string& value) const {
    return getProxy(AvailData::PARAM_VAL_AVAIL, checkName, paramName, value);
}

}  // namespace kel
