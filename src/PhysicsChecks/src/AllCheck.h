#pragma once

#include "CombinedCheck.h"

namespace kel {

// CHECK "All": passes when every check of "Check List" passes; evaluation stops at the
// first that fails.
class AllCheck : public CombinedCheck {
public:
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;
    const char* className() const override { return "AllCheck"; }
};

}  // namespace kel
