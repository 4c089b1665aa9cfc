#include <kel/physicsdata/rules/RulesObject.h>

#include "NameIndex.h"
#include "ObjectKeys.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string_view>

#include <kel/exception/KELAssertImpl.h>
#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

namespace {

const std::string kContextRule = "Context Rule";
const std::string kAllowedOptionList = "Allowed Option List";
const std::string kEssentialChildList = "Essential Child List";
const std::string kOptionalChildList = "Optional Child List";
const std::string kEssentialParameterList = "Essential Parameter List";
const std::string kOptionalParameterList = "Optional Parameter List";
const std::string kDefaultParameterList = "Default Parameter List";
const std::string kAllowedParentList = "Allowed Parent List";
const std::string kDefaultOption = "Option";
const std::string kRules = "RULES";
const char* const kAssertFile = "src/PhysicsData/src/ModelRulesImpl";

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Names met so far, as views of items that outlive their use here: a scan while there are
// few, an index beyond, so that long lists stay linear. Cleared for reuse, keeping its room.
class SeenNames {
    struct NameOf {
        const std::vector<std::string_view>* names;
        std::string_view operator()(std::uint32_t i) const { return (*names)[i]; }
    };
    NameOf nameOf() const { return {&m_names}; }

public:
    void clear() {
        m_names.clear();
        m_index.clear();
    }
    // Whether name was new.
    bool insert(std::string_view name) {
        if (m_names.size() < kFew) {
            if (findFew(name)) return false;
            m_names.push_back(name);
            if (m_names.size() == kFew)
                for (const std::string_view known : m_names)
                    m_index.insert(known, nameOf());
            return true;
        }
        if (!m_index.insert(name, nameOf()).second) return false;
        m_names.push_back(name);
        return true;
    }
    bool contains(std::string_view name) const {
        if (m_names.size() < kFew) return findFew(name);
        return m_index.find(name, nameOf()) != NameIndex::kNone;
    }

private:
    static constexpr std::size_t kFew = 16;
    bool findFew(std::string_view name) const {
        // Sizes first: most names differ there, and the compare stays inline.
        return std::any_of(m_names.begin(), m_names.end(), [name](std::string_view seen) {
            return seen.size() == name.size() && seen == name;
        });
    }
    std::vector<std::string_view> m_names;
    NameIndex m_index;
};

// Appends each item of [first, last) not yet in seen. The views in seen refer to the items.
template <class It, class Item>
void appendUnseen(It first, It last, SeenNames& seen, std::vector<Item>& to) {
    for (; first != last; ++first)
        if (seen.insert(*first)) to.push_back(*first);
}

// Whether a and b hold the same options as many times each, in any order; compared in
// place while they are short, as views once sorted beyond.
bool sameOptionSet(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    if (a.size() != b.size()) return false;
    if (a.size() <= 16) {
        for (const auto& option : a)
            if (std::count(a.begin(), a.end(), option) != std::count(b.begin(), b.end(), option))
                return false;
        return true;
    }
    std::vector<std::string_view> x(a.begin(), a.end()), y(b.begin(), b.end());
    std::sort(x.begin(), x.end());
    std::sort(y.begin(), y.end());
    return x == y;
}

// The thread's buffers of type T. Reached through a call, so that the address is looked up
// once per use of the buffers rather than at every access.
template <class T>
[[gnu::noinline]] T& threadBuffers() {
    thread_local T buffers;
    return buffers;
}

// The four lists of data, in the order of RulesObject::OptionData::inherited.
template <class Data>
auto listsOf(Data& data) {
    return std::array{&data.essentialChildren, &data.optionalChildren, &data.essentialParams,
                      &data.optionalParams};
}

// One object or CONTEXT may name an item once among its parameter lists, and once among
// its child lists (a CONTEXT may repeat what its object names): collects where each item
// was named, in groups of lists (parameters, children) within which a name may appear once,
// and on check() throws for the first repeat in reading order, naming the RULES object, both
// keys and the item. Sorting keeps long lists linear-logarithmic. The listed items must
// outlive the guard; the record of where they were named is the caller's, so that one
// buffer serves every guard of a definition.
class RepeatGuard {
public:
    struct Named {
        std::string_view item;
        const std::string* key;
        std::uint32_t order;
        std::uint32_t group;
    };

