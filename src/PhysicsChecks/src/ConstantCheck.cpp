#include "ConstantCheck.h"

#include <kel/physicschecks/CheckExplanation.h>
#include <kel/utilities/StringUtilities.h>

#include "ProductKeys.h"

namespace kel {

void ConstantCheck::initialise(const std::string& name, const ParameterMap& map,
                               DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("ConstantCheck", Check::productKind().kind(IDStyle::Upper), name, map, verify);
    std::string text = keys.required("Value");
    bool isLogical = false;
    m_value = StringUtilities::isTrue(text, &isLogical);
    if (!isLogical) keys.fail("Value", "holds \"" + text + "\", which is not a logical value");
}

bool ConstantCheck::explain(const TARNContext& context, EvalContext* evalContext,
                            CheckExplanation& why) {
    const bool result = evaluate(context, evalContext);
    why = CheckExplanation{m_name, "Constant", {}, m_value ? "true" : "false"};
    return result;
}

}  // namespace kel
