#pragma once

#include <kel/physicschecks/ParamRHSFunc.h>

namespace kel {

// The built-in RHS function "Object Name": the name of the context object ("" for an
// unnamed object).
class ObjectNameFunction : public ParamRHSFunc {
public:
    std::string evaluate(const ParamRHSArgs& args) const override;
};

}  // namespace kel