    RepeatGuard(const std::string& path, std::vector<Named>& named) : m_path(path), m_named(named) {
        m_named.clear();
    }
    template <class It>
    void add(std::uint32_t group, const std::string& key, It first, It last) {
        for (; first != last; ++first)
            m_named.push_back({*first, &key, static_cast<std::uint32_t>(m_named.size()), group});
    }
    void check() {
        if (m_named.size() < 2) return;
        const auto same = [](const Named& a, const Named& b) {
            return a.group == b.group && a.item.size() == b.item.size() && a.item == b.item;
        };
        const Named* first = nullptr;
        const Named* repeat = nullptr;
        if (m_named.size() <= kFew) {
            // Still in reading order: the first item named before, and where it was.
            for (std::size_t j = 1; j < m_named.size() && !repeat; ++j)
                for (std::size_t i = 0; i < j && !repeat; ++i)
                    if (same(m_named[i], m_named[j])) {
                        first = &m_named[i];
                        repeat = &m_named[j];
                    }
            if (repeat) fail(*first, *repeat);
            return;
        }
        std::sort(m_named.begin(), m_named.end(), [](const Named& a, const Named& b) {
            if (a.group != b.group) return a.group < b.group;
            return a.item != b.item ? a.item < b.item : a.order < b.order;
        });
        for (std::size_t i = 1; i < m_named.size(); ++i) {
            if (!same(m_named[i], m_named[i - 1])) continue;
            if (!repeat || m_named[i].order < repeat->order) {
                repeat = &m_named[i];
                first = &m_named[i - 1];
                while (first != m_named.data() && same(*(first - 1), *first))
                    --first;
            }
        }
        if (repeat) fail(*first, *repeat);
    }

private:
    // Lists this short are checked pair by pair.
    static constexpr std::size_t kFew = 16;

    [[noreturn]] void fail(const Named& first, const Named& repeat) const {
        throw std::runtime_error("RulesObject::initData - in RULES object " + m_path + ", \"" +
                                 std::string(repeat.item) + "\" is named in \"" + *first.key +
                                 "\" and again in \"" + *repeat.key + "\".");
    }

    const std::string& m_path;
    std::vector<Named>& m_named;
};

// Adds the lists of the object or CONTEXT at path, whose keys are keys, to data; named is
// the guard's record.
void makeData(const ObjectKeys& keys, const std::string& path, RulesObject::RulesObjectData& data,
              std::vector<RepeatGuard::Named>& named) {
    const std::string* const listKeys[] = {&kEssentialChildList, &kOptionalChildList,
                                           &kEssentialParameterList, &kOptionalParameterList,
                                           &kDefaultParameterList};
    std::vector<std::string>* const targets[] = {&data.essentialChildren, &data.optionalChildren,
                                                 &data.essentialParams, &data.optionalParams,
                                                 &data.optionalParams};
    // Appended in place; what each list added is checked once every list is in.
    std::size_t begins[5];
    std::size_t ends[5];
    for (int i = 0; i < 5; ++i) {
        std::vector<std::string>& target = *targets[i];
        begins[i] = target.size();
        keys.appendList(*listKeys[i], target);
        if (i < 2)
            target.erase(std::remove(target.begin() + static_cast<std::ptrdiff_t>(begins[i]),
                                     target.end(), kRules),
                         target.end());
        ends[i] = target.size();
    }
    // Children first: a repeated child is reported before a repeated parameter.
    RepeatGuard guard(path, named);
    for (int i = 0; i < 5; ++i)
        guard.add(i < 2 ? 0 : 1, *listKeys[i],
                  targets[i]->begin() + static_cast<std::ptrdiff_t>(begins[i]),
                  targets[i]->begin() + static_cast<std::ptrdiff_t>(ends[i]));
    guard.check();
}

}  // namespace

