#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace kel::fuzz {

// Structure-aware mutations of TARN text, for the fuzz targets' custom mutators. Random
// byte edits almost never build the shapes that break a data-driven engine: long chains
// (CHECKs each naming the next through All/Any/Not/Beta, LISTs each the union of the
// next), deep nesting of objects, wide fan-out (many siblings, long check and value
// lists) and extreme numbers (2^24 + 1, values just above a bound, nan, inf, overflow,
// negative zero, integers beyond 64 bits). This inserts them where they mean something:
// checks and lists after a "CHECK DATA:" line, objects under an existing header, numbers
// in place of existing values. A value type; not thread-safe.
class TarnShapeMutator {
public:
    // Byte-level mutation supplied by the fuzzing engine: mutates data[0, size) in place
    // within maxSize and returns the new size.
    using Fallback = std::size_t (*)(std::uint8_t* data, std::size_t size, std::size_t maxSize);

    TarnShapeMutator(unsigned seed, Fallback fallback);

    // Mutates data[0, size) in place within maxSize; returns the new size. About one call
    // in three inserts a shape, the others (and any shape that does not fit) use the
    // fallback.
    std::size_t mutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

    // One shape applied to `text`; returns false when the text offers no place for it.
    bool applyShape(std::string& text);

private:
    std::size_t pickLength(std::size_t room);
    std::string uniquePrefix();
    std::size_t lineAfter(const std::string& text, const std::string& marker);
    std::size_t randomLineStart(const std::string& text);
    std::string randomHeaderType(const std::string& text);
    bool randomValue(const std::string& text, std::size_t& begin, std::size_t& end);

    bool checkChain(std::string& text);
    bool listChain(std::string& text);
    bool wideCheckList(std::string& text);
    bool deepObjects(std::string& text);
    bool wideObjects(std::string& text);
    bool extremeNumber(std::string& text);
    bool longValueList(std::string& text);

    std::minstd_rand m_random;
    Fallback m_fallback;
    std::size_t m_room = 0;  // bytes a shape may add
};

}  // namespace kel::fuzz
