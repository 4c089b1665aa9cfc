#include <kel/physicsdata/store/ParamValParser.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <queue>
#include <unordered_map>
#include <utility>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/dependency/ParamDefault.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/dependency/ParamValueOverride.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/store/ParentContextHolder.h>
#include <kel/physicsutils/PathUtils.h>

namespace kel {

namespace {

// The type at the end of a normalised path (the part of its last component before a name).
std::string_view lastType(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return last.substr(0, last.find(':'));
}

// The PARAMETER VALUES data equivalent to the context rule keys of an OBJECT DEPENDENCY.
// The keys are added in ascending order, each at the end of the map.
ParameterMap contextRuleParamMap(const ObjDependDef::ContextRuleInfo& info) {
    ParameterMap map;
    const auto add = [&map](const std::string& key, const std::string& value) {
        map.emplace_hint(map.end(), key, value);
    };
    add(ParamValueDef::s_allowedStringListChecks, info.allowedOptionCheckList);
    if (info.defaultKind == ObjDependDef::ContextRuleInfo::FIXED_DEFAULT) {
        add(ParamDefault::s_defaultValue, info.defaultValue);
    } else if (info.defaultKind == ObjDependDef::ContextRuleInfo::CHECKED_DEFAULT) {
        add(ParamDefault::s_defaultValueCheckList, info.defaultValue);
    }
    add(ParamValueDef::s_orderedAllowedStringList, info.orderedAllowedOptionList);
    static const std::string kString = "String";
    add(ParamValueDef::s_parameterType, kString);
    add(ParamValueDef::s_subsetAllowedStringList, info.subsetAllowedOptionList);
    add(ParamValueOverride::s_valueOverrideCheckList, info.overrideOptionCheckList);
    return map;
}

}  // namespace

ParamValParser::ParamValParser(const AvailabilityCheckDataSource* source, const ModelRules* rules,
                               std::set<std::string> usedParamNames,
                               ObjDependParser::ContextRuleInfoMap contextRuleInfoMap,
                               bool validate, ParentContextHolder<ParamValueDef>* holder)
    : ParentContextParser("/PHYSICS/DEPENDENCIES", "PARAMETER VALUES", "PARAMVAL CONTEXT", false),
      m_dataSource(source),
      m_rules(rules),
      m_holder(holder),
      m_usedParamNames(std::move(usedParamNames)),
      m_contextRuleInfoMap(std::move(contextRuleInfoMap)),
      m_validate(validate) {}

ParamValParser::~ParamValParser() = default;

void ParamValParser::setPatternedContextRuleInfo(
    std::vector<ObjDependParser::PatternedContextRuleInfo> infos,
    const ParentContextHolder<ObjDependDef>* objects) {
    m_patternedInfo = std::move(infos);
    m_objects = objects;
}

void ParamValParser::failToAdd(const std::string& name) const {
    throw PhysicsException(
        "ParamValParser : addParam - failed to add ParamValueDef "
        "object named " +
        name + " to store.");
}

void ParamValParser::onObjectName(const std::string& name) {
    m_usedParamNames.erase(name);
}

void ParamValParser::onNonContextData(const std::string& name, const ParameterMap& map) {
    if (m_rules->countParentTypePathsForParam(name) > s_maxListedContexts) {
        addParamByPattern(name, {}, getInvalidContexts(), map, false);
        return;
    }
    addParam(name, m_rules->enumerateParentTypePathsForParam(name), map, false);
}

void ParamValParser::onRemainingContextData(const std::string& name,
                                            const std::vector<std::string>& contexts,
                                            const std::vector<std::string>& excluded,
                                            const ParameterMap& map) {
    addParamByPattern(name, contexts, excluded, map, true);
}

void ParamValParser::onContextData(const std::string& name,
                                   const std::vector<std::string>& contexts,
                                   const ParameterMap& map, bool isDefault) {
    addParam(name, contexts, map, isDefault);
}

void ParamValParser::onCompletedObjects(const std::string& name) {
    if (getInvalidContexts().empty()) return;
    if (!m_holder->insertInvalidContexts(name, getInvalidContexts())) {
        throw PhysicsException(
            "ParamValParser : onCompletedObjects - failed to add null ParamValueDef objects for "
            "invalid contexts to store.");
    }
}

void ParamValParser::onParseComplete() {
    for (const auto& [objectPath, info] : m_contextRuleInfoMap) {
        onContextData(info->contextRuleParam, {objectPath}, contextRuleParamMap(*info), false);
    }
    for (const auto& patterned : m_patternedInfo) {
        const ParentContextHolder<ObjDependDef>* objects = m_objects;
        const std::string type = patterned.type;
        const ObjDependDef* def = patterned.def;
        ParentContextHolder<ParamValueDef>::Pattern pattern{
            [objects, type, def](std::string_view objectPath) {
                const std::size_t slash = objectPath.rfind('/');
                return slash != std::string_view::npos && objectPath.substr(slash + 1) == type &&
                       objects->findByPattern(objectPath.substr(0, slash), type) == def;
            },
            {},
            type,
            {}};
        const std::string& name = patterned.info->contextRuleParam;
        auto value = std::make_shared<ParamValueDef>(
            name, type, contextRuleParamMap(*patterned.info), m_rules, m_dataSource, m_validate);
        if (!m_holder->addPattern(name, std::move(pattern), value, false)) failToAdd(name);
    }
    // Parameters the object dependencies use without PARAMETER VALUES data still get a
    // definition (from RULES alone) in every context.
    for (const std::string& name : m_usedParamNames)
        onNonContextData(name, ParameterMap());
    m_holder->rationalise();
}

void ParamValParser::addParam(const std::string& name, const std::vector<std::string>& contexts,
                              const ParameterMap& map, bool isDefault) {
    // The valid contexts in ascending order (the invalid ones are kept sorted).
    const std::vector<std::string>& invalid = getInvalidContexts();
    std::vector<const std::string*> ordered;
    ordered.reserve(contexts.size());
    for (const std::string& context : contexts)
        if (!std::binary_search(invalid.begin(), invalid.end(), context))
            ordered.push_back(&context);
    const auto byText = [](const std::string* a, const std::string* b) { return *a < *b; };
    if (!std::is_sorted(ordered.begin(), ordered.end(), byText))
        std::sort(ordered.begin(), ordered.end(), byText);

    // Contexts whose type defines the parameter locally get a definition per type; the
    // RULES are asked once per type (a parameter has few owner types: a short list).
    // Groups view the caller's contexts.
    std::vector<std::string_view> plain;
    std::map<std::string, std::vector<std::string_view>> localGroups;
    std::vector<std::pair<std::string_view, bool>> localByType;
    std::string type;
    for (const std::string* context : ordered) {
        const std::string_view typeView = lastType(*context);
        auto known = std::find_if(localByType.begin(), localByType.end(),
                                  [&](const auto& entry) { return entry.first == typeView; });
        if (known == localByType.end()) {
            type.assign(typeView);
            localByType.emplace_back(typeView, m_rules->isLocalRulesParam(type, name));
            known = localByType.end() - 1;
        }
        if (known->second)
            localGroups[std::string(typeView)].push_back(*context);
        else
            plain.push_back(*context);
    }

    const auto add = [&](const std::string& owner, const std::vector<std::string_view>& group,
                         bool local) {
        auto def =
            ParamValueDef::makeShared(name, owner, map, m_rules, m_dataSource, m_validate, local);
        if (!m_holder->addItem(name, group, def, isDefault)) failToAdd(name);
    };
    if (!plain.empty()) add(PathUtils::typeFromNormalisedPath(plain.front()), plain, false);
    for (const auto& [owner, group] : localGroups)
        add(owner, group, true);
}

void ParamValParser::addParamByPattern(const std::string& name,
                                       const std::vector<std::string>& contexts,
                                       const std::vector<std::string>& excluded,
                                       const ParameterMap& map, bool isDefault) {
    // The explicit contexts, grouped as addParam groups them.
    std::vector<std::string> plain;
    std::map<std::string, std::vector<std::string>> localGroups;
    for (const std::string& context : contexts) {
        if (std::binary_search(getInvalidContexts().begin(), getInvalidContexts().end(), context))
            continue;
        const std::string type = PathUtils::typeFromNormalisedPath(context);
        (m_rules->isLocalRulesParam(type, name) ? localGroups[type] : plain).push_back(context);
    }
    std::sort(plain.begin(), plain.end());

    // The owner types; those holding the parameter locally get a pattern each.
    std::set<std::string> localTypes;
    for (const std::string& type : m_rules->getAllowedParamParents(name))
        if (m_rules->isLocalRulesParam(type, name)) localTypes.insert(type);

    const ModelRules* rules = m_rules;
    // local: whether type holds the parameter locally.
    const auto file = [&](const std::string& type, bool local,
                          const std::vector<std::string>& group,
                          std::optional<ParentContextHolder<ParamValueDef>::Pattern> pattern) {
        auto def =
            ParamValueDef::makeShared(name, type, map, m_rules, m_dataSource, m_validate, local);
        const bool filed = pattern
                               ? m_holder->addItem(name, group, def, false) &&
                                     m_holder->addPattern(name, std::move(*pattern), def, isDefault)
                               : m_holder->addItem(name, group, def, isDefault);
        if (!filed) failToAdd(name);
    };

    const std::string remainingPlain = firstPlainContext(name, excluded);
    if (!plain.empty() || !remainingPlain.empty()) {
        // The definition takes the type of the first plain context, explicit or not.
        const std::string& first =
            plain.empty() || (!remainingPlain.empty() && remainingPlain < plain.front())
                ? remainingPlain
                : plain.front();
        const std::string type = PathUtils::typeFromNormalisedPath(first);
        std::optional<ParentContextHolder<ParamValueDef>::Pattern> pattern;
        if (!remainingPlain.empty()) {
            pattern = ParentContextHolder<ParamValueDef>::Pattern{
                [rules, name](std::string_view path) {
                    return rules->isParamTypePath(path, name) &&
                           !rules->isLocalRulesParam(PathUtils::typeFromNormalisedPath(path), name);
                },
                excluded,
                {},
                localTypes};
        }
        file(type, false, plain, std::move(pattern));
    }
    for (const std::string& type : localTypes) {
        if (!hasContextOutside(type, excluded)) {
            if (!localGroups[type].empty()) file(type, true, localGroups[type], std::nullopt);
            continue;
        }
        ParentContextHolder<ParamValueDef>::Pattern pattern{
            [rules, name, type](std::string_view path) {
                return PathUtils::typeFromNormalisedPath(path) == type &&
                       rules->isParamTypePath(path, name);
            },
            excluded,
            type,
            {}};
        file(type, true, localGroups[type], std::move(pattern));
    }
}

bool ParamValParser::hasContextOutside(const std::string& type,
                                       const std::vector<std::string>& excluded) const {
    const std::string suffix = "/" + type;
    std::uint64_t excludedOfType = 0;
    for (const std::string& context : excluded)
        if (context.size() >= suffix.size() &&
            context.compare(context.size() - suffix.size(), suffix.size(), suffix) == 0)
            ++excludedOfType;
    const std::uint64_t count = m_rules->countParentTypePaths(type);
    if (count > excludedOfType) return true;
    // No more paths than excluded entries: few enough to list.
    for (const std::string& context : m_rules->enumerateParentTypePaths(type, false))
        if (!std::binary_search(excluded.begin(), excluded.end(), context + suffix)) return true;
    return false;
}

std::string ParamValParser::firstPlainContext(const std::string& name,
                                              const std::vector<std::string>& excluded) const {
    static const std::string kRoot = "ROOT";
    if (!m_rules->isValidType(kRoot)) return {};
    // Types where a plain context may end, and every type above one of them.
    std::set<std::string> targets;
    for (const std::string& type : m_rules->getAllowedParamParents(name))
        if (!m_rules->isLocalRulesParam(type, name)) targets.insert(type);
    std::set<std::string> useful(targets);
    std::vector<std::string> work(targets.begin(), targets.end());
    while (!work.empty()) {
        const std::string type = std::move(work.back());
        work.pop_back();
        for (const std::string& parent : m_rules->getAllowedParents(type))
            if (parent != kRoot && useful.insert(parent).second) work.push_back(parent);
    }

    // Best first over path texts: a text sorts before every extension of it, so the first
    // complete path taken off the queue is the smallest one.
    struct Partial {
        std::string path;
        std::vector<std::string> types;
        bool operator>(const Partial& other) const { return path > other.path; }
    };
    std::priority_queue<Partial, std::vector<Partial>, std::greater<>> queue;
    const auto extend = [&](const Partial& from, const std::string& parentType) {
        for (const std::string& child : m_rules->getChildrenAll(parentType)) {
            if (child == kRoot || !useful.count(child) ||
                std::find(from.types.begin(), from.types.end(), child) != from.types.end() ||
                !m_rules->isAllowedParent(child, parentType))
                continue;
            Partial next{from.path + "/" + child, from.types};
            next.types.push_back(child);
            queue.push(std::move(next));
        }
    };
    extend(Partial{}, kRoot);
    constexpr std::size_t kBudget = std::size_t(1) << 20;
    for (std::size_t steps = 0; !queue.empty(); ++steps) {
        if (steps > kBudget) {
            throw PhysicsException("ParamValParser : addParam - the parent contexts of parameter " +
                                   name + " are too many to order.");
        }
        Partial partial = queue.top();
        queue.pop();
        if (targets.count(partial.types.back()) &&
            !std::binary_search(excluded.begin(), excluded.end(), partial.path))
            return partial.path;
        extend(partial, partial.types.back());
    }
    return {};
}

}  // namespace kel
