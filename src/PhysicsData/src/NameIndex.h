#pragma once

#include <algorithm>
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

    // Name equality, as the look-ups compare: sizes first, then the bytes. Names of four
    // to sixteen bytes are compared inline, as two overlapping words from each end.
    static bool same(std::string_view a, std::string_view b) {
        const std::size_t n = a.size();
        if (n != b.size()) return false;
        const char* x = a.data();
        const char* y = b.data();
        if (n >= 8 && n <= 16)
            return load<std::uint64_t>(x) == load<std::uint64_t>(y) &&
                   load<std::uint64_t>(x + n - 8) == load<std::uint64_t>(y + n - 8);
        if (n >= 4 && n < 8)
            return load<std::uint32_t>(x) == load<std::uint32_t>(y) &&
                   load<std::uint32_t>(x + n - 4) == load<std::uint32_t>(y + n - 4);
        return n == 0 || std::memcmp(x, y, n) == 0;
    }

    // A hash of name, worked out inline a word at a time: names are short, and a look-up
    // costs little more than this. Both halves are mixed (slots use the low bits, tags the
    // high ones).
    static std::uint64_t hashOf(std::string_view name) {
        constexpr std::uint64_t kMul = 0x9e3779b97f4a7c15ULL;
        const char* p = name.data();
        std::size_t n = name.size();
        std::uint64_t h = kMul ^ n;
        const auto mix = [&h](std::uint64_t word) {
            h = (h ^ word) * 0xbf58476d1ce4e5b9ULL;
            h ^= h >> 31;
        };
        std::uint64_t word;
        for (; n >= 8; p += 8, n -= 8) {
            std::memcpy(&word, p, 8);
            mix(word);
        }
        if (n > 0) {
            word = 0;
            if (name.size() >= 8) {
                // The last eight bytes, overlapping those mixed already.
                std::memcpy(&word, name.data() + name.size() - 8, 8);
            } else {
                for (std::size_t i = 0; i < n; ++i)
                    word |= std::uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
            }
            mix(word);
        }
        h = (h ^ (h >> 32)) * kMul;
        return h ^ (h >> 29);
    }

    // Forgets every name, keeping the room.
    void clear() {
        if (m_count == 0) return;
        std::fill(m_slots.begin(), m_slots.end(), Slot());
        m_count = 0;
    }

    // Room for count names before the table grows; for an empty index.
    void reserve(std::size_t count) {
        if (2 * count > m_slots.size()) m_slots.assign(tableSize(count), Slot());
    }

    template <class NameOf>
    std::uint32_t find(std::string_view name, const NameOf& nameOf) const {
        if (m_slots.empty()) return kNone;
        return m_slots[probe(name, hashOf(name), nameOf)].number();
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
                    place(hashOf(nameOf(number)), number);
                }
        }
        const std::size_t hash = hashOf(name);
        const std::size_t at = probe(name, hash, nameOf);
        if (!m_slots[at].empty()) return {m_slots[at].number(), false};
        m_slots[at] = Slot::of(hash, m_count);
        return {m_count++, true};
    }

private:
    template <class Word>
    static Word load(const char* at) {
        Word word;
        std::memcpy(&word, at, sizeof word);
        return word;
    }

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

    static std::uint64_t tagOf(std::uint64_t hash) { return (hash >> 32) << 32; }
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
