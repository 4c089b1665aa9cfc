#include "FirstAllowedValueFunction.h"

#include <kel/physicsutils/ParamAllowedValues.h>

namespace kel {

std::string FirstAllowedValueFunction::evaluate(const ParamRHSArgs& args) const {
    return args.allowed ? args.allowed->getFirstValue() : std::string();
}

}  // namespace kel
