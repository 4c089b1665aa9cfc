#include <kel/physicschecks/Check.h>

#include <kel/physicschecks/CheckExplanation.h>
#include <kel/physicschecks/ProductTypeInfo.h>

namespace kel {

Check::~Check() = default;

bool Check::explain(const TARNContext& context, EvalContext* evalContext, CheckExplanation& why) {
    const bool result = evaluate(context, evalContext);
    why = CheckExplanation{getName(), {}, {}, {}};
    return result;
}

const ProductTypeInfo& Check::productKind() {
    static const ProductTypeInfo kind("CHECK");
    return kind;
}

}  // namespace kel
