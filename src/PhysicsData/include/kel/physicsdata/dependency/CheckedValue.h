#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kel {

// Describes one check-guarded candidate of a CheckedDefaultList for callers that report
// or export the data: the candidate (a literal value, or the name of the function or list
// that computes it) and the names of the checks that guard it. Plain value type.
struct CheckedValue {
    enum Type : std::int32_t {
        PlainValue = 0,   // `value` is the literal value
        RHSFunction = 1,  // `value` names a parameter right-hand-side function
        ListName = 2,     // `value` names a LIST
    };

    std::string value;
    Type type = PlainValue;
    std::vector<std::string> checks;

    bool operator==(const CheckedValue& other) const = default;
};

}  // namespace kel
