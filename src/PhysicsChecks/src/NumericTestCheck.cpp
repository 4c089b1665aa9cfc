#include "NumericTestCheck.h"

#include <cmath>
#include <sstream>

#include <kel/physicschecks/CheckExplanation.h>
#include <kel/physicschecks/DataVerifyInterface.h>
#include <kel/physicsutils/TARNParam.h>
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
    m_valueText = StringUtilities::trim(text);
    if (!parse(text, m_value))
        keys.fail("Value", "holds \"" + text + "\", which is not a finite number");
    const std::string& type = m_source.knownType();
    if (verify && !type.empty()) {
        TARNParam::Type paramType = verify->getParamType(type, m_source.parameter());
        if (TARNParam::isStringType(paramType) || TARNParam::isLogicalType(paramType))
            keys.fail("Parameter", "names parameter \"" + m_source.parameter() +
                                       "\", which is not numeric on object type \"" + type + "\"");
    }
}

std::set<std::string> NumericTestCheck::computeRequiredContext() const {
    return m_source.requiredContext();
}

bool NumericTestCheck::parse(const std::string& text, Number& number) {
    std::string digits, units;
    auto [real, ok] = StringUtilities::valueAsDouble(text, digits, units);
    if (!ok) return false;
    auto [whole, isWhole] = TARNParam::valueAsInt64(digits);
    number = Number{real, whole, isWhole};
    return true;
}

int NumericTestCheck::compare(const Number& a, const Number& b) {
    if (a.isWhole && b.isWhole) return (a.whole > b.whole) - (a.whole < b.whole);
    if (!a.isWhole && !b.isWhole) return (a.real > b.real) - (a.real < b.real);
    if (!a.isWhole) return -compare(b, a);
    // a whole, b not: compare a with b's integral part, then b's fraction with zero.
    constexpr double kTwo63 = 9223372036854775808.0;
    if (b.real >= kTwo63) return -1;
    if (b.real < -kTwo63) return 1;
    const double integral = std::trunc(b.real);
    const auto bWhole = static_cast<std::int64_t>(integral);
    if (a.whole != bWhole) return a.whole < bWhole ? -1 : 1;
    return (integral > b.real) - (integral < b.real);
}

bool NumericTestCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    const std::string& text = m_source.value(context, evalContext.getDB());
    Number value;
    if (text.empty() || !parse(text, value)) return false;
    const int order = compare(value, m_value);
    switch (m_op) {
        case Op::Less:
            return order < 0;
        case Op::LessEqual:
            return order <= 0;
        case Op::Greater:
            return order > 0;
        case Op::GreaterEqual:
            return order >= 0;
        case Op::Equal:
            return order == 0;
        case Op::NotEqual:
            return order != 0;
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
        if (all[i] == m_op) wanted << ' ' << ops[i] << ' ' << m_valueText;
    why = CheckExplanation{m_name, "Numeric Test", {}, wanted.str()};
    why.values[m_source.parameter()] = m_source.value(context, evalContext->getDB());
    return result;
}

}  // namespace kel
