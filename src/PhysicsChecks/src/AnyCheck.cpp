#include "AnyCheck.h"

namespace kel {

bool AnyCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    for (Check* check : checks())
        if (check->evaluate(context, &evalContext)) return true;
    return false;
}

}  // namespace kel
