#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <kel/physicsdata/rules/ExtraDef.h>
#include <kel/physicsdata/rules/ExtraRuleValues.h>
#include <kel/physicsdata/rules/RulesParam.h>
#include <kel/utilities/refcnt_ptr.h>

namespace kel {

class ModelRulesImpl;
class TARNDatastore;

// The RULES of one object type: its context rule and allowed options, its essential and
// optional children and parameters at object level and per option (an option's lists are
// the object-level lists followed by the option's own), lists accumulated over several
// options, its valid parents, local parameter definitions and extra rules.
//
// Built from /RULES/OBJECT:T or /RULES/SINGLETON:T and then completed by ModelRulesImpl
// through the mutators, which need a Key only it can create. An option argument is a value
// of the context rule parameter; "" means object level; any other value that is not an
// allowed option throws std::runtime_error.
//
// Copies share the RulesParam records. An option's lists are completed by the first const
// call that needs them, and the vector-of-options getters cache the last accumulation inside
// const calls: the reference they return is valid until the next call with a different
// option set. An object must not be queried from two threads at once.
class RulesObject {
public:
    // The lists of one scope (object level or one option).
    struct RulesObjectData {
        std::vector<std::string> essentialChildren;
        std::vector<std::string> optionalChildren;
        std::vector<std::string> essentialParams;
        std::vector<std::string> optionalParams;
        std::map<std::string, refcnt_ptr<const RulesParam>> localParams;
    };

    // Lists accumulated over several options: each name once, in first-appearance order,
    // and a name essential under any option is never optional.
    struct AccumulatedLists {
        std::vector<std::string> essentialChildren;
        std::vector<std::string> optionalChildren;
        std::vector<std::string> essentialParams;
        std::vector<std::string> optionalParams;
    };

    // Access token for the mutators.
    class Key {
        friend class ModelRulesImpl;
        Key() = default;
    };

    // Reads the object type at path; throws std::runtime_error on inconsistent RULES.
    RulesObject(const TARNDatastore& ds, const std::string& path, bool singleton,
                const ExtraDef& extra);
    // As above, and appends the names of the parameters defined at object level (the
    // PARAMETER children of path) to localParams, in first-appearance order.
    RulesObject(Key key, const TARNDatastore& ds, const std::string& path, bool singleton,
                const ExtraDef& extra, std::vector<std::string>& localParams);
    RulesObject(const RulesObject& other);
    RulesObject& operator=(const RulesObject& other);
    RulesObject(RulesObject&& other) noexcept;
    RulesObject& operator=(RulesObject&& other) noexcept;
    ~RulesObject();

    const std::string& getName() const { return m_name; }
    bool isSingleton() const { return m_singleton; }
    const std::string& getContextRuleParam() const { return m_contextRuleParam; }
    const std::vector<std::string>& getAllowedOptions() const { return m_allowedOptions; }
    bool hasAllowedOption(const std::string& option) const;

    const std::vector<std::string>& getEssentialChildren(const std::string& option) const;
    const std::vector<std::string>& getOptionalChildren(const std::string& option) const;
    const std::vector<std::string>& getEssentialParams(const std::string& option) const;
    const std::vector<std::string>& getOptionalParams(const std::string& option) const;

    // Empty options: the object-level lists; else accumulated over options (cached).
    const std::vector<std::string>& getEssentialChildren(
        const std::vector<std::string>& options) const;
    const std::vector<std::string>& getOptionalChildren(
        const std::vector<std::string>& options) const;
    const std::vector<std::string>& getEssentialParams(
        const std::vector<std::string>& options) const;
    const std::vector<std::string>& getOptionalParams(
        const std::vector<std::string>& options) const;

    // Over all allowed options (the object-level lists for a type without options).
    const std::vector<std::string>& getEssentialChildrenAll() const;
    const std::vector<std::string>& getOptionalChildrenAll() const;
    const std::vector<std::string>& getEssentialParamsAll() const;
    const std::vector<std::string>& getOptionalParamsAll() const;
    std::vector<std::string> getChildrenAll();
    std::vector<std::string> getParamsAll();

    bool hasEssentialChild(const std::string& child, const std::string& option) const;
    bool hasOptionalChild(const std::string& child, const std::string& option) const;
    bool hasEssentialParam(const std::string& param, const std::string& option) const;
    bool hasOptionalParam(const std::string& param, const std::string& option) const;
    bool isAllowedChildAll(const std::string& child) const;
    bool isAllowedParamAll(const std::string& param) const;

