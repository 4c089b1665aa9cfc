#pragma once

namespace kel {

// Makes products of one type for a PhysicsFactory and destroys the ones it made.
// Owned by the factory it is registered with. Stateless creators are thread-safe.
template <class T>
class ProductCreator {
public:
    virtual ~ProductCreator() = default;
    virtual T* create() const = 0;
    virtual void destroy(T* product) const = 0;
};

}  // namespace kel
