#include <kel/physicsdata/tools/DefaultPhysicsTARNAdaptor.h>

#include <algorithm>
#include <string_view>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/PathUtils.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {
namespace {

const std::string kRoot = "ROOT";
const std::string kDependenciesPath = "/PHYSICS/DEPENDENCIES";
const std::string kObjectDependency = "OBJECT DEPENDENCY";
const std::string kObjDepContext = "OBJDEP CONTEXT";

const std::string kUnusedChildList = "Unused Child List";
const std::string kUnusedParameterList = "Unused Parameter List";
const std::string kOrderedAllowedOptionList = "Ordered Allowed Option List";
const std::string kUnusedAllowedOptionList = "Unused Allowed Option List";
const std::string kOrderedRequiredParameterList = "Ordered Required Parameter List";
const std::string kOrderedOptionalParameterList = "Ordered Optional Parameter List";
const std::string kOrderedRequiredChildList = "Ordered Required Child List";
const std::string kOrderedOptionalChildList = "Ordered Optional Child List";
const std::string kCoupledOptionalChildList = "Coupled Optional Child List";
const std::string kTreatRemainingChildren = "Treat Remaining Children As Unused";
const std::string kTreatRemainingParameters = "Treat Remaining Parameters As Unused";
const std::string kCoupleOptionalChildren = "Couple Optional Children";

// The type of the path's last component.
std::string_view lastType(std::string_view path) {
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    std::string_view component = path.substr(path.rfind('/') + 1);
    return component.substr(0, component.find(':'));
}

[[noreturn]] void notImplemented(const std::string& operation) {
    throw PhysicsException("PhysicsData::DefaultPhysicsTARNAdaptor - " + operation +
                           " not implemented.");
}

// The items of the lists (blanks trimmed, empty ones dropped) as views, sorted.
std::vector<std::string_view> sortedItems(std::string_view first, std::string_view second = {}) {
    std::vector<std::string_view> items;
    StringUtilities::appendItemViews(first, ',', items);
    StringUtilities::appendItemViews(second, ',', items);
    std::sort(items.begin(), items.end());
    return items;
}

bool isIn(const std::vector<std::string_view>& sorted, std::string_view item) {
    return std::binary_search(sorted.begin(), sorted.end(), item);
}

// Sets out[key] to the RULES list unless the list is empty, the PHYSICS data already names
// one of its entries (known, sorted), or key is already set.
void offerDefault(ParameterMap& out, const std::string& key, const std::vector<std::string>& list,
                  const std::vector<std::string_view>& known) {
    if (list.empty() || out.count(key)) return;
    if (std::any_of(list.begin(), list.end(),
                    [&](const std::string& item) { return isIn(known, item); }))
        return;
    out[key] = StringUtilities::vectorToString(list, ',');
}

}  // namespace

DefaultPhysicsTARNAdaptor::DefaultPhysicsTARNAdaptor(const TARNDatastore* physics,
                                                     const ModelRules* rules)
    : m_physics(physics), m_rules(rules) {
    const auto topTypes = m_rules->getChildrenAll(kRoot);
    m_excludedTypes.insert(topTypes.begin(), topTypes.end());
    m_excludedTypes.insert(kRoot);

    for (const auto& name :
         m_physics->getChildObjectNamesByType(kDependenciesPath, kObjectDependency)) {
        const std::string objectPath = kDependenciesPath + "/" + kObjectDependency + ":" + name;
        if (!m_physics->getChildObjectPathsByType(objectPath, kObjDepContext).empty())
            m_contextOrganisedTypes.insert(name);
    }
}

DefaultPhysicsTARNAdaptor::DefaultPhysicsTARNAdaptor(const DefaultPhysicsTARNAdaptor& other) =
    default;

DefaultPhysicsTARNAdaptor::~DefaultPhysicsTARNAdaptor() = default;

std::string_view DefaultPhysicsTARNAdaptor::dependencyType(std::string_view path) {
    // The name of the last OBJECT DEPENDENCY component, read in place; the path's third
    // component must be one.
    std::string_view found;
    bool third = false;
    std::size_t pos = 0;
    std::string_view type;
    std::string_view name;
    for (std::size_t index = 0; PathUtils::nextComponent(path, pos, type, name); ++index) {
        if (type != kObjectDependency) continue;
        found = name;
        third = third || index == 2;
    }
    return third ? found : std::string_view();
}

bool DefaultPhysicsTARNAdaptor::hasObject(const std::string& path) const {
    if (path == kDependenciesPath) return true;
    const std::string_view type = dependencyType(path);
    return !type.empty() && !m_excludedTypes.count(type);
}

bool DefaultPhysicsTARNAdaptor::hasParameter(const std::string&, const std::string&) const {
    return false;
}

std::string DefaultPhysicsTARNAdaptor::getParameterValue(const std::string&,
                                                         const std::string&) const {
    notImplemented("getParameterValue");
}

std::vector<std::string> DefaultPhysicsTARNAdaptor::getParameterValueAsList(
    const std::string& path, const std::string& name) const {
    return StringUtilities::stringToVector(getParameterValue(path, name), ',');
}

ParameterMap DefaultPhysicsTARNAdaptor::getParameterMap(const std::string& path) const {
    const std::string_view type = dependencyType(path);
    if (type.empty()) return {};
    const ParameterMap* offered = offeredMap(path, type);
    return offered ? *offered : ParameterMap();
}

