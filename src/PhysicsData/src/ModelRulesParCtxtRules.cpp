#include <kel/physicsdata/rules/ModelRulesParCtxtRules.h>

#include <kel/physicsdata/rules/ModelRules.h>

namespace kel {

ModelRulesParCtxtRules::ModelRulesParCtxtRules(const ModelRules* rules) : m_rules(rules) {}

ModelRulesParCtxtRules::~ModelRulesParCtxtRules() = default;

bool ModelRulesParCtxtRules::isValidHierarchy(const TARNPath& path) const {
    return m_rules->isValidHierarchy(path);
}

std::vector<std::string> ModelRulesParCtxtRules::enumerateParentTypePaths(const std::string& name,
                                                                          bool isObjectType) const {
    return isObjectType ? m_rules->enumerateParentTypePaths(name, false)
                        : m_rules->enumerateParentTypePathsForParam(name);
}

std::uint64_t ModelRulesParCtxtRules::countParentTypePaths(const std::string& name,
                                                           bool isObjectType) const {
    return isObjectType ? m_rules->countParentTypePaths(name)
                        : m_rules->countParentTypePathsForParam(name);
}

bool ModelRulesParCtxtRules::isParentTypePath(const std::string& context, const std::string& name,
                                              bool isObjectType) const {
    return isObjectType ? m_rules->isParentTypePath(context, name)
                        : m_rules->isParamTypePath(context, name);
}

bool ModelRulesParCtxtRules::isValidType(const std::string& type) const {
    return m_rules->isValidType(type);
}

bool ModelRulesParCtxtRules::isValidParamName(const std::string& name) const {
    return m_rules->isValidParamName(name);
}

}  // namespace kel
