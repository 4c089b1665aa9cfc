#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kel {

// The context rule selectors an availability record applies under: bit i for selector i.
// The first 64 selectors are held in place, so a record of a type with fewer options (the
// usual case) allocates nothing for its mask; more selectors are held in one allocation.
//
// Plain value type; copying copies the bits. Not synchronised.
class OptionMask {
public:
    OptionMask() = default;
    // `size` selectors, none set.
    explicit OptionMask(std::size_t size) : m_size(size) {
        if (size > kInPlace) m_more = std::make_unique<std::uint64_t[]>(moreWords());
    }
    OptionMask(const OptionMask& other) : m_bits(other.m_bits), m_size(other.m_size) {
        if (other.m_more) {
            m_more = std::make_unique<std::uint64_t[]>(moreWords());
            std::copy_n(other.m_more.get(), moreWords(), m_more.get());
        }
    }
    OptionMask(OptionMask&&) noexcept = default;
    OptionMask& operator=(const OptionMask& other) {
        if (this != &other) *this = OptionMask(other);
        return *this;
    }
    OptionMask& operator=(OptionMask&&) noexcept = default;

    std::size_t size() const { return m_size; }

    // The selector must be in range.
    void set(std::size_t selector) {
        if (selector < kInPlace) {
            m_bits |= std::uint64_t(1) << selector;
        } else {
            m_more[(selector - kInPlace) / 64] |= std::uint64_t(1) << (selector % 64);
        }
    }
    bool test(std::size_t selector) const {
        if (selector < kInPlace) return (m_bits >> selector) & 1;
        return (m_more[(selector - kInPlace) / 64] >> (selector % 64)) & 1;
    }
    void setAll() {
        m_bits = ~std::uint64_t(0);
        if (m_more) std::fill_n(m_more.get(), moreWords(), ~std::uint64_t(0));
    }

private:
    static constexpr std::size_t kInPlace = 64;

    std::size_t moreWords() const { return (m_size - kInPlace + 63) / 64; }

    std::uint64_t m_bits = 0;                 // selectors 0 to 63
    std::unique_ptr<std::uint64_t[]> m_more;  // the rest, 64 per word; null when none
    std::size_t m_size = 0;
};

}  // namespace kel
