#include <kel/physicsdata/rules/RulesParam.h>

#include "ObjectKeys.h"

#include <algorithm>
#include <array>
#include <forward_list>
#include <stdexcept>
#include <string_view>

#include <kel/physicsutils/TARNDatastore.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

const std::string kParameterType = "Parameter Type";
const std::string kIgnoreGlobal = "Ignore Global Definition";
const std::string kDescription = "Description";
const std::string kDefault = "Default";
const std::string kQuantityType = "Quantity Type";
const std::string kLowerBound = "Lower Bound";
const std::string kUpperBound = "Upper Bound";
const std::string kAllowedStringList = "Allowed String List";
const std::string kParameterComponent = "/PARAMETER:";
const std::string kContextComponent = "/CONTEXT:";
const std::string kGlobalPrefix = "/RULES/PARAMETER:";

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

RulesParam::RulesParam() = default;

RulesParam::RulesParam(const TARNDatastore& ds, std::string name, const std::string& path,
                       const ExtraDef& extra)
    : m_name(std::move(name)) {
    initData(ds, path, extra);
}

RulesParam::RulesParam(const RulesParam& other) = default;
RulesParam& RulesParam::operator=(const RulesParam& other) = default;
RulesParam::~RulesParam() = default;

std::pair<bool, bool> RulesParam::hasBounds() const {
    return {!m_lowerBound.empty(), !m_upperBound.empty()};
}

bool RulesParam::getExtraRule(const std::string& name, std::string& out) const {
    return m_extra.get(name, out);
}

bool RulesParam::getExtraRule(const std::string& name, std::vector<std::string>& out) const {
    return m_extra.get(name, out);
}

bool RulesParam::getExtraRule(const std::string& name, bool& out) const {
    return m_extra.get(name, out);
}

namespace {

std::string_view typeOf(std::string_view component) {
    return component.substr(0, component.find(':'));
}

bool movesOut(bool ignoreGlobal, std::string_view parentType) {
    return parentType == "CONTEXT" ||
           (!ignoreGlobal && (parentType == "OBJECT" || parentType == "SINGLETON"));
}

// outerParameterPath for paths as the loaders write them ("/A:a/B:b", no empty component,
// none ending in ':'), cut in place into out: this runs for every local parameter definition
// in the RULES. Whether there is an outer path, or nothing when path is not plain.
std::optional<bool> plainOuterPath(bool ignoreGlobal, std::string_view text, std::string& out) {
    if (!contains(text, kParameterComponent)) return false;
    bool plain = text.front() == '/' && text.back() != '/' && text.back() != ':';
    for (std::size_t i = text.find('/', 1); plain && i != std::string_view::npos;
         i = text.find('/', i + 1))
        plain = text[i - 1] != '/' && text[i - 1] != ':';
    if (!plain) return std::nullopt;
    const std::size_t last = text.rfind('/');
    const std::size_t parent = last == 0 ? std::string_view::npos : text.rfind('/', last - 1);
    if (parent == std::string_view::npos || parent == 0) return false;
    if (typeOf(text.substr(last + 1)) != "PARAMETER" ||
        !movesOut(ignoreGlobal, typeOf(text.substr(parent + 1, last - parent - 1))))
        return false;
    out.reserve(text.size());
    out.assign(text.substr(0, parent)).append(text.substr(last));
    return true;
}

}  // namespace

std::optional<std::string> RulesParam::outerParameterPath(bool ignoreGlobal,
                                                          const std::string& path) {
    std::string outer;
    if (const std::optional<bool> plain = plainOuterPath(ignoreGlobal, path, outer))
        return *plain ? std::optional<std::string>(std::move(outer)) : std::nullopt;
    const std::string_view text(path);
    // Otherwise components as TARNPath reads them (empty ones skipped).
    std::vector<std::string_view> components;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t slash = std::min(text.find('/', pos), text.size());
        if (slash > pos) components.push_back(text.substr(pos, slash - pos));
        pos = slash + 1;
    }
    if (components.size() < 3 || typeOf(components.back()) != "PARAMETER" ||
        !movesOut(ignoreGlobal, typeOf(components[components.size() - 2])))
        return std::nullopt;
    const auto normalised = [](std::string& out, std::string_view component) {
        out += '/';
        // "TYPE:" has an empty name, written as "/TYPE".
        out += component.back() == ':' ? component.substr(0, component.size() - 1) : component;
    };
    outer.reserve(path.size());
    for (std::size_t i = 0; i + 2 < components.size(); ++i)
        normalised(outer, components[i]);
    normalised(outer, components.back());
    return outer;
}

struct RulesParam::Scope {
    std::string_view path;
    ObjectKeys params;
    bool inContext = false;  // a definition inside a CONTEXT
};