    // The definition local to this type for option (context level first, then object
    // level); null when the type has none.
    const RulesParam* getLocalRulesParam(const std::string& param, const std::string& option) const;
    // Whether any option defines param at context level.
    bool hasContextLocalRulesParam(const std::string& param) const;

    // Types that list this one as a child, ascending. Valid once sortValidParents ran.
    const std::vector<std::string>& getAllowedParents() const;
    bool isValidParent(const std::string& type) const;

    bool getExtraRule(const std::string& name, std::string& out) const;
    bool getExtraRule(const std::string& name, std::vector<std::string>& out) const;
    bool getExtraRule(const std::string& name, bool& out) const;

    // Mutators used while the model rules are completed.
    void addRulesParam(Key key, refcnt_ptr<const RulesParam> param);
    void addRulesParam(Key key, const std::string& option, refcnt_ptr<const RulesParam> param);
    void addOptionalChild(Key key, const std::string& type);
    void addValidParent(Key key, const std::string& type);
    void sortValidParents(Key key);
    const std::vector<std::string>& getAllowedParentListRawValue(Key key) const;

private:
    // The lists of one option. An option's lists are the object-level lists as read, followed
    // by its own: until some query needs them whole, data holds only its own items and
    // inherited how many object-level items come first in each list.
    struct OptionData {
        std::string option;
        RulesObjectData data;
        std::uint32_t inherited[4] = {0, 0, 0, 0};
        bool whole = false;
    };
    struct AccumCache {
        AccumulatedLists lists;
        std::vector<std::string> options;
    };
    // The cache of the vector-of-options getters, made on first use; copies start without.
    struct AccumCacheSlot {
        AccumCacheSlot() = default;
        AccumCacheSlot(const AccumCacheSlot&) {}
        AccumCacheSlot& operator=(const AccumCacheSlot&) {
            cache.reset();
            return *this;
        }
        AccumCacheSlot(AccumCacheSlot&&) noexcept = default;
        AccumCacheSlot& operator=(AccumCacheSlot&&) noexcept = default;
        ~AccumCacheSlot() = default;
        std::unique_ptr<AccumCache> cache;
    };

    // The lists over all options, made for a type with options only; copies copy them.
    struct AllListsSlot {
        AllListsSlot() = default;
        AllListsSlot(const AllListsSlot& other)
            : lists(other.lists ? std::make_unique<AccumulatedLists>(*other.lists) : nullptr) {}
        AllListsSlot& operator=(const AllListsSlot& other) {
            if (this != &other)
                lists = other.lists ? std::make_unique<AccumulatedLists>(*other.lists) : nullptr;
            return *this;
        }
        AllListsSlot(AllListsSlot&&) noexcept = default;
        AllListsSlot& operator=(AllListsSlot&&) noexcept = default;
        ~AllListsSlot() = default;
        std::unique_ptr<AccumulatedLists> lists;
    };

    void initData(const TARNDatastore& ds, const std::string& path, const ExtraDef& extra,
                  std::vector<std::string>* localParams);
    // The lists of option ("" for object level), whole; throws for an unknown option.
    const RulesObjectData& findData(const std::string& option) const;
    // The option's entry: null / throwing when the type has no such option.
    OptionData* optionOf(const std::string& option) const;
    OptionData& findOption(const std::string& option) const;
    // The lists over all options, for a type with options.
    void makeAllLists();
    void createAccumulatedLists(const std::vector<std::string>& options,
                                AccumulatedLists& out) const;
    const AccumulatedLists& updateAccumCache(const std::vector<std::string>& options) const;

    std::string m_name;
    bool m_singleton = false;
    bool m_isValidParentsSorted = true;  // beside the other flag, so that both share a word
    std::string m_contextRuleParam;
    std::vector<std::string> m_allowedOptions;
    RulesObjectData m_defaultData;
    mutable std::vector<OptionData> m_optionData;   // ascending by option
    std::vector<std::string> m_contextLocalParams;  // defined by some option; ascending
    std::vector<std::string> m_validParents;
    AllListsSlot m_allAccumulated;
    mutable AccumCacheSlot m_accumCache;
    std::vector<std::string> m_allowedParentListRaw;
    ExtraRuleValues m_extra;
};

}  // namespace kel
