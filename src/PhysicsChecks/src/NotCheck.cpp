#include "NotCheck.h"

#include <kel/physicschecks/CheckExplanation.h>

namespace kel {

bool NotCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    return !checks().front()->evaluate(context, &evalContext);
}

bool NotCheck::explain(const TARNContext& context, EvalContext* evalContext,
                       CheckExplanation& why) {
    const bool result = !checks().front()->explain(context, evalContext, why);
    why.wanted = "not (" + why.wanted + ")";
    return result;
}

}  // namespace kel
