#include "AllCheck.h"

namespace kel {

bool AllCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    for (Check* check : checks())
        if (!check->evaluate(context, &evalContext)) return false;
    return true;
}

}  // namespace kel
