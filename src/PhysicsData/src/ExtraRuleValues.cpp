#include <kel/physicsdata/rules/ExtraRuleValues.h>

#include <utility>

#include <kel/physicsutils/TARNParam.h>

namespace kel {

namespace {

// The entry of name in that form, or null; Values const or not.
template <class Values, class Form>
auto findIn(Values& values, Form form, const std::string& name) -> decltype(&values[0]) {
    for (auto& value : values)
        if (value.form == form && value.name == name) return &value;
    return nullptr;
}

}  // namespace

const ExtraRuleValues::Value* ExtraRuleValues::find(Form form, const std::string& name) const {
    return findIn(m_values, form, name);
}

// The value of name in that form, once per name however often the host lists it.
ExtraRuleValues::Value& ExtraRuleValues::put(Form form, const std::string& name) {
    if (Value* known = findIn(m_values, form, name)) return *known;
    Value& value = m_values.emplace_back();
    value.form = form;
    value.name = name;
    return value;
}

ExtraRuleValues::ExtraRuleValues(const ExtraDef& extra, const ValueLookup& value,
                                 const ListLookup& list) {
    for (const auto& rule : extra.stringRules) {
        auto [text, found] = value(rule);
        if (found) put(Form::String, rule).text = std::move(text);
    }
    std::vector<std::string> items;
    for (const auto& rule : extra.listRules) {
        items.clear();
        if (list(rule, items)) put(Form::List, rule).items = std::move(items);
    }
    for (const auto& rule : extra.boolRules) {
        auto [text, found] = value(rule);
        if (!found) continue;
        auto [flag, ok] = TARNParam::valueAsBool(text);
        if (ok) put(Form::Bool, rule).flag = flag;
    }
}

bool ExtraRuleValues::get(const std::string& name, std::string& out) const {
    out.clear();
    const Value* value = find(Form::String, name);
    if (value) out = value->text;
    return value != nullptr;
}

bool ExtraRuleValues::get(const std::string& name, std::vector<std::string>& out) const {
    out.clear();
    const Value* value = find(Form::List, name);
    if (value) out = value->items;
    return value != nullptr;
}

bool ExtraRuleValues::get(const std::string& name, bool& out) const {
    out = false;
    const Value* value = find(Form::Bool, name);
    if (value) out = value->flag;
    return value != nullptr;
}

}  // namespace kel
