#include <kel/physicsutils/PathUtils.h>

namespace kel {

std::string PathUtils::typeFromNormalisedPath(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    // Tolerate an object path: the type is the part before the name.
    return std::string(last.substr(0, last.find(':')));
}

}  // namespace kel
