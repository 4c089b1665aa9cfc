#include <kel/physicsdata/dependency/RulesAllowedStrings.h>

#include <algorithm>
#include <stdexcept>

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/TARNContext.h>

#include "ParamRulesFacts.h"

namespace kel {

RulesAllowedStrings::RulesAllowedStrings(const ModelRules* rules, const std::string& objectType,
                                         const std::string& paramName)
    : m_hasAllowed(false) {
    ParamRulesFacts facts(rules, objectType, paramName);
    init(facts);
    fillCommon();
}

RulesAllowedStrings::RulesAllowedStrings(ParamRulesFacts& facts) : m_hasAllowed(false) {
    init(facts);
}

void RulesAllowedStrings::init(ParamRulesFacts& facts) {
    const ModelRules* rules = facts.rules();
    const std::string& objectType = facts.objectType();
    const std::string& contextRuleParam = facts.contextRuleParam();
    if (facts.isLocal() && !contextRuleParam.empty()) {
        const auto& options = rules->getAllowedOptions(objectType);
        std::vector<std::set<std::string>> sets;  // by option
        sets.reserve(options.size());
        for (const auto& option : options) {
            const auto& list = facts.param(option).getAllowedStringList();
            sets.emplace_back(list.begin(), list.end());
            for (const auto& value : list) {
                if (std::find(m_allAllowed.begin(), m_allAllowed.end(), value) ==
                    m_allAllowed.end()) {
                    m_allAllowed.push_back(value);
                }
            }
        }
        bool allEqual = true;
        for (std::size_t i = 1; i < sets.size() && allEqual; ++i) {
            allEqual = sets[i - 1] == sets[i];
        }
        if (allEqual) {
            // One set serves every option: drop the dependence on the context rule.
            if (!sets.empty()) m_common = std::move(sets.front());
        } else {
            auto byOption = std::make_unique<ByOption>();
            byOption->contextRuleParam = contextRuleParam;
            for (std::size_t i = 0; i < options.size(); ++i)
                byOption->sets.emplace(options[i], std::move(sets[i]));
            // An object without a context rule value is not restricted by the RULES: it
            // finds no set, as an option the RULES do not know.
            m_byOption = std::move(byOption);
        }
    } else {
        m_allAllowed = facts.param(facts.validOption()).getAllowedStringList();
    }
    m_hasAllowed = !m_allAllowed.empty();
}

const std::set<std::string>& RulesAllowedStrings::getAllowedStrings(
    const TARNContext& context, EvalContext* evalContext) const {
    if (!m_byOption) return m_common;
    const std::string& ruleParam = m_byOption->contextRuleParam;
    if (evalContext == nullptr) {
        throw std::invalid_argument(
            "RulesAllowedStrings::getAllowedStrings - the strings depend on " + ruleParam +
            ", which needs an evaluation context.");
    }
    const std::string& option =
        evalContext->getDB().getParameterValue(context.getFullPath(), ruleParam);
    // The option comes from the model, where a user may have typed anything: an option
    // the RULES do not know allows no strings.
    auto it = m_byOption->sets.find(option);
    if (it == m_byOption->sets.end()) {
        static const std::set<std::string> none;
        return none;
    }
    return it->second;
}

}  // namespace kel
