#include "ChildExistsCheck.h"

#include <kel/physicschecks/CheckExplanation.h>
#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/TARNParam.h>

#include "ProductKeys.h"

namespace kel {

void ChildExistsCheck::initialise(const std::string& name, const ParameterMap& map,
                                  DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("ChildExistsCheck", Check::productKind().kind(IDStyle::Upper), name, map,
                     verify);
    m_type = keys.required("Object Type");
    keys.verifyType("Object Type", m_type);
    if (keys.optional("Minimum Count")) {
        std::string text = keys.required("Minimum Count");
        auto [count, ok] = TARNParam::valueAsInt(text);
        if (!ok || count < 0)
            keys.fail("Minimum Count", "holds \"" + text + "\", which is not a count");
        m_minimum = static_cast<std::size_t>(count);
    }
}

bool ChildExistsCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    if (m_minimum == 0) return true;
    return evalContext.getDB().getChildObjectNames(context.getFullPath(), m_type).size() >=
           m_minimum;
}

bool ChildExistsCheck::explain(const TARNContext& context, EvalContext* evalContext,
                               CheckExplanation& why) {
    const bool result = evaluate(context, evalContext);
    why = CheckExplanation{m_name,
                           "Child Exists",
                           {},
                           "at least " + std::to_string(m_minimum) + " " + m_type + " child"};
    return result;
}

}  // namespace kel
