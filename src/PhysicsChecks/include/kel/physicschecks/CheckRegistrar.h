#pragma once

#include <kel/physicschecks/PhysicsFactory.h>

namespace kel {

class Check;
class List;
class GlobalCheck;
class PhysicsFunctionStore;

// Registers every creator of the engine's catalogue in the three factories. A temporary:
// construct it, then discard it. Null factories are skipped. The function store is
// accepted for products that need it; none of the built-in creators keeps it.
class CheckRegistrar {
public:
    CheckRegistrar(PhysicsFactory<Check>* checks, PhysicsFactory<List>* lists,
                   PhysicsFactory<GlobalCheck>* globalChecks,
                   const PhysicsFunctionStore* functions);
};

}  // namespace kel
