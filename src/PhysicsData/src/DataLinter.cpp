#include "DataLinter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <map>
#include <span>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

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
#include "NameIndex.h"
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
const std::string kCheck = "CHECK";
const std::string kList = "LIST";
const std::string kGlobalCheck = "GLOBAL CHECK";
const std::string kEssentialChildList = "Essential Child List";
const std::string kOptionalChildList = "Optional Child List";
const std::string kAllowedParentList = "Allowed Parent List";

// The kinds of child each object may hold, in the order the linter handles them.
const Names kRulesKinds{kObject, kSingleton, kParameter};
const Names kTypeKinds{kParameter, kContext};
const Names kContextKinds{kParameter};
const Names kPhysicsKinds{"CHECK DATA", "DEPENDENCIES"};
const Names kCheckDataKinds{kCheck, kList, kGlobalCheck};
const Names kDependencyKinds{kObjectDependency, kParameterValues};
const Names kObjDepKinds{kObjDepContext};
const Names kParamValKinds{kParamValContext};

// parent/type or parent/type:name, written into path (whose buffer is reused).
const std::string& childPath(std::string& path, const std::string& parent, const std::string& type,
                             std::string_view name) {
    path.assign(parent).append("/").append(type);
    if (!name.empty()) path.append(":").append(name);
    return path;
}

// A value written in an entry, under its key.
struct WrittenValue {
    const std::string& key;
    const std::string& value;
};

// The positions of the names of a list, found by text without allocating per name. Refers
// to the list, which must outlive it and not change. A name that occurs more than once is
// found at its first position.
class NamePositions {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit NamePositions(const Names& names) : m_names(names) {
        m_index.reserve(names.size());
        m_positions.reserve(names.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            if (m_index.insert(names[i], NameOf{*this}).second) m_positions.push_back(i);
    }

    std::size_t find(std::string_view name) const {
        const std::uint32_t number = m_index.find(name, NameOf{*this});
        return number == NameIndex::kNone ? npos : m_positions[number];
    }

private:
    // The name of a number of m_index.
    struct NameOf {
        const NamePositions& names;
        const std::string& operator()(std::uint32_t number) const {
            return names.m_names[names.m_positions[number]];
        }
    };

