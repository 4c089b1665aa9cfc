#include <kel/physicsdata/dependency/ParamDefault.h>

#include <stdexcept>

#include <kel/exception/KELAssertImpl.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/dependency/CheckedListData.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/utilities/StringUtilities.h>

#include "ParamMapLookup.h"
#include "ParamRulesFacts.h"
#include "ParamValueKeys.h"

namespace kel {

namespace {

const char* const kSourceFile = "src/PhysicsData/src/ParamDefault";

}  // namespace

const std::string ParamDefault::s_defaultValue = "Default Value";
const std::string ParamDefault::s_defaultValueCheckList = "Default Value Check List";
const std::string ParamDefault::s_fallbackToBlank = "Fallback To Blank Default";

ParamDefault::ParamDefault(const std::string& name, const std::string& objectType,
                           const ParameterMap& params, const ModelRules* rules,
                           const CheckDataSource* source)
    : m_defaultType(NoDefault), m_fallbackToFirstAllowedValue(true), m_isListType(false) {
    ParamRulesFacts facts(rules, objectType, name);
    initialise(name, paramValueOf(params, s_fallbackToBlank), paramValueOf(params, s_defaultValue),
               paramValueOf(params, s_defaultValueCheckList), source, facts);
}

ParamDefault::ParamDefault(const std::string& name, const ParamValueKeys& keys,
                           const CheckDataSource* source, ParamRulesFacts& facts)
    : m_defaultType(NoDefault), m_fallbackToFirstAllowedValue(true), m_isListType(false) {
    initialise(name, keys.value(ParamValueKeys::FallbackToBlankDefault),
               keys.value(ParamValueKeys::DefaultValue),
               keys.value(ParamValueKeys::DefaultValueCheckList), source, facts);
}

ParamDefault::~ParamDefault() = default;

void ParamDefault::initialise(const std::string& name, const std::string& fallback,
                              const std::string& writtenDefault, const std::string& checkList,
                              const CheckDataSource* source, ParamRulesFacts& facts) {
    m_fallbackToFirstAllowedValue = fallback.empty() || !StringUtilities::stringToBool(fallback);
    m_isListType = TARNParam::isListType(facts.paramType());

    if (writtenDefault.empty()) {
        m_fixedDefault = getRulesDefault(facts.objectType(), facts);
    } else {
        m_fixedDefault = writtenDefault;
    }

    initCheckList(name, checkList, source);

    // A written or RULES default is always the last candidate.
    if (!m_fixedDefault.empty()) m_defaultType = CheckedDefaults;
}

void ParamDefault::initCheckList(const std::string& name, const std::string& listString,
                                 const CheckDataSource* source) {
    if (listString.empty()) return;
    const std::string empty;
    CheckedListData data{s_defaultValueCheckList, listString, name, empty, empty};
    m_checkedDefaults = std::make_unique<const CheckedDefaultList>(data, source);
    m_defaultType = CheckedDefaults;
}

std::string ParamDefault::getRulesDefault(const std::string& objectType, ParamRulesFacts& facts) {
    const ModelRules* rules = facts.rules();
    if (!facts.isLocal() || facts.contextRuleParam().empty()) {
        return facts.param(facts.validOption()).getDefault();
    }
    const auto& options = rules->getAllowedOptions(objectType);
    if (options.empty()) return std::string();
    std::string result = facts.param(options.front()).getDefault();
    for (std::size_t i = 1; i < options.size(); ++i) {
        if (facts.param(options[i]).getDefault() != result) {
            // The defaults differ: the model object's option chooses.
            result.clear();
            m_defaultType = ContextRuleDefault;
            break;
        }
    }
    return result;
}

std::string ParamDefault::evaluateContextRuleDefault(const ModelRules* rules,
                                                     const TARNContext& context,
                                                     EvalContext* evalContext,
                                                     const std::string& paramName) const {
    const std::string& objectType = context.getObjectType();
    const std::string& ruleParam = rules->getContextRuleParam(objectType);
    if (ruleParam.empty()) return std::string();
    if (evalContext == nullptr) {
        throw std::invalid_argument("ParamDefault::evaluate - the default of " + paramName +
                                    " depends on the context rule and needs an evaluation "
                                    "context.");
    }
    const std::string& option =
        evalContext->getDB().getParameterValue(context.getFullPath(), ruleParam);
    if (option.empty()) return std::string();
    return rules->getDefault(objectType, option, paramName);
}

std::string ParamDefault::doEvaluate(const ModelRules* rules, const TARNContext& context,
                                     EvalContext* evalContext, const std::string& paramName,
                                     const ParamAllowedValues* allowed) const {
    switch (m_defaultType) {
        case NoDefault:
            return std::string();
        case ContextRuleDefault:
            return evaluateContextRuleDefault(rules, context, evalContext, paramName);
        case CheckedDefaults: {
            if (m_checkedDefaults) {
                std::string result =
                    m_checkedDefaults->evaluate(rules, context, evalContext, paramName, allowed);
                if (!result.empty()) return result;
            }
            if (!m_fixedDefault.empty()) return m_fixedDefault;
            return evaluateContextRuleDefault(rules, context, evalContext, paramName);
        }
    }
    KELAssertImpl::assertFail("Invalid switch type in ParamDefault::doEvaluate.", kSourceFile,
                              __LINE__);
    return std::string();
}

std::string ParamDefault::evaluate(const ModelRules* rules, const TARNContext& context,
                                   EvalContext* evalContext, const std::string& paramName) const {
    std::string result = doEvaluate(rules, context, evalContext, paramName, nullptr);
    if (m_isListType || result.find(',') == std::string::npos) return result;
    // A single-valued parameter whose candidate holds several values takes the first.
    if (result.find_first_of("()") != std::string::npos) {
        return StringUtilities::splitValue(result, ',').front();
    }
    return StringUtilities::removeWhitespace(result.substr(0, result.find(',')));
}

std::string ParamDefault::evaluate(const ModelRules* rules, const TARNContext& context,
                                   EvalContext* evalContext, const std::string& paramName,
                                   const ParamAllowedValues& allowed) const {
    if (m_defaultType != NoDefault) {
        std::string result = doEvaluate(rules, context, evalContext, paramName, &allowed);
        result = m_isListType ? allowed.filterValues(result, true)
                              : allowed.firstFilteredValue(result, true);
        if (!result.empty()) return result;
    }
    return m_fallbackToFirstAllowedValue ? allowed.getFirstValue() : std::string();
}

bool ParamDefault::isFixed() const {
    if (m_defaultType != CheckedDefaults) return false;
    if (!m_checkedDefaults) return !m_fixedDefault.empty();
    return m_fixedDefault.empty() ? m_checkedDefaults->isFixedValue()
                                  : m_checkedDefaults->isEmpty();
}

std::string ParamDefault::getFixedValue() const {
    if (!isFixed()) return std::string();
    return m_fixedDefault.empty() ? m_checkedDefaults->getFixedValue() : m_fixedDefault;
}

std::vector<std::string> ParamDefault::getAllFixedValues() const {
    std::vector<std::string> values;
    if (m_checkedDefaults) values = m_checkedDefaults->getAllFixedValues();
    if (!m_fixedDefault.empty()) values.push_back(m_fixedDefault);
    return values;
}

std::vector<CheckedValue> ParamDefault::getCheckedValues() const {
    std::vector<CheckedValue> values;
    if (m_checkedDefaults) values = m_checkedDefaults->getCheckedValues();
    if (!m_fixedDefault.empty()) values.push_back({m_fixedDefault, CheckedValue::PlainValue, {}});
    return values;
}

std::set<std::string> ParamDefault::getReferencedCheckNames() const {
    if (m_defaultType != CheckedDefaults || !m_checkedDefaults) return {};
    return m_checkedDefaults->getReferencedCheckNames();
}

std::set<std::string> ParamDefault::getReferencedListNames() const {
    if (m_defaultType != CheckedDefaults || !m_checkedDefaults) return {};
    return m_checkedDefaults->getReferencedListNames();
}

}  // namespace kel