struct RulesParam::Scopes {
    Scopes() = default;
    Scopes(const Scopes&) = delete;
    Scopes& operator=(const Scopes&) = delete;
    std::size_t size() const { return count; }
    const Scope& operator[](std::size_t i) const { return i < 3 ? items[i] : more[i - 3]; }
    // Reads the keys of the definition at path, in place.
    void add(const TARNDatastore& ds, std::string_view path, bool inContext) {
        Scope& scope = count < 3 ? items[count] : more.emplace_back();
        scope.path = path;
        scope.params.read(ds, path);
        scope.inContext = inContext;
        ++count;
    }
    // A stable home for the path of the next outer scope: the first two are buffers the
    // thread keeps (one Scopes lives at a time), so that most definitions allocate none.
    std::string& outerPath() {
        thread_local std::string buffers[2];
        return count <= 2 ? buffers[count - 1] : morePaths.emplace_front();
    }

    // Three scopes at most, unless CONTEXT definitions nest.
    Scope items[3];
    std::size_t count = 0;
    std::vector<Scope> more;
    std::forward_list<std::string> morePaths;
};

void RulesParam::scopesOf(const TARNDatastore& ds, const std::string& path, ScopeMode mode,
                          Scopes& out) {
    std::string_view current = path;
    while (true) {
        // Most definitions are global ones, which have no outer scope and are in no CONTEXT.
        const bool global = current.rfind(kGlobalPrefix, 0) == 0 &&
                            current.find('/', kGlobalPrefix.size()) == std::string_view::npos;
        out.add(ds, current, !global && contains(current, kContextComponent));
        if (mode == ScopeMode::ObjectOnly || global) break;
        const bool ignoreGlobal = mode == ScopeMode::IgnoreGlobal;
        std::string& outer = out.outerPath();
        const std::optional<bool> plain = plainOuterPath(ignoreGlobal, current, outer);
        if (plain && !*plain) break;
        if (!plain) {
            std::optional<std::string> next =
                outerParameterPath(ignoreGlobal, std::string(current));
            if (!next) break;
            outer = std::move(*next);
        }
        current = outer;
    }
}

namespace {

// The innermost scope that has key, or null.
template <class Scopes>
auto findScope(const Scopes& scopes, const std::string& key) -> decltype(&scopes[0]) {
    for (std::size_t i = 0; i < scopes.size(); ++i)
        if (scopes[i].params.has(key)) return &scopes[i];
    return nullptr;
}

}  // namespace

std::pair<std::string_view, bool> RulesParam::extractParamValue(const Scopes& scopes,
                                                                const std::string& key) const {
    const Scope* scope = findScope(scopes, key);
    if (!scope) return {std::string_view(), false};
    if (key == kParameterType && scope->inContext)
        throw std::runtime_error("Definition of " + kParameterType +
                                 " is not allowed at CONTEXT scope. (Attempted definition in " +
                                 std::string(scope->path) + ".)");
    return {scope->params.value(key), true};
}

bool RulesParam::extractParamValues(const Scopes& scopes, const std::string& key,
                                    std::vector<std::string>& out) const {
    const Scope* scope = findScope(scopes, key);
    if (!scope) return false;
    return scope->params.appendList(key, out);
}

namespace {

// The keys every definition is asked for, found in one scan of each scope's keys.
enum Field : std::size_t {
    kIgnoreField,
    kDescriptionField,
    kTypeField,
    kDefaultField,
    kQuantityField,
    kLowerField,
    kUpperField,
    kAllowedField,
    kFieldCount
};

// The field a key sets, or kFieldCount: told apart by length and first letter, so that the
// keys of a definition are matched without a comparison each against every field.
Field fieldOf(std::string_view key) {
    const auto is = [key](const std::string& known, Field field) {
        return key == known ? field : kFieldCount;
    };
    switch (key.size()) {
        case 7:
            return is(kDefault, kDefaultField);
        case 11:
            switch (key[0]) {
                case 'D':
                    return is(kDescription, kDescriptionField);
                case 'L':
                    return is(kLowerBound, kLowerField);
                case 'U':
                    return is(kUpperBound, kUpperField);
                default:
                    return kFieldCount;
            }
        case 13:
            return is(kQuantityType, kQuantityField);
        case 14:
            return is(kParameterType, kTypeField);
        case 19:
            return is(kAllowedStringList, kAllowedField);
        case 24:
            return is(kIgnoreGlobal, kIgnoreField);
        default:
            return kFieldCount;
    }
}

// TARNParam::typeFromString, with the words as the type names spell them matched first.
TARNParam::Type typeOfWord(std::string_view word) {
    constexpr int kTypes = TARNParam::LogicalList + 1;
    static const std::array<std::string_view, kTypes> kSpellings = [] {
        std::array<std::string_view, kTypes> spellings;
        for (int i = 0; i < kTypes; ++i)
            spellings[i] = TARNParam::typeStringFromType(static_cast<TARNParam::Type>(i));
        return spellings;
    }();
    for (int i = 0; i < kTypes; ++i)
        if (i != TARNParam::Unknown && kSpellings[i] == word)
            return static_cast<TARNParam::Type>(i);
    return TARNParam::typeFromString(word);
}

}  // namespace

