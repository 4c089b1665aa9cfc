#pragma once

#include <memory>

#include <kel/physicschecks/ProductCreator.h>

namespace kel {

// The creator of products of class Concrete (default-constructible, derived from T).
template <class T, class Concrete>
class DefaultProductCreator : public ProductCreator<T> {
public:
    std::unique_ptr<T> create() const override { return std::make_unique<Concrete>(); }
    void destroy(std::unique_ptr<T> product) const override { product.reset(); }
};

}  // namespace kel
