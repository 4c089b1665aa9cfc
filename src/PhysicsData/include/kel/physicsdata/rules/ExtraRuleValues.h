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
    // A host asks for a few rules: flat lists, searched in order, cost less than maps.
    std::vector<std::pair<std::string, std::string>> m_strings;
    std::vector<std::pair<std::string, std::vector<std::string>>> m_lists;
    std::vector<std::pair<std::string, bool>> m_bools;
};

}  // namespace kel
