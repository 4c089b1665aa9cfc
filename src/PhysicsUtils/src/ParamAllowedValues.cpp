#include <kel/physicsutils/ParamAllowedValues.h>

#include <algorithm>
#include <utility>

#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

bool contains(const std::vector<std::string>& items, std::string_view value) {
    return std::find(items.begin(), items.end(), value) != items.end();
}

// Keeps the values that the RULES allow; an empty RULES set allows everything.
std::vector<std::string> limitToRules(std::vector<std::string> values,
                                      const std::set<std::string>& rulesStrings) {
    if (rulesStrings.empty()) return values;
    std::erase_if(values, [&](const std::string& v) { return rulesStrings.count(v) == 0; });
    return values;
}

}  // namespace

ParamAllowedValues::ParamAllowedValues() : m_restricted(false) {}

ParamAllowedValues::ParamAllowedValues(std::vector<std::string> values)
    : m_restricted(true), m_values(std::move(values)) {}

ParamAllowedValues::ParamAllowedValues(std::vector<std::string> values,
                                       std::vector<std::string> subset)
    : ParamAllowedValues(std::move(values), std::move(subset), std::set<std::string>()) {}

ParamAllowedValues::ParamAllowedValues(std::vector<std::string> values,
                                       const std::set<std::string>& rulesStrings)
    : ParamAllowedValues(std::move(values), std::vector<std::string>(), rulesStrings) {}

ParamAllowedValues::ParamAllowedValues(std::vector<std::string> values,
                                       std::vector<std::string> subset,
                                       const std::set<std::string>& rulesStrings)
    : m_restricted(true),
      m_values(limitToRules(std::move(values), rulesStrings)),
      m_subset(std::move(subset)) {
    std::erase_if(m_subset, [this](const std::string& v) { return !contains(m_values, v); });
}

bool ParamAllowedValues::isAllowed(std::string_view value, bool againstAll) const {
    if (!m_restricted) return true;
    if (!againstAll && hasSubset()) return contains(m_subset, value);
    return contains(m_values, value);
}

const std::string& ParamAllowedValues::getFirstValue() const {
    static const std::string s_empty;
    return m_values.empty() ? s_empty : m_values.front();
}

std::string ParamAllowedValues::firstFilteredValue(std::string_view text, bool againstAll) const {
    for (std::string& item : StringUtilities::stringToVector(text, ',')) {
        if (isAllowed(item, againstAll)) return std::move(item);
    }
    return {};
}

std::string ParamAllowedValues::filterValues(std::string_view text, bool againstAll) const {
    std::vector<std::string> items = StringUtilities::stringToVector(text, ',');
    std::erase_if(items, [&](const std::string& item) { return !isAllowed(item, againstAll); });
    return StringUtilities::vectorToString(items, ',');
}

}  // namespace kel