RulesObject::RulesObject(const TARNDatastore& ds, const std::string& path, bool singleton,
                         const ExtraDef& extra)
    : m_name(path.substr(path.rfind(':') == std::string::npos ? 0 : path.rfind(':') + 1)),
      m_singleton(singleton),
      m_isValidParentsSorted(true) {
    initData(ds, path, extra, nullptr);
    makeAllLists();
}

RulesObject::RulesObject(Key, const TARNDatastore& ds, const std::string& path, bool singleton,
                         const ExtraDef& extra, std::vector<std::string>& localParams)
    : m_name(path.substr(path.rfind(':') == std::string::npos ? 0 : path.rfind(':') + 1)),
      m_singleton(singleton),
      m_isValidParentsSorted(true) {
    initData(ds, path, extra, &localParams);
    makeAllLists();
}

void RulesObject::makeAllLists() {
    if (m_allowedOptions.empty()) return;
    auto lists = std::make_unique<AccumulatedLists>();
    createAccumulatedLists(m_allowedOptions, *lists);
    m_allAccumulated.lists = std::move(lists);
}

RulesObject::RulesObject(const RulesObject& other) = default;
RulesObject& RulesObject::operator=(const RulesObject& other) = default;
RulesObject::RulesObject(RulesObject&& other) noexcept = default;
RulesObject& RulesObject::operator=(RulesObject&& other) noexcept = default;
RulesObject::~RulesObject() = default;

void RulesObject::initData(const TARNDatastore& ds, const std::string& path, const ExtraDef& extra,
                           std::vector<std::string>* localParams) {
    // Object-level keys are never inherited: only path itself is asked.
    const ObjectKeys keys(ds, path);
    std::string contextRule(keys.value(kContextRule));
    std::vector<std::string> options;
    keys.appendList(kAllowedOptionList, options);
    // Buffers kept by the thread from one object to the next, so that reading an object
    // allocates only what it keeps.
    struct Buffers {
        std::vector<RepeatGuard::Named> named;
        std::vector<std::string_view> sorted;
        std::string contextPath;
        std::vector<ObjectKeys> contextKeys;  // by position in sorted
    };
    Buffers& buffers = threadBuffers<Buffers>();
    std::vector<RepeatGuard::Named>& named = buffers.named;
    RepeatGuard optionGuard(path, named);
    optionGuard.add(0, kAllowedOptionList, options.begin(), options.end());
    optionGuard.check();
    if (!options.empty() && contextRule.empty()) contextRule = kDefaultOption;
    if (options.empty() && !contextRule.empty())
        throw std::runtime_error("RulesObject::initData - in RULES object " + path +
                                 ", a context rule parameter is defined " +
                                 "but there are no allowed options specified.");
    m_contextRuleParam = std::move(contextRule);
    m_allowedOptions = std::move(options);
    std::vector<std::string_view>& sorted = buffers.sorted;
    sorted.assign(m_allowedOptions.begin(), m_allowedOptions.end());
    std::sort(sorted.begin(), sorted.end());

    makeData(keys, path, m_defaultData, named);

    // The keys of each CONTEXT are read as the walk meets it (an option without one has
    // none).
    std::vector<ObjectKeys>& contextKeys = buffers.contextKeys;
    contextKeys.clear();
    contextKeys.resize(sorted.size());
    const auto positionOf = [&sorted](std::string_view option) {
        return std::lower_bound(sorted.begin(), sorted.end(), option) - sorted.begin();
    };
    ds.forEachObject(path, [&](const TARNDatastore::ObjectHandle& child) {
        const std::string_view type = child.type();
        const std::string_view context = child.name();
        if (localParams && type == "PARAMETER") localParams->emplace_back(context);
        if (type != "CONTEXT") return;
        const auto at = positionOf(context);
        if (static_cast<std::size_t>(at) == sorted.size() ||
            sorted[static_cast<std::size_t>(at)] != context)
            throw std::runtime_error("RulesObject::initData - In " + path +
                                     ", the CONTEXT object " + std::string(context) +
                                     " does not appear in the \"" + kAllowedOptionList +
                                     "\" parameter.");
        contextKeys[static_cast<std::size_t>(at)].read(ds, child);
    });
    std::string& contextPath = buffers.contextPath;
    const auto defaults = listsOf(m_defaultData);
    m_optionData.reserve(sorted.size());
    for (const auto& option : sorted) {
        contextPath.assign(path).append("/CONTEXT:").append(option);
        OptionData& data = m_optionData.emplace_back();
        data.option = option;
        makeData(contextKeys[static_cast<std::size_t>(positionOf(option))], contextPath, data.data,
                 named);
        bool inherits = false;
        for (std::size_t i = 0; i < defaults.size(); ++i) {
            data.inherited[i] = static_cast<std::uint32_t>(defaults[i]->size());
            inherits = inherits || data.inherited[i] != 0;
        }
        data.whole = !inherits;
    }

    keys.appendList(kAllowedParentList, m_allowedParentListRaw);

    if (extra.stringRules.empty() && extra.listRules.empty() && extra.boolRules.empty()) return;
    m_extra = ExtraRuleValues(
        extra,
        [&](const std::string& key) -> std::pair<std::string, bool> {
            if (!keys.has(key)) return {std::string(), false};
            return {std::string(keys.value(key)), true};
        },
        [&](const std::string& key, std::vector<std::string>& out) {
            return keys.appendList(key, out);
        });
}

