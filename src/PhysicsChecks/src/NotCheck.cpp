#include "NotCheck.h"

namespace kel {

bool NotCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    return !checks().front()->evaluate(context, &evalContext);
}

}  // namespace kel
