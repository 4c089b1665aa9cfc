#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/rules/RulesParam.h>
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

    // The answer of isLocal(), when the caller already has it.
    void setLocal(bool local) { m_isLocal = local; }

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

    // ModelRules::getParam(T, option, P): the definition that applies under option, which
    // getDefault, getAllowedStringList and the bounds queries read. Kept for a few options;
    // `option` must outlive the facts.
    const RulesParam& param(const std::string& option) {
        for (std::size_t i = 0; i < m_paramCount; ++i)
            if (m_params[i].option == option) return *m_params[i].param;
        const RulesParam& found = m_rules->getParam(m_objectType, option, m_param);
        if (m_paramCount < kKeptParams) m_params[m_paramCount++] = {option, &found};
        return found;
    }

private:
    static constexpr std::size_t kKeptParams = 8;
    struct KeptParam {
        std::string_view option;
        const RulesParam* param;
    };

    const ModelRules* m_rules;
    const std::string& m_objectType;
    const std::string& m_param;
    std::optional<TARNParam::Type> m_paramType;
    std::optional<bool> m_isLocal;
    const std::string* m_contextRuleParam = nullptr;
    std::optional<std::string> m_validOption;
    KeptParam m_params[kKeptParams] = {};
    std::size_t m_paramCount = 0;
};

}  // namespace kel
