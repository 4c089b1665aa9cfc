#include <kel/physicsutils/TARNParam.h>

#include <array>
#include <charconv>
#include <system_error>

#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

// Words indexed by Type value.
const std::array<std::string, 9> kWords = {
    "String",    "String List", "Integer", "Integer List", "Real",
    "Real List", "Logical",     "Unknown", "Logical List",
};

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

TARNParam::Type TARNParam::typeFromString(std::string_view word) {
    std::string trimmed = StringUtilities::trim(word);
    for (std::size_t i = 0; i < kWords.size(); ++i)
        if (i != Unknown && equalsIgnoreCase(trimmed, kWords[i])) return static_cast<Type>(i);
    return Unknown;
}

const std::string& TARNParam::typeStringFromType(Type type) {
    int index = static_cast<int>(type);
    if (index < 0 || index >= static_cast<int>(kWords.size())) index = Unknown;
    return kWords[index];
}

bool TARNParam::isListType(Type type) {
    return type == StringList || type == IntegerList || type == RealList || type == LogicalList;
}

bool TARNParam::isRealType(Type type) {
    return type == Real || type == RealList;
}

bool TARNParam::isIntegerType(Type type) {
    return type == Integer || type == IntegerList;
}

bool TARNParam::isLogicalType(Type type) {
    return type == Logical || type == LogicalList;
}

bool TARNParam::isStringType(Type type) {
    return type == String || type == StringList;
}

std::pair<bool, bool> TARNParam::valueAsBool(std::string_view text) {
    bool isLogical = false;
    bool value = StringUtilities::isTrue(StringUtilities::trim(text), &isLogical);
    return {isLogical && value, isLogical};
}

namespace {

// A whole, trimmed integer text of the width of Int; a leading '+' is accepted.
template <class Int>
std::pair<Int, bool> wholeInteger(std::string_view text) {
    std::string trimmed = StringUtilities::trim(text);
    std::string_view digits = trimmed;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-') digits.remove_prefix(1);
    Int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return {0, false};
    return {value, true};
}

}  // namespace

std::pair<int, bool> TARNParam::valueAsInt(std::string_view text) {
    return wholeInteger<int>(text);
}

std::pair<std::int64_t, bool> TARNParam::valueAsInt64(std::string_view text) {
    return wholeInteger<std::int64_t>(text);
}

std::pair<float, bool> TARNParam::valueAsFloat(std::string_view text, std::string& number,
                                               std::string& units) {
    return StringUtilities::valueAsFloat(text, number, units);
}

std::pair<double, bool> TARNParam::valueAsDouble(std::string_view text, std::string& number,
                                                 std::string& units) {
    return StringUtilities::valueAsDouble(text, number, units);
}

}  // namespace kel
