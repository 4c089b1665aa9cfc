#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace kel {

// Finds the number (0, 1, ...) of a name among names kept elsewhere, for tables that are
// filled once and then mostly read: an open-addressed table of (hash tag, number + 1)
// slots, at most half full, so that neither a look-up nor an addition allocates per name.
// The caller keeps the names and passes nameOf(number) to reach them; numbers are given in
// order, one to each name inserted.
class NameIndex {
public:
    static constexpr std::uint32_t kNone = ~std::uint32_t(0);

    // Name equality, as the look-ups compare: sizes first, then the bytes.
    static bool same(std::string_view a, std::string_view b) {
        return a.size() == b.size() &&
               (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
    }

    // Room for count names before the table grows; for an empty index.
    void reserve(std::size_t count) {
        if (2 * count > m_slots.size()) m_slots.assign(tableSize(count), Slot());
    }

    template <class NameOf>
    std::uint32_t find(std::string_view name, const NameOf& nameOf) const {
        if (m_slots.empty()) return kNone;
        return m_slots[probe(name, std::hash<std::string_view>{}(name), nameOf)].number();
    }

    // The number of name, which gets the next number when absent: (number, whether added).
    // nameOf must answer for the numbers added before.
    template <class NameOf>
    std::pair<std::uint32_t, bool> insert(std::string_view name, const NameOf& nameOf) {
        if (2 * (m_count + 1) > m_slots.size()) {
            std::vector<Slot> old(tableSize(2 * (m_count + 1)));
            old.swap(m_slots);
            for (const Slot slot : old)
                if (!slot.empty()) {
                    const std::uint32_t number = slot.number();
                    place(std::hash<std::string_view>{}(nameOf(number)), number);
                }
        }
        const std::size_t hash = std::hash<std::string_view>{}(name);
        const std::size_t at = probe(name, hash, nameOf);
        if (!m_slots[at].empty()) return {m_slots[at].number(), false};
        m_slots[at] = Slot::of(hash, m_count);
        return {m_count++, true};
    }

private:
    // (hash tag, number + 1); 0 when empty.
    struct Slot {
        std::uint64_t bits = 0;
        static Slot of(std::size_t hash, std::uint32_t number) {
            return {tagOf(hash) | (std::uint64_t(number) + 1)};
        }
        bool empty() const { return bits == 0; }
        std::uint32_t number() const {
            return empty() ? kNone : static_cast<std::uint32_t>((bits & ~kTagMask) - 1);
        }
    };
    static constexpr std::uint64_t kTagMask = ~std::uint64_t(0xffffffff);

    static std::uint64_t tagOf(std::size_t hash) { return std::uint64_t(hash >> 32) << 32; }
    static std::size_t tableSize(std::size_t count) {
        std::size_t size = 16;
        while (size < 2 * count)
            size *= 2;
        return size;
    }
    // The slot of name, or the empty one where it would go.
    template <class NameOf>
    std::size_t probe(std::string_view name, std::size_t hash, const NameOf& nameOf) const {
        const std::size_t mask = m_slots.size() - 1;
        const std::uint64_t tag = tagOf(hash);
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot slot = m_slots[at];
            if (slot.empty()) return at;
            if ((slot.bits & kTagMask) == tag && same(nameOf(slot.number()), name)) return at;
        }
    }
    void place(std::size_t hash, std::uint32_t number) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t at = hash & mask;
        while (!m_slots[at].empty())
            at = (at + 1) & mask;
        m_slots[at] = Slot::of(hash, number);
    }

    std::vector<Slot> m_slots;
    std::uint32_t m_count = 0;
};

}  // namespace kel
