#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <kel/utilities/NonCopyable.h>
#include <kel/utilities/refcnt_ptr.h>

namespace kel {

class AvailabilityCheckDataSource;
class CACursor;
class ChildAvail;
class ModelRules;
class PACursor;
class ParamAvail;

// The in-memory form of one OBJECT DEPENDENCY object: for one object type in one parent
// context, which parameters and child object types an object has, in which order, which
// are required, under which values of the type's context rule parameter each exists,
// which checks make each available, which LISTs give a child's allowed or default names,
// and which RULES items the data leaves unused.
//
// Construction reads the object's parameter map, asks the RULES model what the type
// allows, resolves every check and list name through the data source and throws
// PhysicsException at the first inconsistency (exceptions of the data source and of the
// check-list splitter pass through). With `validate` set it also cross-checks the data
// against RULES and completes the unused lists with the RULES items the data never
// mentions. `rules` and `source` are used during construction only; `source` may be null
// when the data names no checks or lists.
//
// Scalar keys are read with every blank removed (so are check lists); list keys are split
// into trimmed items without empty ones, blanks inside an item kept. A name in a check list
// (or the default option) stands for the parameter, child type or RULES option that equals
// it once blanks are removed from both; two parameters (or two child types) of one
// definition that are equal that way are a load error naming both. Without an "Ordered
// Allowed Option List" the definition covers every RULES option that its "Unused Allowed
// Option List" leaves, in RULES order.
//
// Ownership: the definition owns its availability records; the records only point to the
// checks and lists, which belong to whoever supplied the data source. The context rule
// information is shared and outlives the definition while a reference to it is held.
// Record pointers and cursors are valid while the definition lives.
//
// Immutable after construction; const queries take no locks and are safe from one thread
// at a time (the records' checks may fill evaluation caches).
class ObjDependDef : private NonCopyable {
public:
    // The context rule data of a definition, handed to the parameter value parser which
    // turns it into the value definition of the context rule parameter.
    struct ContextRuleInfo {
        enum DefaultKind : std::int32_t {
            NO_DEFAULT = 0,       // no default option
            FIXED_DEFAULT = 1,    // `defaultValue` is the "Default Option"
            CHECKED_DEFAULT = 2,  // `defaultValue` is the "Default Option Check List"
        };

        std::string contextRuleParam;  // the type's context rule parameter
        // The options as the RULES spell them, joined with ",": the covered options in
        // written order, and the "Subset Allowed Option List".
        std::string orderedAllowedOptionList;
        std::string subsetAllowedOptionList;
        // "Allowed Option Check List" and "Override Option Check List", their option names
        // replaced by the RULES options they stand for.
        std::string allowedOptionCheckList;
        std::string overrideOptionCheckList;
        std::int32_t defaultKind = NO_DEFAULT;
        std::string defaultValue;  // empty for NO_DEFAULT; option names as the RULES spell them
    };

    enum ChildOrParam { CHILD = 0, PARAM = 1 };

    using ParamResult = std::pair<const ParamAvail*, bool>;
    using ChildResult = std::pair<const ChildAvail*, bool>;

    ObjDependDef(const std::string& type, const std::map<std::string, std::string>& params,
                 const ModelRules* rules, const AvailabilityCheckDataSource* source, bool validate);
    virtual ~ObjDependDef();

    const std::string& getType() const { return m_type; }

    // Null when the type has no context rule parameter.
    refcnt_ptr<const ContextRuleInfo> getContextRuleInfo() const { return m_contextRuleInfo; }

    // Resets the cursor to the first child record, with the selector of the given context
    // rule value. Returns (record, applicable under that value); (null, false) when the
    // definition has no children.
    ChildResult firstChildAvail(CACursor& cursor, const std::string& contextRuleValue) const;
    // The next child record with the cursor's selector; (null, false) at the end.
    ChildResult nextChildAvail(CACursor& cursor) const;

    // Resets the cursor to the first parameter record with selector 0. The flag is true
    // whenever a record is returned (the first parameter is always offered).
    ParamResult firstParamAvail(PACursor& cursor) const;
    // A non-empty context rule value sets the cursor's selector, which stays for later
    // calls; returns the next record and whether it applies under the selector.
    ParamResult nextParamAvail(PACursor& cursor, const std::string& contextRuleValue) const;

    // The first record of that child type / parameter name, or null.
    const ChildAvail* childAvailByType(const std::string& childType) const;
    const ParamAvail* paramAvailByName(const std::string& name) const;

    // True when the first record, in order, that is `a` or `b` is `a`; false when neither
    // has a record.
    bool childOrderPredicate(const std::string& a, const std::string& b) const;
    bool paramOrderPredicate(const std::string& a, const std::string& b) const;

