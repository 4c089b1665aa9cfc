#pragma once

namespace kel {

// What the engine's own checks tell each other beyond the Check interface: whether a
// check's result may be cached (it depends only on the model and the object evaluated).
// Checks from elsewhere are treated as not cacheable.
class CatalogueProduct {
public:
    virtual bool isCacheable() const = 0;

protected:
    ~CatalogueProduct() = default;
};

}  // namespace kel
