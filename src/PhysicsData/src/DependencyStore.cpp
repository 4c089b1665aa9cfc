#include <kel/physicsdata/store/DependencyStore.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/rules/ModelRulesParCtxtRules.h>
#include <kel/physicsdata/store/ContextVerifier.h>
#include <kel/physicsdata/store/ObjDependParser.h>
#include <kel/physicsdata/store/ParamValParser.h>
#include <kel/physicsdata/store/ParentContextHolder.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

const char* const DependencyStore::s_validateDataEnv = "KEL_PHYSICS_VALIDATE_DATA";
const char* const DependencyStore::s_dumpUnusedEnv = "KEL_PHYSICS_DUMP_UNUSED";

namespace {

std::vector<std::string> sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

}  // namespace

class DependencyStore::Impl {
public:
    Impl(const TARNDatastore* ds, const ModelRules* rules,
         const AvailabilityCheckDataSource* source, const PhysicsDataOptions& options);

    // The definition of (context, name); null or the "no data" exception on a miss.
    const ObjDependDef* getObjDependDef(const std::string& context, const std::string& type,
                                        bool mustExist) const;
    const ParamValueDef* getParamValueDef(const std::string& context, const std::string& name,
                                          bool mustExist) const;

    std::unique_ptr<ParentContextHolder<ObjDependDef>> m_objHolder;
    std::unique_ptr<ParentContextHolder<ParamValueDef>> m_paramHolder;
    const ModelRules* m_rules;

private:
    void checkConsistency(const AvailabilityCheckDataSource* source);
    // One definition in one context: appends to errors / contextErrors, reports unused items.
    void checkDefinition(const ObjDependDef& def, const std::string& context,
                         const ContextVerifier& verifier, std::vector<std::string>& errors,
                         std::vector<std::string>& contextErrors);

    void initUnusedReport();
    void reportHeader(const std::string& type, const std::string& context);
    void reportList(const std::string& label, const std::vector<std::string>& values);
    void flushUnusedReport();

    PhysicsDataOptions m_options;
    bool m_reportInitialised = false;
    bool m_reportOn = false;
    bool m_reportHasContent = false;
    std::string m_unusedBuffer;
};

DependencyStore::Impl::Impl(const TARNDatastore* ds, const ModelRules* rules,
                            const AvailabilityCheckDataSource* source,
                            const PhysicsDataOptions& options)
    : m_rules(rules), m_options(options) {
    const ModelRulesParCtxtRules parCtxtRules(rules);

    m_objHolder = std::make_unique<ParentContextHolder<ObjDependDef>>(true);
    ObjDependParser objParser(source, rules, m_options.validate, m_objHolder.get());
    objParser.parseData(ds, &parCtxtRules);

    m_paramHolder = std::make_unique<ParentContextHolder<ParamValueDef>>(false);
    ParamValParser paramParser(source, rules, objParser.getUsedParamNames(),
                               objParser.getContextRuleInfoMap(), m_options.validate,
                               m_paramHolder.get());
    paramParser.parseData(ds, &parCtxtRules);

    if (m_options.validate) checkConsistency(source);
}

const ObjDependDef* DependencyStore::Impl::getObjDependDef(const std::string& context,
                                                           const std::string& type,
                                                           bool mustExist) const {
    const ObjDependDef* def = m_objHolder->find(context, type);
    if (!def && mustExist) {
        throw PhysicsException(
            "DependencyStore::getObjDependDef - no data to match requested context (" + context +
            ") for object (" + type + ")");
    }
    return def;
}

const ParamValueDef* DependencyStore::Impl::getParamValueDef(const std::string& context,
                                                             const std::string& name,
                                                             bool mustExist) const {
    const ParamValueDef* def = m_paramHolder->find(context, name);
    if (!def && mustExist) {
        throw PhysicsException(
            "DependencyStore::getParamValueDef - no data to match requested context (" + context +
            ") for parameter named " + name + ".");
    }
    return def;
}

