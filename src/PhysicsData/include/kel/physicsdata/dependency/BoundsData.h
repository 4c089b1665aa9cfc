#pragma once

#include <string>
#include <utility>

namespace kel {

// The lower and upper bound of an integer or real parameter as the RULES give them for one
// option of an object type. Both strings are checked and normalised on construction: once
// bounds are processed both sides carry text, a side that was not given taking the kind's
// open value (integer: the 32-bit limits; real: +/-(2^125 - 2^101) as a float), so
// defined() rather than the text tells which sides were given. Real sides keep their units.
//
// Comparison looks only at the two normalised strings (the kind and the defined flags take
// no part), so the bounds of several options can be collected in an ordered set and
// collapsed when all options agree.
//
// Value type; not synchronised.
class BoundsData {
public:
    enum Type { Undefined = 0, Integer = 1, Real = 2 };

    // Undefined, empty strings, neither side defined.
    BoundsData();

    // Normalises bounds (lower, upper); an empty string means the side is not given.
    // paramName is used only in messages. Throws PhysicsException for a side that does not
    // convert, or for lower > upper (for reals only when both sides have the same units).
    BoundsData(const std::string& paramName, Type type,
               const std::pair<std::string, std::string>& bounds);

    BoundsData(const BoundsData&) = default;
    BoundsData& operator=(const BoundsData&) = default;
    BoundsData(BoundsData&&) noexcept = default;
    BoundsData& operator=(BoundsData&&) noexcept = default;

    // (lower, upper) as normalised text; both empty when nothing was processed.
    const std::pair<std::string, std::string>& value() const { return m_value; }
    // (lower given, upper given).
    std::pair<bool, bool> defined() const { return m_defined; }
    // True when the kind is Undefined or neither side was given.
    bool undefined() const;

    bool operator==(const BoundsData& other) const;
    bool operator!=(const BoundsData& other) const { return !(*this == other); }
    // Lower strings first, then upper strings, byte-wise.
    bool operator<(const BoundsData& other) const;

private:
    void setDefined(const std::pair<std::string, std::string>& bounds);
    void processIntBounds(const std::string& paramName,
                          const std::pair<std::string, std::string>& bounds);
    void processRealBounds(const std::string& paramName,
                           const std::pair<std::string, std::string>& bounds);

    Type m_type;
    std::pair<std::string, std::string> m_value;
    std::pair<bool, bool> m_defined;
};

}  // namespace kel
