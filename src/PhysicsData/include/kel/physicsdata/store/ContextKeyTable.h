#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <kel/utilities/refcnt_ptr.h>

namespace kel {

// The keys of a ParentContextHolder: key text context + "/" + name to item, in one flat
// table. A record (hash, item, length, key text) lies in one block of memory and the probe
// sequence is a plain array, so a lookup in a large cold table touches about two cache
// lines, where a node-based map touches a bucket, a node and a separately allocated key.
//
// Keys are unique; records keep the order inserted, and erase marks them dead. The table
// shares ownership of every item filed until the item's last key is erased. Not thread-safe for
// writing; const lookups may run concurrently.
template <class T>
class ContextKeyTable {
public:
    // Files item under context + "/" + name; false, filing nothing, when the key is there.
    bool insert(std::string_view context, std::string_view name, const refcnt_ptr<T>& item) {
        const std::uint64_t hash = hashOf(context, name);
        if (findRecord(hash, context, name) != kNone) return false;
        if (m_owned.empty() || m_owned.back() != item) m_owned.push_back(item);
        const std::size_t length = context.size() + 1 + name.size();
        const std::size_t at = m_bytes.size();
        if (at / kAlign >= UINT32_MAX) throw std::length_error("ContextKeyTable: too many keys");
        m_bytes.resize(at + kHeader + roundUp(length));
        Header header{hash, item.get(), static_cast<std::uint32_t>(length), 0};
        std::memcpy(&m_bytes[at], &header, sizeof header);
        char* text = reinterpret_cast<char*>(&m_bytes[at + kHeader]);
        std::memcpy(text, context.data(), context.size());
        text[context.size()] = '/';
        std::memcpy(text + context.size() + 1, name.data(), name.size());
        if (2 * (m_records + 1) > m_slots.size()) grow();
        place(hash, at);
        ++m_records;
        return true;
    }

    // The item under context + "/" + name, or null.
    T* find(std::string_view context, std::string_view name) const {
        const std::size_t at = findRecord(hashOf(context, name), context, name);
        return at == kNone ? nullptr : header(at).item;
    }

    // Calls visit(key, item) for every live key, in the order inserted.
    template <class Visit>
    void forEach(Visit visit) const {
        for (std::size_t at = 0; at < m_bytes.size(); at = next(at)) {
            const Header h = header(at);
            if (!h.dead) visit(keyAt(at, h.length), static_cast<const T*>(h.item));
        }
    }

    // Erases every key for which drop(key) is true; an item left without a key is released.
    template <class Drop>
    void eraseIf(Drop drop) {
        bool erased = false;
        for (std::size_t at = 0; at < m_bytes.size(); at = next(at)) {
            Header h = header(at);
            if (h.dead || !drop(keyAt(at, h.length))) continue;
            h.dead = 1;
            std::memcpy(&m_bytes[at], &h, sizeof h);
            erased = true;
        }
        if (!erased) return;
        std::unordered_set<const T*> keyed;
        forEach([&](std::string_view, const T* item) { keyed.insert(item); });
        std::erase_if(m_owned, [&](const refcnt_ptr<T>& item) { return !keyed.count(item.get()); });
    }

private:
    struct Header {
        std::uint64_t hash;
        T* item;
        std::uint32_t length;
        std::uint32_t dead;
    };
    static constexpr std::size_t kAlign = 8;
    static constexpr std::size_t kHeader = sizeof(Header);
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    static std::size_t roundUp(std::size_t n) { return (n + kAlign - 1) / kAlign * kAlign; }

    // FNV-1a over the key text, taken in its two pieces.
    static std::uint64_t mix(std::uint64_t hash, std::string_view text) {
        for (const char c : text)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return hash;
    }
    static std::uint64_t hashOf(std::string_view context, std::string_view name) {
        return mix(mix(mix(14695981039346656037ull, context), "/"), name);
    }

    Header header(std::size_t at) const {
        Header h;
        std::memcpy(&h, &m_bytes[at], sizeof h);
        return h;
    }
    std::string_view keyAt(std::size_t at, std::uint32_t length) const {
        return {reinterpret_cast<const char*>(&m_bytes[at + kHeader]), length};
    }
    std::size_t next(std::size_t at) const { return at + kHeader + roundUp(header(at).length); }

    std::size_t findRecord(std::uint64_t hash, std::string_view context,
                           std::string_view name) const {
        if (m_slots.empty()) return kNone;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (slot.record == 0) return kNone;
            if (slot.tag != tagOf(hash)) continue;
            const std::size_t at = std::size_t(slot.record - 1) * kAlign;
            const Header h = header(at);
            const std::string_view key = keyAt(at, h.length);
            if (h.hash == hash && key.size() == context.size() + 1 + name.size() &&
                key.substr(0, context.size()) == context && key[context.size()] == '/' &&
                key.substr(context.size() + 1) == name)
                if (!h.dead) return at;
        }
    }

    static std::uint32_t tagOf(std::uint64_t hash) {
        return static_cast<std::uint32_t>(hash >> 32);
    }

    // Files the record at offset `at` in the first free slot of its probe sequence.
    void place(std::uint64_t hash, std::size_t at) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = hash & mask;
        while (m_slots[i].record != 0)
            i = (i + 1) & mask;
        m_slots[i] = {tagOf(hash), static_cast<std::uint32_t>(at / kAlign + 1)};
    }

    void grow() {
        std::vector<Slot> old(m_slots.empty() ? 16 : 2 * m_slots.size());
        old.swap(m_slots);
        for (const Slot& slot : old) {
            if (slot.record == 0) continue;
            const std::size_t at = std::size_t(slot.record - 1) * kAlign;
            place(header(at).hash, at);
        }
    }

    // A probe compares the top half of the hash before it reads the record.
    struct Slot {
        std::uint32_t tag;
        std::uint32_t record;  // 1 + offset of the record / kAlign; 0: empty
    };

    std::vector<unsigned char> m_bytes;  // the records, back to back
    std::vector<Slot> m_slots;           // a power of two, at most half full
    std::vector<refcnt_ptr<T>> m_owned;
    std::size_t m_records = 0;  // live and dead: each holds a slot
};

}  // namespace kel
