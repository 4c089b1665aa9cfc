#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <kel/physicsdata/dependency/CheckedDefaultList.h>
#include <kel/physicsdata/dependency/CheckedValue.h>
#include <kel/physicsutils/TARNDatastore.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class CheckDataSource;
class EvalContext;
class ModelRules;
class ParamAllowedValues;
class ParamRulesFacts;
class ParamValueKeys;
class TARNContext;

// The default value of one parameter of one object type, as one PARAMETER VALUES entry
// and the RULES give it. Candidates, in the order tried: the entry's check-guarded
// "Default Value Check List"; then the entry's "Default Value" or, when that is empty, the
// RULES default; when the RULES defaults of a local parameter differ between the options
// of the type's context rule, the RULES default of the option the model object has; and
// finally, when evaluated with allowed values, the first allowed value unless the entry
// sets "Fallback To Blank Default".
//
// Construction resolves every check, list and function name through the source (used
// during construction only) and throws PhysicsException for bad check lists; the data
// source's own errors pass through. The checks, lists and functions are owned elsewhere
// and must outlive this object. Immutable after construction; evaluation runs checks,
// which may fill caches, so use one thread at a time.
class ParamDefault : private NonCopyable {
public:
    enum DefaultType { NoDefault = 0, ContextRuleDefault = 1, CheckedDefaults = 2 };

    static const std::string s_defaultValue;           // "Default Value"
    static const std::string s_defaultValueCheckList;  // "Default Value Check List"
    static const std::string s_fallbackToBlank;        // "Fallback To Blank Default"

    ParamDefault(const std::string& name, const std::string& objectType, const ParameterMap& params,
                 const ModelRules* rules, const CheckDataSource* source);
    ~ParamDefault();

    // The default in TARN value syntax, or "". A non-list parameter whose candidate holds
    // several values gets the first of them. Checks, lists, functions and a context-rule
    // default read the model of evalContext; without one they throw std::invalid_argument.
    std::string evaluate(const ModelRules* rules, const TARNContext& context,
                         EvalContext* evalContext, const std::string& paramName) const;
    // The default filtered by the allowed values; when nothing remains, the first allowed
    // value (or "" with a blank fallback).
    std::string evaluate(const ModelRules* rules, const TARNContext& context,
                         EvalContext* evalContext, const std::string& paramName,
                         const ParamAllowedValues& allowed) const;

    bool isDefined() const { return m_defaultType != NoDefault; }
    // A single literal candidate (whatever its checks).
    bool isFixed() const;
    // The single literal candidate when isFixed(), else "".
    std::string getFixedValue() const;
    std::vector<std::string> getAllFixedValues() const;
    std::vector<CheckedValue> getCheckedValues() const;
    std::set<std::string> getReferencedCheckNames() const;
    std::set<std::string> getReferencedListNames() const;

private:
    friend class ParamValueDef;

    // As the public constructor, with the entry's keys found and the RULES answers kept by
    // the owning definition.
    ParamDefault(const std::string& name, const ParamValueKeys& keys, const CheckDataSource* source,
                 ParamRulesFacts& facts);

    // The texts of the entry's "Fallback To Blank Default", "Default Value" and "Default
    // Value Check List" keys ("" when absent).
    void initialise(const std::string& name, const std::string& fallback,
                    const std::string& writtenDefault, const std::string& checkList,
                    const CheckDataSource* source, ParamRulesFacts& facts);
    void initCheckList(const std::string& name, const std::string& listString,
                       const CheckDataSource* source);
    std::string getRulesDefault(const std::string& objectType, ParamRulesFacts& facts);
    std::string doEvaluate(const ModelRules* rules, const TARNContext& context,
                           EvalContext* evalContext, const std::string& paramName,
                           const ParamAllowedValues* allowed) const;
    std::string evaluateContextRuleDefault(const ModelRules* rules, const TARNContext& context,
                                           EvalContext* evalContext,
                                           const std::string& paramName) const;

    // The flags share the word of the kind: every parameter value definition holds one.
    DefaultType m_defaultType;
    bool m_fallbackToFirstAllowedValue;
    bool m_isListType;
    // The entry's "Default Value Check List", when written (few entries have one).
    std::unique_ptr<const CheckedDefaultList> m_checkedDefaults;
    // The written or RULES default: an unguarded literal tried after every checked
    // candidate ("" when there is none). Most definitions have only this.
    std::string m_fixedDefault;
};

}  // namespace kel