RulesObject::OptionData* RulesObject::optionOf(const std::string& option) const {
    // A type has a few options: a scan finds one soonest.
    for (OptionData& data : m_optionData)
        if (data.option == option) return &data;
    return nullptr;
}

RulesObject::OptionData& RulesObject::findOption(const std::string& option) const {
    OptionData* data = optionOf(option);
    if (!data)
        throw std::runtime_error(
            "RulesObject::findData - unrecognised value of \"Context Rule\" parameter (value = " +
            option + ") in object " + m_name + ".");
    return *data;
}

const RulesObject::RulesObjectData& RulesObject::findData(const std::string& option) const {
    if (option.empty()) return m_defaultData;
    OptionData& data = findOption(option);
    if (!data.whole) {
        // The object-level items as they were read go first; the lists no longer move.
        const auto defaults = listsOf(m_defaultData);
        const auto lists = listsOf(data.data);
        for (std::size_t i = 0; i < lists.size(); ++i)
            lists[i]->insert(lists[i]->begin(), defaults[i]->begin(),
                             defaults[i]->begin() + data.inherited[i]);
        data.whole = true;
    }
    return data.data;
}

void RulesObject::createAccumulatedLists(const std::vector<std::string>& options,
                                         AccumulatedLists& out) const {
    if (options.empty()) return;
    // The items are gathered as views of the lists into buffers the thread keeps, and
    // copied once, filtered.
    struct Buffers {
        SeenNames seen[4];
        std::vector<std::string_view> lists[4];
    };
    Buffers& buffers = threadBuffers<Buffers>();
    for (std::size_t i = 0; i < 4; ++i) {
        buffers.seen[i].clear();
        buffers.lists[i].clear();
    }
    const auto defaults = listsOf(m_defaultData);
    for (const auto& option : options) {
        const OptionData* data = option.empty() ? nullptr : &findOption(option);
        const auto own = listsOf(data ? data->data : m_defaultData);
        for (std::size_t i = 0; i < own.size(); ++i) {
            if (data && !data->whole)
                appendUnseen(defaults[i]->begin(), defaults[i]->begin() + data->inherited[i],
                             buffers.seen[i], buffers.lists[i]);
            appendUnseen(own[i]->begin(), own[i]->end(), buffers.seen[i], buffers.lists[i]);
        }
    }
    // A name essential under any option is never optional.
    const auto withoutEssential = [&](std::size_t optional, std::size_t essential,
                                      std::vector<std::string>& to) {
        to.reserve(buffers.lists[optional].size());
        for (const std::string_view item : buffers.lists[optional])
            if (!buffers.seen[essential].contains(item)) to.emplace_back(item);
    };
    out.essentialChildren.assign(buffers.lists[0].begin(), buffers.lists[0].end());
    withoutEssential(1, 0, out.optionalChildren);
    out.essentialParams.assign(buffers.lists[2].begin(), buffers.lists[2].end());
    withoutEssential(3, 2, out.optionalParams);
}

