#include "ParameterValueCheck.h"

#include <kel/physicschecks/CheckExplanation.h>
#include <kel/utilities/StringUtilities.h>

#include "ProductKeys.h"

namespace kel {

namespace {

// Equal as text, or as logical words of the same meaning ("Yes" and "true").
bool sameValue(const std::string& modelValue, const std::string& listed) {
    if (modelValue == listed) return true;
    bool modelLogical = false;
    bool listedLogical = false;
    bool a = StringUtilities::isTrue(modelValue, &modelLogical);
    bool b = StringUtilities::isTrue(listed, &listedLogical);
    return modelLogical && listedLogical && a == b;
}

}  // namespace

void ParameterValueCheck::initialise(const std::string& name, const ParameterMap& map,
                                     DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("ParameterValueCheck", Check::productKind().kind(IDStyle::Upper), name, map,
                     verify);
    m_source.read(keys);
    if (const std::string* test = keys.optional("Test")) {
        std::string word = StringUtilities::trim(*test);
        if (word == "Equal")
            m_test = Test::Equal;
        else if (word == "Not Equal")
            m_test = Test::NotEqual;
        else if (word == "Set")
            m_test = Test::Set;
        else if (word == "Not Set")
            m_test = Test::NotSet;
        else
            keys.fail("Test",
                      "has unknown value \"" + word + "\" (Equal, Not Equal, Set, Not Set)");
    }
    if (m_test == Test::Equal || m_test == Test::NotEqual) {
        m_values = keys.requiredList("Value List");
        if (!m_source.knownType().empty())
            for (const std::string& value : m_values)
                keys.verifyValue("Value List", m_source.knownType(), m_source.parameter(), value);
    }
}

std::set<std::string> ParameterValueCheck::computeRequiredContext() const {
    return m_source.requiredContext();
}

bool ParameterValueCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    const ModelTARN& model = evalContext.getDB();
    switch (m_test) {
        case Test::Set:
            return m_source.isSet(context, model);
        case Test::NotSet:
            return !m_source.isSet(context, model);
        case Test::Equal:
        case Test::NotEqual:
            break;
    }
    const std::string& raw = m_source.value(context, model);
    std::string value = StringUtilities::trim(raw);
    bool found = false;
    for (const std::string& listed : m_values)
        if (sameValue(value, listed)) {
            found = true;
            break;
        }
    return m_test == Test::Equal ? found : !found;
}

bool ParameterValueCheck::explain(const TARNContext& context, EvalContext* evalContext,
                                  CheckExplanation& why) {
    const bool result = evaluate(context, evalContext);
    const std::string& parameter = m_source.parameter();
    why = CheckExplanation{m_name, "Parameter Value", {}, parameter};
    why.values[parameter] = m_source.value(context, evalContext->getDB());
    const std::string values = StringUtilities::vectorToString(m_values, ',');
    switch (m_test) {
        case Test::Equal:
            why.wanted += " one of " + values;
            break;
        case Test::NotEqual:
            why.wanted += " none of " + values;
            break;
        case Test::Set:
            why.wanted += " set";
            break;
        case Test::NotSet:
            why.wanted += " not set";
            break;
    }
    return result;
}

}  // namespace kel
