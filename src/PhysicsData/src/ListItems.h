#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <kel/utilities/StringUtilities.h>

namespace kel {

// The items of a list value exactly as StringUtilities::splitValueNoEmpty gives them: split
// at commas outside parentheses, blanks trimmed from both ends, empty items dropped. Here
// the items are handed out as views of the text, or copied into a vector sized once, so a
// split costs one allocation for the vector (and none for items that fit a short string).

// Calls emit(item) for every item, in written order.
template <class Emit>
void forEachListItem(std::string_view text, Emit&& emit) {
    auto piece = [&](std::string_view item) {
        item = StringUtilities::trimView(item);
        if (!item.empty()) emit(item);
    };
    std::size_t start = 0;
    if (text.find('(') == std::string_view::npos) {
        // Without an opening parenthesis every comma separates (a lone ')' changes nothing).
        for (std::size_t comma = text.find(','); comma != std::string_view::npos;
             comma = text.find(',', start)) {
            piece(text.substr(start, comma - start));
            start = comma + 1;
        }
        piece(text.substr(start));
        return;
    }
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth > 0) --depth;
        } else if (c == ',' && depth == 0) {
            piece(text.substr(start, i - start));
            start = i + 1;
        }
    }
    piece(text.substr(start));
}

// An upper bound on the items: one more than the commas.
inline std::size_t listPieceCount(std::string_view text) {
    std::size_t pieces = 1;
    for (std::size_t comma = text.find(','); comma != std::string_view::npos;
         comma = text.find(',', comma + 1))
        ++pieces;
    return pieces;
}

// The items as views of text.
inline std::vector<std::string_view> listItemViews(std::string_view text) {
    std::vector<std::string_view> items;
    if (text.empty()) return items;
    items.reserve(listPieceCount(text));
    forEachListItem(text, [&items](std::string_view item) { items.push_back(item); });
    return items;
}

// The items as strings: StringUtilities::splitValueNoEmpty(text).
inline std::vector<std::string> listItems(std::string_view text) {
    std::vector<std::string> items;
    if (text.empty()) return items;
    items.reserve(listPieceCount(text));
    forEachListItem(text, [&items](std::string_view item) { items.emplace_back(item); });
    return items;
}

}  // namespace kel
