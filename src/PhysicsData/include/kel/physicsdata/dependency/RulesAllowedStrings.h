#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <kel/utilities/NonCopyable.h>

namespace kel {

class EvalContext;
class ModelRules;
class ParamRulesFacts;
class TARNContext;

// The allowed strings that the RULES give one parameter of one object type. When the
// parameter is local to the type and its allowed strings differ between the options of
// the type's context rule, one set is kept per option and the set that applies is chosen
// by the context rule value of the model object; otherwise one set serves every context.
//
// Built from the RULES model, which is used during construction only; owned by the
// ParamValueDef that uses it. Immutable afterwards: getAllowedStrings only reads the model
// of evalContext, so const use from several threads is safe when the model allows it.
class RulesAllowedStrings : private NonCopyable {
public:
    RulesAllowedStrings(const ModelRules* rules, const std::string& objectType,
                        const std::string& paramName);

    bool hasAllowedStrings() const { return m_hasAllowed; }
    // Every allowed string over all options, each once, in first-appearance order.
    const std::vector<std::string>& getAllAllowedStrings() const { return m_allAllowed; }
    // The set that applies to the context object (empty: no RULES restriction there).
    // A context rule value that is neither empty nor an option of the type is an internal
    // error (asserted; an empty set is returned). When the set depends on the context rule,
    // a null evalContext throws std::invalid_argument.
    const std::set<std::string>& getAllowedStrings(const TARNContext& context,
                                                   EvalContext* evalContext) const;

private:
    friend class ParamValueDef;

    // As the public constructor, with the RULES answers kept by the owning definition, but
    // without the set that serves every context when the context rule does not choose:
    // the definition asks for it with fillCommon() when it keeps these strings.
    explicit RulesAllowedStrings(ParamRulesFacts& facts);
    void init(ParamRulesFacts& facts);
    // Whether the set that applies is chosen by the context rule value.
    bool dependsOnOption() const { return m_byOption != nullptr; }
    // Makes the set that serves every context from the ordered strings (unless the context
    // rule chooses, or it is made already); call before takeAllAllowedStrings.
    void fillCommon() {
        if (!m_byOption && m_common.empty())
            m_common.insert(m_allAllowed.begin(), m_allAllowed.end());
    }
    // Hands the ordered strings to the owning definition, which keeps them as its allowed
    // values; getAllAllowedStrings is empty afterwards (hasAllowedStrings is unchanged).
    std::vector<std::string> takeAllAllowedStrings() { return std::move(m_allAllowed); }

    // The sets by option and the parameter whose value chooses among them; most
    // parameters have one set for every context, so this is kept out of line.
    struct ByOption {
        std::string contextRuleParam;
        std::map<std::string, std::set<std::string>> sets;
    };

    std::vector<std::string> m_allAllowed;
    std::set<std::string> m_common;  // serves every context when the rule does not choose
    std::unique_ptr<const ByOption> m_byOption;  // when it does
    bool m_hasAllowed;
};

}  // namespace kel
