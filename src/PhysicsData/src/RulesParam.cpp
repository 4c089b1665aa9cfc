#include <kel/physicsdata/rules/RulesParam.h>

#include "ObjectKeys.h"

#include <algorithm>
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
    for (std::size_t i = 1; plain && i < text.size(); ++i)
        plain = !(text[i] == '/' && (text[i - 1] == '/' || text[i - 1] == ':'));
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
};

struct RulesParam::Scopes {
    Scopes() = default;
    Scopes(const Scopes&) = delete;
    Scopes& operator=(const Scopes&) = delete;
    std::size_t size() const { return count; }
    const Scope& operator[](std::size_t i) const { return i < 3 ? items[i] : more[i - 3]; }
    void add(std::string_view path, ObjectKeys keys) {
        (count < 3 ? items[count] : more.emplace_back()) = {path, std::move(keys)};
        ++count;
    }
    // A stable home for the path of the next outer scope.
    std::string& outerPath() {
        return count <= 2 ? outerPaths[count - 1] : morePaths.emplace_front();
    }

    // Three scopes at most, unless CONTEXT definitions nest.
    Scope items[3];
    std::size_t count = 0;
    std::vector<Scope> more;
    std::string outerPaths[2];
    std::forward_list<std::string> morePaths;
};

void RulesParam::scopesOf(const TARNDatastore& ds, const std::string& path, ScopeMode mode,
                          Scopes& out) {
    std::string_view current = path;
    while (true) {
        out.add(current, ObjectKeys(ds, current));
        if (mode == ScopeMode::ObjectOnly) break;
        // Most definitions are global ones, which have no outer scope.
        if (current.rfind(kGlobalPrefix, 0) == 0 &&
            current.find('/', kGlobalPrefix.size()) == std::string_view::npos)
            break;
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
    if (key == kParameterType && contains(scope->path, kContextComponent))
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
const std::string* const kFieldKeys[kFieldCount] = {
    &kIgnoreGlobal, &kDescription, &kParameterType, &kDefault,
    &kQuantityType, &kLowerBound,  &kUpperBound,    &kAllowedStringList};

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
            for (std::size_t f = 0; f < kFieldCount; ++f)
                if (where[f] == kAbsent && key == *kFieldKeys[f]) {
                    where[f] = i;
                    values[f] = value;
                    return;
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

    m_description = value(kDescriptionField);

    if (found(kTypeField) && contains(scopes[where[kTypeField]].path, kContextComponent))
        throw std::runtime_error("Definition of " + kParameterType +
                                 " is not allowed at CONTEXT scope. (Attempted definition in " +
                                 std::string(scopes[where[kTypeField]].path) + ".)");
    const std::string_view typeWord = value(kTypeField);
    if (typeWord.empty())
        throw std::runtime_error("Parameter " + m_name +
                                 " has not been assigned a type in the RULES data.");
    m_type = TARNParam::typeFromString(typeWord);

    m_default = value(kDefaultField);
    const std::string quantity(value(kQuantityField));
    m_lowerBound = value(kLowerField);
    m_upperBound = value(kUpperField);
    if (!quantity.empty() && m_type == TARNParam::Real) {
        valueValidForQuantity(path, kDefault, m_default, quantity);
        valueValidForQuantity(path, kLowerBound, m_lowerBound, quantity);
        valueValidForQuantity(path, kUpperBound, m_upperBound, quantity);
    }
    if (found(kAllowedField)) ObjectKeys::appendItems(values[kAllowedField], m_allowedStrings);

    m_extra = ExtraRuleValues(
        extra,
        [&](const std::string& key) {
            const auto [text, has] = extractParamValue(scopes, key);
            return std::make_pair(std::string(text), has);
        },
        [&](const std::string& key, std::vector<std::string>& out) {
            return extractParamValues(scopes, key, out);
        });
}

void RulesParam::valueValidForQuantity(const std::string& path, const std::string& key,
                                       const std::string& value,
                                       const std::string& quantityType) const {
    if (value.empty() || quantityType.empty() || quantityType == "Dimensionless" ||
        quantityType == "Expression")
        return;
    std::string number;
    std::string units;
    if (StringUtilities::valueAsFloat(value, number, units).second && units.empty())
        throw std::runtime_error("RulesObject::initData - in RULES object " + path +
                                 ", a parameter, " + key +
                                 ", is defined without a unit but has a quantity type" +
                                 " set to " + quantityType + ".");
}

}  // namespace kel
