#include <kel/physicsdata/rules/ExtraRuleValues.h>

#include <utility>

#include <kel/physicsutils/TARNParam.h>

namespace kel {

namespace {

template <class Entries, class Out>
bool lookup(const Entries& entries, const std::string& name, Out& out) {
    for (const auto& entry : entries)
        if (entry.first == name) {
            out = entry.second;
            return true;
        }
    return false;
}

// Sets name's value, once per name however often the host lists it.
template <class Entries, class Value>
void put(Entries& entries, const std::string& name, Value&& value) {
    for (auto& entry : entries)
        if (entry.first == name) {
            entry.second = std::forward<Value>(value);
            return;
        }
    entries.emplace_back(name, std::forward<Value>(value));
}

}  // namespace

ExtraRuleValues::ExtraRuleValues(const ExtraDef& extra, const ValueLookup& value,
                                 const ListLookup& list) {
    for (const auto& rule : extra.stringRules) {
        auto [text, found] = value(rule);
        if (found) put(m_strings, rule, std::move(text));
    }
    for (const auto& rule : extra.listRules) {
        std::vector<std::string> items;
        if (list(rule, items)) put(m_lists, rule, std::move(items));
    }
    for (const auto& rule : extra.boolRules) {
        auto [text, found] = value(rule);
        if (!found) continue;
        auto [flag, ok] = TARNParam::valueAsBool(text);
        if (ok) put(m_bools, rule, flag);
    }
}

bool ExtraRuleValues::get(const std::string& name, std::string& out) const {
    out.clear();
    return lookup(m_strings, name, out);
}

bool ExtraRuleValues::get(const std::string& name, std::vector<std::string>& out) const {
    out.clear();
    return lookup(m_lists, name, out);
}

bool ExtraRuleValues::get(const std::string& name, bool& out) const {
    out = false;
    return lookup(m_bools, name, out);
}

}  // namespace kel
