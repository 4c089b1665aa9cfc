#include <kel/physicsdata/dependency/CheckListSplitter.h>

#include <algorithm>

#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>

namespace kel {

CheckListSplitter::CheckListSplitter(const CheckedListData& data) {
    const IndexedCheckListSplitter items(data);
    for (std::size_t i = 0; i < items.getNumberOfNames(); ++i) {
        const std::string& name = items.getName(i);
        const std::vector<std::string>& checks = items.getChecks(i);
        std::vector<std::string>& collected = m_checks[name];
        collected.insert(collected.end(), checks.begin(), checks.end());
        if (std::find(m_names.begin(), m_names.end(), name) == m_names.end()) {
            m_names.push_back(name);
        }
    }
}

std::vector<std::string> CheckListSplitter::getChecksForName(const std::string& name) const {
    auto found = m_checks.find(name);
    return found == m_checks.end() ? std::vector<std::string>() : found->second;
}

}  // namespace kel
