#pragma once

#include <string>
#include <vector>

namespace kel {

// Names of extra RULES keys a host wants read beside the standard ones, by the form their
// values take: single values, lists, logical values. Plain value type.
struct ExtraDef {
    std::vector<std::string> stringRules;
    std::vector<std::string> listRules;
    std::vector<std::string> boolRules;
};

}  // namespace kel
