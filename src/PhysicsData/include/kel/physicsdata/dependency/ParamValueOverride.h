#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include <kel/physicsdata/dependency/CheckedDefaultList.h>
#include <kel/physicsdata/dependency/CheckedValue.h>
#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

class CheckDataSource;
class EvalContext;
class ModelRules;
class ParamAllowedValues;
class ParamRulesFacts;
class TARNContext;

// Whether, in a model context, a parameter's value is forced, and to what: the first
// candidate of the entry's check-guarded "Value Override Check List" that applies. There
// is no fallback: when no candidate applies (or, with allowed values, none survives the
// filter) the override does not apply.
//
// Construction resolves names through the source (used during construction only) and
// throws PhysicsException for a bad check list; the source's own errors pass through.
// Value type; copies share the checks, lists and functions, which are owned elsewhere and
// must outlive every copy. Evaluation runs checks (which may fill caches): one thread at
// a time.
class ParamValueOverride {
public:
    static const std::string s_valueOverrideCheckList;  // "Value Override Check List"

    ParamValueOverride(const std::string& name, const std::string& objectType,
                       const ParameterMap& params, const ModelRules* rules,
                       const CheckDataSource* source);
    ParamValueOverride(const ParamValueOverride&) = default;
    ParamValueOverride& operator=(const ParamValueOverride&) = default;

    // (applies, value).
    std::pair<bool, std::string> evaluate(const ModelRules* rules, const TARNContext& context,
                                          EvalContext* evalContext,
                                          const std::string& paramName) const;
    // (applies, value) with the value filtered by the allowed values: all allowed items for
    // a list parameter, the first allowed item otherwise.
    std::pair<bool, std::string> evaluate(const ModelRules* rules, const TARNContext& context,
                                          EvalContext* evalContext, const std::string& paramName,
                                          const ParamAllowedValues& allowed) const;

    bool isDefined() const { return !m_checkedOverrides.isEmpty(); }
    std::vector<CheckedValue> getCheckedValues() const;
    std::set<std::string> getReferencedCheckNames() const;
    std::set<std::string> getReferencedListNames() const;
    // Their names in candidate order, repeats included, without building the sets.
    void forEachReferencedCheckName(const CheckedDefaultList::NameVisitor& visit) const {
        m_checkedOverrides.forEachReferencedCheckName(visit);
    }
    void forEachReferencedListName(const CheckedDefaultList::NameVisitor& visit) const {
        m_checkedOverrides.forEachReferencedListName(visit);
    }

private:
    friend class ParamValueDef;

    // As the public constructor, with the RULES answers kept by the owning definition.
    // `checkList` is the text of the entry's "Value Override Check List" ("" when absent).
    ParamValueOverride(const std::string& name, const std::string& checkList,
                       const CheckDataSource* source, ParamRulesFacts& facts);

    std::pair<bool, std::string> doEvaluate(const ModelRules* rules, const TARNContext& context,
                                            EvalContext* evalContext, const std::string& paramName,
                                            const ParamAllowedValues* allowed) const;

    CheckedDefaultList m_checkedOverrides;
    bool m_isListType;
};

}  // namespace kel
