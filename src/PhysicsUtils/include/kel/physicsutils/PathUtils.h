#pragma once

#include <string>
#include <string_view>

namespace kel {

// Helpers on normalised type paths ("/A/B/C"). Stateless.
class PathUtils {
public:
    // The object type at the end of a normalised path: "/A/B" gives "B", "" gives "".
    static std::string typeFromNormalisedPath(std::string_view path);
};

}  // namespace kel
