#include "AllCheck.h"

#include <kel/physicschecks/CheckExplanation.h>

namespace kel {

bool AllCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    for (Check* check : checks())
        if (!check->evaluate(context, &evalContext)) return false;
    return true;
}

// Decided by the first check that fails (when all pass, by the last).
bool AllCheck::explain(const TARNContext& context, EvalContext* evalContext,
                       CheckExplanation& why) {
    return explainUntil(false, context, evalContext, why);
}

}  // namespace kel