void DependencyStore::Impl::checkConsistency(const AvailabilityCheckDataSource* source) {
    std::vector<std::string> errors;
    std::vector<std::string> contextErrors;
    const ContextVerifier verifier(m_rules->getNamedObjectTypes(), source);

    for (const ObjDependDef* def : m_objHolder->getDistinctItems()) {
        for (const std::string& context :
             m_rules->enumerateParentTypePaths(def->getType(), false)) {
            const ObjDependDef* found = m_objHolder->find(context, def->getType());
            if (found) checkDefinition(*found, context, verifier, errors, contextErrors);
        }
    }

    if (!errors.empty()) {
        throw PhysicsException(
            "DependencyStore::Impl::checkConsistency - there are inconsistencies in the "
            "dependency data in the PHYSICS file. The following errors were detected:\n\n" +
            StringUtilities::vectorToString(errors, '\n'));
    }
    if (!contextErrors.empty()) {
        throw PhysicsException(
            "***ERROR*** : There are CHECKs and/or LISTs that have\n"
            "              insufficient context at the evaluation point.\n"
            "              Disallowed as this could manifest as a run-time\n"
            "              exception\n\nDetails follow:\n\n" +
            StringUtilities::vectorToString(contextErrors, '\n'));
    }
}

void DependencyStore::Impl::checkDefinition(const ObjDependDef& def, const std::string& context,
                                            const ContextVerifier& verifier,
                                            std::vector<std::string>& errors,
                                            std::vector<std::string>& contextErrors) {
    const std::string& type = def.getType();
    const std::string objectPath = context + "/" + type;

    reportHeader(type, context);
    reportList("Unused parameters", def.getUnusedParameters());
    reportList("Unused children", def.getUnusedChildren());
    reportList("Unused allowed options", def.getUnusedAllowedOptionList());

    // Parameters: each needs a value definition under the object path; the context rule
    // parameter's values must be the options the definition uses.
    const std::vector<std::string> allowedOptions = sorted(m_rules->getAllowedOptions(type));
    const std::vector<std::string> unusedOptions = sorted(def.getUnusedAllowedOptionList());
    std::vector<std::string> usedOptions;
    std::set_difference(allowedOptions.begin(), allowedOptions.end(), unusedOptions.begin(),
                        unusedOptions.end(), std::back_inserter(usedOptions));
    const std::string& contextRuleParam = m_rules->getContextRuleParam(type);
    const std::vector<std::string> paramNames = def.getOrderedParamNames();

    for (const std::string& name : paramNames) {
        const ParamValueDef* param = m_paramHolder->find(objectPath, name);
        if (!param) {
            errors.push_back(
                "Object type \"" + type +
                "\" is recoverable from the ObjDependDef store with parent context \"" + context +
                "\", but the parameter \"" + name +
                "\" that it references is not recoverable from the ParamValueDef "
                "store with parent context " +
                objectPath + ".");
            continue;
        }
        reportList("Param " + param->getName() + " -- Unused allowed values",
                   param->getUnusedAllowedValues());
        if (name != contextRuleParam) continue;
        const std::vector<std::string> values = sorted(param->getAllAllowedValues());
        std::vector<std::string> difference;
        std::set_symmetric_difference(values.begin(), values.end(), usedOptions.begin(),
                                      usedOptions.end(), std::back_inserter(difference));
        if (!difference.empty()) {
            errors.push_back(
                "For object type \"" + type + "\" (parent context path \"" + context +
                "\"), there are inconsistencies between the allowed option list for the context "
                "rule parameter \"" +
                contextRuleParam +
                "\" in RULES, and the allowed value list stored in the ParamValueDef object. The "
                "following values appear in one list but not both: " +
                StringUtilities::vectorToString(difference, ','));
        }
    }

    // Children: each needs an object definition under the object path.
    for (const std::string& child : def.getOrderedChildTypes()) {
        if (!m_objHolder->find(objectPath, child)) {
            errors.push_back("The object type \"" + type +
                             "\" is recoverable from the ObjDependDef store with parent context " +
                             context + ", but the child object \"" + child +
                             "\" that it references is not recoverable from the ObjDependDef "
                             "store with parent context " +
                             objectPath + ".");
        }
    }

    // Context sufficiency of every check and list the definitions evaluate here.
    std::vector<std::string> messages = verifier.verifyObjDependChecks(objectPath, &def);
    for (const std::string& name : paramNames) {
        const ParamValueDef* param = m_paramHolder->find(objectPath, name);
        if (!param) {
            throw PhysicsException(
                "DependencyStore::getObjDependDef - cannot retrieve parameter values for "
                "parameter " +
                name + " under object path " + objectPath);
        }
        const std::vector<std::string> lines = verifier.verifyParamValChecks(objectPath, param);
        messages.insert(messages.end(), lines.begin(), lines.end());
    }
    if (!messages.empty()) {
        contextErrors.push_back("Type:    " + type + "\n" + "Context: " + context);
        for (const std::string& message : messages)
            contextErrors.push_back("  " + message);
    }

    flushUnusedReport();
}

