#include <kel/physicsutils/ParCtxtHolderBase.h>

namespace kel {

ParCtxtHolderBase::ParCtxtHolderBase(bool isObjectType) : m_isObjectType(isObjectType) {}

ParCtxtHolderBase::~ParCtxtHolderBase() = default;

bool ParCtxtHolderBase::insertInvalidContexts(const std::string& name,
                                              const std::vector<std::string>& contexts) {
    bool allNew = true;
    for (const std::string& context : contexts) {
        std::string key = context + "/" + name;
        m_invalidTails.emplace(lastComponent(key));
        if (!m_invalid.insert(std::move(key)).second) allNew = false;
    }
    return allNew;
}

bool ParCtxtHolderBase::isInvalidContext(std::string_view key) const {
    // Most keys end in a name that has no invalid context at all: the short tail is
    // looked up before the whole key.
    if (m_invalid.empty() || m_invalidTails.find(lastComponent(key)) == m_invalidTails.end())
        return false;
    return m_invalid.find(key) != m_invalid.end();
}

std::string_view ParCtxtHolderBase::lastComponent(std::string_view key) {
    const std::size_t slash = key.rfind('/');
    return slash == std::string_view::npos ? key : key.substr(slash + 1);
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
