#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

// The values a parameter may take in one situation. Default-constructed it is
// unrestricted: every value is allowed and getFirstValue() is empty. Otherwise the allowed
// values are the given values in their order, keeping only those also in the RULES set
// when that set is not empty; the subset is the given subset limited to the allowed
// values. The againstAll flag of the filters selects all allowed values (true) or the
// subset where there is one (false). Value type.
class ParamAllowedValues {
public:
    ParamAllowedValues();
    explicit ParamAllowedValues(std::vector<std::string> values);
    ParamAllowedValues(std::vector<std::string> values, std::vector<std::string> subset);
    ParamAllowedValues(std::vector<std::string> values, const std::set<std::string>& rulesStrings);
    ParamAllowedValues(std::vector<std::string> values, std::vector<std::string> subset,
                       const std::set<std::string>& rulesStrings);

    bool isRestricted() const { return m_restricted; }
    const std::vector<std::string>& getValues() const { return m_values; }
    bool hasSubset() const { return !m_subset.empty(); }
    const std::vector<std::string>& getSubset() const { return m_subset; }

    bool isAllowed(std::string_view value, bool againstAll) const;

    // The first allowed value; empty when there is none or when unrestricted.
    const std::string& getFirstValue() const;
    // The first item of the list text that is allowed, or "". Unrestricted: the first item.
    std::string firstFilteredValue(std::string_view text, bool againstAll) const;
    // The items of the list text that are allowed, joined with ','; "" when none is.
    std::string filterValues(std::string_view text, bool againstAll) const;

    bool operator==(const ParamAllowedValues& other) const = default;

private:
    bool m_restricted;
    std::vector<std::string> m_values;
    std::vector<std::string> m_subset;
};

}  // namespace kel
