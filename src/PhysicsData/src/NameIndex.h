#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

namespace kel {

// Finds the number (0, 1, ...) of a name among names kept elsewhere, for tables that are
// filled once and then mostly read: an open-addressed table of (hash tag, number + 1)
// slots, at most half full, so that neither a look-up nor an addition allocates per name.
// The caller keeps the names and passes nameOf(number) to reach them; a number is added
// once, in order, for a name not yet in the index.
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
        if (2 * count > m_slots.size()) m_slots.assign(tableSize(count), 0);
    }

    template <class NameOf>
    std::uint32_t find(std::string_view name, const NameOf& nameOf) const {
        if (m_slots.empty()) return kNone;
        const std::size_t mask = m_slots.size() - 1;
        const std::size_t hash = std::hash<std::string_view>{}(name);
        const std::uint64_t tag = tagOf(hash);
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const std::uint64_t slot = m_slots[at];
            if (slot == 0) return kNone;
            if ((slot & kTagMask) != tag) continue;
            const auto number = static_cast<std::uint32_t>((slot & ~kTagMask) - 1);
            if (same(nameOf(number), name)) return number;
        }
    }

    // Adds the next number, for name; nameOf must answer for the numbers added before.
    template <class NameOf>
    void add(std::string_view name, const NameOf& nameOf) {
        if (2 * (m_count + 1) > m_slots.size()) {
            m_slots.assign(tableSize(2 * (m_count + 1)), 0);
            for (std::uint32_t i = 0; i < m_count; ++i)
                place(nameOf(i), i);
        }
        place(name, m_count++);
    }

private:
    static constexpr std::uint64_t kTagMask = ~std::uint64_t(0xffffffff);

    static std::uint64_t tagOf(std::size_t hash) { return std::uint64_t(hash >> 32) << 32; }
    static std::size_t tableSize(std::size_t count) {
        std::size_t size = 16;
        while (size < 2 * count)
            size *= 2;
        return size;
    }
    void place(std::string_view name, std::uint32_t number) {
        const std::size_t mask = m_slots.size() - 1;
        const std::size_t hash = std::hash<std::string_view>{}(name);
        std::size_t at = hash & mask;
        while (m_slots[at] != 0)
            at = (at + 1) & mask;
        m_slots[at] = tagOf(hash) | (std::uint64_t(number) + 1);
    }

    std::vector<std::uint64_t> m_slots;
    std::uint32_t m_count = 0;
};

}  // namespace kel
