#include <kel/physicsdata/dependency/ParamValueOverride.h>

#include <kel/physicsdata/dependency/CheckedListData.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNParam.h>

#include "ParamMapLookup.h"
#include "ParamRulesFacts.h"

namespace kel {

namespace {

CheckedDefaultList buildOverrides(const std::string& name, const std::string& checkList,
                                  const CheckDataSource* source) {
    const std::string empty;
    CheckedListData data{ParamValueOverride::s_valueOverrideCheckList, checkList, name, empty,
                         empty};
    return CheckedDefaultList(data, source);
}

}  // namespace

const std::string ParamValueOverride::s_valueOverrideCheckList = "Value Override Check List";

ParamValueOverride::ParamValueOverride(const std::string& name, const std::string& objectType,
                                       const ParameterMap& params, const ModelRules* rules,
                                       const CheckDataSource* source)
    : m_checkedOverrides(buildOverrides(
          name, paramValueOf(params, ParamValueOverride::s_valueOverrideCheckList), source)),
      m_isListType(TARNParam::isListType(rules->getParamType(objectType, name))) {}

ParamValueOverride::ParamValueOverride(const std::string& name, const std::string& checkList,
                                       const CheckDataSource* source, ParamRulesFacts& facts)
    : m_checkedOverrides(buildOverrides(name, checkList, source)),
      m_isListType(TARNParam::isListType(facts.paramType())) {}

std::pair<bool, std::string> ParamValueOverride::doEvaluate(
    const ModelRules* rules, const TARNContext& context, EvalContext* evalContext,
    const std::string& paramName, const ParamAllowedValues* allowed) const {
    std::string result =
        m_checkedOverrides.evaluate(rules, context, evalContext, paramName, allowed);
    return {!result.empty(), result};
}

std::pair<bool, std::string> ParamValueOverride::evaluate(const ModelRules* rules,
                                                          const TARNContext& context,
                                                          EvalContext* evalContext,
                                                          const std::string& paramName) const {
    return doEvaluate(rules, context, evalContext, paramName, nullptr);
}

std::pair<bool, std::string> ParamValueOverride::evaluate(const ModelRules* rules,
                                                          const TARNContext& context,
                                                          EvalContext* evalContext,
                                                          const std::string& paramName,
                                                          const ParamAllowedValues& allowed) const {
    auto [applies, value] = doEvaluate(rules, context, evalContext, paramName, &allowed);
    if (!applies) return {false, std::string()};
    std::string filtered =
        m_isListType ? allowed.filterValues(value, true) : allowed.firstFilteredValue(value, true);
    return {!filtered.empty(), filtered};
}

std::vector<CheckedValue> ParamValueOverride::getCheckedValues() const {
    return m_checkedOverrides.getCheckedValues();
}

std::set<std::string> ParamValueOverride::getReferencedCheckNames() const {
    return m_checkedOverrides.getReferencedCheckNames();
}

std::set<std::string> ParamValueOverride::getReferencedListNames() const {
    return m_checkedOverrides.getReferencedListNames();
}

}  // namespace kel
