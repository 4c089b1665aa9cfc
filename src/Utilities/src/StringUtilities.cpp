#include <kel/utilities/StringUtilities.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace kel {

namespace {

constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != b[i]) return false;
    }
    return true;
}

// Calls emit(item) for each trimmed item of text split at sep; parentheses protect
// separators when nested is set.
template <class Emit>
void forEachItem(std::string_view text, char sep, bool nested, Emit&& emit) {
    if (!nested) {
        // No parentheses to track: the separators are found by a library search.
        std::size_t start = 0;
        for (std::size_t at = text.find(sep); at != std::string_view::npos;
             at = text.find(sep, start)) {
            emit(StringUtilities::trimView(text.substr(start, at - start)));
            start = at + 1;
        }
        emit(StringUtilities::trimView(text.substr(start)));
        return;
    }
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (nested && c == '(') {
            ++depth;
        } else if (nested && c == ')') {
            if (depth > 0) --depth;
        } else if (c == sep && depth == 0) {
            emit(StringUtilities::trimView(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    emit(StringUtilities::trimView(text.substr(start)));
}

// Parses a whole finite number (no blanks around it). from_chars does not take a leading
// '+', so it is skipped here to accept the usual written forms; it does take "nan" and
// "inf", which are not numbers a comparison or a bound can use.
template <class Number>
bool parseNumber(std::string_view text, Number& value) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) return false;
    }
    if (digits.empty()) return false;
    const char* first = digits.data();
    const char* last = first + digits.size();
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

// Splits "number [units]" and parses the number part.
template <class Number>
std::pair<Number, bool> numberWithUnits(std::string_view text, std::string& numberText,
                                        std::string& units) {
    numberText.clear();
    units.clear();
    std::string_view body = StringUtilities::trimView(text);
    std::string_view unitPart;
    if (const auto open = body.find('['); open != std::string_view::npos) {
        // Units are "[...]" closing the text; nothing may follow the ']'.
        if (body.back() != ']') return {Number(0), false};
        const std::string_view inner = body.substr(open + 1, body.size() - open - 2);
        if (inner.find_first_of("[]") != std::string_view::npos) return {Number(0), false};
        unitPart = StringUtilities::trimView(inner);
        body = StringUtilities::trimView(body.substr(0, open));
    }
    Number value = 0;
    if (!parseNumber(body, value)) return {Number(0), false};
    numberText.assign(body);
    units.assign(unitPart);
    return {value, true};
}

}  // namespace

std::vector<std::string> StringUtilities::stringToVector(std::string_view text, char sep) {
    std::vector<std::string> items;
    appendItems(text, sep, items);
    return items;
}

void StringUtilities::appendItems(std::string_view text, char sep, std::vector<std::string>& out) {
    forEachItem(text, sep, false, [&](std::string_view item) {
        if (!item.empty()) out.emplace_back(item);
    });
}

void StringUtilities::appendItemViews(std::string_view text, char sep,
                                      std::vector<std::string_view>& out) {
    forEachItem(text, sep, false, [&](std::string_view item) {
        if (!item.empty()) out.push_back(item);
    });
}

std::set<std::string> StringUtilities::stringToSet(std::string_view text, char sep) {
    std::set<std::string> items;
    forEachItem(text, sep, false, [&](std::string_view item) {
        if (!item.empty()) items.emplace(item);
    });
    return items;
}

std::vector<std::string> StringUtilities::splitValue(std::string_view text, char sep) {
    std::vector<std::string> items;
    if (text.empty()) return items;
    forEachItem(text, sep, true, [&](std::string_view item) { items.emplace_back(item); });
    return items;
}

std::vector<std::string> StringUtilities::splitValueNoEmpty(std::string_view text) {
    std::vector<std::string> items;
    forEachItem(text, ',', true, [&](std::string_view item) {
        if (!item.empty()) items.emplace_back(item);
    });
    return items;
}

std::string StringUtilities::vectorToString(const std::vector<std::string>& items, char sep) {
    std::size_t size = items.empty() ? 0 : items.size() - 1;
    for (const auto& item : items)
        size += item.size();
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i != 0) text += sep;
        text += items[i];
    }
    return text;
}

std::string StringUtilities::trim(std::string_view text) {
    return std::string(StringUtilities::trimView(text));
}

std::string StringUtilities::removeWhitespace(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (!isBlank(c)) result += c;
    }
    return result;
}

bool StringUtilities::isTrue(std::string_view text, bool* isLogical) {
    static constexpr std::array<std::string_view, 6> trueWords{"true", "yes", "on", "t", "y", "1"};
    static constexpr std::array<std::string_view, 6> falseWords{"false", "no", "off",
                                                                "f",     "n",  "0"};
    const std::string_view word = StringUtilities::trimView(text);
    for (auto w : trueWords) {
        if (equalsNoCase(word, w)) {
            if (isLogical) *isLogical = true;
            return true;
        }
    }
    bool logical = false;
    for (auto w : falseWords) {
        if (equalsNoCase(word, w)) {
            logical = true;
            break;
        }
    }
    if (isLogical) *isLogical = logical;
    return false;
}

bool StringUtilities::stringToBool(std::string_view text) {
    return isTrue(text);
}

std::pair<float, bool> StringUtilities::valueAsFloat(std::string_view text, std::string& numberText,
                                                     std::string& units) {
    return numberWithUnits<float>(text, numberText, units);
}

std::pair<double, bool> StringUtilities::valueAsDouble(std::string_view text,
                                                       std::string& numberText,
                                                       std::string& units) {
    return numberWithUnits<double>(text, numberText, units);
}

std::string StringUtilities::floatAndUnitsToString(float value, std::string_view units) {
    // Shortest form that reads back as the same float.
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    std::string text(buffer.data(), result.ptr);
    if (!units.empty()) {
        text += " [";
        text += units;
        text += ']';
    }
    return text;
}

std::string StringUtilities::toString(int value) {
    return std::to_string(value);
}

std::pair<std::string, std::string> StringUtilities::splitObjectTypeAndName(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) return {std::string(text), std::string()};
    return {std::string(text.substr(0, colon)), std::string(text.substr(colon + 1))};
}

}  // namespace kel
