#pragma once

#include <optional>
#include <string>

#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/TARNParam.h>

namespace kel {

// What the RULES say about one parameter of one object type, asked of the model on first
// use and kept: a parameter value definition and its default, override and RULES allowed
// strings all need the same few answers, and the model is asked each question once, at
// the point where the first of them needs it (so a query that throws does so where it
// always did). Refers to the model, the type and the parameter name, which must outlive it.
//
// Not synchronised; one construction uses it.
class ParamRulesFacts {
public:
    ParamRulesFacts(const ModelRules* rules, const std::string& objectType,
                    const std::string& param)
        : m_rules(rules), m_objectType(objectType), m_param(param) {}

    const ModelRules* rules() const { return m_rules; }
    const std::string& objectType() const { return m_objectType; }

    // ModelRules::getParamType(T, P).
    TARNParam::Type paramType() {
        if (!m_paramType) m_paramType = m_rules->getParamType(m_objectType, m_param);
        return *m_paramType;
    }

    // ModelRules::isLocalRulesParam(T, P).
    bool isLocal() {
        if (!m_isLocal) m_isLocal = m_rules->isLocalRulesParam(m_objectType, m_param);
        return *m_isLocal;
    }

    // ModelRules::getContextRuleParam(T).
    const std::string& contextRuleParam() {
        if (m_contextRuleParam == nullptr)
            m_contextRuleParam = &m_rules->getContextRuleParam(m_objectType);
        return *m_contextRuleParam;
    }

    // ModelRules::getValidOptionForObject(T).
    const std::string& validOption() {
        if (!m_validOption) m_validOption = m_rules->getValidOptionForObject(m_objectType);
        return *m_validOption;
    }

private:
    const ModelRules* m_rules;
    const std::string& m_objectType;
    const std::string& m_param;
    std::optional<TARNParam::Type> m_paramType;
    std::optional<bool> m_isLocal;
    const std::string* m_contextRuleParam = nullptr;
    std::optional<std::string> m_validOption;
};

}  // namespace kel