    const Names& m_names;
    NameIndex m_index;
    std::vector<std::size_t> m_positions;  // by number in m_index
};

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

// The position of name in names (a short list), or names.size(): lengths and first
// characters are compared before the texts.
inline std::size_t positionIn(const Names& names, std::string_view name) {
    std::size_t at = 0;
    for (; at < names.size(); ++at) {
        const std::string& known = names[at];
        if (known.size() == name.size() && (name.empty() || known.front() == name.front()) &&
            std::string_view(known) == name)
            break;
    }
    return at;
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
// that a value just past a bound is not rounded onto it). Remembered by text in `numbers`:
// bounds and defaults repeat across definitions.
template <class NumberCache>
bool number(std::string_view text, double& value, NumberCache& numbers) {
    auto it = numbers.find(text);
    if (it == numbers.end()) {
        std::string digits, units;
        const auto [result, ok] = TARNParam::valueAsDouble(text, digits, units);
        it = numbers.emplace(std::string(text), std::make_pair(result, ok)).first;
    }
    value = it->second.first;
    return it->second.second;
}

// "what 'item'", the start of a message about a value.
std::string about(const char* what, std::string_view item) {
    std::string text(what);
    text.append(" '").append(item).append("'");
    return text;
}

// What is wrong with one item of a value (see misfit); "" when it fits.
template <class NumberCache>
std::string itemMisfit(const char* what, std::string_view item, TARNParam::Type type,
                       const std::string& lower, const std::string& upper, const Names& allowed,
                       NumberCache& numbers) {
    double v = 0;
    bool numeric = false;
    if (TARNParam::isIntegerType(type)) {
        if (!TARNParam::valueAsInt(item).second) return about(what, item) + " is not an integer";
        numeric = number(item, v, numbers);
    } else if (TARNParam::isRealType(type)) {
        if (!number(item, v, numbers)) return about(what, item) + " is not a real number";
        numeric = true;
    } else if (TARNParam::isLogicalType(type)) {
        if (!TARNParam::valueAsBool(item).second)
            return about(what, item) + " is not a logical value";
    } else if (!allowed.empty() &&
               std::find(allowed.begin(), allowed.end(), item) == allowed.end()) {
        return about(what, item) + " is not among the allowed values " +
               StringUtilities::vectorToString(allowed, ',') +
               KnownKeys::didYouMean(std::string(item), allowed);
    }
    double bound = 0;
    if (numeric && !lower.empty() && number(lower, bound, numbers) && v < bound)
        return about(what, item) + " is below the lower bound " + quoted(lower);
    if (numeric && !upper.empty() && number(upper, bound, numbers) && v > bound)
        return about(what, item) + " is above the upper bound " + quoted(upper);
    return {};
}

// What is wrong with value for a parameter of that type, bounds and allowed values
// (empty allowed: any value); "" when it fits. `what` names the value in the message.
template <class NumberCache>
std::string misfit(const char* what, const std::string& value, TARNParam::Type type,
                   const std::string& lower, const std::string& upper, const Names& allowed,
                   NumberCache& numbers) {
    if (!TARNParam::isListType(type))
        return itemMisfit(what, StringUtilities::trimView(value), type, lower, upper, allowed,
                          numbers);
    for (const auto& item : StringUtilities::splitValueNoEmpty(value)) {
        std::string problem = itemMisfit(what, item, type, lower, upper, allowed, numbers);
        if (!problem.empty()) return problem;
    }
    return {};
}

// Eight bytes of text from `at`, as one number.
std::uint64_t load8(const char* at) {
    std::uint64_t bytes;
    std::memcpy(&bytes, at, 8);
    return bytes;
}

// The first and last eight bytes of name (see KnownNames::Slot).
std::pair<std::uint64_t, std::uint64_t> nameEnds(std::string_view name) {
    if (name.size() >= 8) return {load8(name.data()), load8(name.data() + name.size() - 8)};
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < name.size(); ++i)
        head |= std::uint64_t(static_cast<unsigned char>(name[i])) << (8 * i);
    return {head, 0};
}

// Whether a and b, of the same length above 16 and with the same first and last eight
// bytes, are equal: their middles compared eight bytes at a time (the last piece
// overlapping the one before).
bool sameMiddle(const char* a, const char* b, std::size_t length) {
    for (std::size_t at = 8; at < length - 8; at += 8) {
        const std::size_t from = std::min(at, length - 16);
        if (load8(a + from) != load8(b + from)) return false;
    }
    return true;
}

// The first slot to try for a name of that length and ends in a table of `size` slots (a
// power of two).
std::size_t slotOf(std::uint64_t head, std::uint64_t tail, std::size_t length, std::size_t size) {
    // The high half of a product depends on every bit of its factors.
    const std::uint64_t mixed =
        (head ^ (tail * 0xC2B2AE3D27D4EB4Full) ^ length) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(mixed >> 32) & (size - 1);
}

}  // namespace

DataLinter::KnownNames::KnownNames(std::vector<std::string> list) : names(std::move(list)) {
    std::size_t size = 16;
    while (size < 2 * names.size())
        size *= 2;
    slots.resize(size);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (find(names[i]) != npos) continue;  // the first position stays
        const auto [head, tail] = nameEnds(names[i]);
        std::size_t slot = slotOf(head, tail, names[i].size(), size);
        while (slots[slot].at != npos)
            slot = (slot + 1) & (size - 1);
        slots[slot] = {head, tail, i};
    }
}

inline std::size_t DataLinter::KnownNames::find(std::string_view name) const {
    const std::size_t length = name.size();
    const auto [head, tail] = nameEnds(name);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t slot = slotOf(head, tail, length, slots.size());; slot = (slot + 1) & mask) {
        const Slot& entry = slots[slot];
        if (entry.at == npos) return npos;
        if (entry.head != head || entry.tail != tail) continue;
        const std::string& known = names[entry.at];
        // The two ends cover a name of up to 16 bytes; compare the middle of a longer one.
        if (known.size() == length &&
            (length <= 16 || sameMiddle(name.data(), known.data(), length)))
            return entry.at;
    }
}