const RulesObject::AccumulatedLists& RulesObject::updateAccumCache(
    const std::vector<std::string>& options) const {
    AccumCache* cache = m_accumCache.cache.get();
    // The same options as last time, mostly in the same order: compared as given first.
    if (cache && !options.empty() && options == cache->options) return cache->lists;
    if (cache && !options.empty() && sameOptionSet(options, cache->options)) return cache->lists;
    // Built aside so that an unrecognised option leaves the cache as it was.
    AccumulatedLists fresh;
    createAccumulatedLists(options, fresh);
    if (!cache) cache = (m_accumCache.cache = std::make_unique<AccumCache>()).get();
    cache->lists = std::move(fresh);
    cache->options = options;
    return cache->lists;
}

bool RulesObject::hasAllowedOption(const std::string& option) const {
    return contains(m_allowedOptions, option);
}

const std::vector<std::string>& RulesObject::getEssentialChildren(const std::string& option) const {
    return findData(option).essentialChildren;
}
const std::vector<std::string>& RulesObject::getOptionalChildren(const std::string& option) const {
    return findData(option).optionalChildren;
}
const std::vector<std::string>& RulesObject::getEssentialParams(const std::string& option) const {
    return findData(option).essentialParams;
}
const std::vector<std::string>& RulesObject::getOptionalParams(const std::string& option) const {
    return findData(option).optionalParams;
}

const std::vector<std::string>& RulesObject::getEssentialChildren(
    const std::vector<std::string>& options) const {
    if (options.empty()) return m_defaultData.essentialChildren;
    return updateAccumCache(options).essentialChildren;
}
const std::vector<std::string>& RulesObject::getOptionalChildren(
    const std::vector<std::string>& options) const {
    if (options.empty()) return m_defaultData.optionalChildren;
    return updateAccumCache(options).optionalChildren;
}
const std::vector<std::string>& RulesObject::getEssentialParams(
    const std::vector<std::string>& options) const {
    if (options.empty()) return m_defaultData.essentialParams;
    return updateAccumCache(options).essentialParams;
}
const std::vector<std::string>& RulesObject::getOptionalParams(
    const std::vector<std::string>& options) const {
    if (options.empty()) return m_defaultData.optionalParams;
    return updateAccumCache(options).optionalParams;
}

const std::vector<std::string>& RulesObject::getEssentialChildrenAll() const {
    return m_allowedOptions.empty() ? m_defaultData.essentialChildren
                                    : m_allAccumulated.lists->essentialChildren;
}
const std::vector<std::string>& RulesObject::getOptionalChildrenAll() const {
    return m_allowedOptions.empty() ? m_defaultData.optionalChildren
                                    : m_allAccumulated.lists->optionalChildren;
}
const std::vector<std::string>& RulesObject::getEssentialParamsAll() const {
    return m_allowedOptions.empty() ? m_defaultData.essentialParams
                                    : m_allAccumulated.lists->essentialParams;
}
const std::vector<std::string>& RulesObject::getOptionalParamsAll() const {
    return m_allowedOptions.empty() ? m_defaultData.optionalParams
                                    : m_allAccumulated.lists->optionalParams;
}

std::vector<std::string> RulesObject::getChildrenAll() {
    std::vector<std::string> all(getEssentialChildrenAll());
    const auto& optional = getOptionalChildrenAll();
    all.insert(all.end(), optional.begin(), optional.end());
    return all;
}

std::vector<std::string> RulesObject::getParamsAll() {
    std::vector<std::string> all(getEssentialParamsAll());
    const auto& optional = getOptionalParamsAll();
    all.insert(all.end(), optional.begin(), optional.end());
    return all;
}

