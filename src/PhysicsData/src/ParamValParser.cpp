#include <kel/physicsdata/store/ParamValParser.h>

#include <algorithm>
#include <map>
#include <memory>
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

// The PARAMETER VALUES data equivalent to the context rule keys of an OBJECT DEPENDENCY.
ParameterMap contextRuleParamMap(const ObjDependDef::ContextRuleInfo& info) {
    ParameterMap map;
    map[ParamValueDef::s_parameterType] = "String";
    map[ParamValueDef::s_orderedAllowedStringList] = info.orderedAllowedOptionList;
    map[ParamValueDef::s_subsetAllowedStringList] = info.subsetAllowedOptionList;
    map[ParamValueDef::s_allowedStringListChecks] = info.allowedOptionCheckList;
    map[ParamValueOverride::s_valueOverrideCheckList] = info.overrideOptionCheckList;
    if (info.defaultKind == ObjDependDef::ContextRuleInfo::FIXED_DEFAULT) {
        map[ParamDefault::s_defaultValue] = info.defaultValue;
    } else if (info.defaultKind == ObjDependDef::ContextRuleInfo::CHECKED_DEFAULT) {
        map[ParamDefault::s_defaultValueCheckList] = info.defaultValue;
    }
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

void ParamValParser::onObjectName(const std::string& name) {
    m_usedParamNames.erase(name);
}

void ParamValParser::onNonContextData(const std::string& name, const ParameterMap& map) {
    addParam(name, m_rules->enumerateParentTypePathsForParam(name), map, false);
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
    // Parameters the object dependencies use without PARAMETER VALUES data still get a
    // definition (from RULES alone) in every context.
    const std::set<std::string> undefined = m_usedParamNames;
    for (const std::string& name : undefined)
        onNonContextData(name, ParameterMap());
    m_holder->rationalise();
}

void ParamValParser::addParam(const std::string& name, const std::vector<std::string>& contexts,
                              const ParameterMap& map, bool isDefault) {
    std::vector<std::string> sortedContexts = contexts;
    std::sort(sortedContexts.begin(), sortedContexts.end());
    std::vector<std::string> invalid = getInvalidContexts();
    std::sort(invalid.begin(), invalid.end());

    // Contexts whose type defines the parameter locally get a definition per type.
    std::vector<std::string> plain;
    std::map<std::string, std::vector<std::string>> localGroups;
    for (const std::string& context : sortedContexts) {
        if (std::binary_search(invalid.begin(), invalid.end(), context)) continue;
        const std::string type = PathUtils::typeFromNormalisedPath(context);
        if (m_rules->isLocalRulesParam(type, name)) {
            localGroups[type].push_back(context);
        } else {
            plain.push_back(context);
        }
    }

    const auto add = [&](const std::string& type, const std::vector<std::string>& group) {
        auto def =
            std::make_shared<ParamValueDef>(name, type, map, m_rules, m_dataSource, m_validate);
        if (!m_holder->addItem(name, group, def, isDefault)) {
            throw PhysicsException(
                "ParamValParser : addParam - failed to add ParamValueDef "
                "object named " +
                name + " to store.");
        }
    };
    if (!plain.empty()) add(PathUtils::typeFromNormalisedPath(plain.front()), plain);
    for (const auto& [type, group] : localGroups)
        add(type, group);
}

}  // namespace kel
