#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>

#include <span>
#include <string_view>
#include <vector>

#include <kel/exception/PhysicsException.h>

#include "CheckListViews.h"

namespace kel {

IndexedCheckListSplitter::IndexedCheckListSplitter(const CheckedListData& data) {
    // Split once into views (which throws as this class documents), then copied.
    const CheckListViews views(data);
    m_items.reserve(views.size());
    for (std::size_t i = 0; i < views.size(); ++i) {
        const std::span<const std::string_view> checks = views.checks(i);
        m_items.emplace_back(std::string(views.name(i)),
                             std::vector<std::string>(checks.begin(), checks.end()));
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
