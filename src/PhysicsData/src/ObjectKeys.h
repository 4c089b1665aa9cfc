#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// The parameters of one datastore object, fetched in one visit and kept in one buffer, for
// loaders that ask an object for several keys: each key costs a short scan instead of a path
// lookup in the store. Objects in RULES have a handful of keys, so a scan beats a map.
// Movable value type. Its views may point into the store's text: use it while the store
// lives (loaders keep one for the length of a definition).
class ObjectKeys {
public:
    ObjectKeys() = default;
    // Reads the parameters of the object at path; empty when there is no such object. The
    // keys refer to the store's text when it keeps it, else to a copy of their own.
    ObjectKeys(const TARNDatastore& ds, std::string_view path);
    // As the constructor, in place of what this held.
    void read(const TARNDatastore& ds, std::string_view path);
    // The same for an object of ds met in a walk (see TARNDatastore::forEachObject): no
    // look-up by path. The object need not outlive this; the store must.
    void read(const TARNDatastore& ds, const TARNDatastore::ObjectHandle& object);

    bool exists() const { return m_exists; }
    bool has(std::string_view key) const { return find(key) != nullptr; }
    // The value of key, or "" when absent.
    std::string_view value(std::string_view key) const;
    // The value split at ',' with items trimmed and empty items dropped, appended to out;
    // false, out unchanged, when key is absent.
    bool appendList(std::string_view key, std::vector<std::string>& out) const;
    // The items of a list value, split and trimmed as appendList does, appended to out.
    static void appendItems(std::string_view text, std::vector<std::string>& out);

    // Calls visit(key, value) for every parameter, in the object's order.
    template <class Visit>
    void forEach(Visit&& visit) const {
        for (std::size_t i = 0; i < m_size; ++i) {
            const Entry& entry = i < kInline ? m_inline[i].entry : m_more[i - kInline];
            visit(entry.first, entry.second);
        }
    }

private:
    struct Entry {
        std::string_view first;
        std::string_view second;
    };
    const Entry* find(std::string_view key) const;
    // Reads what visitParameters(visit) visits, as read() does.
    template <class VisitParameters>
    void readFrom(const TARNDatastore& ds, VisitParameters&& visitParameters);

    void add(std::string_view key, std::string_view value) {
        if (m_size < kInline)
            m_inline[m_size].entry = {key, value};
        else
            m_more.push_back({key, value});
        ++m_size;
    }

    // RULES objects have a handful of keys: those stay inline, without an allocation. The
    // slots past m_size are left unset, so that making one costs nothing.
    static constexpr std::size_t kInline = 8;
    union Slot {
        Slot() {}
        Entry entry;
    };
    Slot m_inline[kInline];
    std::size_t m_size = 0;
    std::vector<Entry> m_more;
    std::unique_ptr<char[]> m_text;  // the copy, for stores that do not keep their text
    bool m_exists = false;
};

}  // namespace kel
