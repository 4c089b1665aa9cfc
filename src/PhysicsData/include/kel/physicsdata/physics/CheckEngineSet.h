#pragma once

#include <kel/physicschecks/PhysicsFactory.h>
#include <kel/physicschecks/ProductStore.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class Check;
class DataVerifyInterface;
class GlobalCheck;
class List;
class PhysicsFunctionStore;

// The check engine objects of one physics data set: a factory per product class (Check,
// List, GlobalCheck), filled with the engine's catalogue on construction, and a product
// store per class over that factory.
//
// Ownership and lifetime: the set owns its factories, its stores and, through the stores,
// every check, list and global check created in it. Stores are destroyed before their
// factories. The function store and the verify interface are not owned; the verify
// interface is used only while products are created, so it must outlive every call of a
// store's create. PhysicsData holds its set through a shared pointer: a host that needs
// checks beyond the PhysicsData's life can keep the set alive (PhysicsData::shareCheckEngineSet).
//
// Not thread-safe.
class CheckEngineSet : private NonCopyable {
public:
    CheckEngineSet(const PhysicsFunctionStore* functions, DataVerifyInterface* verify);
    ~CheckEngineSet();

    ProductStore<Check>& checks() { return m_checks; }
    ProductStore<List>& lists() { return m_lists; }
    ProductStore<GlobalCheck>& globalChecks() { return m_globalChecks; }
    const ProductStore<Check>& checks() const { return m_checks; }
    const ProductStore<List>& lists() const { return m_lists; }
    const ProductStore<GlobalCheck>& globalChecks() const { return m_globalChecks; }

private:
    // Declared before the stores: members are destroyed in reverse order, and a store
    // hands its products back to its factory when it dies.
    PhysicsFactory<Check> m_checkFactory;
    PhysicsFactory<List> m_listFactory;
    PhysicsFactory<GlobalCheck> m_globalCheckFactory;
    ProductStore<Check> m_checks;
    ProductStore<List> m_lists;
    ProductStore<GlobalCheck> m_globalChecks;
};

}  // namespace kel
