#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <kel/physicsdata/rules/ExtraDef.h>
#include <kel/physicsdata/rules/ExtraRuleValues.h>
#include <kel/physicsdata/rules/ScopeMode.h>
#include <kel/physicsutils/TARNParam.h>

namespace kel {

class TARNDatastore;

// The RULES settings of one parameter definition: type, default, bounds, description,
// allowed strings and the extra rules a host asked for. A definition lives globally
// (/RULES/PARAMETER:p), at object level (.../OBJECT:T/PARAMETER:p) or at context level
// (.../OBJECT:T/CONTEXT:o/PARAMETER:p); a key missing from a local definition is taken from
// the next outer one (context -> object -> global), and an object-level definition with
// "Ignore Global Definition" set never reaches the global one.
//
// Immutable after construction; shared between owners as refcnt_ptr<const RulesParam>.
// Construction reads the datastore and keeps no reference to it. Errors in the RULES data
// throw std::runtime_error. Safe for concurrent const use.
class RulesParam {
public:
    RulesParam();
    // Reads the definition of parameter name found at path.
    RulesParam(const TARNDatastore& ds, std::string name, const std::string& path,
               const ExtraDef& extra);
    RulesParam(const RulesParam& other);
    RulesParam& operator=(const RulesParam& other);
    ~RulesParam();

    const std::string& getName() const { return m_name; }
    TARNParam::Type getType() const { return m_type; }
    bool ignoresOuterScope() const { return m_ignoreOuterScope; }
    const std::string& getDefault() const { return m_default; }
    const std::string& getLowerBound() const { return m_lowerBound; }
    const std::string& getUpperBound() const { return m_upperBound; }
    const std::string& getDescription() const { return m_description; }
    const std::vector<std::string>& getAllowedStringList() const { return m_allowedStrings; }

    bool hasDefaultValue() const { return !m_default.empty(); }
    // (lower bound set, upper bound set)
    std::pair<bool, bool> hasBounds() const;

    // Extra rules: out is reset first; true and out set when the rule was read.
    bool getExtraRule(const std::string& name, std::string& out) const;
    bool getExtraRule(const std::string& name, std::vector<std::string>& out) const;
    bool getExtraRule(const std::string& name, bool& out) const;

    // The next outer definition of the parameter whose definition is at path: context level
    // -> object level -> global (the last step not taken when ignoreGlobal). None for a
    // global definition or a path that is not a parameter definition.
    static std::optional<std::string> outerParameterPath(bool ignoreGlobal,
                                                         const std::string& path);

private:
    // The definitions a lookup visits, innermost first, each with its keys: path, then its
    // outer definitions as mode allows (at most three). Every key is read from these, so
    // each definition's keys are fetched once. Not movable: scopes refer to its own paths.
    struct Scope;
    struct Scopes;
    static void scopesOf(const TARNDatastore& ds, const std::string& path, ScopeMode mode,
                         Scopes& out);

    void initData(const TARNDatastore& ds, const std::string& path, const ExtraDef& extra);
    // The value of the innermost definition that has key: (value, found). A
    // "Parameter Type" found inside a CONTEXT is an error.
    std::pair<std::string_view, bool> extractParamValue(const Scopes& scopes,
                                                        const std::string& key) const;
    // The items of the innermost definition that has key are appended to out; false, out
    // unchanged, when none has it.
    bool extractParamValues(const Scopes& scopes, const std::string& key,
                            std::vector<std::string>& out) const;
    void valueValidForQuantity(const std::string& path, const std::string& key,
                               const std::string& value, std::string_view quantityType) const;

    std::string m_name;
    TARNParam::Type m_type = TARNParam::Unknown;
    bool m_ignoreOuterScope = false;
    std::string m_default;
    std::string m_lowerBound;
    std::string m_upperBound;
    std::string m_description;
    std::vector<std::string> m_allowedStrings;
    ExtraRuleValues m_extra;
};

}  // namespace kel
