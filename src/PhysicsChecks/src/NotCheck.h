#pragma once

#include "CombinedCheck.h"

namespace kel {

// CHECK "Not": passes when the single check of "Check List" fails.
class NotCheck : public CombinedCheck {
public:
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;
    const char* className() const override { return "NotCheck"; }
    std::size_t requiredCount() const override { return 1; }
};

}  // namespace kel
