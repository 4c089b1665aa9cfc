#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <kel/physicschecks/ProductCreator.h>
#include <kel/physicschecks/ProductTypeInfo.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

// Creates products of class T (Check, List or GlobalCheck) by type name through the
// creators registered with it, and remembers which creator made each product so that the
// same creator destroys it. Owns its creators; products are owned by whoever asked for
// them (a ProductStore) and are handed back to destroy, so the factory must outlive every
// product it made. Not thread-safe.
template <class T>
class PhysicsFactory : public ProductTypeInfo, private NonCopyable {
public:
    PhysicsFactory();
    ~PhysicsFactory();

    // A later registration under the same type name replaces the earlier creator.
    void registerCreator(const std::string& typeName, std::unique_ptr<ProductCreator<T>> creator);
    bool hasType(const std::string& typeName) const;
    std::vector<std::string> getTypeNames() const;

    // A new product of that type, or null when no creator has that type name.
    std::unique_ptr<T> create(const std::string& typeName);
    // Destroys a product through the creator that made it (one not made here is simply
    // released).
    void destroy(std::unique_ptr<T> product);

private:
    std::map<std::string, std::unique_ptr<ProductCreator<T>>> m_creators;
    std::unordered_map<const T*, const ProductCreator<T>*> m_madeBy;
    // Replaced creators that still have products outstanding.
    std::vector<std::unique_ptr<ProductCreator<T>>> m_retired;
};

class Check;
class List;
class GlobalCheck;
extern template class PhysicsFactory<Check>;
extern template class PhysicsFactory<List>;
extern template class PhysicsFactory<GlobalCheck>;

}  // namespace kel
