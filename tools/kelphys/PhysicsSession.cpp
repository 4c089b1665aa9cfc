#include "PhysicsSession.h"

#include <cstdlib>

namespace kel::tool {

const char* const PhysicsSession::s_quantityType = "Quantity Type";

namespace {

ModelRules::ExtraRulesDef extraRules() {
    ModelRules::ExtraRulesDef extra;
    extra.paramRules.stringRules.push_back(PhysicsSession::s_quantityType);
    return extra;
}

}  // namespace

PhysicsSession::PhysicsSession(const std::string& rulesFile, const std::string& physicsFile,
                               const PhysicsDataOptions& options)
    : m_rulesData(rulesFile, InternalTARNDatastore::FILE),
      m_physicsData(physicsFile, InternalTARNDatastore::FILE),
      m_rules(std::make_unique<ModelRules>(&m_rulesData, extraRules())) {
    m_beta.enableBetaLogging();
    m_physics = std::make_unique<PhysicsData>(&m_physicsData, m_rules.get(), &m_functions, &m_beta,
                                              options);
}

void PhysicsSession::setEnvironment(const char* name) {
    ::setenv(name, "1", 1);
}

}  // namespace kel::tool
