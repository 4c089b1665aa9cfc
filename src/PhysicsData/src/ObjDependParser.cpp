#include <kel/physicsdata/store/ObjDependParser.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
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
    m_defaultContexts.clear();
    m_defaultByPattern = m_rules->countParentTypePaths(name) > s_maxListedContexts;
    if (m_defaultByPattern) return;
    std::vector<std::string> candidates = m_rules->enumerateParentTypePaths(name, false);
    std::sort(candidates.begin(), candidates.end());
    // The invalid contexts are sorted: the candidates not among them are moved over.
    const std::vector<std::string>& invalid = getInvalidContexts();
    auto skip = invalid.begin();
    for (std::string& candidate : candidates) {
        skip = std::lower_bound(skip, invalid.end(), candidate);
        if (skip == invalid.end() || *skip != candidate)
            m_defaultContexts.push_back(std::move(candidate));
    }
}

void ObjDependParser::onNonContextData(const std::string& name, const ParameterMap& map) {
    if (m_defaultContexts.empty() && !m_defaultByPattern) return;
    if (!addObjDependDef(name, m_defaultContexts,
                         m_defaultByPattern ? &getInvalidContexts() : nullptr, map, true)) {
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
    if (!addObjDependDef(name, contexts, nullptr, map, isDefault)) {
        throw PhysicsException(
            "ObjDependParser : onContextData - failed to add ObjDependDef "
            "object type " +
            name + " to store.");
    }
}

void ObjDependParser::onRemainingContextData(const std::string& name,
                                             const std::vector<std::string>& contexts,
                                             const std::vector<std::string>& excluded,
                                             const ParameterMap& map) {
    if (!addObjDependDef(name, contexts, &excluded, map, true)) {
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
                                      const std::vector<std::string>* patternExcluded,
                                      const ParameterMap& map, bool isDefault) {
    auto def = std::make_shared<ObjDependDef>(type, map, m_rules, m_dataSource, m_validate);
    if (patternExcluded) {
        const ModelRules* rules = m_rules;
        ParentContextHolder<ObjDependDef>::Pattern pattern{[rules, type](std::string_view context) {
                                                               return rules->isParentTypePath(
                                                                   context, type);
                                                           },
                                                           *patternExcluded,
                                                           {},
                                                           {}};
        if (!m_holder->addItem(type, contexts, def, false) ||
            !m_holder->addPattern(type, std::move(pattern), def, isDefault))
            return false;
    } else if (!m_holder->addItem(type, contexts, def, isDefault)) {
        return false;
    }

    // A child type the definition leaves unused may not exist under its objects.
    if (!def->getUnusedChildren().empty()) {
        std::vector<std::string> objectPaths;
        objectPaths.reserve(contexts.size());
        for (const std::string& context : contexts)
            objectPaths.push_back(context + "/" + type);
        for (const std::string& child : def->getUnusedChildren()) {
            m_holder->insertInvalidContexts(child, objectPaths);
            if (patternExcluded) m_holder->insertInvalidWherePatterned(child, type, def.get());
        }
    }

    const refcnt_ptr<const ObjDependDef::ContextRuleInfo> info = def->getContextRuleInfo();
    if (info) {
        for (const std::string& context : contexts) {
            m_contextRuleInfoMap.emplace(context + "/" + type, info);
        }
        if (patternExcluded) m_patternedContextRuleInfo.push_back({type, def.get(), info});
    }

    PACursor cursor;
    for (auto found = def->firstParamAvail(cursor); found.first;
         found = def->nextParamAvail(cursor, std::string())) {
        const std::string& param = found.first->getName();
        if (info && param == info->contextRuleParam) continue;
        m_usedParamNames.push_back(param);
    }
    return true;
}

std::set<std::string> ObjDependParser::getUsedParamNames() const {
    std::vector<const std::string*> names;
    names.reserve(m_usedParamNames.size());
    for (const std::string& name : m_usedParamNames)
        names.push_back(&name);
    const auto byText = [](const std::string* a, const std::string* b) { return *a < *b; };
    std::sort(names.begin(), names.end(), byText);
    std::set<std::string> used;
    for (const std::string* name : names)
        if (used.empty() || *used.rbegin() != *name) used.emplace_hint(used.end(), *name);
    return used;
}

}  // namespace kel