void DependencyStore::Impl::initUnusedReport() {
    if (m_reportInitialised) return;
    m_reportOn = m_options.validate && m_options.dumpUnused;
    m_reportInitialised = true;
}

void DependencyStore::Impl::reportHeader(const std::string& type, const std::string& context) {
    initUnusedReport();
    if (!m_reportOn) return;
    m_unusedBuffer += "UNUSED PHYSICS: " + type + " parent ctxt (" + context + ")" + "\n";
}

void DependencyStore::Impl::reportList(const std::string& label,
                                       const std::vector<std::string>& values) {
    initUnusedReport();
    if (!m_reportOn || values.empty()) return;
    m_unusedBuffer += "UNUSED PHYSICS:     " + label + " : " +
                      StringUtilities::vectorToString(values, ',') + "\n";
    m_reportHasContent = true;
}

void DependencyStore::Impl::flushUnusedReport() {
    initUnusedReport();
    if (!m_reportOn) return;
    if (m_reportHasContent) {
        std::ostream& out = m_options.unusedReport ? *m_options.unusedReport : std::cout;
        out << m_unusedBuffer << std::endl;
    }
    m_unusedBuffer.clear();
    m_reportHasContent = false;
}

DependencyStore::DependencyStore(const TARNDatastore* ds, const ModelRules* rules,
                                 const AvailabilityCheckDataSource* source)
    : DependencyStore(ds, rules, source, PhysicsDataOptions::fromEnvironment()) {}

DependencyStore::DependencyStore(const TARNDatastore* ds, const ModelRules* rules,
                                 const AvailabilityCheckDataSource* source,
                                 const PhysicsDataOptions& options)
    : m_impl(std::make_unique<Impl>(ds, rules, source, options)) {}

DependencyStore::~DependencyStore() = default;

const ObjDependDef* DependencyStore::getObjDependDef(const std::string& context,
                                                     const std::string& type,
                                                     bool mustExist) const {
    return m_impl->getObjDependDef(context, type, mustExist);
}

const ParamValueDef* DependencyStore::getParamValueDef(const std::string& context,
                                                       const std::string& name,
                                                       bool mustExist) const {
    return m_impl->getParamValueDef(context, name, mustExist);
}

std::vector<std::string> DependencyStore::findEquivObjContexts(const std::string& context,
                                                               const std::string& type) const {
    return m_impl->m_objHolder->findEquivContexts(
        context, type, m_impl->m_rules->enumerateParentTypePaths(type, false));
}

std::vector<std::string> DependencyStore::findEquivParamContexts(const std::string& context,
                                                                 const std::string& name) const {
    return m_impl->m_paramHolder->findEquivContexts(
        context, name, m_impl->m_rules->enumerateParentTypePathsForParam(name));
}

void DependencyStore::getRefdCheckAndListNames(std::set<std::string>* checks,
                                               std::set<std::string>* lists) const {
    if (checks) checks->clear();
    if (lists) lists->clear();
    const auto addAll = [](std::set<std::string>* names,
                           const std::map<std::string, std::vector<std::string>>& bySubject) {
        for (const auto& entry : bySubject)
            names->insert(entry.second.begin(), entry.second.end());
    };
    for (const ObjDependDef* def : m_impl->m_objHolder->getDistinctItems()) {
        if (checks) {
            addAll(checks, def->getReferencedCheckNames(ObjDependDef::CHILD));
            addAll(checks, def->getReferencedCheckNames(ObjDependDef::PARAM));
        }
        if (lists) {
            addAll(lists, def->getReferencedListNames(ObjDependDef::CHILD));
            addAll(lists, def->getReferencedListNames(ObjDependDef::PARAM));
        }
    }
    for (const ParamValueDef* def : m_impl->m_paramHolder->getDistinctItems()) {
        if (checks) {
            const std::vector<std::string> names = def->getReferencedCheckNames();
            checks->insert(names.begin(), names.end());
        }
        if (lists) {
            const std::vector<std::string> names = def->getReferencedListNames();
            lists->insert(names.begin(), names.end());
        }
    }
}

}  // namespace kel
