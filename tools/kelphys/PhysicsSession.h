#pragma once

#include <memory>
#include <string>

#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/utilities/NonCopyable.h>

namespace kel::tool {

// What a host builds at start-up, as the check and query commands need it: the RULES
// model (with "Quantity Type" among the parameter string rules), a BetaPhysicsManager
// with logging on, and the PhysicsData over the PHYSICS file.
//
// The constructor reads both files and builds everything, or throws the library's
// exception unchanged (nothing is left behind). Members are declared so that the
// PhysicsData goes before the beta manager, the function store, the rules and the
// datastores it points to. Not copyable; single-threaded like the library.
class PhysicsSession : private NonCopyable {
public:
    // The extra rule the tool reads for every parameter.
    static const char* const s_quantityType;  // "Quantity Type"

    // Without options the library's environment switches apply.
    PhysicsSession(const std::string& rulesFile, const std::string& physicsFile,
                   const PhysicsDataOptions& options = PhysicsDataOptions::fromEnvironment());

    const ModelRules& rules() const { return *m_rules; }
    const PhysicsData& physics() const { return *m_physics; }
    BetaPhysicsManager& beta() { return m_beta; }

    // Sets an environment variable of this process (the library's switches are read from
    // the environment while the PhysicsData is built).
    static void setEnvironment(const char* name);

private:
    InternalTARNDatastore m_rulesData;
    InternalTARNDatastore m_physicsData;
    std::unique_ptr<ModelRules> m_rules;
    PhysicsFunctionStore m_functions;
    BetaPhysicsManager m_beta;
    std::unique_ptr<PhysicsData> m_physics;
};

}  // namespace kel::tool
