#include <kel/physicsutils/TARNContext.h>

#include <utility>

#include <kel/physicsutils/PathUtils.h>

namespace kel {

TARNContext::TARNContext(TARNPath path)
    : m_path(std::move(path)), m_fullPath(m_path.getFullPath()), m_typePath(m_path.getTypePath()) {}

TARNContext::TARNContext(std::string_view fullPath) : TARNContext(TARNPath(fullPath)) {}

TARNContext::TARNContext(const TARNContext& parent, std::string_view type, std::string_view name) {
    assignChild(parent, type, name);
}

void TARNContext::assignChild(const TARNContext& parent, std::string_view type,
                              std::string_view name) {
    if (&parent == this) {
        *this = TARNContext(TARNContext(parent), type, name);
        return;
    }
    m_path.assignChild(parent.m_path, type, name);
    const std::string& last = m_path.getLastName();
    m_fullPath.reserve(parent.m_fullPath.size() + type.size() + last.size() + 2);
    m_fullPath.assign(parent.m_fullPath);
    PathUtils::appendComponent(m_fullPath, type, last);
    m_typePath.reserve(parent.m_typePath.size() + type.size() + 1);
    m_typePath.assign(parent.m_typePath);
    m_typePath += '/';
    m_typePath += type;
}

}  // namespace kel
