#include "DataLinter.h"

#include <algorithm>
#include <exception>
#include <map>
#include <string_view>
#include <tuple>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsdata/dependency/BoundsData.h>
#include <kel/physicsdata/dependency/CheckedValue.h>
#include <kel/physicsdata/dependency/ParamDefault.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/dependency/ParamValueOverride.h>
#include <kel/physicsdata/physics/Diagnostics.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/rules/RulesParam.h>
#include <kel/physicsdata/store/DependencyStore.h>
#include <kel/physicsutils/ParentContextParser.h>
#include <kel/physicsutils/PathUtils.h>
#include <kel/physicsutils/PhysicsStrings.h>
#include <kel/physicsutils/TARNDatastore.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/utilities/StringUtilities.h>

#include "KnownKeys.h"
#include "NamedChildren.h"

namespace kel {
namespace {

using Names = std::vector<std::string>;

const std::string kRules = "RULES";
const std::string kPhysics = "PHYSICS";
const std::string kRulesPath = "/RULES";
const std::string kPhysicsPath = "/PHYSICS";
const std::string kCheckDataPath = "/PHYSICS/CHECK DATA";
const std::string kDependenciesPath = "/PHYSICS/DEPENDENCIES";
const std::string kObject = "OBJECT";
const std::string kSingleton = "SINGLETON";
const std::string kContext = "CONTEXT";
const std::string kParameter = "PARAMETER";
const std::string kObjectDependency = "OBJECT DEPENDENCY";
const std::string kParameterValues = "PARAMETER VALUES";
const std::string kObjDepContext = "OBJDEP CONTEXT";
const std::string kParamValContext = "PARAMVAL CONTEXT";
const std::string kDefault = "Default";

// (type, name) of the last component of an object path; an unnamed object has name "".
std::pair<std::string, std::string> lastComponent(const std::string& path) {
    const std::string last = path.substr(path.rfind('/') + 1);
    const std::size_t colon = last.find(':');
    if (colon == std::string::npos) return {last, ""};
    return {last.substr(0, colon), last.substr(colon + 1)};
}

// "OBJECT DEPENDENCY BOUNDARY" for ".../OBJECT DEPENDENCY:BOUNDARY".
std::string describe(const std::string& path) {
    const auto [type, name] = lastComponent(path);
    return name.empty() ? type : type + " " + name;
}

bool contains(const Names& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

Names concat(Names names, const ExtraDef& extra) {
    for (const Names* more : {&extra.stringRules, &extra.listRules, &extra.boolRules})
        names.insert(names.end(), more->begin(), more->end());
    return names;
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

// A number read from a value with optional units, when it is one (in double precision, so
// that a value just past a bound is not rounded onto it).
bool number(const std::string& text, double& value) {
    std::string digits, units;
    const auto [result, ok] = TARNParam::valueAsDouble(text, digits, units);
    value = result;
    return ok;
}

// What is wrong with value for a parameter of that type, bounds and allowed values
// (empty allowed: any value); "" when it fits. `what` names the value in the message.
std::string misfit(const std::string& what, const std::string& value, TARNParam::Type type,
                   const std::string& lower, const std::string& upper, const Names& allowed) {
    const Names items = TARNParam::isListType(type) ? StringUtilities::splitValueNoEmpty(value)
                                                    : Names{StringUtilities::trim(value)};
    for (const auto& item : items) {
        double v = 0;
        bool numeric = false;
        if (TARNParam::isIntegerType(type)) {
            if (!TARNParam::valueAsInt(item).second)
                return what + " " + quoted(item) + " is not an integer";
            numeric = number(item, v);
        } else if (TARNParam::isRealType(type)) {
            if (!number(item, v)) return what + " " + quoted(item) + " is not a real number";
            numeric = true;
        } else if (TARNParam::isLogicalType(type)) {
            if (!TARNParam::valueAsBool(item).second)
                return what + " " + quoted(item) + " is not a logical value";
        } else if (!allowed.empty() && !contains(allowed, item)) {
            return what + " " + quoted(item) + " is not among the allowed values " +
                   StringUtilities::vectorToString(allowed, ',') +
                   KnownKeys::didYouMean(item, allowed);
        }
        double bound = 0;
        if (numeric && !lower.empty() && number(lower, bound) && v < bound)
            return what + " " + quoted(item) + " is below the lower bound " + quoted(lower);
        if (numeric && !upper.empty() && number(upper, bound) && v > bound)
            return what + " " + quoted(item) + " is above the upper bound " + quoted(upper);
    }
    return {};
}

}  // namespace

DataLinter::DataLinter(const TARNDatastore& rulesData, const TARNDatastore& physicsData,
                       const ModelRules::ExtraRulesDef& extra, const ModelRules* rules,
                       const PhysicsData* physics, bool physicsComplete, Diagnostics& diagnostics,
                       const std::string& rulesName, const std::string& physicsName)
    : m_rulesData(rulesData),
      m_physicsData(physicsData),
      m_extra(extra),
      m_rules(rules),
      m_physics(physics),
      m_physicsComplete(physicsComplete),
      m_diagnostics(diagnostics),
      m_rulesLocator(rulesData, rulesName),
      m_physicsLocator(physicsData, physicsName),
      m_objectKeys(concat(KnownKeys::rulesObject(), extra.objectRules)),
      m_parameterKeys(concat(KnownKeys::rulesParameter(), extra.paramRules)) {}

void DataLinter::run() {
    if (checkRoot(m_rulesData, m_rulesLocator, kRules, kPhysics)) lintRules();
    if (checkRoot(m_physicsData, m_physicsLocator, kPhysics, kRules)) lintPhysics();
}

std::string DataLinter::suggest(const std::string& word, const Names& candidates) {
    constexpr std::size_t kMaxWork = 1000000;
    m_suggestionWork += candidates.size();
    return m_suggestionWork > kMaxWork ? std::string() : KnownKeys::didYouMean(word, candidates);
}

void DataLinter::warn(const DataLocator& locator, const std::string& code, const std::string& path,
                      const std::string& key, const std::string& message) {
    m_diagnostics.warning(code, message,
                          key.empty() ? locator.object(path) : locator.parameter(path, key), path);
}

bool DataLinter::checkRoot(const TARNDatastore& data, const DataLocator& locator,
                           const std::string& role, const std::string& other) {
    const std::string rootPath = "/" + role;
    if (data.hasObject(rootPath)) return true;
    const Names roots = data.getChildObjectPaths("");
    if (roots.empty()) {
        warn(locator, "empty-input", "", "", "the " + role + " data is empty");
    } else if (data.hasObject("/" + other)) {
        warn(locator, "wrong-root", "/" + other, "",
             "expected " + role + " data but this is " + other + " data (root object " + other +
                 ")");
    } else {
        warn(locator, "wrong-root", roots.front(), "",
             role + " data needs a " + role + " root object; found " + describe(roots.front()) +
                 suggest(lastComponent(roots.front()).first, {role}));
    }
    return false;
}

void DataLinter::lintKeys(const TARNDatastore& data, const DataLocator& locator,
                          const std::string& path, const Names& known) {
    data.forEachParameter(path, [&](std::string_view key, std::string_view) {
        if (std::find(known.begin(), known.end(), key) != known.end()) return;
        const std::string name(key);
        warn(locator, "unknown-key", path, name,
             "unknown key " + quoted(name) + " in " + describe(path) + suggest(name, known));
    });
}

void DataLinter::lintKinds(const TARNDatastore& data, const DataLocator& locator,
                           const std::string& path, const Names& known) {
    data.forEachChild(path, [&](std::string_view type, std::string_view name) {
        if (std::find(known.begin(), known.end(), type) != known.end()) return;
        const std::string kind(type);
        std::string child = path + "/" + kind;
        if (!name.empty()) child.append(":").append(name);
        warn(locator, "unknown-object", child, "",
             "unknown object kind " + quoted(kind) + " in " +
                 (path == "" ? std::string("the data") : describe(path)) + suggest(kind, known));
    });
}

// ---------------------------------------------------------------------------------------
// RULES

void DataLinter::lintRules() {
    for (const auto& kind : {kObject, kSingleton}) {
        for (const auto& name : m_rulesData.getChildObjectNamesByType(kRulesPath, kind)) {
            m_types.push_back(name);
            m_typeSet.insert(name);
        }
    }
    lintKinds(m_rulesData, m_rulesLocator, kRulesPath, {kObject, kSingleton, kParameter});
    for (const auto& kind : {kObject, kSingleton}) {
        forEachNamedChild(
            m_rulesData, kRulesPath, kind,
            [this](const std::string& p, const std::string& n) { lintRulesType(p, n); });
    }
    lintRulesParameters(kRulesPath);
}

void DataLinter::lintRulesParameters(const std::string& path) {
    forEachNamedChild(
        m_rulesData, path, kParameter,
        [this](const std::string& p, const std::string& n) { lintRulesParameter(p, n); });
}

void DataLinter::lintRulesType(const std::string& path, const std::string& type) {
    (void)type;
    lintKeys(m_rulesData, m_rulesLocator, path, m_objectKeys);
    lintKinds(m_rulesData, m_rulesLocator, path, {kParameter, kContext});
    lintTypeList(path, "Essential Child List", "child");
    lintTypeList(path, "Optional Child List", "child");
    lintTypeList(path, "Allowed Parent List", "parent");
    forEachNamedChild(m_rulesData, path, kContext,
                      [&](const std::string& context, const std::string&) {
                          lintKeys(m_rulesData, m_rulesLocator, context, KnownKeys::rulesContext());
                          lintKinds(m_rulesData, m_rulesLocator, context, {kParameter});
                          lintTypeList(context, "Essential Child List", "child");
                          lintTypeList(context, "Optional Child List", "child");
                          lintRulesParameters(context);
                      });
    lintRulesParameters(path);
}

void DataLinter::lintTypeList(const std::string& path, const std::string& key,
                              const std::string& what) {
    for (const auto& type : m_rulesData.getParameterValueAsList(path, key)) {
        if (type == kRules || m_typeSet.count(type)) continue;
        warn(m_rulesLocator, "unknown-type", path, key,
             what + " type " + quoted(type) + " in " + quoted(key) + " of " + describe(path) +
                 " is not an object type of the RULES" + suggest(type, m_types));
    }
}

void DataLinter::lintRulesParameter(const std::string& path, const std::string& name) {
    lintKeys(m_rulesData, m_rulesLocator, path, m_parameterKeys);
    if (!m_rules) return;
    // Only where this definition sets something the default must fit, so that an inherited
    // misfit is reported once, where it arises.
    bool setsSomething = false;
    bool setsDefault = false;
    m_rulesData.forEachParameter(path, [&](std::string_view key, std::string_view) {
        setsDefault = setsDefault || key == kDefault;
        setsSomething = setsSomething || key == kDefault || key == "Parameter Type" ||
                        key == "Lower Bound" || key == "Upper Bound" ||
                        key == "Allowed String List";
    });
    if (!setsSomething) return;
    // The definition as the built model holds it: global (no type), object level (under an
    // option without a definition of its own, if the type has options) or context level.
    const std::string parent = path.substr(0, path.rfind('/'));
    const auto [parentKind, parentName] = lastComponent(parent);
    std::string type, option;
    if (parentKind == kContext) {
        type = lastComponent(parent.substr(0, parent.rfind('/'))).second;
        option = parentName;
    } else if (parentKind == kObject || parentKind == kSingleton) {
        type = parentName;
        const Names& options = m_rules->getAllowedOptions(type);
        if (!options.empty() && name != m_rules->getContextRuleParam(type)) {
            option.clear();
            for (const auto& o : options) {
                if (option.empty() && !m_rulesData.hasObject(parent + "/" + kContext + ":" + o +
                                                             "/" + kParameter + ":" + name))
                    option = o;
            }
            if (option.empty()) return;  // every option has its own definition
        }
    }
    try {
        const RulesParam& param = m_rules->getParam(type, option, name);
        if (param.getDefault().empty()) return;
        const std::string problem =
            misfit("the RULES default", param.getDefault(), param.getType(), param.getLowerBound(),
                   param.getUpperBound(), param.getAllowedStringList());
        if (!problem.empty()) {
            warn(m_rulesLocator, "bad-default", path, setsDefault ? kDefault : "",
                 "parameter " + name + ": " + problem);
        }
    } catch (const std::exception&) {
        // A definition the model does not hold for any context: nothing to fit.
    }
}

// ---------------------------------------------------------------------------------------
// PHYSICS

void DataLinter::lintPhysics() {
    lintKinds(m_physicsData, m_physicsLocator, kPhysicsPath, {"CHECK DATA", "DEPENDENCIES"});
    lintCheckData();
    lintDependencies();
    if (m_physics && m_physicsComplete) lintUnused();
}

void DataLinter::lintCheckData() {
    lintKeys(m_physicsData, m_physicsLocator, kCheckDataPath, KnownKeys::checkData());
    const Names kinds{"CHECK", "LIST", "GLOBAL CHECK"};
    lintKinds(m_physicsData, m_physicsLocator, kCheckDataPath, kinds);
    for (const auto& kind : kinds) {
        for (const auto& path : m_physicsData.getChildObjectPathsByType(kCheckDataPath, kind)) {
            const std::string type = m_physicsData.getParameterValue(path, PhysicsStrings::s_Type);
            if (const Names* known = KnownKeys::product(kind, StringUtilities::trim(type)))
                lintKeys(m_physicsData, m_physicsLocator, path, *known);
        }
    }
}

void DataLinter::lintDependencies() {
    lintKinds(m_physicsData, m_physicsLocator, kDependenciesPath,
              {kObjectDependency, kParameterValues});
    const Names allTypes = m_rules ? m_rules->getAllObjectTypes() : Names();
    forEachNamedChild(
        m_physicsData, kDependenciesPath, kObjectDependency,
        [&](const std::string& path, const std::string& type) {
            if (m_rules && !m_rules->isValidType(type)) {
                warn(m_physicsLocator, "unknown-type", path, "",
                     "OBJECT DEPENDENCY for " + quoted(type) +
                         ", which is not an object type of the RULES" + suggest(type, allTypes));
            }
            lintKeys(m_physicsData, m_physicsLocator, path, KnownKeys::objectDependency());
            lintKinds(m_physicsData, m_physicsLocator, path, {kObjDepContext});
            forEachNamedChild(m_physicsData, path, kObjDepContext,
                              [&](const std::string& context, const std::string&) {
                                  lintKeys(m_physicsData, m_physicsLocator, context,
                                           KnownKeys::objectDependency());
                              });
        });

    const Names allParams = m_rules ? m_rules->getParamNames() : Names();
    Names entries;
    forEachNamedChild(
        m_physicsData, kDependenciesPath, kParameterValues,
        [&](const std::string& path, const std::string& name) {
            const bool known = !m_rules || m_rules->isValidParamName(name);
            if (!known) {
                warn(m_physicsLocator, "unknown-parameter", path, "",
                     "PARAMETER VALUES for " + quoted(name) +
                         ", which is not a parameter of the RULES" + suggest(name, allParams));
            }
            lintKeys(m_physicsData, m_physicsLocator, path, KnownKeys::parameterValues());
            lintKinds(m_physicsData, m_physicsLocator, path, {kParamValContext});
            entries.clear();
            forEachNamedChild(m_physicsData, path, kParamValContext,
                              [&](const std::string& context, const std::string&) {
                                  lintKeys(m_physicsData, m_physicsLocator, context,
                                           KnownKeys::parameterValues());
                                  entries.push_back(context);
                              });
            if (entries.empty()) entries.push_back(path);
            if (m_rules && known) {
                for (const auto& entry : entries)
                    lintParameterEntry(entry, name);
            }
        });
}

void DataLinter::lintParameterEntry(const std::string& path, const std::string& name) {
    // The owner types this entry applies to: those of its parent contexts, or all.
    Names contexts =
        m_physicsData.getParameterValueAsList(path, ParentContextParser::s_parentContextList);
    if (contexts.empty() || contains(contexts, ParentContextParser::s_default)) {
        try {
            contexts = m_rules->enumerateParentTypePathsForParam(name);
        } catch (const std::exception&) {
            return;  // more parent paths than can be listed: the load says so if it matters
        }
    }
    if (contexts.empty()) return;
    const std::string ownerType = PathUtils::typeFromNormalisedPath(contexts.front());

    // Allowed values the RULES exclude.
    const std::string& listKey = ParamValueDef::s_orderedAllowedStringList;
    for (const auto& value : m_physicsData.getParameterValueAsList(path, listKey)) {
        if (m_rules->isPossibleAllowedString(ownerType, name, value)) continue;
        const Names& rulesAllowed = m_rules->getAllowedStringList(
            ownerType, m_rules->getValidOptionForObject(ownerType), name);
        warn(m_physicsLocator, "excluded-value", path, listKey,
             "allowed value " + quoted(value) + " of parameter " + name +
                 " is not among the RULES' allowed strings" + suggest(value, rulesAllowed));
    }

    // Defaults and overrides written here that their own definition would not accept.
    if (!m_physics) return;
    const ParamValueDef* def = m_physics->getParamValueDef(contexts.front(), name, false);
    if (!def) return;
    std::string lower, upper;
    if (TARNParam::isIntegerType(def->getType()) || TARNParam::isRealType(def->getType())) {
        lower = def->getFixedBounds().first;
        upper = def->getFixedBounds().second;
    }
    const Names allowed =
        def->isRestricted() && !def->isRestrictedDynamic() ? def->getAllAllowedValues() : Names();
    const ParameterMap map = m_physicsData.getParameterMap(path);
    auto lintValues = [&](const std::vector<CheckedValue>& values, const char* what,
                          const Names& keys) {
        for (const auto& candidate : values) {
            if (candidate.type != CheckedValue::PlainValue) continue;
            // Only values written in this entry, under one of keys.
            std::string key;
            for (const auto& k : keys) {
                if (key.empty() &&
                    parameterValue(map, k).find(candidate.value) != std::string::npos)
                    key = k;
            }
            if (key.empty()) continue;
            const std::string problem =
                misfit(what, candidate.value, def->getType(), lower, upper, allowed);
            if (!problem.empty()) {
                warn(m_physicsLocator, "bad-value", path, key,
                     "parameter " + name + ": " + problem);
            }
        }
    };
    lintValues(def->getCheckedDefaults(), "the default",
               {ParamDefault::s_defaultValue, ParamDefault::s_defaultValueCheckList});
    lintValues(def->getCheckedOverrides(), "the override",
               {ParamValueOverride::s_valueOverrideCheckList});
}

void DataLinter::lintUnused() {
    std::set<std::string> checks, lists;
    m_physics->getDependencyStore().getRefdCheckAndListNames(&checks, &lists);
    for (const auto& name : m_physics->getCheckNames()) {
        const Check* check = m_physics->getCheck(name, true);
        for (const auto& used : check->getCheckNamesDependOn())
            checks.insert(used);
        for (const auto& used : check->getListNamesDependOn())
            lists.insert(used);
    }
    for (const auto& name : m_physics->getListNames()) {
        const List* list = m_physics->getList(name, true);
        for (const auto& used : list->getCheckNamesDependOn())
            checks.insert(used);
        for (const auto& used : list->getListNamesDependOn())
            lists.insert(used);
    }
    // Global checks name their checks in their data.
    for (const auto& path :
         m_physicsData.getChildObjectPathsByType(kCheckDataPath, "GLOBAL CHECK")) {
        for (const auto& [key, value] : m_physicsData.getParameterMap(path)) {
            for (const auto& item : StringUtilities::splitValueNoEmpty(value))
                checks.insert(item);
        }
    }
    for (const auto& [kind, names, used] :
         {std::tuple<std::string, Names, const std::set<std::string>*>{
              "CHECK", m_physics->getCheckNames(), &checks},
          {"LIST", m_physics->getListNames(), &lists}}) {
        for (const auto& name : names) {
            if (used->count(name)) continue;
            warn(m_physicsLocator, "unused", kCheckDataPath + "/" + kind + ":" + name, "",
                 kind + " " + quoted(name) +
                     " is not used by any dependency, CHECK, LIST or "
                     "GLOBAL CHECK");
        }
    }
}

}  // namespace kel
