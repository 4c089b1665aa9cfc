#include "AnyCheck.h"

#include <kel/physicschecks/CheckExplanation.h>

namespace kel {

bool AnyCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    for (Check* check : checks())
        if (check->evaluate(context, &evalContext)) return true;
    return false;
}

// Decided by the first check that passes (when none does, by the last).
bool AnyCheck::explain(const TARNContext& context, EvalContext* evalContext,
                       CheckExplanation& why) {
    return explainUntil(true, context, evalContext, why);
}

}  // namespace kel
