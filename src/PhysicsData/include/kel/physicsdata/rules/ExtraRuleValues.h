#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <kel/physicsdata/rules/ExtraDef.h>

namespace kel {

// The values of the extra rules (ExtraDef) found in one RULES definition, kept by the form
// the host asked for: single values, lists and logical values. The definition itself is read
// through two lookups, so object and parameter definitions share this storage while each
// keeps its own way of finding a key. A logical rule whose value is not a logical word is
// treated as absent.
//
// Plain value type, immutable after construction; safe for concurrent const use.
class ExtraRuleValues {
public:
    // (value, found) for a single-valued key.
    using ValueLookup = std::function<std::pair<std::string, bool>(const std::string& key)>;
    // Appends the items of a list-valued key to out; false, out unchanged, when it is absent.
    using ListLookup = std::function<bool(const std::string& key, std::vector<std::string>& out)>;

    ExtraRuleValues() = default;
    // Reads every rule named in extra through the lookups.
    ExtraRuleValues(const ExtraDef& extra, const ValueLookup& value, const ListLookup& list);

    // out is reset first; true and out set when the rule was read.
    bool get(const std::string& name, std::string& out) const;
    bool get(const std::string& name, std::vector<std::string>& out) const;
    bool get(const std::string& name, bool& out) const;

private:
    enum class Form : char { String, List, Bool };
    struct Value {
        Form form;
        bool flag = false;
        std::string name;
        std::string text;
        std::vector<std::string> items;
    };
    const Value* find(Form form, const std::string& name) const;
    Value& put(Form form, const std::string& name);

    // A host asks for a few rules, and most definitions have none of them: one flat list,
    // searched in order, keeps an empty record small and a full one in one allocation.
    std::vector<Value> m_values;
};

}  // namespace kel
