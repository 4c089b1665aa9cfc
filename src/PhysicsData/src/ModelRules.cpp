#include <kel/physicsdata/rules/ModelRules.h>

#include <stdexcept>

#include "ModelRulesImpl.h"

namespace kel {

ModelRules::ModelRules(const TARNDatastore* ds, const ExtraRulesDef& extra) {
    if (!ds) throw std::runtime_error("ModelRules::ModelRules - no RULES datastore given.");
    m_impl = std::make_unique<ModelRulesImpl>(*ds, extra);
}

ModelRules::~ModelRules() = default;

std::vector<std::string> ModelRules::getAllObjectTypes() const {
    std::vector<std::string> types;
    for (const auto& entry : m_impl->types())
        if (*entry.name != "RULES" && *entry.name != "ROOT") types.push_back(*entry.name);
    return types;
}

std::vector<std::string> ModelRules::getNamedObjectTypes() const {
    std::vector<std::string> types;
    for (const auto& entry : m_impl->types())
        if (!entry.object->isSingleton()) types.push_back(*entry.name);
    return types;
}

std::vector<std::string> ModelRules::getSingletonTypes() const {
    std::vector<std::string> types;
    for (const auto& entry : m_impl->types())
        if (entry.object->isSingleton()) types.push_back(*entry.name);
    return types;
}

bool ModelRules::isValidType(const std::string& type) const {
    return m_impl->findObject(type) != nullptr;
}

bool ModelRules::isValidParamName(const std::string& param) const {
    return m_impl->isValidParamName(param);
}

std::vector<std::string> ModelRules::getParamNames() const {
    const auto& names = m_impl->paramNames();
    return {names.begin(), names.end()};
}

bool ModelRules::isSingleton(const std::string& type) const {
    return m_impl->getObject(type).isSingleton();
}

const std::string& ModelRules::getContextRuleParam(const std::string& type) const {
    return m_impl->getObject(type).getContextRuleParam();
}

const std::vector<std::string>& ModelRules::getAllowedOptions(const std::string& type) const {
    return m_impl->getObject(type).getAllowedOptions();
}

bool ModelRules::isAllowedOption(const std::string& type, const std::string& option) const {
    return m_impl->getObject(type).hasAllowedOption(option);
}

std::string ModelRules::getValidOptionForObject(const std::string& type) const {
    return m_impl->getValidOptionForObject(type);
}

const std::vector<std::string>& ModelRules::getEssentialChildren(const std::string& type,
                                                                 const std::string& option) const {
    return m_impl->getObject(type).getEssentialChildren(option);
}
const std::vector<std::string>& ModelRules::getOptionalChildren(const std::string& type,
                                                                const std::string& option) const {
    return m_impl->getObject(type).getOptionalChildren(option);
}
const std::vector<std::string>& ModelRules::getEssentialParams(const std::string& type,
                                                               const std::string& option) const {
    return m_impl->getObject(type).getEssentialParams(option);
}
const std::vector<std::string>& ModelRules::getOptionalParams(const std::string& type,
                                                              const std::string& option) const {
    return m_impl->getObject(type).getOptionalParams(option);
}

const std::vector<std::string>& ModelRules::getEssentialChildren(
    const std::string& type, const std::vector<std::string>& options) const {
    return m_impl->getObject(type).getEssentialChildren(options);
}
const std::vector<std::string>& ModelRules::getOptionalChildren(
    const std::string& type, const std::vector<std::string>& options) const {
    return m_impl->getObject(type).getOptionalChildren(options);
}
const std::vector<std::string>& ModelRules::getEssentialParams(
    const std::string& type, const std::vector<std::string>& options) const {
    return m_impl->getObject(type).getEssentialParams(options);
}
const std::vector<std::string>& ModelRules::getOptionalParams(
    const std::string& type, const std::vector<std::string>& options) const {
    return m_impl->getObject(type).getOptionalParams(options);
}

const std::vector<std::string>& ModelRules::getEssentialChildrenAll(const std::string& type) const {
    return m_impl->getObject(type).getEssentialChildrenAll();
}
const std::vector<std::string>& ModelRules::getOptionalChildrenAll(const std::string& type) const {
    return m_impl->getObject(type).getOptionalChildrenAll();
}
const std::vector<std::string>& ModelRules::getEssentialParamsAll(const std::string& type) const {
    return m_impl->getObject(type).getEssentialParamsAll();
}
const std::vector<std::string>& ModelRules::getOptionalParamsAll(const std::string& type) const {
    return m_impl->getObject(type).getOptionalParamsAll();
}

std::vector<std::string> ModelRules::getChildrenAll(const std::string& type) const {
    const RulesObject& object = m_impl->getObject(type);
    std::vector<std::string> all(object.getEssentialChildrenAll());
    const auto& optional = object.getOptionalChildrenAll();
    all.insert(all.end(), optional.begin(), optional.end());
    return all;
}

std::vector<std::string> ModelRules::getParamsAll(const std::string& type) const {
    const RulesObject& object = m_impl->getObject(type);
    std::vector<std::string> all(object.getEssentialParamsAll());
    const auto& optional = object.getOptionalParamsAll();
    all.insert(all.end(), optional.begin(), optional.end());
    return all;
}

bool ModelRules::isEssentialChild(const std::string& type, const std::string& child,
                                  const std::string& option) const {
    return m_impl->getObject(type).hasEssentialChild(child, option);
}
bool ModelRules::isOptionalChild(const std::string& type, const std::string& child,
                                 const std::string& option) const {
    return m_impl->getObject(type).hasOptionalChild(child, option);
}
bool ModelRules::isAllowedChild(const std::string& type, const std::string& child,
                                const std::string& option) const {
    return isEssentialChild(type, child, option) || isOptionalChild(type, child, option);
}
bool ModelRules::isEssentialParam(const std::string& type, const std::string& param,
                                  const std::string& option) const {
    return m_impl->getObject(type).hasEssentialParam(param, option);
}
bool ModelRules::isOptionalParam(const std::string& type, const std::string& param,
                                 const std::string& option) const {
    return m_impl->getObject(type).hasOptionalParam(param, option);
}
bool ModelRules::isAllowedParam(const std::string& type, const std::string& param,
                                const std::string& option) const {
    return isEssentialParam(type, param, option) || isOptionalParam(type, param, option);
}
bool ModelRules::isAllowedChildAll(const std::string& type, const std::string& child) const {
    return m_impl->getObject(type).isAllowedChildAll(child);
}
bool ModelRules::isAllowedParamAll(const std::string& type, const std::string& param) const {
    return m_impl->getObject(type).isAllowedParamAll(param);
}

std::vector<std::string> ModelRules::getAllowedParents(const std::string& type) const {
    return m_impl->getObject(type).getAllowedParents();
}

bool ModelRules::isAllowedParent(const std::string& type, const std::string& parentType) const {
    return m_impl->getObject(type).isValidParent(parentType);
}

std::vector<std::string> ModelRules::getAllowedParamParents(const std::string& param) const {
    std::vector<std::string> types;
    for (const auto* type : m_impl->getAllowedParamParents(param))
        types.push_back(*type->name);
    return types;
}

bool ModelRules::isLocalRulesParam(const std::string& type, const std::string& param) const {
    return m_impl->isLocalRulesParam(type, param);
}

TARNParam::Type ModelRules::getParamType(const std::string& type, const std::string& param) const {
    return m_impl->getParamType(type, param);
}

const std::string& ModelRules::getDefault(const std::string& type, const std::string& option,
                                          const std::string& param) const {
    return m_impl->getParam(type, option, param).getDefault();
}
const std::string& ModelRules::getLowerBound(const std::string& type, const std::string& option,
                                             const std::string& param) const {
    return m_impl->getParam(type, option, param).getLowerBound();
}
const std::string& ModelRules::getUpperBound(const std::string& type, const std::string& option,
                                             const std::string& param) const {
    return m_impl->getParam(type, option, param).getUpperBound();
}
bool ModelRules::hasDefaultValue(const std::string& type, const std::string& option,
                                 const std::string& param) const {
    return m_impl->getParam(type, option, param).hasDefaultValue();
}
std::pair<bool, bool> ModelRules::hasBounds(const std::string& type, const std::string& option,
                                            const std::string& param) const {
    return m_impl->getParam(type, option, param).hasBounds();
}
const std::vector<std::string>& ModelRules::getAllowedStringList(const std::string& type,
                                                                 const std::string& option,
                                                                 const std::string& param) const {
    return m_impl->getParam(type, option, param).getAllowedStringList();
}
const RulesParam& ModelRules::getParam(const std::string& type, const std::string& option,
                                       const std::string& param) const {
    return m_impl->getParam(type, option, param);
}

bool ModelRules::isPossibleAllowedString(const std::string& type, const std::string& param,
                                         const std::string& value) const {
    return m_impl->isPossibleAllowedString(type, param, value);
}

std::vector<std::string> ModelRules::enumerateParentTypePaths(const std::string& type,
                                                              bool withNames) const {
    return m_impl->enumerateParentTypePaths(type, withNames);
}

std::vector<std::string> ModelRules::enumerateParentTypePathsForParam(
    const std::string& param) const {
    return m_impl->enumerateParentTypePathsForParam(param);
}

const std::vector<std::string>& ModelRules::getParentTypePaths(const std::string& type) const {
    return m_impl->parentTypePaths(type);
}

std::uint64_t ModelRules::countParentTypePaths(const std::string& type) const {
    return m_impl->countParentTypePaths(type);
}

std::string ModelRules::firstParentTypePathForParam(const std::string& param) const {
    return m_impl->firstParentTypePathForParam(param);
}

std::uint64_t ModelRules::countParentTypePathsForParam(const std::string& param) const {
    return m_impl->countParentTypePathsForParam(param);
}

bool ModelRules::isParentTypePath(std::string_view context, const std::string& type) const {
    return m_impl->isParentTypePath(context, type);
}

bool ModelRules::isParamTypePath(std::string_view path, const std::string& param) const {
    return m_impl->isParamTypePath(path, param);
}

bool ModelRules::isValidHierarchy(const TARNPath& path) const {
    return m_impl->isValidHierarchy(path);
}

bool ModelRules::isValidPath(const TARNPath& path) const {
    return m_impl->isValidPath(path);
}

const ExtraRules* ModelRules::getExtraRules() const {
    return m_impl.get();
}

}  // namespace kel
