#include <kel/physicsdata/rules/RulesObject.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

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

void eraseRules(std::vector<std::string>& list) {
    list.erase(std::remove(list.begin(), list.end(), kRules), list.end());
}

// Appends each item of from not yet in seen.
void appendUnseen(const std::vector<std::string>& from, std::set<std::string>& seen,
                  std::vector<std::string>& to) {
    for (const auto& item : from)
        if (seen.insert(item).second) to.push_back(item);
}

// list without the items of excluded (which is sorted), order kept.
std::vector<std::string> without(const std::vector<std::string>& list,
                                 const std::vector<std::string>& excluded) {
    std::vector<std::string> sorted(excluded);
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> result;
    result.reserve(list.size());
    for (const auto& item : list)
        if (!std::binary_search(sorted.begin(), sorted.end(), item)) result.push_back(item);
    return result;
}

// One object or CONTEXT may name an item once among its parameter lists, and once among
// its child lists (a CONTEXT may repeat what its object names): remembers where each item
// was named and throws, naming the RULES object, both keys and the item, on a repeat.
class RepeatGuard {
public:
    explicit RepeatGuard(const std::string& path) : m_path(path) {}
    void add(const std::string& key, const std::vector<std::string>& items) {
        for (const auto& item : items) {
            auto [it, fresh] = m_keyOf.emplace(item, &key);
            if (!fresh)
                throw std::runtime_error("RulesObject::initData - in RULES object " + m_path +
                                         ", \"" + item + "\" is named in \"" + *it->second +
                                         "\" and again in \"" + key + "\".");
        }
    }

private:
    const std::string& m_path;
    std::map<std::string, const std::string*> m_keyOf;
};

}  // namespace

RulesObject::RulesObject(const TARNDatastore& ds, const std::string& path, bool singleton,
                         const ExtraDef& extra)
    : m_name(path.substr(path.rfind(':') == std::string::npos ? 0 : path.rfind(':') + 1)),
      m_singleton(singleton),
      m_isValidParentsSorted(true) {
    initData(ds, path, extra);
    createAccumulatedLists(m_allowedOptions, m_allAccumulated);
}

RulesObject::RulesObject(const RulesObject& other) = default;
RulesObject& RulesObject::operator=(const RulesObject& other) = default;
RulesObject::RulesObject(RulesObject&& other) noexcept = default;
RulesObject& RulesObject::operator=(RulesObject&& other) noexcept = default;
RulesObject::~RulesObject() = default;

// Object-level keys are never inherited: only path itself is asked.
std::pair<std::string, bool> RulesObject::extractParamValue(const TARNDatastore& ds,
                                                            const std::string& path,
                                                            const std::string& key) const {
    if (!ds.hasParameter(path, key)) return {std::string(), false};
    return {ds.getParameterValue(path, key), true};
}

bool RulesObject::extractParamValues(const TARNDatastore& ds, const std::string& path,
                                     const std::string& key, std::vector<std::string>& out) const {
    if (!ds.hasParameter(path, key)) return false;
    auto items = ds.getParameterValueAsList(path, key);
    out.insert(out.end(), items.begin(), items.end());
    return true;
}

void RulesObject::initData(const TARNDatastore& ds, const std::string& path,
                           const ExtraDef& extra) {
    std::string contextRule = extractParamValue(ds, path, kContextRule).first;
    std::vector<std::string> options;
    extractParamValues(ds, path, kAllowedOptionList, options);
    RepeatGuard(path).add(kAllowedOptionList, options);
    if (!options.empty() && contextRule.empty()) contextRule = kDefaultOption;
    if (options.empty() && !contextRule.empty())
        throw std::runtime_error("RulesObject::initData - in RULES object " + path +
                                 ", a context rule parameter is defined " +
                                 "but there are no allowed options specified.");
    m_contextRuleParam = contextRule;
    m_allowedOptions = options;
    std::vector<std::string> sorted(options);
    std::sort(sorted.begin(), sorted.end());

    m_defaultData = makeData(ds, path);

    for (const auto& context : ds.getChildObjectNamesByType(path, "CONTEXT"))
        if (!std::binary_search(sorted.begin(), sorted.end(), context))
            throw std::runtime_error(
                "RulesObject::initData - In " + path + ", the CONTEXT object " + context +
                " does not appear in the \"" + kAllowedOptionList + "\" parameter.");
    for (const auto& option : sorted)
        m_optionData[option] = makeData(ds, path + "/CONTEXT:" + option, m_defaultData);

    extractParamValues(ds, path, kAllowedParentList, m_allowedParentListRaw);

    m_extra = ExtraRuleValues(
        extra, [&](const std::string& key) { return extractParamValue(ds, path, key); },
        [&](const std::string& key, std::vector<std::string>& out) {
            return extractParamValues(ds, path, key, out);
        });
}

