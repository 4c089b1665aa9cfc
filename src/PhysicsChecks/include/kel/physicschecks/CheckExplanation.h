#pragma once

#include <map>
#include <string>

namespace kel {

// Why a check gave its result, as data: the check that decided (for All, Any and Not, the
// leaf they were decided by), its kind (its "Type", e.g. "Parameter Value"), each model
// parameter it read with the value found ("" when absent), and what it wanted, in words
// ("Analysis Type one of Transient", "not (Kind one of Hot)"). Filled by Check::explain.
// Value type.
struct CheckExplanation {
    std::string check;
    std::string kind;
    std::map<std::string, std::string> values;
    std::string wanted;
};

}  // namespace kel
