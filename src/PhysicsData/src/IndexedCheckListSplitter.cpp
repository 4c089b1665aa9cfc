#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>

#include <kel/exception/PhysicsException.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

IndexedCheckListSplitter::IndexedCheckListSplitter(const CheckedListData& data) {
    std::vector<std::string> entries = StringUtilities::splitValueNoEmpty(data.listString);
    if (entries.size() % 2 != 0) {
        throw PhysicsException("The check list string [" + data.listString +
                               "] contains an odd number of entries and is therefore invalid.\n" +
                               contextBlock(data));
    }
    m_items.reserve(entries.size() / 2);
    for (std::size_t i = 0; i < entries.size(); i += 2) {
        m_items.emplace_back(std::move(entries[i]), parseCheckString(entries[i + 1], data));
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

std::vector<std::string> IndexedCheckListSplitter::parseCheckString(const std::string& checkString,
                                                                    const CheckedListData& data) {
    const bool opens = !checkString.empty() && checkString.front() == '(';
    const bool closes = !checkString.empty() && checkString.back() == ')';
    if (!opens && !closes) return {checkString};
    if (opens && closes) {
        return StringUtilities::splitValueNoEmpty(
            std::string_view(checkString).substr(1, checkString.size() - 2));
    }
    throw PhysicsException("The check string " + checkString + " is invalidly parenthesised." +
                           contextBlock(data));
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
