#include <kel/physicsutils/ParCtxtHolderBase.h>

namespace kel {

ParCtxtHolderBase::ParCtxtHolderBase(bool isObjectType) : m_isObjectType(isObjectType) {}

ParCtxtHolderBase::~ParCtxtHolderBase() = default;

bool ParCtxtHolderBase::insertInvalidContexts(const std::string& name,
                                              const std::vector<std::string>& contexts) {
    bool allNew = true;
    for (const std::string& context : contexts) {
        if (!m_invalid.insert(context + "/" + name).second) allNew = false;
    }
    return allNew;
}

bool ParCtxtHolderBase::isInvalidContext(std::string_view key) const {
    return m_invalid.find(key) != m_invalid.end();
}

std::vector<std::string> ParCtxtHolderBase::filterInvalidContexts(
    const std::vector<std::string>& keys) const {
    std::vector<std::string> invalid;
    for (const std::string& key : keys) {
        if (isInvalidContext(key)) invalid.push_back(key);
    }
    return invalid;
}

}  // namespace kel
