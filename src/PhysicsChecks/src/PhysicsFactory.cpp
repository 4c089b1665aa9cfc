#include <kel/physicschecks/PhysicsFactory.h>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>

namespace kel {

template <class T>
PhysicsFactory<T>::PhysicsFactory() : ProductTypeInfo(T::productKind().kind(IDStyle::Upper)) {}

template <class T>
PhysicsFactory<T>::~PhysicsFactory() = default;

template <class T>
void PhysicsFactory<T>::registerCreator(const std::string& typeName,
                                        std::unique_ptr<ProductCreator<T>> creator) {
    if (!creator) return;
    auto it = m_creators.find(typeName);
    if (it == m_creators.end()) {
        m_creators.emplace(typeName, std::move(creator));
        return;
    }
    // Products already made by the old creator must still be destroyed by it: keep the old
    // creator alive while any of them is outstanding.
    for (const auto& entry : m_madeBy)
        if (entry.second == it->second.get()) {
            m_retired.push_back(std::move(it->second));
            break;
        }
    it->second = std::move(creator);
}

template <class T>
bool PhysicsFactory<T>::hasType(const std::string& typeName) const {
    return m_creators.count(typeName) != 0;
}

template <class T>
std::vector<std::string> PhysicsFactory<T>::getTypeNames() const {
    std::vector<std::string> names;
    names.reserve(m_creators.size());
    for (const auto& entry : m_creators)
        names.push_back(entry.first);
    return names;
}

template <class T>
std::unique_ptr<T> PhysicsFactory<T>::create(const std::string& typeName) {
    auto it = m_creators.find(typeName);
    if (it == m_creators.end()) return nullptr;
    std::unique_ptr<T> product = it->second->create();
    if (product) {
        try {
            m_madeBy.emplace(product.get(), it->second.get());
        } catch (...) {
            it->second->destroy(std::move(product));
            throw;
        }
    }
    return product;
}

template <class T>
void PhysicsFactory<T>::destroy(std::unique_ptr<T> product) {
    auto it = m_madeBy.find(product.get());
    if (it == m_madeBy.end()) return;
    const ProductCreator<T>* creator = it->second;
    m_madeBy.erase(it);
    creator->destroy(std::move(product));
}

template class PhysicsFactory<Check>;
template class PhysicsFactory<List>;
template class PhysicsFactory<GlobalCheck>;

}  // namespace kel
