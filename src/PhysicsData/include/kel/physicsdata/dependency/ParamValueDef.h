#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <kel/physicsdata/dependency/BoundsData.h>
#include <kel/physicsdata/dependency/CheckedValue.h>
#include <kel/physicsdata/dependency/ParamDefault.h>
#include <kel/physicsdata/dependency/ParamValueOverride.h>
#include <kel/physicsdata/dependency/RulesAllowedStrings.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNDatastore.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class AvailabilityCheckDataSource;
class Check;
class EvalContext;
class List;
class ModelRules;
class ParamRulesFacts;
class ParamValueKeys;
class RulesParam;
class TARNContext;

// Everything the PHYSICS data says about the values of one parameter of one object type
// in one parent context: its type, its allowed values (a fixed list whose values may be
// guarded by checks, or a LIST evaluated at run time, each possibly with a subset), its
// default and value override, its bounds and its quantity type (both from the RULES).
//
// Built from one PARAMETER VALUES entry (a key/value map). Construction resolves every
// check and list through the source and reads the RULES; neither is kept. Bad data
// throws PhysicsException naming the parameter; errors of check lists, bounds and the
// source pass through. A failed construction leaves nothing behind.
//
// Ownership: the definition owns its default, override and RULES allowed strings; it only
// points to checks and lists, which belong to the physics data and must outlive it.
// Immutable after construction. Evaluation runs checks and lists (which may fill caches),
// so a definition is used from one thread at a time. Evaluations that need the model (checks,
// lists, anything chosen by the context rule value) throw std::invalid_argument when
// evalContext is null.
class ParamValueDef : private NonCopyable {
public:
    // One fixed allowed value with the checks that must all pass for it to be offered.
    struct ValueCheck {
        std::string value;
        std::vector<Check*> checks;
        bool inSubset = false;
        // False for a written value that the RULES strings (the same in every context)
        // leave out: it is never offered.
        bool inRules = true;
    };

    // Keys of a PARAMETER VALUES entry read here (default and override keys belong to
    // ParamDefault and ParamValueOverride).
    static const std::string s_parameterType;               // "Parameter Type"
    static const std::string s_orderedAllowedStringList;    // "Ordered Allowed String List"
    static const std::string s_allowedStringListChecks;     // "Allowed String List Checks"
    static const std::string s_subsetAllowedStringList;     // "Subset Allowed String List"
    static const std::string s_unusedAllowedStringList;     // "Unused Allowed String List"
    static const std::string s_valueListSource;             // "Value List Source"
    static const std::string s_subsetValueListSource;       // "Subset Value List Source"
    static const std::string s_availableWithNoAllowedVals;  // "Available With No Allowed Values"
    static const std::string s_completeListRequired;        // "Complete List Required"
    // The quantity type of a real parameter whose RULES quantity type differs by option.
    static const std::string s_contextDependentQuantity;  // "__CONTEXT_Dependent__"

    ParamValueDef(const std::string& name, const std::string& objectType,
                  const ParameterMap& params, const ModelRules* rules,
                  const AvailabilityCheckDataSource* source, bool validateData);
    virtual ~ParamValueDef();

    // The values allowed for the context object (unrestricted when the definition has no
    // restriction), limited to the RULES allowed strings that apply there.
    ParamAllowedValues evaluateAllowedValues(const ModelRules* rules, const TARNContext& context,
                                             EvalContext* evalContext) const;
    // Whether value is one of evaluateAllowedValues(...).getValues(), or the definition is
    // unrestricted there. Evaluates only the checks of that value, not of every fixed value.
    bool allowsValue(const TARNContext& context, EvalContext* evalContext,
                     const std::string& value) const;
    // (lower, upper) in the context; both empty when there are none.
    std::pair<std::string, std::string> evaluateBounds(const ModelRules* rules,
                                                       const TARNContext& context,
                                                       EvalContext* evalContext) const;
    std::string evaluateDefault(const ModelRules* rules, const TARNContext& context,
                                EvalContext* evalContext) const;
    std::string evaluateDefault(const ModelRules* rules, const TARNContext& context,
                                EvalContext* evalContext, const ParamAllowedValues& allowed) const;
    // (applies, value).
    std::pair<bool, std::string> evaluateValueOverride(const ModelRules* rules,
                                                       const TARNContext& context,
                                                       EvalContext* evalContext) const;
    std::pair<bool, std::string> evaluateValueOverride(const ModelRules* rules,
                                                       const TARNContext& context,
                                                       EvalContext* evalContext,
                                                       const ParamAllowedValues& allowed) const;

