#include "NumericTestCheck.h"

#include <sstream>

#include <kel/physicschecks/CheckExplanation.h>
#include <kel/physicschecks/DataVerifyInterface.h>
#include <kel/utilities/StringUtilities.h>

#include "ProductKeys.h"

namespace kel {

void NumericTestCheck::initialise(const std::string& name, const ParameterMap& map,
                                  DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("NumericTestCheck", Check::productKind().kind(IDStyle::Upper), name, map,
                     verify);
    m_source.read(keys);
    std::string op = keys.required("Operator");
    if (op == "<")
        m_op = Op::Less;
    else if (op == "<=")
        m_op = Op::LessEqual;
    else if (op == ">")
        m_op = Op::Greater;
    else if (op == ">=")
        m_op = Op::GreaterEqual;
    else if (op == "==")
        m_op = Op::Equal;
    else if (op == "!=")
        m_op = Op::NotEqual;
    else
        keys.fail("Operator", "has unknown value \"" + op + "\" (< <= > >= == !=)");
    std::string text = keys.required("Value");
    std::string number, units;
    auto [value, ok] = StringUtilities::valueAsFloat(text, number, units);
    if (!ok) keys.fail("Value", "holds \"" + text + "\", which is not a number");
    m_value = value;
    const std::string& type = m_source.knownType();
    if (verify && !type.empty()) {
        TARNParam::Type paramType = verify->getParamType(type, m_source.parameter());
        if (TARNParam::isStringType(paramType) || TARNParam::isLogicalType(paramType))
            keys.fail("Parameter", "names parameter \"" + m_source.parameter() +
                                       "\", which is not numeric on object type \"" + type + "\"");
    }
}

std::set<std::string> NumericTestCheck::getRequiredContext() const {
    return m_source.requiredContext();
}

bool NumericTestCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    const std::string& text = m_source.value(context, evalContext.getDB());
    if (text.empty()) return false;
    std::string number, units;
    auto [value, ok] = StringUtilities::valueAsFloat(text, number, units);
    if (!ok) return false;
    switch (m_op) {
        case Op::Less:
            return value < m_value;
        case Op::LessEqual:
            return value <= m_value;
        case Op::Greater:
            return value > m_value;
        case Op::GreaterEqual:
            return value >= m_value;
        case Op::Equal:
            return value == m_value;
        case Op::NotEqual:
            return value != m_value;
    }
    return false;
}

bool NumericTestCheck::explain(const TARNContext& context, EvalContext* evalContext,
                               CheckExplanation& why) {
    const bool result = evaluate(context, evalContext);
    static const char* const ops[] = {"<", "<=", ">", ">=", "==", "!="};
    const Op all[] = {Op::Less,         Op::LessEqual, Op::Greater,
                      Op::GreaterEqual, Op::Equal,     Op::NotEqual};
    std::ostringstream wanted;
    wanted << m_source.parameter();
    for (std::size_t i = 0; i < 6; ++i)
        if (all[i] == m_op) wanted << ' ' << ops[i] << ' ' << m_value;
    why = CheckExplanation{m_name, "Numeric Test", {}, wanted.str()};
    why.values[m_source.parameter()] = m_source.value(context, evalContext->getDB());
    return result;
}

}  // namespace kel
