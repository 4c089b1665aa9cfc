#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>

#include <string_view>
#include <vector>

#include <kel/exception/PhysicsException.h>
#include <kel/utilities/StringUtilities.h>

#include "ListItems.h"

namespace kel {

IndexedCheckListSplitter::IndexedCheckListSplitter(const CheckedListData& data) {
    // The entries as views of the text; a short list needs no allocation for them.
    constexpr std::size_t kFew = 16;
    std::string_view few[kFew];
    std::vector<std::string_view> many;
    std::size_t count = 0;
    forEachListItem(data.listString, [&](std::string_view entry) {
        if (count < kFew) {
            few[count] = entry;
        } else {
            if (many.empty()) many.assign(few, few + kFew);
            many.push_back(entry);
        }
        ++count;
    });
    const std::string_view* entries = count <= kFew ? few : many.data();
    if (count % 2 != 0) {
        throw PhysicsException("The check list string [" + data.listString +
                               "] contains an odd number of entries and is therefore invalid.\n" +
                               contextBlock(data));
    }
    m_items.reserve(count / 2);
    for (std::size_t i = 0; i < count; i += 2) {
        std::vector<std::string> checks = parseCheckString(entries[i + 1], data);
        m_items.emplace_back(std::string(entries[i]), std::move(checks));
    }
}

const std::string& IndexedCheckListSplitter::getName(std::size_t index) const {
    return getItem(index).first;
}

const std::vector<std::string>& IndexedCheckListSplitter::getChecks(std::size_t index) const {
    return getItem(index).second;
}

const IndexedCheckListSplitter::Item& IndexedCheckListSplitter::getItem(std::size_t index) const {
    if (index >= m_items.size()) throw PhysicsException("Index out of range.");
    return m_items[index];
}

std::vector<std::string> IndexedCheckListSplitter::parseCheckString(std::string_view checkString,
                                                                    const CheckedListData& data) {
    const bool opens = !checkString.empty() && checkString.front() == '(';
    const bool closes = !checkString.empty() && checkString.back() == ')';
    if (!opens && !closes) return {std::string(checkString)};
    if (opens && closes) {
        return listItems(checkString.substr(1, checkString.size() - 2));
    }
    std::string message("The check string ");
    message += checkString;
    message += " is invalidly parenthesised.";
    message += contextBlock(data);
    throw PhysicsException(message);
}

std::string IndexedCheckListSplitter::contextBlock(const CheckedListData& data) {
    std::string block;
    if (!data.errorHeading.empty()) block += data.errorHeading + "\n";
    if (!data.dataParameter.empty()) block += "Data parameter: " + data.dataParameter + "\n";
    if (!data.modelObject.empty()) {
        block += "Value applies to model object: " + data.modelObject + "\n";
    }
    if (!data.modelParameter.empty()) {
        block += "Value applies to model parameter: " + data.modelParameter + "\n";
    }
    return block;
}

}  // namespace kel
