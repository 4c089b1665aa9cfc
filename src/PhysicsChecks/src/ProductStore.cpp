#include <kel/physicschecks/ProductStore.h>

#include <stdexcept>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsutils/PhysicsStrings.h>

namespace kel {

template <class T>
ProductStore<T>::ProductStore(PhysicsFactory<T>* factory, DataVerifyInterface* verify)
    : ProductTypeInfo(T::productKind().kind(IDStyle::Upper)),
      m_factory(factory),
      m_verify(verify) {}

template <class T>
ProductStore<T>::~ProductStore() {
    for (auto& entry : m_products)
        m_factory->destroy(std::move(entry.second));
}

template <class T>
T* ProductStore<T>::create(const std::string& name, const ParameterMap& map) {
    if (m_index.count(name) != 0)
        throw std::runtime_error("A " + kind(IDStyle::Upper) + " named \"" + name +
                                 "\" already exists in the store.");
    auto typeIt = map.find(PhysicsStrings::s_Type);
    if (typeIt == map.end())
        throw std::runtime_error("There is no " + PhysicsStrings::s_Type + " field in the " +
                                 kind(IDStyle::Upper) + " data of " + name + "!");
    std::unique_ptr<T> product = m_factory ? m_factory->create(typeIt->second) : nullptr;
    if (!product)
        throw std::runtime_error("Unknown " + kind(IDStyle::Title) + " type: " + typeIt->second);
    T* made = product.get();
    try {
        made->initialise(name, map, m_verify);
        const auto placed = m_products.emplace(name, std::move(product)).first;
        try {
            m_index.emplace(placed->first, made);
        } catch (...) {
            product = std::move(placed->second);
            m_products.erase(placed);
            throw;
        }
    } catch (...) {
        if (product) m_factory->destroy(std::move(product));
        throw;
    }
    return made;
}

template <class T>
T* ProductStore<T>::get(const std::string& name, bool mustExist) const {
    auto it = m_index.find(name);
    if (it != m_index.end()) return it->second;
    if (mustExist)
        throw std::runtime_error(kind(IDStyle::Title) + " of name " + name + " not known.");
    return nullptr;
}

template <class T>
std::vector<std::string> ProductStore<T>::getNames() const {
    std::vector<std::string> names;
    names.reserve(m_products.size());
    for (const auto& entry : m_products)
        names.push_back(entry.first);
    return names;
}

template class ProductStore<Check>;
template class ProductStore<List>;
template class ProductStore<GlobalCheck>;

}  // namespace kel
