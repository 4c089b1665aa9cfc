#pragma once

#include <memory>

namespace kel {

// Makes products of one type for a PhysicsFactory and destroys the ones it made.
// Owned by the factory it is registered with; a product is owned by whoever holds it and
// handed back to destroy when it is no longer wanted. Stateless creators are thread-safe.
template <class T>
class ProductCreator {
public:
    virtual ~ProductCreator() = default;
    virtual std::unique_ptr<T> create() const = 0;
    // Takes back a product this creator made and releases it.
    virtual void destroy(std::unique_ptr<T> product) const = 0;
};

}  // namespace kel