void RulesParam::initData(const TARNDatastore& ds, const std::string& path, const ExtraDef& extra) {
    Scopes scopes;
    scopesOf(ds, path, ScopeMode::WithGlobal, scopes);
    // For each field, the innermost scope that has its key and the value there.
    constexpr std::size_t kAbsent = std::size_t(-1);
    std::size_t where[kFieldCount];
    std::string_view values[kFieldCount];
    std::fill(where, where + kFieldCount, kAbsent);
    for (std::size_t i = 0; i < scopes.size(); ++i)
        scopes[i].params.forEach([&](std::string_view key, std::string_view value) {
            const Field f = fieldOf(key);
            if (f != kFieldCount && where[f] == kAbsent) {
                where[f] = i;
                values[f] = value;
            }
        });

    m_ignoreOuterScope = false;
    if (where[kIgnoreField] != kAbsent) {
        auto [flag, ok] = TARNParam::valueAsBool(values[kIgnoreField]);
        if (ok && flag && !contains(path, kContextComponent) && path.rfind(kGlobalPrefix, 0) != 0)
            m_ignoreOuterScope = true;
    }
    // Only an object-level definition ignores the outer scope, and its only outer scope is
    // the global one.
    if (m_ignoreOuterScope) scopes.count = 1;
    const auto found = [&](Field f) { return where[f] < scopes.size(); };
    const auto value = [&](Field f) { return found(f) ? values[f] : std::string_view(); };
    // The members start empty: only the keys found are copied.
    const auto assign = [&](std::string& to, Field f) {
        if (found(f) && !values[f].empty()) to = values[f];
    };

    assign(m_description, kDescriptionField);

    if (found(kTypeField) && scopes[where[kTypeField]].inContext)
        throw std::runtime_error("Definition of " + kParameterType +
                                 " is not allowed at CONTEXT scope. (Attempted definition in " +
                                 std::string(scopes[where[kTypeField]].path) + ".)");
    const std::string_view typeWord = value(kTypeField);
    if (typeWord.empty())
        throw std::runtime_error("Parameter " + m_name +
                                 " has not been assigned a type in the RULES data.");
    m_type = typeOfWord(typeWord);

    assign(m_default, kDefaultField);
    const std::string_view quantity = value(kQuantityField);
    assign(m_lowerBound, kLowerField);
    assign(m_upperBound, kUpperField);
    if (!quantity.empty() && m_type == TARNParam::Real) {
        valueValidForQuantity(path, kDefault, m_default, quantity);
        valueValidForQuantity(path, kLowerBound, m_lowerBound, quantity);
        valueValidForQuantity(path, kUpperBound, m_upperBound, quantity);
    }
    if (found(kAllowedField)) ObjectKeys::appendItems(values[kAllowedField], m_allowedStrings);

    if (extra.stringRules.empty() && extra.listRules.empty() && extra.boolRules.empty()) return;
    const auto lookUp = [&](const std::string& key) {
        // The standard keys were found above, in the same scopes.
        if (const Field f = fieldOf(key); f != kFieldCount)
            return std::make_pair(std::string(value(f)), found(f));
        const auto [text, has] = extractParamValue(scopes, key);
        return std::make_pair(std::string(text), has);
    };
    // Each lookup captures at most two references, which std::function keeps in place.
    m_extra = ExtraRuleValues(
        extra, [&lookUp](const std::string& key) { return lookUp(key); },
        [this, &scopes](const std::string& key, std::vector<std::string>& out) {
            return extractParamValues(scopes, key, out);
        });
}

void RulesParam::valueValidForQuantity(const std::string& path, const std::string& key,
                                       const std::string& value,
                                       std::string_view quantityType) const {
    if (value.empty() || quantityType.empty() || quantityType == "Dimensionless" ||
        quantityType == "Expression")
        return;
    std::string number;
    std::string units;
    if (StringUtilities::valueAsFloat(value, number, units).second && units.empty())
        throw std::runtime_error("RulesObject::initData - in RULES object " + path +
                                 ", a parameter, " + key +
                                 ", is defined without a unit but has a quantity type" +
                                 " set to " + std::string(quantityType) + ".");
}

}  // namespace kel
