#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <kel/utilities/FlatTextTable.h>
#include <kel/utilities/refcnt_ptr.h>

namespace kel {

// The keys of a ParentContextHolder: key text context + "/" + name to item, in a flat table
// (see FlatTextTable), with the items owned. Keys keep the order inserted. The table
// shares ownership of every item filed until the item's last key is erased. Not
// thread-safe for writing; const look-ups may run concurrently.
template <class T>
class ContextKeyTable {
public:
    // Files item under context + "/" + name; false, filing nothing, when the key is there.
    bool insert(std::string_view context, std::string_view name, const refcnt_ptr<T>& item) {
        if (!withKey(context, name, [&](std::string_view key) {
                return m_keys.insert(nullptr, key, item.get()).second;
            }))
            return false;
        if (m_owned.empty() || m_owned.back() != item) m_owned.push_back(item);
        return true;
    }

    // The item under context + "/" + name, or null.
    T* find(std::string_view context, std::string_view name) const {
        return withKey(context, name, [&](std::string_view key) -> T* {
            T* const* item = m_keys.find(nullptr, key);
            return item ? *item : nullptr;
        });
    }

    // Calls visit(key, item) for every key, in the order inserted.
    template <class Visit>
    void forEach(Visit visit) const {
        m_keys.forEach([&](const void*, std::string_view key, T* item) { visit(key, item); });
    }

    // Erases every key for which drop(key) is true; an item left without a key is released.
    template <class Drop>
    void eraseIf(Drop drop) {
        const std::size_t before = m_keys.size();
        m_keys.eraseIf([&](const void*, std::string_view key, T*) { return drop(key); });
        if (m_keys.size() == before) return;
        std::vector<const T*> keyed;
        keyed.reserve(m_keys.size());
        forEach([&](std::string_view, const T* item) {
            if (keyed.empty() || keyed.back() != item) keyed.push_back(item);
        });
        std::sort(keyed.begin(), keyed.end(), std::less<const T*>());
        std::erase_if(m_owned, [&](const refcnt_ptr<T>& item) {
            return !std::binary_search(keyed.begin(), keyed.end(), item.get(),
                                       std::less<const T*>());
        });
    }

private:
    // Calls use(key) with context + "/" + name joined, on the stack for usual lengths.
    template <class Use>
    static auto withKey(std::string_view context, std::string_view name, Use use) {
        const std::size_t length = context.size() + 1 + name.size();
        char buffer[256];
        std::string longer;
        char* key = buffer;
        if (length > sizeof buffer) {
            longer.resize(length);
            key = longer.data();
        }
        std::copy(context.begin(), context.end(), key);
        key[context.size()] = '/';
        std::copy(name.begin(), name.end(), key + context.size() + 1);
        return use(std::string_view(key, length));
    }

    FlatTextTable<T*> m_keys;
    std::vector<refcnt_ptr<T>> m_owned;
};

}  // namespace kel
