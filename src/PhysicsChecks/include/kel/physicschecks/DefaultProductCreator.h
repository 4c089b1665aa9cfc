#pragma once

#include <kel/physicschecks/ProductCreator.h>

namespace kel {

// The creator of products of class Concrete (default-constructible, derived from T).
template <class T, class Concrete>
class DefaultProductCreator : public ProductCreator<T> {
public:
    T* create() const override { return new Concrete(); }
    void destroy(T* product) const override { delete product; }
};

}  // namespace kel