bool RulesObject::hasEssentialChild(const std::string& child, const std::string& option) const {
    return contains(findData(option).essentialChildren, child);
}
bool RulesObject::hasOptionalChild(const std::string& child, const std::string& option) const {
    return contains(findData(option).optionalChildren, child);
}
bool RulesObject::hasEssentialParam(const std::string& param, const std::string& option) const {
    return contains(findData(option).essentialParams, param);
}
bool RulesObject::hasOptionalParam(const std::string& param, const std::string& option) const {
    return contains(findData(option).optionalParams, param);
}

bool RulesObject::isAllowedChildAll(const std::string& child) const {
    return contains(getEssentialChildrenAll(), child) || contains(getOptionalChildrenAll(), child);
}

bool RulesObject::isAllowedParamAll(const std::string& param) const {
    return contains(getEssentialParamsAll(), param) || contains(getOptionalParamsAll(), param);
}

const RulesParam* RulesObject::getLocalRulesParam(const std::string& param,
                                                  const std::string& option) const {
    if (!option.empty()) {
        if (const OptionData* data = optionOf(option)) {
            auto it = data->data.localParams.find(param);
            if (it != data->data.localParams.end()) return it->second.get();
        }
    }
    auto it = m_defaultData.localParams.find(param);
    return it == m_defaultData.localParams.end() ? nullptr : it->second.get();
}

bool RulesObject::hasContextLocalRulesParam(const std::string& param) const {
    return std::binary_search(m_contextLocalParams.begin(), m_contextLocalParams.end(), param);
}

const std::vector<std::string>& RulesObject::getAllowedParents() const {
    if (!m_isValidParentsSorted)
        KELAssertImpl::assertFail("m_isValidParentsSorted", kAssertFile, 637);
    return m_validParents;
}

bool RulesObject::isValidParent(const std::string& type) const {
    if (!m_isValidParentsSorted)
        KELAssertImpl::assertFail("m_isValidParentsSorted", kAssertFile, 352);
    return std::binary_search(m_validParents.begin(), m_validParents.end(), type);
}

bool RulesObject::getExtraRule(const std::string& name, std::string& out) const {
    return m_extra.get(name, out);
}

bool RulesObject::getExtraRule(const std::string& name, std::vector<std::string>& out) const {
    return m_extra.get(name, out);
}

bool RulesObject::getExtraRule(const std::string& name, bool& out) const {
    return m_extra.get(name, out);
}

void RulesObject::addRulesParam(Key, refcnt_ptr<const RulesParam> param) {
    // The record outlives the move of the pointer to it.
    const std::string& name = param->getName();
    m_defaultData.localParams[name] = std::move(param);
}

void RulesObject::addRulesParam(Key, const std::string& option,
                                refcnt_ptr<const RulesParam> param) {
    const std::string& name = param->getName();
    OptionData* data = optionOf(option);
    // An option the type does not allow gets lists of its own, empty.
    if (!data) {
        auto at = std::find_if(m_optionData.begin(), m_optionData.end(),
                               [&](const OptionData& known) { return option < known.option; });
        data = &*m_optionData.insert(at, OptionData{option, {}, {}, true});
    }
    data->data.localParams[name] = std::move(param);
    auto at = std::lower_bound(m_contextLocalParams.begin(), m_contextLocalParams.end(), name);
    if (at == m_contextLocalParams.end() || *at != name) m_contextLocalParams.insert(at, name);
}

void RulesObject::addOptionalChild(Key, const std::string& type) {
    m_defaultData.optionalChildren.push_back(type);
    if (m_allAccumulated.lists) m_allAccumulated.lists->optionalChildren.push_back(type);
}

void RulesObject::addValidParent(Key, const std::string& type) {
    m_validParents.push_back(type);
    m_isValidParentsSorted = false;
}

void RulesObject::sortValidParents(Key) {
    std::sort(m_validParents.begin(), m_validParents.end());
    m_isValidParentsSorted = true;
}

const std::vector<std::string>& RulesObject::getAllowedParentListRawValue(Key) const {
    return m_allowedParentListRaw;
}

}  // namespace kel