void DataLinter::ChildPaths::of(std::string_view parent, std::string_view type) {
    m_path.assign(parent).append("/").append(type).append(":");
    m_start = m_path.size();
}

inline const std::string& DataLinter::ChildPaths::operator()(std::string_view name) {
    m_path.resize(name.empty() ? m_start - 1 : m_start);
    return m_path.append(name);
}

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
      m_parameterKeys(concat(KnownKeys::rulesParameter(), extra.paramRules)),
      m_contextKeys(KnownKeys::rulesContext()),
      m_checkDataKeys(KnownKeys::checkData()),
      m_objectDependencyKeys(KnownKeys::objectDependency()),
      m_parameterValuesKeys(KnownKeys::parameterValues()),
      m_defaultKey(m_parameterKeys.find(kDefault)),
      m_fitKeys(m_parameterKeys.names.size(), false) {
    const std::string* lists[] = {&kEssentialChildList, &kOptionalChildList, &kAllowedParentList};
    for (int i = 0; i < 3; ++i) {
        m_objectListKeys[i] = m_objectKeys.find(*lists[i]);
        m_contextListKeys[i] = m_contextKeys.find(*lists[i]);
    }
    const std::string* gathered[] = {
        &ParentContextParser::s_parentContextList, &ParamValueDef::s_orderedAllowedStringList,
        &ParamDefault::s_defaultValue, &ParamDefault::s_defaultValueCheckList,
        &ParamValueOverride::s_valueOverrideCheckList};
    for (int i = 0; i < 5; ++i)
        m_gatheredKeys[i] = m_parameterValuesKeys.find(*gathered[i]);
    for (const char* key :
         {"Default", "Parameter Type", "Lower Bound", "Upper Bound", "Allowed String List"}) {
        const std::size_t at = m_parameterKeys.find(key);
        if (at != KnownNames::npos) m_fitKeys[at] = true;
    }
}

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

template <class Source, class OnKey>
void DataLinter::lintKeysOf(const Source& source, const DataLocator& locator,
                            const std::string& path, const KnownNames& known, OnKey&& onKey) {
    source([&](std::string_view key, std::string_view value) {
        const std::size_t at = known.find(key);
        if constexpr (std::is_invocable_v<OnKey, std::string_view, std::string_view, std::size_t>)
            onKey(key, value, at);
        else
            onKey(key, value);
        if (at != KnownNames::npos) return;
        const std::string name(key);
        warn(locator, "unknown-key", path, name,
             "unknown key " + quoted(name) + " in " + describe(path) + suggest(name, known.names));
    });
}

template <class OnKey>
void DataLinter::lintKeys(const TARNDatastore& data, const DataLocator& locator,
                          const std::string& path, const KnownNames& known, OnKey&& onKey) {
    lintKeysOf([&](auto&& visit) { data.forEachParameter(path, visit); }, locator, path, known,
               onKey);
}

template <class OnKey>
void DataLinter::lintKeys(const TARNDatastore::ObjectHandle& object, const DataLocator& locator,
                          const std::string& path, const KnownNames& known, OnKey&& onKey) {
    lintKeysOf([&](auto&& visit) { object.forEachParameter(visit); }, locator, path, known, onKey);
}

void DataLinter::lintKeys(const TARNDatastore& data, const DataLocator& locator,
                          const std::string& path, const KnownNames& known) {
    lintKeys(data, locator, path, known, [](std::string_view, std::string_view) {});
}

void DataLinter::lintKeys(const TARNDatastore::ObjectHandle& object, const DataLocator& locator,
                          const std::string& path, const KnownNames& known) {
    lintKeys(object, locator, path, known, [](std::string_view, std::string_view) {});
}

