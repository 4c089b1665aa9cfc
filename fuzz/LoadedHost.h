#pragma once

#include <memory>
#include <string>

#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

namespace kel {

// What a host holds after start-up, loaded from RULES and PHYSICS text: the stores, the
// RULES model (with "Quantity Type" among the parameter string rules), the function store,
// optionally a beta manager (beta enabled, logging on) and the physics data. Members are
// declared in the order they are built; the constructor throws what the library throws
// and leaves nothing behind. Used from one thread at a time, like the library's objects.
struct LoadedHost {
    LoadedHost(const std::string& rulesText, const std::string& physicsText, bool withBeta);

    InternalTARNDatastore rulesStore;
    ModelRules rules;
    InternalTARNDatastore physicsStore;
    PhysicsFunctionStore functions;
    std::unique_ptr<BetaPhysicsManager> beta;
    PhysicsData physics;
};

}  // namespace kel