    std::vector<CheckedValue> getCheckedDefaults() const;
    std::vector<CheckedValue> getCheckedOverrides() const;
    std::string getFixedDefault() const;
    bool hasDefault() const;
    bool hasFixedDefault() const;
    bool hasValueOverride() const;

    // The fixed allowed values in order, and what the data says about each.
    std::vector<std::string> getAllAllowedValues() const;
    std::vector<std::string> getCheckNamesForAllowedValue(const std::string& value) const;
    bool isAllowedValueInSubset(const std::string& value) const;
    // Whether any fixed allowed value names a check.
    bool hasAllowedValueChecks() const;
    // Names of the list sources, or "".
    std::string getValueListSourceName() const;
    std::string getSubsetValueListSourceName() const;
    // Sorted, distinct names of every check / list the definition refers to.
    std::vector<std::string> getReferencedCheckNames() const;
    std::vector<std::string> getReferencedListNames() const;
    // The same names in the same order, visited without building the vectors; the strings
    // belong to the definition's checks and lists.
    using NameVisitor = std::function<void(const std::string& name)>;
    void forEachReferencedCheckName(const NameVisitor& visit) const;
    void forEachReferencedListName(const NameVisitor& visit) const;

    const std::string& getName() const { return m_name; }
    TARNParam::Type getType() const { return static_cast<TARNParam::Type>(m_type); }
    const std::string& getQuantityType() const { return m_quantityType; }
    bool hasQuantity() const { return !m_quantityType.empty(); }
    const std::vector<std::string>& getUnusedAllowedValues() const {
        return m_unusedAllowedValues ? *m_unusedAllowedValues : noStrings();
    }
    bool isAvailableWithNoAllowedValues() const { return m_availableWithNoAllowedValues; }
    bool isCompleteListRequired() const { return m_completeListRequired; }
    bool isRestricted() const { return m_restriction != 0; }
    bool isRestrictedDynamic() const { return (m_restriction & kListSource) != 0; }
    bool hasSubsetAllowedValueList() const { return (m_restriction & kSubset) != 0; }

    const std::pair<std::string, std::string>& getFixedBounds() const {
        return fixedBounds().value();
    }
    bool hasBounds() const { return m_fixedBounds || m_boundsByOption; }
    bool hasVariableBounds() const { return m_isLocalRulesParam && m_boundsByOption; }
    // Both sides given, in every context the bounds can take.
    bool hasFullyConstrainedBounds() const;

    // Reads a logical word; throws PhysicsException naming the parameter when text is none.
    void stringToBool(const std::string& text, bool& result) const;

private:
    friend class ParamValParser;

    // As the public constructor, for a caller that has already asked the RULES whether
    // objectType holds the parameter locally (isLocal): the question is not asked again.
    // Made as std::make_shared makes a definition (one allocation).
    static std::shared_ptr<ParamValueDef> makeShared(const std::string& name,
                                                     const std::string& objectType,
                                                     const ParameterMap& params,
                                                     const ModelRules* rules,
                                                     const AvailabilityCheckDataSource* source,
                                                     bool validateData, bool isLocal);
    struct Made;
    ParamValueDef(const std::string& name, const std::string& objectType,
                  const ParameterMap& params, const ModelRules* rules,
                  const AvailabilityCheckDataSource* source, bool validateData,
                  std::optional<bool> isLocal);

    // A part built in place through its constructor that only this class may call, so that
    // a definition stays one allocation. Empty until built; build(storage) must construct
    // the part at storage (placement new) and return it.
    template <class T>
    class InPlace {
    public:
        InPlace() = default;
        InPlace(const InPlace&) = delete;
        InPlace& operator=(const InPlace&) = delete;
        ~InPlace() {
            if (m_object != nullptr) m_object->~T();
        }
        template <class Build>
        void build(Build build) {
            m_object = build(static_cast<void*>(m_storage));
        }
        explicit operator bool() const { return m_object != nullptr; }
        T* operator->() { return m_object; }
        const T* operator->() const { return m_object; }

    private:
        alignas(T) unsigned char m_storage[sizeof(T)];
        T* m_object = nullptr;
    };

