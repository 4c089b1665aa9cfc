#pragma once

#include <memory>
#include <set>
#include <string>

#include <kel/physicsdata/beta/BetaLoggingController.h>
#include <kel/physicsdata/dependency/AvailData.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class BetaCheck;
class Check;
class CheckDataSource;
class DependencyGraph;

// Knows which checks are beta checks and which depend on one, and hands out, per
// availability question decided by such a check, a BetaAvailCheckProxy that finds out
// whether the answer depends on beta and keeps the beta messages for that question in the
// logging controller.
//
// Use: the host creates the manager and passes it to the physics data, which calls
// addBetaCheck for every beta check while creating checks and setup once the check/list
// dependency graph is complete. Afterwards the get*AvailCheck operations give the proxy
// for a question, or null when its check does not depend on beta (the caller then uses the
// plain check). The same question always gives the same proxy.
//
// Owns its controller and its proxies; proxies and the controller live until the manager
// is destroyed, so the manager must outlive every physics data and check using it. The
// registered checks are not owned and must outlive the manager's use. The getters are
// const but fill the proxy registry. Not copyable. Not thread-safe.
class BetaPhysicsManager : private NonCopyable {
public:
    BetaPhysicsManager();
    ~BetaPhysicsManager();

    // The owned controller: message queries and the global beta switch.
    BetaLoggingController* getLoggingController() const;
    void enableBetaLogging();
    void disableBetaLogging();

    // Registers a beta check under its name and gives it the controller as its logger.
    void addBetaCheck(const std::string& name, BetaCheck* check);

    // Registers every check that depends, directly or not, on a registered beta check,
    // taking it from the source (must exist: a missing name propagates the source's
    // exception). Nodes of the graph that are not "CHECK:" nodes are never registered.
    void setup(const CheckDataSource* source, const DependencyGraph& graph);

    // Proxy for the question (check name, subject[, value]), or null when the check is
    // neither a beta check nor depends on one. Owned by the manager.
    Check* getObjAvailCheck(const std::string& checkName, const std::string& objectType) const;
    Check* getParamAvailCheck(const std::string& checkName, const std::string& paramName) const;
    Check* getParamValAvailCheck(const std::string& checkName, const std::string& paramName,
                                 const std::string& value) const;

private:
    struct ProxyRegistry;

    // The proxy for the question (kind, check name, subject, value), made on first use.
    Check* getProxy(AvailData::Type type, const std::string& checkName, const std::string& subject,
                    const std::string& value) const;

    std::unique_ptr<BetaLoggingController> m_loggingController;
    std::set<std::string> m_betaCheckKeys;
    std::unique_ptr<ProxyRegistry> m_registry;
};

}  // namespace kel
