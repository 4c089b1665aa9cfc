#pragma once

#include <kel/physicschecks/ParamRHSFunc.h>

namespace kel {

// The built-in RHS function "First Allowed Value": the first of the allowed values handed
// in, "" when there are none (or none were given).
class FirstAllowedValueFunction : public ParamRHSFunc {
public:
    std::string evaluate(const ParamRHSArgs& args) const override;
};

}  // namespace kel