RulesObject::RulesObjectData RulesObject::makeData(const TARNDatastore& ds,
                                                   const std::string& path) const {
    RulesObjectData data;
    doMakeData(ds, path, data);
    return data;
}

RulesObject::RulesObjectData RulesObject::makeData(const TARNDatastore& ds, const std::string& path,
                                                   const RulesObjectData& base) const {
    RulesObjectData data(base);
    doMakeData(ds, path, data);
    return data;
}

void RulesObject::doMakeData(const TARNDatastore& ds, const std::string& path,
                             RulesObjectData& data) const {
    RepeatGuard children(path);
    RepeatGuard params(path);
    auto read = [&](const std::string& key, RepeatGuard& guard, std::vector<std::string>& out) {
        std::vector<std::string> items;
        extractParamValues(ds, path, key, items);
        if (&guard == &children) eraseRules(items);
        guard.add(key, items);
        out.insert(out.end(), items.begin(), items.end());
    };
    read(kEssentialChildList, children, data.essentialChildren);
    read(kOptionalChildList, children, data.optionalChildren);
    read(kEssentialParameterList, params, data.essentialParams);
    read(kOptionalParameterList, params, data.optionalParams);
    read(kDefaultParameterList, params, data.optionalParams);
}

const RulesObject::RulesObjectData& RulesObject::findData(const std::string& option) const {
    if (option.empty()) return m_defaultData;
    auto it = m_optionData.find(option);
    if (it == m_optionData.end())
        throw std::runtime_error(
            "RulesObject::findData - unrecognised value of \"Context Rule\" parameter (value = " +
            option + ") in object " + m_name + ".");
    return it->second;
}

void RulesObject::createAccumulatedLists(const std::vector<std::string>& options,
                                         AccumulatedLists& out) const {
    if (options.empty()) return;
    std::set<std::string> seenEssentialParams, seenEssentialChildren, seenOptionalParams,
        seenOptionalChildren;
    std::vector<std::string> optionalParams, optionalChildren;
    for (const auto& option : options) {
        const RulesObjectData& data = findData(option);
        appendUnseen(data.essentialParams, seenEssentialParams, out.essentialParams);
        appendUnseen(data.essentialChildren, seenEssentialChildren, out.essentialChildren);
        appendUnseen(data.optionalParams, seenOptionalParams, optionalParams);
        appendUnseen(data.optionalChildren, seenOptionalChildren, optionalChildren);
    }
    out.optionalParams = without(optionalParams, out.essentialParams);
    out.optionalChildren = without(optionalChildren, out.essentialChildren);
}

const RulesObject::AccumulatedLists& RulesObject::updateAccumCache(
    const std::vector<std::string>& options) const {
    if (options.size() == m_accumCacheKey.size()) {
        std::vector<std::string> a(options), b(m_accumCacheKey);
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        if (a == b && !options.empty()) return m_accumCache;
    }
    // Built aside so that an unrecognised option leaves the cache as it was.
    AccumulatedLists fresh;
    createAccumulatedLists(options, fresh);
    m_accumCache = std::move(fresh);
    m_accumCacheKey = options;
    return m_accumCache;
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
                                    : m_allAccumulated.essentialChildren;
}
const std::vector<std::string>& RulesObject::getOptionalChildrenAll() const {
    return m_allowedOptions.empty() ? m_defaultData.optionalChildren
                                    : m_allAccumulated.optionalChildren;
}
const std::vector<std::string>& RulesObject::getEssentialParamsAll() const {
    return m_allowedOptions.empty() ? m_defaultData.essentialParams
                                    : m_allAccumulated.essentialParams;
}
const std::vector<std::string>& RulesObject::getOptionalParamsAll() const {
    return m_allowedOptions.empty() ? m_defaultData.optionalParams
                                    : m_allAccumulated.optionalParams;
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
        auto data = m_optionData.find(option);
        if (data != m_optionData.end()) {
            auto it = data->second.localParams.find(param);
            if (it != data->second.localParams.end()) return it->second.get();
        }
    }
    auto it = m_defaultData.localParams.find(param);
    return it == m_defaultData.localParams.end() ? nullptr : it->second.get();
}

bool RulesObject::hasContextLocalRulesParam(const std::string& param) const {
    for (const auto& option : m_allowedOptions) {
        auto data = m_optionData.find(option);
        if (data != m_optionData.end() && data->second.localParams.count(param)) return true;
    }
    return false;
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
    const std::string name = param->getName();
    m_defaultData.localParams[name] = std::move(param);
}

void RulesObject::addRulesParam(Key, const std::string& option,
                                refcnt_ptr<const RulesParam> param) {
    const std::string name = param->getName();
    m_optionData[option].localParams[name] = std::move(param);
}

void RulesObject::addOptionalChild(Key, const std::string& type) {
    m_defaultData.optionalChildren.push_back(type);
    m_allAccumulated.optionalChildren.push_back(type);
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
