#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>

#include <string_view>

#include <kel/exception/PhysicsException.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// The entries of a check list as StringUtilities::splitValueNoEmpty gives them (split at
// commas outside parentheses, trimmed, empty ones dropped), as views of the text.
std::vector<std::string_view> entriesOf(std::string_view text) {
    std::vector<std::string_view> entries;
    auto emit = [&entries](std::string_view item) {
        item = trimmed(item);
        if (!item.empty()) entries.push_back(item);
    };
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth > 0) --depth;
        } else if (c == ',' && depth == 0) {
            emit(text.substr(start, i - start));
            start = i + 1;
        }
    }
    emit(text.substr(start));
    return entries;
}

}  // namespace

IndexedCheckListSplitter::IndexedCheckListSplitter(const CheckedListData& data) {
    const std::vector<std::string_view> entries = entriesOf(data.listString);
    if (entries.size() % 2 != 0) {
        throw PhysicsException("The check list string [" + data.listString +
                               "] contains an odd number of entries and is therefore invalid.\n" +
                               contextBlock(data));
    }
    m_items.reserve(entries.size() / 2);
    for (std::size_t i = 0; i < entries.size(); i += 2) {
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
        return StringUtilities::splitValueNoEmpty(checkString.substr(1, checkString.size() - 2));
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