    // Record order: all, required only, not required only.
    std::vector<std::string> getOrderedChildTypes() const;
    std::vector<std::string> getOrderedReqChildTypes() const;
    std::vector<std::string> getOrderedOptChildTypes() const;
    std::vector<std::string> getOrderedParamNames() const;
    std::vector<std::string> getOrderedReqParamNames() const;
    std::vector<std::string> getOrderedOptParamNames() const;

    const std::vector<std::string>& getUnusedChildren() const { return m_unusedChildren; }
    const std::vector<std::string>& getUnusedParameters() const { return m_unusedParameters; }
    // Always empty: kept for callers that report missing children.
    const std::vector<std::string>& getMissingChildren() const;
    std::vector<std::string> getUnusedAllowedOptionList() const { return m_unusedAllowedOptions; }

    // Child type (CHILD) or parameter name (PARAM) to the names of the record's checks
    // (lists); records without any get no entry; the first record of a name wins.
    std::map<std::string, std::vector<std::string>> getReferencedCheckNames(
        ChildOrParam which) const;
    std::map<std::string, std::vector<std::string>> getReferencedListNames(
        ChildOrParam which) const;
    // The same, visited in the same order without building the map: visit(subject, name)
    // for each subject, ascending, and each of its names in record order. The strings
    // belong to the definition and its checks and lists.
    using ReferenceVisitor =
        std::function<void(const std::string& subject, const std::string& name)>;
    void forEachReferencedCheckName(ChildOrParam which, const ReferenceVisitor& visit) const;
    void forEachReferencedListName(ChildOrParam which, const ReferenceVisitor& visit) const;

private:
    using Params = std::map<std::string, std::string>;
    using Strings = std::vector<std::string>;
    using Views = std::vector<std::string_view>;
    class AllowedItems;  // the RULES items of the type per selector, asked once
    class Keys;          // the values of the keys read, found in one pass over the map

    void initialise(const Params& params, const ModelRules* rules,
                    const AvailabilityCheckDataSource* source);
    // The data with every RULES child made optional when it says "Accept Children"; nullopt
    // (use the data as it is) otherwise.
    std::optional<Params> initAcceptChildren(const Params& params, const ModelRules* rules) const;
    void initContextRuleInfo(const Keys& m, const ModelRules* rules);
    using OptionRefs = std::vector<const std::string*>;  // RULES options, by value
    Strings processOptList(const Keys& m, const std::string& key, OptionRefs& available) const;

    void initParamReqOrOpt(Strings list, const ModelRules* rules, AllowedItems& allowed,
                           bool required);
    void initParamAvailChecks(const Keys& m, const ModelRules* rules,
                              const AvailabilityCheckDataSource* source);
    void setRelaxedValidationParams(const Keys& m);
    void initParamUnused(const Keys& m);

    void initChildReqOrOpt(const Keys& m, Strings list, const ModelRules* rules,
                           AllowedItems& allowed, bool required);
    void initChildAvailChecks(const Keys& m, const ModelRules* rules,
                              const AvailabilityCheckDataSource* source);
    void initChildAvailNames(const Keys& m, const ModelRules* rules,
                             const AvailabilityCheckDataSource* source);
    void initChildUnused(const Keys& m);
    void initDefaultChildNameList(const Keys& m, const ModelRules* rules,
                                  const AvailabilityCheckDataSource* source);
    // The walk shared by the two name lists: pairs of child type and LIST name.
    void applyChildNameList(const Keys& m, const std::string& key,
                            const AvailabilityCheckDataSource* source, bool defaultNames);
    Views extractCoupledTypes(const Keys& m) const;
    Views extractTreatedAsOptionalTypes(const Keys& m) const;

    ParamAvail* findParamAvail(std::string_view name) const;
    ChildAvail* findChildAvail(std::string_view childType) const;
    std::uint64_t getContextRuleSelector(const std::string& value) const;

    // Cross-checks against RULES, run during construction when m_validate is set.
    void verifyParamAvail(const Keys& params, const ModelRules* rules, Strings& unused) const;
    void verifyChildAvail(const Keys& params, const ModelRules* rules, Strings& unused) const;
    void verifyCheckedOptionValues(const std::string& key, const std::string& listString,
                                   bool allowStars) const;
    void verifySubsetAllowedOptions(const Views& subset) const;

    // Required, then optional. Held in place: the vectors do not change once construction
    // is over, so record pointers stay valid.
    std::vector<ChildAvail> m_childAvail;
    std::vector<ParamAvail> m_paramAvail;
    Strings m_orderedAllowedOptions;  // sorted; selector = index + 1
    Strings m_unusedAllowedOptions;
    Strings m_unusedChildren;
    Strings m_unusedParameters;
    std::string m_type;
    refcnt_ptr<const ContextRuleInfo> m_contextRuleInfo;
    bool m_validate;
};

}  // namespace kel
