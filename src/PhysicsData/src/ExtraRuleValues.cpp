#include <kel/physicsdata/rules/ExtraRuleValues.h>

#include <kel/physicsutils/TARNParam.h>

namespace kel {

namespace {

template <class Map, class Out>
bool lookup(const Map& map, const std::string& name, Out& out) {
    auto it = map.find(name);
    if (it == map.end()) return false;
    out = it->second;
    return true;
}

}  // namespace

ExtraRuleValues::ExtraRuleValues(const ExtraDef& extra, const ValueLookup& value,
                                 const ListLookup& list) {
    for (const auto& rule : extra.stringRules) {
        auto [text, found] = value(rule);
        if (found) m_strings[rule] = text;
    }
    for (const auto& rule : extra.listRules) {
        std::vector<std::string> items;
        if (list(rule, items)) m_lists[rule] = std::move(items);
    }
    for (const auto& rule : extra.boolRules) {
        auto [text, found] = value(rule);
        if (!found) continue;
        auto [flag, ok] = TARNParam::valueAsBool(text);
        if (ok) m_bools[rule] = flag;
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
