#include <kel/physicsutils/TARNContext.h>

#include <utility>

namespace kel {

TARNContext::TARNContext(TARNPath path)
    : m_path(std::move(path)), m_fullPath(m_path.getFullPath()), m_typePath(m_path.getTypePath()) {}

TARNContext::TARNContext(std::string_view fullPath) : TARNContext(TARNPath(fullPath)) {}

}  // namespace kel
