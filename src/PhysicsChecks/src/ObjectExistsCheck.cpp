#include "ObjectExistsCheck.h"

#include <kel/physicschecks/CheckExplanation.h>

#include "ProductKeys.h"

namespace kel {

void ObjectExistsCheck::initialise(const std::string& name, const ParameterMap& map,
                                   DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("ObjectExistsCheck", Check::productKind().kind(IDStyle::Upper), name, map,
                     verify);
    m_type = keys.required("Object Type");
    keys.verifyType("Object Type", m_type);
}

bool ObjectExistsCheck::doEvaluate(const TARNContext&, EvalContext& evalContext) {
    return !evalContext.getCache()->objectsOfType(m_type).empty();
}

bool ObjectExistsCheck::explain(const TARNContext& context, EvalContext* evalContext,
                                CheckExplanation& why) {
    const bool result = evaluate(context, evalContext);
    why = CheckExplanation{m_name, "Object Exists", {}, "an object of type " + m_type};
    return result;
}

}  // namespace kel