bool DefaultPhysicsTARNAdaptor::visitParameters(std::string_view path, Visitor visitor,
                                                void* visit) const {
    if (path == kDependenciesPath) return true;
    const std::string_view type = dependencyType(path);
    if (type.empty() || m_excludedTypes.count(type)) return false;
    if (const ParameterMap* offered = offeredMap(std::string(path), type))
        for (const auto& [key, value] : *offered)
            visitor(visit, key, value);
    return true;
}

const ParameterMap* DefaultPhysicsTARNAdaptor::offeredMap(const std::string& path,
                                                          std::string_view depType) const {
    auto cached = m_paramMapCache.find(path);
    if (cached != m_paramMapCache.end()) return &cached->second;
    ParameterMap result;
    createParams(path, std::string(depType), result);
    if (result.empty()) return nullptr;
    return &m_paramMapCache.emplace(path, std::move(result)).first->second;
}

void DefaultPhysicsTARNAdaptor::createParams(const std::string& path, const std::string& depType,
                                             ParameterMap& out) const {
    if (m_contextOrganisedTypes.count(depType) && lastType(path) == kObjectDependency) return;

    // The PHYSICS keys this needs, read in one visit of the object (copied: a store's views
    // may end with the visit).
    static const std::string* const keys[] = {
        &kUnusedChildList,          &kUnusedParameterList,          &kUnusedAllowedOptionList,
        &kOrderedAllowedOptionList, &kOrderedRequiredParameterList, &kOrderedOptionalParameterList,
        &kOrderedRequiredChildList, &kOrderedOptionalChildList,     &kTreatRemainingChildren,
        &kTreatRemainingParameters, &kCoupleOptionalChildren};
    constexpr std::size_t kKeys = sizeof(keys) / sizeof(keys[0]);
    std::string values[kKeys];
    m_physics->forEachParameter(path, [&](std::string_view key, std::string_view text) {
        for (std::size_t i = 0; i < kKeys; ++i)
            if (key == *keys[i]) values[i].assign(text);
    });
    auto value = [&](const std::string& key) -> std::string_view {
        for (std::size_t i = 0; i < kKeys; ++i)
            if (keys[i] == &key) return values[i];
        return {};
    };
    if (!value(kUnusedChildList).empty() || !value(kUnusedParameterList).empty()) return;

    // The RULES options less those the data leaves unused: what the data covers when it
    // names no options.
    std::vector<std::string> ruleOptions = m_rules->getAllowedOptions(depType);
    const std::vector<std::string_view> unusedOptions =
        sortedItems(value(kUnusedAllowedOptionList));
    std::erase_if(ruleOptions,
                  [&](const std::string& option) { return isIn(unusedOptions, option); });
    const std::string_view orderedOptions = value(kOrderedAllowedOptionList);
    const std::vector<std::string> optionSet =
        orderedOptions.empty() ? ruleOptions : StringUtilities::stringToVector(orderedOptions, ',');

    const std::string_view requiredParams = value(kOrderedRequiredParameterList);
    const std::string_view optionalParams = value(kOrderedOptionalParameterList);
    const std::string_view requiredChildren = value(kOrderedRequiredChildList);
    const std::string_view optionalChildren = value(kOrderedOptionalChildList);
    const bool treatChildren = StringUtilities::stringToBool(value(kTreatRemainingChildren));
    const bool treatParams = StringUtilities::stringToBool(value(kTreatRemainingParameters));

    const std::vector<std::string_view> knownParams = sortedItems(requiredParams, optionalParams);
    const std::vector<std::string_view> knownChildren =
        sortedItems(requiredChildren, optionalChildren);

    // The option-set queries hand out references valid only until the next such query for
    // the type, so each list is consumed before the next one is asked for.
    ParameterMap offered;
    offerDefault(offered, kOrderedAllowedOptionList, ruleOptions, sortedItems(orderedOptions));
    if (!treatParams) {
        offerDefault(offered, kOrderedRequiredParameterList,
                     m_rules->getEssentialParams(depType, optionSet), knownParams);
        offerDefault(offered, kOrderedOptionalParameterList,
                     m_rules->getOptionalParams(depType, optionSet), knownParams);
    }
    if (!treatChildren) {
        offerDefault(offered, kOrderedRequiredChildList,
                     m_rules->getEssentialChildren(depType, optionSet), knownChildren);
        offerDefault(offered, kOrderedOptionalChildList,
                     m_rules->getOptionalChildren(depType, optionSet), knownChildren);
        if (StringUtilities::stringToBool(value(kCoupleOptionalChildren)))
            offerDefault(offered, kCoupledOptionalChildList,
                         m_rules->getOptionalChildren(depType, optionSet), knownChildren);
    }
    if (!offered.empty()) out = std::move(offered);
}

std::vector<std::string> DefaultPhysicsTARNAdaptor::getChildObjectNamesByType(
    const std::string& path, const std::string& type) const {
    if (type != kObjectDependency || path != kDependenciesPath) return {};
    std::vector<std::string> types = m_rules->getNamedObjectTypes();
    const auto singletons = m_rules->getSingletonTypes();
    types.insert(types.end(), singletons.begin(), singletons.end());
    std::sort(types.begin(), types.end());
    types.erase(std::remove_if(types.begin(), types.end(),
                               [&](const std::string& t) { return m_excludedTypes.count(t); }),
                types.end());
    return types;
}

std::vector<std::string> DefaultPhysicsTARNAdaptor::getChildObjectPathsByType(
    const std::string&, const std::string&) const {
    notImplemented("getChildObjectPathsByType");
}

std::vector<std::string> DefaultPhysicsTARNAdaptor::getChildObjectPaths(const std::string&) const {
    notImplemented("getChildObjectPaths");
}

}  // namespace kel