template <class OnChild>
void DataLinter::lintKinds(const TARNDatastore& data, const DataLocator& locator,
                           const std::string& path, const Names& known, OnChild&& onChild) {
    lintKindsOf([&](auto&& visit) { data.forEachChild(path, visit); }, locator, path, known,
                onChild);
}

void DataLinter::lintKinds(const TARNDatastore::ObjectHandle& object, const DataLocator& locator,
                           const std::string& path, const Names& known) {
    lintKindsOf([&](auto&& visit) { object.forEachChild(visit); }, locator, path, known,
                [](std::size_t, std::string_view) {});
}

template <class Source, class OnChild>
void DataLinter::lintKindsOf(const Source& source, const DataLocator& locator,
                             const std::string& path, const Names& known, OnChild&& onChild) {
    source([&](std::string_view type, std::string_view name) {
        const std::size_t at = positionIn(known, type);
        if (at != known.size()) {
            onChild(at, name);
            return;
        }
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
    // OBJECT and SINGLETON children by name, in order (PARAMETERs are met in a walk below).
    VisitedNames byKind[2] = {VisitedNames(m_rulesData), VisitedNames(m_rulesData)};
    lintKinds(m_rulesData, m_rulesLocator, kRulesPath, kRulesKinds,
              [&](std::size_t kind, std::string_view name) {
                  if (kind < 2) byKind[kind].add(name);
              });
    std::size_t objects = 0;
    for (std::size_t kind = 0; kind < 2; ++kind) {
        for (const auto name : byKind[kind])
            m_types.emplace_back(name);
        if (kind == 0) objects = m_types.size();
    }
    m_typeSet.reserve(m_types.size());
    for (const auto& type : m_types)
        m_typeSet.insert(type);
    // Each type is read through the walk, in the order listed: OBJECTs, then SINGLETONs.
    ChildPaths paths;
    std::size_t t = 0;
    for (std::size_t kind = 0; kind < 2; ++kind) {
        const std::size_t end = kind == 0 ? objects : m_types.size();
        if (t == end) continue;
        paths.of(kRulesPath, kRulesKinds[kind]);
        m_rulesData.forEachObject(kRulesPath, [&](const TARNDatastore::ObjectHandle& object) {
            if (t == end || object.type() != kRulesKinds[kind]) return;
            lintRulesType(object, paths(m_types[t]), m_types[t]);
            ++t;
        });
    }
    lintRulesParameters(kRulesPath,
                        [&](auto&& visit) { m_rulesData.forEachObject(kRulesPath, visit); },
                        Level::Global, {}, {});
}

template <class Walk>
void DataLinter::lintRulesParameters(const std::string& path, const Walk& walk, Level level,
                                     const std::string& type, const std::string& option) {
    m_parameterPaths.of(path, kParameter);
    walk([&](const TARNDatastore::ObjectHandle& object) {
        if (object.type() != kParameter) return;
        m_parameterName.assign(object.name());
        lintRulesParameter(object, m_parameterPaths(object.name()), m_parameterName, level, type,
                           option);
    });
}

void DataLinter::lintRulesType(const TARNDatastore::ObjectHandle& object, const std::string& path,
                               const std::string& type) {
    std::string& essential = m_essential;
    std::string& optional = m_optional;
    std::string& parents = m_parents;
    essential.clear();
    optional.clear();
    parents.clear();
    // The list keys by their positions among the known keys (m_objectListKeys or
    // m_contextListKeys).
    auto listsBy = [&](const std::size_t* at) {
        return [&, at](std::string_view, std::string_view value, std::size_t known) {
            if (known == KnownNames::npos) return;
            if (known == at[0])
                essential.assign(value);
            else if (known == at[1])
                optional.assign(value);
            else if (known == at[2])
                parents.assign(value);
        };
    };
    lintKeys(object, m_rulesLocator, path, m_objectKeys, listsBy(m_objectListKeys));
    lintKinds(object, m_rulesLocator, path, kTypeKinds);
    lintTypeList(path, kEssentialChildList, "child", essential);
    lintTypeList(path, kOptionalChildList, "child", optional);
    lintTypeList(path, kAllowedParentList, "parent", parents);
    ChildPaths& contextPaths = m_contextPaths;
    contextPaths.of(path, kContext);
    std::string& option = m_option;
    object.forEachObject([&](const TARNDatastore::ObjectHandle& child) {
        if (child.type() != kContext) return;
        const std::string& context = contextPaths(child.name());
        option.assign(child.name());
        essential.clear();
        optional.clear();
        lintKeys(child, m_rulesLocator, context, m_contextKeys, listsBy(m_contextListKeys));
        lintKinds(child, m_rulesLocator, context, kContextKinds);
        lintTypeList(context, kEssentialChildList, "child", essential);
        lintTypeList(context, kOptionalChildList, "child", optional);
        lintRulesParameters(
            context, [&](auto&& visit) { child.forEachObject(visit); }, Level::Context, type,
            option);
    });
    lintRulesParameters(path, [&](auto&& visit) { object.forEachObject(visit); }, Level::Object,
                        type, {});
}

void DataLinter::lintTypeList(const std::string& path, const std::string& key, const char* what,
                              std::string_view value) {
    if (value.empty()) return;
    m_items.clear();
    StringUtilities::appendItemViews(value, ',', m_items);
    for (const auto item : m_items) {
        if (item == kRules || m_typeSet.count(item)) continue;
        const std::string type(item);
        warn(m_rulesLocator, "unknown-type", path, key,
             std::string(what) + " type " + quoted(type) + " in " + quoted(key) + " of " +
                 describe(path) + " is not an object type of the RULES" + suggest(type, m_types));
    }
}

void DataLinter::lintRulesParameter(const TARNDatastore::ObjectHandle& object,
                                    const std::string& path, const std::string& name, Level level,
                                    const std::string& type, const std::string& contextOption) {
    // Only where this definition sets something the default must fit, so that an inherited
    // misfit is reported once, where it arises.
    bool setsSomething = false;
    bool setsDefault = false;
    lintKeys(object, m_rulesLocator, path, m_parameterKeys,
             [&](std::string_view, std::string_view, std::size_t at) {
                 if (at == KnownNames::npos) return;
                 setsDefault = setsDefault || at == m_defaultKey;
                 setsSomething = setsSomething || m_fitKeys[at];
             });
    if (!m_rules || !setsSomething) return;
    // The definition as the built model holds it: global (no type), object level (under an
    // option without a definition of its own, if the type has options) or context level.
    std::string option = contextOption;
    if (level == Level::Object) {
        const Names& options = m_rules->getAllowedOptions(type);
        if (!options.empty() && name != m_rules->getContextRuleParam(type)) {
            const std::string parent = path.substr(0, path.rfind('/'));
            option.clear();
            for (const auto& o : options) {
                if (!option.empty()) continue;
                std::string definition = parent;
                definition.append("/").append(kContext).append(":").append(o);
                definition.append("/").append(kParameter).append(":").append(name);
                if (!m_rulesData.hasObject(definition)) option = o;
            }
            if (option.empty()) return;  // every option has its own definition
        }
    }
    try {
        const RulesParam& param = m_rules->getParam(type, option, name);
        if (param.getDefault().empty()) return;
        const std::string problem =
            misfit("the RULES default", param.getDefault(), param.getType(), param.getLowerBound(),
                   param.getUpperBound(), param.getAllowedStringList(), m_numbers);
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
    lintKinds(m_physicsData, m_physicsLocator, kPhysicsPath, kPhysicsKinds,
              [](std::size_t, std::string_view) {});
    lintCheckData();
    lintDependencies();
    if (m_physics && m_physicsComplete) lintUnused();
}

void DataLinter::lintCheckData() {
    lintKeys(m_physicsData, m_physicsLocator, kCheckDataPath, m_checkDataKeys);
    bool any[3] = {false, false, false};
    lintKinds(m_physicsData, m_physicsLocator, kCheckDataPath, kCheckDataKinds,
              [&](std::size_t kind, std::string_view) { any[kind] = true; });
    VisitedNames keys(m_physicsData);
    std::string type;
    ChildPaths paths;
    for (std::size_t kind = 0; kind < kCheckDataKinds.size(); ++kind) {
        if (!any[kind]) continue;
        // The key lists by "Type", as met (null for a type the check engine does not know).
        std::map<std::string, const KnownNames*, std::less<>> byType;
        paths.of(kCheckDataPath, kCheckDataKinds[kind]);
        m_physicsData.forEachObject(kCheckDataPath, [&](const TARNDatastore::ObjectHandle& object) {
            if (object.type() != kCheckDataKinds[kind]) return;
            const std::string& path = paths(object.name());
            keys.clear();
            type.clear();
            object.forEachParameter([&](std::string_view key, std::string_view value) {
                keys.add(key);
                if (key == PhysicsStrings::s_Type) type.assign(value);
            });
            const std::string_view trimmed = StringUtilities::trimView(type);
            auto it = byType.find(trimmed);
            if (it == byType.end()) {
                const std::string name(trimmed);
                const KnownNames* known = nullptr;
                if (const Names* list = KnownKeys::product(kCheckDataKinds[kind], name))
                    known = &m_productKeys.try_emplace(list, *list).first->second;
                it = byType.emplace(name, known).first;
            }
            if (!it->second) return;
            for (const auto view : keys) {
                if (it->second->contains(view)) continue;
                const std::string key(view);
                warn(m_physicsLocator, "unknown-key", path, key,
                     "unknown key " + quoted(key) + " in " + describe(path) +
                         suggest(key, it->second->names));
            }
        });
    }
}

void DataLinter::lintDependencies() {
    lintKinds(m_physicsData, m_physicsLocator, kDependenciesPath, kDependencyKinds,
              [](std::size_t, std::string_view) {});
    // Listed only when a suggestion needs them.
    Names allTypes, allParams;
    bool haveTypes = false, haveParams = false;
    std::string type, name;
    ChildPaths paths, contextPaths;
    paths.of(kDependenciesPath, kObjectDependency);
    m_physicsData.forEachObject(
        kDependenciesPath, [&](const TARNDatastore::ObjectHandle& dependency) {
            if (dependency.type() != kObjectDependency) return;
            type.assign(dependency.name());
            const std::string& path = paths(type);
            if (m_rules && !m_rules->isValidType(type)) {
                if (!haveTypes) allTypes = m_rules->getAllObjectTypes();
                haveTypes = true;
                warn(m_physicsLocator, "unknown-type", path, "",
                     "OBJECT DEPENDENCY for " + quoted(type) +
                         ", which is not an object type of the RULES" + suggest(type, allTypes));
            }
            lintKeys(dependency, m_physicsLocator, path, m_objectDependencyKeys);
            lintKinds(dependency, m_physicsLocator, path, kObjDepKinds);
            contextPaths.of(path, kObjDepContext);
            dependency.forEachObject([&](const TARNDatastore::ObjectHandle& context) {
                if (context.type() != kObjDepContext) return;
                lintKeys(context, m_physicsLocator, contextPaths(context.name()),
                         m_objectDependencyKeys);
            });
        });

    // The entries of one PARAMETER VALUES object; their buffers are reused.
    std::vector<ParameterEntry> entries;
    std::size_t entryCount = 0;
    auto nextEntry = [&]() -> ParameterEntry& {
        if (entryCount == entries.size()) entries.emplace_back();
        ParameterEntry& entry = entries[entryCount++];
        for (std::string* text : {&entry.parentContexts, &entry.allowedValues, &entry.defaultValue,
                                  &entry.defaultChecks, &entry.overrideChecks})
            text->clear();
        return entry;
    };
    // The keys gathered, by their positions among the known keys.
    const std::size_t* at = m_gatheredKeys;
    auto gather = [at](ParameterEntry& entry) {
        return [&entry, at](std::string_view, std::string_view value, std::size_t known) {
            if (known == KnownNames::npos) return;
            if (known == at[0])
                entry.parentContexts.assign(value);
            else if (known == at[1])
                entry.allowedValues.assign(value);
            else if (known == at[2])
                entry.defaultValue.assign(value);
            else if (known == at[3])
                entry.defaultChecks.assign(value);
            else if (known == at[4])
                entry.overrideChecks.assign(value);
        };
    };
    paths.of(kDependenciesPath, kParameterValues);
    m_physicsData.forEachObject(kDependenciesPath, [&](const TARNDatastore::ObjectHandle& values) {
        if (values.type() != kParameterValues) return;
        name.assign(values.name());
        const std::string& path = paths(name);
        const bool known = !m_rules || m_rules->isValidParamName(name);
        if (!known) {
            if (!haveParams) allParams = m_rules->getParamNames();
            haveParams = true;
            warn(m_physicsLocator, "unknown-parameter", path, "",
                 "PARAMETER VALUES for " + quoted(name) +
                     ", which is not a parameter of the RULES" + suggest(name, allParams));
        }
        entryCount = 0;
        ParameterEntry& own = nextEntry();
        own.path = path;
        lintKeys(values, m_physicsLocator, path, m_parameterValuesKeys, gather(own));
        lintKinds(values, m_physicsLocator, path, kParamValKinds);
        values.forEachObject([&](const TARNDatastore::ObjectHandle& context) {
            if (context.type() != kParamValContext) return;
            ParameterEntry& entry = nextEntry();
            childPath(entry.path, path, kParamValContext, context.name());
            lintKeys(context, m_physicsLocator, entry.path, m_parameterValuesKeys, gather(entry));
        });
        if (m_rules && known) {
            // The object itself is the entry only when it has no contexts.
            FirstParentPath firstParent;
            for (std::size_t e = entryCount > 1 ? 1 : 0; e < entryCount; ++e)
                lintParameterEntry(entries[e], name, firstParent);
        }
    });
}

void DataLinter::lintParameterEntry(const ParameterEntry& entry, const std::string& name,
                                    FirstParentPath& firstParent) {
    const std::string& path = entry.path;
    // The owner types this entry applies to: those of its parent contexts, or all.
    m_items.clear();
    StringUtilities::appendItemViews(entry.parentContexts, ',', m_items);
    const std::string* context = &m_item;
    if (m_items.empty() || std::find(m_items.begin(), m_items.end(),
                                     ParentContextParser::s_default) != m_items.end()) {
        if (!firstParent.listed) {
            firstParent.listed = true;
            try {
                firstParent.path = m_rules->firstParentTypePathForParam(name);
                firstParent.found = !firstParent.path.empty();
            } catch (const std::exception&) {
                // More parent paths than can be listed: the load says so if it matters.
            }
        }
        if (!firstParent.found) return;
        context = &firstParent.path;
    } else {
        m_item.assign(m_items.front());  // copied out: m_items is reused below
    }
    // Entries of one parameter mostly share their context: its type is read once for them.
    if (*context != m_ownerContext) {
        m_ownerContext = *context;
        m_ownerType = PathUtils::typeFromNormalisedPath(*context);
    }
    const std::string& ownerType = m_ownerType;

    // Allowed values the RULES exclude.
    const std::string& listKey = ParamValueDef::s_orderedAllowedStringList;
    if (!entry.allowedValues.empty()) {
        std::string value;
        m_items.clear();
        StringUtilities::appendItemViews(entry.allowedValues, ',', m_items);
        for (const auto item : m_items) {
            value.assign(item);
            if (m_rules->isPossibleAllowedString(ownerType, name, value)) continue;
            const Names& rulesAllowed = m_rules->getAllowedStringList(
                ownerType, m_rules->getValidOptionForObject(ownerType), name);
            warn(m_physicsLocator, "excluded-value", path, listKey,
                 "allowed value " + quoted(value) + " of parameter " + name +
                     " is not among the RULES' allowed strings" + suggest(value, rulesAllowed));
        }
    }

    // Defaults and overrides written here that their own definition would not accept.
    if (!m_physics) return;
    const ParamValueDef* def = m_physics->getParamValueDef(*context, name, false);
    if (!def) return;
    std::string lower, upper;
    if (TARNParam::isIntegerType(def->getType()) || TARNParam::isRealType(def->getType())) {
        lower = def->getFixedBounds().first;
        upper = def->getFixedBounds().second;
    }
    const Names allowed =
        def->isRestricted() && !def->isRestrictedDynamic() ? def->getAllAllowedValues() : Names();
    auto lintValues = [&](const std::vector<CheckedValue>& values, const char* what,
                          std::span<const WrittenValue> written) {
        for (const auto& candidate : values) {
            if (candidate.type != CheckedValue::PlainValue) continue;
            // Only values written in this entry, under one of its keys.
            const std::string* key = nullptr;
            for (const auto& w : written) {
                if (!key && w.value.find(candidate.value) != std::string::npos) key = &w.key;
            }
            if (!key) continue;
            const std::string problem =
                misfit(what, candidate.value, def->getType(), lower, upper, allowed, m_numbers);
            if (!problem.empty()) {
                warn(m_physicsLocator, "bad-value", path, *key,
                     "parameter " + name + ": " + problem);
            }
        }
    };
    const WrittenValue defaults[] = {{ParamDefault::s_defaultValue, entry.defaultValue},
                                     {ParamDefault::s_defaultValueCheckList, entry.defaultChecks}};
    const WrittenValue overrides[] = {
        {ParamValueOverride::s_valueOverrideCheckList, entry.overrideChecks}};
    lintValues(def->getCheckedDefaults(), "the default", defaults);
    lintValues(def->getCheckedOverrides(), "the override", overrides);
}

void DataLinter::lintUnused() {
    const Names names[2] = {m_physics->getCheckNames(), m_physics->getListNames()};
    const NamePositions index[2] = {NamePositions(names[0]), NamePositions(names[1])};
    // Whether each name is used: first by a dependency, then by the CHECKs, LISTs and
    // GLOBAL CHECKs; `left` counts those not (yet) found used.
    std::vector<char> used[2] = {std::vector<char>(names[0].size()),
                                 std::vector<char>(names[1].size())};
    std::size_t left = names[0].size() + names[1].size();
    auto useOne = [&](int k, std::string_view name) {
        const std::size_t at = index[k].find(name);
        if (at == NamePositions::npos || used[k][at]) return;
        used[k][at] = 1;
        --left;
    };
    m_physics->getDependencyStore().forEachRefdCheckAndListName(
        [&](const std::string& name) { useOne(0, name); },
        [&](const std::string& name) { useOne(1, name); });
    auto use = [&](int k, const Names& usedNames) {
        for (const auto& name : usedNames)
            useOne(k, name);
    };
    for (const auto& name : names[0]) {
        if (left == 0) break;
        const Check* check = m_physics->getCheck(name, true);
        use(0, check->getCheckNamesDependOn());
        use(1, check->getListNamesDependOn());
    }
    for (const auto& name : names[1]) {
        if (left == 0) break;
        const List* list = m_physics->getList(name, true);
        use(0, list->getCheckNamesDependOn());
        use(1, list->getListNamesDependOn());
    }
    // Global checks name their checks in their data.
    if (left != 0) {
        m_physicsData.forEachObject(kCheckDataPath, [&](const TARNDatastore::ObjectHandle& object) {
            if (object.type() != kGlobalCheck) return;
            object.forEachParameter([&](std::string_view, std::string_view value) {
                use(0, StringUtilities::splitValueNoEmpty(value));
            });
        });
    }
    const std::string* kinds[2] = {&kCheck, &kList};
    ChildPaths paths;
    for (int k = 0; k < 2; ++k) {
        if (left == 0) break;
        paths.of(kCheckDataPath, *kinds[k]);
        for (std::size_t i = 0; i < names[k].size(); ++i) {
            if (used[k][i]) continue;
            const std::string& name = names[k][i];
            warn(m_physicsLocator, "unused", paths(name), "",
                 *kinds[k] + " " + quoted(name) +
                     " is not used by any dependency, CHECK, LIST or "
                     "GLOBAL CHECK");
        }
    }
}

}  // namespace kel
