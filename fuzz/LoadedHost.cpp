#include "LoadedHost.h"

namespace kel {

namespace {

ModelRules::ExtraRulesDef hostExtraRules() {
    ModelRules::ExtraRulesDef extra;
    extra.paramRules.stringRules = {"Quantity Type"};
    return extra;
}

std::unique_ptr<BetaPhysicsManager> makeBeta(bool withBeta) {
    if (!withBeta) return nullptr;
    auto beta = std::make_unique<BetaPhysicsManager>();
    beta->enableBetaLogging();
    return beta;
}

}  // namespace

LoadedHost::LoadedHost(const std::string& rulesText, const std::string& physicsText, bool withBeta)
    : rulesStore(rulesText, InternalTARNDatastore::TEXT),
      rules(&rulesStore, hostExtraRules()),
      physicsStore(physicsText, InternalTARNDatastore::TEXT),
      beta(makeBeta(withBeta)),
      physics(&physicsStore, &rules, &functions, beta.get()) {}

}  // namespace kel
