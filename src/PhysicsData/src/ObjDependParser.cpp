#include <kel/physicsdata/store/ObjDependParser.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/store/ParentContextHolder.h>

namespace kel {

ObjDependParser::ObjDependParser(const AvailabilityCheckDataSource* source, const ModelRules* rules,
                                 bool validate, ParentContextHolder<ObjDependDef>* holder)
    : ParentContextParser("/PHYSICS/DEPENDENCIES", "OBJECT DEPENDENCY", "OBJDEP CONTEXT", true),
      m_dataSource(source),
      m_rules(rules),
      m_holder(holder),
      m_validate(validate) {}

ObjDependParser::~ObjDependParser() = default;

void ObjDependParser::onObjectName(const std::string& name) {
    // Context-free data applies to every parent type path that is not invalid.
    std::vector<std::string> candidates = m_rules->enumerateParentTypePaths(name, false);
    std::sort(candidates.begin(), candidates.end());
    std::vector<std::string> invalid = getInvalidContexts();
    std::sort(invalid.begin(), invalid.end());
    m_defaultContexts.clear();
    std::set_difference(candidates.begin(), candidates.end(), invalid.begin(), invalid.end(),
                        std::back_inserter(m_defaultContexts));
}

void ObjDependParser::onNonContextData(const std::string& name, const ParameterMap& map) {
    if (m_defaultContexts.empty()) return;
    if (!addObjDependDef(name, m_defaultContexts, map, true)) {
        throw PhysicsException(
            "ObjDependParser : onNonContextData - failed to add ObjDependDef "
            "object type " +
            name + " to store.");
    }
}

void ObjDependParser::onContextData(const std::string& name,
                                    const std::vector<std::string>& contexts,
                                    const ParameterMap& map, bool isDefault) {
    if (contexts.empty()) return;
    if (!addObjDependDef(name, contexts, map, isDefault)) {
        throw PhysicsException(
            "ObjDependParser : onContextData - failed to add ObjDependDef "
            "object type " +
            name + " to store.");
    }
}

void ObjDependParser::onCompletedObjects(const std::string& name) {
    m_holder->insertInvalidContexts(name, getInvalidContexts());
}

void ObjDependParser::onParseComplete() {
    m_holder->rationalise();
}

bool ObjDependParser::addObjDependDef(const std::string& type,
                                      const std::vector<std::string>& contexts,
                                      const ParameterMap& map, bool isDefault) {
    auto def = std::make_shared<ObjDependDef>(type, map, m_rules, m_dataSource, m_validate);
    if (!m_holder->addItem(type, contexts, def, isDefault)) return false;

    // A child type the definition leaves unused may not exist under its objects.
    if (!def->getUnusedChildren().empty()) {
        std::vector<std::string> objectPaths;
        objectPaths.reserve(contexts.size());
        for (const std::string& context : contexts)
            objectPaths.push_back(context + "/" + type);
        for (const std::string& child : def->getUnusedChildren()) {
            m_holder->insertInvalidContexts(child, objectPaths);
        }
    }

    const refcnt_ptr<const ObjDependDef::ContextRuleInfo> info = def->getContextRuleInfo();
    if (info) {
        for (const std::string& context : contexts) {
            m_contextRuleInfoMap.emplace(context + "/" + type, info);
        }
    }

    for (const std::string& param : def->getOrderedParamNames()) {
        if (info && param == info->contextRuleParam) continue;
        m_usedParamNames.insert(param);
    }
    return true;
}

}  // namespace kel