    // A part only some definitions have, kept out of line so that the others do not carry
    // its room; allocated when built. Used as InPlace is.
    template <class T>
    class OutOfLine {
    public:
        OutOfLine() = default;
        OutOfLine(const OutOfLine&) = delete;
        OutOfLine& operator=(const OutOfLine&) = delete;
        ~OutOfLine() {
            if (m_object == nullptr) return;
            m_object->~T();
            ::operator delete(static_cast<void*>(m_object));
        }
        template <class Build>
        void build(Build build) {
            static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
            void* storage = ::operator new(sizeof(T));
            try {
                m_object = build(storage);
            } catch (...) {
                ::operator delete(storage);
                throw;
            }
        }
        // Destroys the part: a built part that turns out to hold nothing is not kept.
        void reset() {
            OutOfLine none;
            std::swap(m_object, none.m_object);
        }
        explicit operator bool() const { return m_object != nullptr; }
        T* operator->() { return m_object; }
        const T* operator->() const { return m_object; }
        const T& operator*() const { return *m_object; }

    private:
        T* m_object = nullptr;
    };

    // Bits of m_restriction.
    static constexpr std::uint32_t kSubset = 1;
    static constexpr std::uint32_t kListSource = 2;
    static constexpr std::uint32_t kFixedList = 4;

    void initialise(const std::string& objectType, const ParameterMap& params,
                    const ModelRules* rules, const AvailabilityCheckDataSource* source,
                    std::optional<bool> isLocal);
    void initInt(ParamRulesFacts& facts);
    void initReal(ParamRulesFacts& facts);
    void initLogical();
    void initString(const ParamValueKeys& keys, ParamRulesFacts& facts,
                    const AvailabilityCheckDataSource* source);
    void initAllowedString(std::vector<std::string> values, const ParamValueKeys& keys,
                           const ModelRules* rules, const AvailabilityCheckDataSource* source);
    void initUnusedAllowedString(const ParamValueKeys& keys);
    void initBounds(ParamRulesFacts& facts);
    void initDefault(const ParamValueKeys& keys, ParamRulesFacts& facts,
                     const AvailabilityCheckDataSource* source);
    void initOverride(const ParamValueKeys& keys, ParamRulesFacts& facts,
                      const AvailabilityCheckDataSource* source);
    void setQuantityType(ParamRulesFacts& facts);
    static std::pair<std::string, std::string> rulesBounds(const RulesParam& param);
    void initListSource(const std::string& name, const AvailabilityCheckDataSource* source);
    void initSubsetListSource(const std::string& name, const AvailabilityCheckDataSource* source);
    void evaluateCheckList(const TARNContext& context, EvalContext* evalContext,
                           std::vector<std::string>& values,
                           std::vector<std::string>& subset) const;
    void evaluateCheckList(const TARNContext& context, EvalContext* evalContext,
                           std::vector<std::string>& values) const;
    static void checksFromValCheckVec(const std::vector<ValueCheck>& valueChecks,
                                      std::set<std::string>& names);
    const ValueCheck* findValueCheck(const std::string& value) const;
    // Marks the fixed values that `rulesStrings` leave out (see ValueCheck::inRules).
    void markRulesValues(const std::vector<std::string>& rulesStrings);
    static const std::vector<std::string>& noStrings();

    const BoundsData& fixedBounds() const;

    std::string m_name;
    std::string m_quantityType;
    List* m_valueListSource;
    List* m_subsetValueListSource;
    std::vector<ValueCheck> m_allowedValues;
    // Written for few definitions: kept out of line, and only when there are any.
    std::unique_ptr<const std::vector<std::string>> m_unusedAllowedValues;
    // Held in place: a definition is one allocation, not one per part.
    InPlace<ParamDefault> m_default;
    // Only entries with a written override check list have one.
    OutOfLine<ParamValueOverride> m_valueOverride;
    // Only string parameters have RULES allowed strings; kept only when there are some.
    OutOfLine<RulesAllowedStrings> m_rulesAllowedStrings;
    // The bounds of a numeric parameter: fixed, or per option of the context rule (then
    // there are at least two, and they differ). Kept out of line, and only when there are
    // any: most definitions have none.
    OutOfLine<BoundsData> m_fixedBounds;
    OutOfLine<std::map<std::string, BoundsData>> m_boundsByOption;
    // A TARNParam::Type and the bits of the restriction, a byte each, so that they share
    // one word with the flags.
    std::uint8_t m_type;
    std::uint8_t m_restriction;
    bool m_isLocalRulesParam;
    bool m_hasContextRule;
    bool m_availableWithNoAllowedValues;
    bool m_validateData;
    bool m_completeListRequired;
};

}  // namespace kel
