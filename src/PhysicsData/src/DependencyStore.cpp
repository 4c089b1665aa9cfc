#include <kel/physicsdata/store/DependencyStore.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_set>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/rules/ModelRulesParCtxtRules.h>
#include <kel/physicsdata/store/ContextVerifier.h>
#include <kel/physicsdata/store/ObjDependParser.h>
#include <kel/physicsdata/store/ParamValParser.h>
#include <kel/physicsdata/store/ParentContextHolder.h>
#include <kel/physicsutils/ParentContextParser.h>
#include <kel/physicsutils/TARNPath.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

const char* const DependencyStore::s_validateDataEnv = "KEL_PHYSICS_VALIDATE_DATA";
const char* const DependencyStore::s_dumpUnusedEnv = "KEL_PHYSICS_DUMP_UNUSED";

namespace {

using TextRefs = std::vector<const std::string*>;

bool lessByText(const std::string* a, const std::string* b) {
    return *a < *b;
}

// The items, as pointers sorted by text (equal texts each kept).
TextRefs sortedRefs(const std::vector<std::string>& items) {
    TextRefs refs;
    refs.reserve(items.size());
    for (const std::string& item : items)
        refs.push_back(&item);
    std::sort(refs.begin(), refs.end(), lessByText);
    return refs;
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
    // Errors are thrown located at the OBJECT DEPENDENCY of the first type found at fault.
    void checkConsistency(const TARNDatastore& ds, const AvailabilityCheckDataSource* source);
    // For a type with too many parent type paths to visit each: the contexts some key of
    // either holder names, and contexts no key names, chosen so that every named type on
    // one of them is missing from another (what the context check depends on).
    std::set<std::string> sampleContexts(const std::string& type);
    // The first parent type path of type, in walk order, that is not in skip and does not
    // pass through avoid; "" and false when there is none (or the walk runs too long).
    bool firstParentPathOutside(const std::string& type, const std::set<std::string>& skip,
                                const std::string& avoid, std::string& found) const;
    // Whether the definitions of type in context refer to any check or list (whose
    // context needs checking).
    bool checksContext(const std::string& type, const std::string& context) const;
    // One definition in one context: appends to errors / contextErrors, reports unused items.
    void checkDefinition(const ObjDependDef& def, const std::string& context,
                         const ContextVerifier& verifier, std::vector<std::string>& errors,
                         std::vector<std::string>& contextErrors);

    void initUnusedReport();
    void reportHeader(const std::string& type, const std::string& context);
    void reportList(const std::string& label, const std::vector<std::string>& values);
    void flushUnusedReport();

    PhysicsDataOptions m_options;
    std::map<std::string, std::set<std::string>> m_keyedContexts;  // type -> contexts keyed
    bool m_keyedContextsBuilt = false;
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
    // The object parser's state is handed over to the parameter parser as copies: it ends
    // before the parameter values are parsed, so that its state does not stay alongside.
    std::optional<ObjDependParser> objParser(std::in_place, source, rules, m_options.validate,
                                             m_objHolder.get());
    objParser->parseData(ds, &parCtxtRules);

    m_paramHolder = std::make_unique<ParentContextHolder<ParamValueDef>>(false);
    ParamValParser paramParser(source, rules, objParser->getUsedParamNames(),
                               objParser->getContextRuleInfoMap(), m_options.validate,
                               m_paramHolder.get());
    paramParser.setPatternedContextRuleInfo(objParser->getPatternedContextRuleInfo(),
                                            m_objHolder.get());
    objParser.reset();
    paramParser.parseData(ds, &parCtxtRules);

    if (m_options.validate) checkConsistency(*ds, source);
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

void DependencyStore::Impl::checkConsistency(const TARNDatastore& ds,
                                             const AvailabilityCheckDataSource* source) {
    std::vector<std::string> errors;
    std::vector<std::string> contextErrors;
    // The paths of the first OBJECT DEPENDENCY each kind of error is about.
    std::string firstError, firstContextError;
    const ContextVerifier verifier(m_rules->getNamedObjectTypes(), source);

    // Every context of a type is checked once, whichever of its definitions comes first.
    std::unordered_set<std::string_view> checkedTypes;
    for (const ObjDependDef* def : m_objHolder->getDistinctItems()) {
        const std::string& type = def->getType();
        if (!checkedTypes.insert(type).second) continue;
        if (m_rules->countParentTypePaths(type) <= ParentContextParser::s_maxListedContexts) {
            for (const std::string& context : m_rules->enumerateParentTypePaths(type, false)) {
                const ObjDependDef* found = m_objHolder->find(context, type);
                if (found) checkDefinition(*found, context, verifier, errors, contextErrors);
            }
        } else {
            for (const std::string& context : sampleContexts(type)) {
                const ObjDependDef* found = m_objHolder->find(context, type);
                if (found) checkDefinition(*found, context, verifier, errors, contextErrors);
            }
        }
        const bool firstErrors = firstError.empty() && !errors.empty();
        const bool firstContextErrors = firstContextError.empty() && !contextErrors.empty();
        if (firstErrors || firstContextErrors) {
            std::string path = "/PHYSICS/DEPENDENCIES/OBJECT DEPENDENCY:";
            path += type;
            if (firstErrors) firstError = path;
            if (firstContextErrors) firstContextError = path;
        }
    }
    const auto located = [&](std::string message, const std::string& path) {
        return PhysicsException(std::move(message), ds.objectLocation(path), path);
    };

    if (!errors.empty()) {
        throw located(
            "DependencyStore::Impl::checkConsistency - there are inconsistencies in the "
            "dependency data in the PHYSICS file. The following errors were detected:\n\n" +
                StringUtilities::vectorToString(errors, '\n'),
            firstError);
    }
    if (!contextErrors.empty()) {
        throw located(
            "***ERROR*** : There are CHECKs and/or LISTs that have\n"
            "              insufficient context at the evaluation point.\n"
            "              Disallowed as this could manifest as a run-time\n"
            "              exception\n\nDetails follow:\n\n" +
                StringUtilities::vectorToString(contextErrors, '\n'),
            firstContextError);
    }
}

std::set<std::string> DependencyStore::Impl::sampleContexts(const std::string& type) {
    if (!m_keyedContextsBuilt) {
        const auto note = [&](std::string_view context, std::string_view name, bool isObject) {
            if (isObject) m_keyedContexts[std::string(name)].emplace(context);
            const std::size_t slash = context.rfind('/');
            if (slash != std::string_view::npos)
                m_keyedContexts[std::string(context.substr(slash + 1))].emplace(
                    context.substr(0, slash));
        };
        m_objHolder->forEachKnownKey(
            [&](std::string_view context, std::string_view name) { note(context, name, true); });
        m_paramHolder->forEachKnownKey(
            [&](std::string_view context, std::string_view name) { note(context, name, false); });
        m_keyedContextsBuilt = true;
    }
    // Contexts no key names all get the same definitions: one of them stands for all, and
    // for each named type on it one that lacks that type, if any.
    const std::set<std::string>& keyed = m_keyedContexts[type];
    std::set<std::string> samples;
    for (const std::string& context : keyed)
        if (m_rules->isParentTypePath(context, type)) samples.insert(context);
    std::string representative;
    if (firstParentPathOutside(type, keyed, "", representative)) {
        samples.insert(representative);
        if (!checksContext(type, representative)) return samples;
        const std::vector<std::string> named = m_rules->getNamedObjectTypes();
        const TARNPath path(representative);
        for (std::size_t i = 0; i < path.size(); ++i) {
            const std::string& onPath = path.getType(i);
            std::string other;
            if (std::binary_search(named.begin(), named.end(), onPath) &&
                firstParentPathOutside(type, keyed, onPath, other))
                samples.insert(other);
        }
    }
    return samples;
}

bool DependencyStore::Impl::checksContext(const std::string& type,
                                          const std::string& context) const {
    const ObjDependDef* def = m_objHolder->find(context, type);
    if (!def) return false;
    for (const auto kind : {ObjDependDef::CHILD, ObjDependDef::PARAM})
        if (!def->getReferencedCheckNames(kind).empty() ||
            !def->getReferencedListNames(kind).empty())
            return true;
    for (const std::string& name : def->getOrderedParamNames()) {
        const ParamValueDef* param = m_paramHolder->find(context + "/" + type, name);
        if (param &&
            (!param->getReferencedCheckNames().empty() || !param->getReferencedListNames().empty()))
            return true;
    }
    return false;
}

bool DependencyStore::Impl::firstParentPathOutside(const std::string& type,
                                                   const std::set<std::string>& skip,
                                                   const std::string& avoid,
                                                   std::string& found) const {
    constexpr std::size_t kStepBudget = std::size_t(1) << 16;
    struct Frame {
        std::vector<std::string> parents;
        std::size_t next;
    };
    std::vector<std::string> stack{type};
    std::vector<Frame> frames{{m_rules->getAllowedParents(type), 0}};
    for (std::size_t steps = 0; !frames.empty() && steps < kStepBudget; ++steps) {
        Frame& frame = frames.back();
        if (frame.next == frame.parents.size()) {
            frames.pop_back();
            stack.pop_back();
            continue;
        }
        const std::string parent = frame.parents[frame.next++];
        if (parent == "ROOT") {
            std::string path;
            for (std::size_t i = stack.size(); i-- > 1;)
                path += "/" + stack[i];
            if (!skip.count(path)) {
                found = std::move(path);
                return true;
            }
        } else if (parent != avoid &&
                   std::find(stack.begin(), stack.end(), parent) == stack.end()) {
            stack.push_back(parent);
            frames.push_back({m_rules->getAllowedParents(parent), 0});
        }
    }
    return false;
}

void DependencyStore::Impl::checkDefinition(const ObjDependDef& def, const std::string& context,
                                            const ContextVerifier& verifier,
                                            std::vector<std::string>& errors,
                                            std::vector<std::string>& contextErrors) {
    const std::string& type = def.getType();
    const std::string objectPath = context + "/" + type;

    initUnusedReport();
    if (m_reportOn) {
        reportHeader(type, context);
        reportList("Unused parameters", def.getUnusedParameters());
        reportList("Unused children", def.getUnusedChildren());
        reportList("Unused allowed options", def.getUnusedAllowedOptionList());
    }

    // Parameters: each needs a value definition under the object path; the context rule
    // parameter's values must be the options the definition uses.
    const std::string& contextRuleParam = m_rules->getContextRuleParam(type);
    std::vector<const std::string*> paramNames;
    PACursor paramCursor;
    for (auto found = def.firstParamAvail(paramCursor); found.first;
         found = def.nextParamAvail(paramCursor, std::string()))
        paramNames.push_back(&found.first->getName());
    std::vector<const ParamValueDef*> params;
    params.reserve(paramNames.size());

    for (const std::string* paramName : paramNames) {
        const std::string& name = *paramName;
        const ParamValueDef* param = m_paramHolder->find(objectPath, name);
        params.push_back(param);
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
        if (m_reportOn)
            reportList("Param " + param->getName() + " -- Unused allowed values",
                       param->getUnusedAllowedValues());
        if (name != contextRuleParam) continue;
        // Compared as sorted multisets of texts, nothing copied until they differ.
        const TextRefs allowedOptions = sortedRefs(m_rules->getAllowedOptions(type));
        const std::vector<std::string> unusedList = def.getUnusedAllowedOptionList();
        const TextRefs unusedOptions = sortedRefs(unusedList);
        TextRefs usedOptions;
        std::set_difference(allowedOptions.begin(), allowedOptions.end(), unusedOptions.begin(),
                            unusedOptions.end(), std::back_inserter(usedOptions), lessByText);
        const std::vector<std::string> valueList = param->getAllAllowedValues();
        const TextRefs values = sortedRefs(valueList);
        TextRefs differing;
        std::set_symmetric_difference(values.begin(), values.end(), usedOptions.begin(),
                                      usedOptions.end(), std::back_inserter(differing), lessByText);
        std::vector<std::string> difference;
        difference.reserve(differing.size());
        for (const std::string* value : differing)
            difference.push_back(*value);
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
    CACursor childCursor;
    for (auto found = def.firstChildAvail(childCursor, std::string()); found.first;
         found = def.nextChildAvail(childCursor)) {
        const std::string& child = found.first->getType();
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
    for (std::size_t i = 0; i < paramNames.size(); ++i) {
        const std::string& name = *paramNames[i];
        const ParamValueDef* param = params[i];
        if (!param) {
            throw PhysicsException(
                "DependencyStore::getObjDependDef - cannot retrieve parameter values for "
                "parameter " +
                name + " under object path " + objectPath);
        }
        std::vector<std::string> lines = verifier.verifyParamValChecks(objectPath, param);
        messages.insert(messages.end(), std::make_move_iterator(lines.begin()),
                        std::make_move_iterator(lines.end()));
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

std::size_t DependencyStore::countObjDependDefs() const {
    std::size_t count = 0;
    m_impl->m_objHolder->forEachDistinctItem([&](const ObjDependDef*) { ++count; });
    return count;
}

std::size_t DependencyStore::countParamValueDefs() const {
    std::size_t count = 0;
    m_impl->m_paramHolder->forEachDistinctItem([&](const ParamValueDef*) { ++count; });
    return count;
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
    m_impl->m_objHolder->forEachDistinctItem([&](const ObjDependDef* def) {
        if (checks) {
            addAll(checks, def->getReferencedCheckNames(ObjDependDef::CHILD));
            addAll(checks, def->getReferencedCheckNames(ObjDependDef::PARAM));
        }
        if (lists) {
            addAll(lists, def->getReferencedListNames(ObjDependDef::CHILD));
            addAll(lists, def->getReferencedListNames(ObjDependDef::PARAM));
        }
    });
    m_impl->m_paramHolder->forEachDistinctItem([&](const ParamValueDef* def) {
        if (checks) {
            const std::vector<std::string> names = def->getReferencedCheckNames();
            checks->insert(names.begin(), names.end());
        }
        if (lists) {
            const std::vector<std::string> names = def->getReferencedListNames();
            lists->insert(names.begin(), names.end());
        }
    });
}

void DependencyStore::forEachRefdCheckAndListName(const NameVisitor& onCheck,
                                                  const NameVisitor& onList) const {
    // Visited in place, in the order the definitions' name collections hold them.
    const auto bySubject = [](const NameVisitor& visit) {
        return [&visit](const std::string&, const std::string& name) { visit(name); };
    };
    m_impl->m_objHolder->forEachDistinctItem([&](const ObjDependDef* def) {
        if (onCheck) {
            def->forEachReferencedCheckName(ObjDependDef::CHILD, bySubject(onCheck));
            def->forEachReferencedCheckName(ObjDependDef::PARAM, bySubject(onCheck));
        }
        if (onList) {
            def->forEachReferencedListName(ObjDependDef::CHILD, bySubject(onList));
            def->forEachReferencedListName(ObjDependDef::PARAM, bySubject(onList));
        }
    });
    m_impl->m_paramHolder->forEachDistinctItem([&](const ParamValueDef* def) {
        if (onCheck) def->forEachReferencedCheckName(onCheck);
        if (onList) def->forEachReferencedListName(onList);
    });
}

}  // namespace kel
