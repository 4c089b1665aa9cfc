#pragma once

#include "CombinedCheck.h"

namespace kel {

// CHECK "Any": passes when one check of "Check List" passes; evaluation stops at the
// first that passes.
class AnyCheck : public CombinedCheck {
public:
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;
    const char* className() const override { return "AnyCheck"; }
};

}  // namespace kel
