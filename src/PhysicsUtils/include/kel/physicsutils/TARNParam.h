#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace kel {

// Parameter types of the TARN language, their words and value conversions. Stateless.
class TARNParam {
public:
    // The numbering is fixed: Unknown (7) is the value a record holds before its type is
    // known, and Real (4) is the single real type.
    enum Type : int {
        String = 0,
        StringList = 1,
        Integer = 2,
        IntegerList = 3,
        Real = 4,
        RealList = 5,
        Logical = 6,
        Unknown = 7,
        LogicalList = 8,
    };

    // "String", "String List", "Integer", "Integer List", "Real", "Real List", "Logical",
    // "Logical List", any case; any other word gives Unknown.
    static Type typeFromString(std::string_view word);
    // The word of a type; Unknown (and any value out of range) is "Unknown".
    static const std::string& typeStringFromType(Type type);

    static bool isListType(Type type);
    static bool isRealType(Type type);     // Real, Real List
    static bool isIntegerType(Type type);  // Integer, Integer List
    static bool isLogicalType(Type type);  // Logical, Logical List
    static bool isStringType(Type type);   // String, String List

    // (value, ok): ok is false when text is not a logical word.
    static std::pair<bool, bool> valueAsBool(std::string_view text);
    // (value, ok): a whole, trimmed, 32-bit integer text.
    static std::pair<int, bool> valueAsInt(std::string_view text);
    // (value, ok): a whole, trimmed, 64-bit integer text; the values of Integer parameters.
    static std::pair<std::int64_t, bool> valueAsInt64(std::string_view text);
    // As StringUtilities::valueAsFloat: a number optionally followed by "[units]".
    static std::pair<float, bool> valueAsFloat(std::string_view text, std::string& number,
                                               std::string& units);
    // As StringUtilities::valueAsDouble: the values of Real parameters.
    static std::pair<double, bool> valueAsDouble(std::string_view text, std::string& number,
                                                 std::string& units);
};

}  // namespace kel
