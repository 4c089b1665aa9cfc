#include <kel/physicsdata/physics/PhysicsDataOptions.h>

#include <cstdlib>

#include <kel/physicsdata/store/DependencyStore.h>

namespace kel {

PhysicsDataOptions PhysicsDataOptions::fromEnvironment() {
    PhysicsDataOptions options;
    options.validate = std::getenv(DependencyStore::s_validateDataEnv) != nullptr;
    options.dumpUnused = std::getenv(DependencyStore::s_dumpUnusedEnv) != nullptr;
    return options;
}

}  // namespace kel
