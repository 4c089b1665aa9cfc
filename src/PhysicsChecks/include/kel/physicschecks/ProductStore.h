#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <kel/physicschecks/PhysicsFactory.h>
#include <kel/physicschecks/ProductTypeInfo.h>
#include <kel/physicsutils/TARNDatastore.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class DataVerifyInterface;

// The named products of class T (Check, List or GlobalCheck) of one physics data set.
// create makes a product through the factory by its "Type" key and initialises it; the
// store owns it from then on and destroys it through the factory. The factory and the
// verify interface are not owned and must outlive the store. Errors are
// std::runtime_error:
//   "A CHECK named \"n\" already exists in the store."
//   "There is no Type field in the CHECK data of n!"
//   "Unknown Check type: t"
//   "Check of name n not known."           (get with mustExist)
// A product whose initialise throws is destroyed and the store is unchanged.
// Not thread-safe.
template <class T>
class ProductStore : public ProductTypeInfo, private NonCopyable {
public:
    ProductStore(PhysicsFactory<T>* factory, DataVerifyInterface* verify);
    ~ProductStore();

    T* create(const std::string& name, const ParameterMap& map);
    T* get(const std::string& name, bool mustExist) const;

    std::size_t size() const { return m_products.size(); }
    // Product names in ascending order.
    std::vector<std::string> getNames() const;
    const std::map<std::string, std::unique_ptr<T>>& getProducts() const { return m_products; }

private:
    PhysicsFactory<T>* m_factory;
    DataVerifyInterface* m_verify;
    std::map<std::string, std::unique_ptr<T>> m_products;
    // The same products by name for look-ups; the keys view those of m_products.
    std::unordered_map<std::string_view, T*> m_index;
};

class Check;
class List;
class GlobalCheck;
extern template class ProductStore<Check>;
extern template class ProductStore<List>;
extern template class ProductStore<GlobalCheck>;

}  // namespace kel
