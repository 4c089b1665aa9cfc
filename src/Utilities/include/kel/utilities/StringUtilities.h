#pragma once

#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kel {

// Text helpers for TARN values: list splitting and joining, logical words, numbers with
// units. Stateless; every operation is thread-safe.
//
// Blanks are ' ', '\t', '\r' and '\n'. Logical words (any case): true/false, yes/no,
// on/off, t/f, y/n, 1/0.
class StringUtilities {
public:
    // Split at sep, trim blanks from each item, drop empty items.
    static std::vector<std::string> stringToVector(std::string_view text, char sep);
    // The same items appended to out.
    static void appendItems(std::string_view text, char sep, std::vector<std::string>& out);
    // The same items as views of text, appended to out.
    static void appendItemViews(std::string_view text, char sep,
                                std::vector<std::string_view>& out);
    static std::set<std::string> stringToSet(std::string_view text, char sep);

    // Split at sep outside parentheses, trim blanks, keep empty items ("a,,b" has three).
    // Empty text gives no items.
    static std::vector<std::string> splitValue(std::string_view text, char sep);

    // splitValue(text, ',') without empty items: "(a,b),c" gives "(a,b)" and "c".
    static std::vector<std::string> splitValueNoEmpty(std::string_view text);

    // Join with sep and no blanks.
    static std::string vectorToString(const std::vector<std::string>& items, char sep);

    // Blanks trimmed from both ends.
    static std::string trim(std::string_view text);
    // The same text as a view, without the blanks (space, tab, CR, LF) at either end.
    static std::string_view trimView(std::string_view text) {
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        std::size_t begin = 0;
        std::size_t end = text.size();
        while (begin < end && blank(text[begin]))
            ++begin;
        while (end > begin && blank(text[end - 1]))
            --end;
        return text.substr(begin, end - begin);
    }

    // Every blank removed.
    static std::string removeWhitespace(std::string_view text);

    // True when text is a true logical word. *isLogical (when given) says whether text is
    // any logical word at all.
    static bool isTrue(std::string_view text, bool* isLogical = nullptr);

    // True for a true logical word, false for anything else.
    static bool stringToBool(std::string_view text);

    // Reads "1.5 [m s^-1]": (1.5, true), numberText "1.5", units "m s^-1". Units are
    // optional; the whole number part must be a finite float ("nan", "inf" and numbers
    // out of the float range fail). On failure (0, false).
    static std::pair<float, bool> valueAsFloat(std::string_view text, std::string& numberText,
                                               std::string& units);
    // The same in double precision: finite doubles only.
    static std::pair<double, bool> valueAsDouble(std::string_view text, std::string& numberText,
                                                 std::string& units);

    // The shortest text that reads back as the same float, then " [units]" if units given.
    static std::string floatAndUnitsToString(float value, std::string_view units);

    static std::string toString(int value);

    // "CHECK:a" gives ("CHECK", "a"); without ':' the whole text is the type.
    static std::pair<std::string, std::string> splitObjectTypeAndName(std::string_view text);
};

}  // namespace kel
