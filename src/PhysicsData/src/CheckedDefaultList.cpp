#include <kel/physicsdata/dependency/CheckedDefaultList.h>

#include <stdexcept>

#include <kel/exception/KELAssertImpl.h>
#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/List.h>
#include <kel/physicschecks/ParamRHSFunc.h>
#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/utilities/StringUtilities.h>

#include "CheckListViews.h"

namespace kel {

namespace {

constexpr const char* kSourceFile = "src/PhysicsData/src/CheckedDefaultList";

const CheckDataSource& requireSource(const CheckDataSource* source, const CheckedListData& data) {
    if (source == nullptr) {
        throw PhysicsException(
            "CheckedDefaultList::CheckedDefaultList - no check data source to resolve the "
            "names of the check list.\n" +
            IndexedCheckListSplitter::contextBlock(data));
    }
    return *source;
}

}  // namespace

CheckedDefaultList::CheckedDefaultList(const CheckedListData& data, const CheckDataSource* source) {
    if (data.listString.empty()) return;  // most parameters have no such list
    const CheckListViews items(data);
    m_entries.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string_view name = items.name(i);
        Entry entry;
        if (!name.empty() && name[0] == '*') {
            const CheckDataSource& names = requireSource(source, data);
            entry.referenceName = name.substr(1);
            entry.function = names.getParamRHSFunction(entry.referenceName, false);
            if (entry.function == nullptr) {
                entry.list = names.getList(entry.referenceName, true);
                // A source that returns no list despite mustExist leaves nothing to evaluate.
                if (entry.list == nullptr) continue;
            }
        } else if (name.size() >= 2 && name[0] == '\\' && name[1] == '*') {
            entry.value = name.substr(1);
        } else {
            entry.value = name;
        }
        const std::span<const std::string_view> checks = items.checks(i);
        entry.checks.reserve(checks.size());
        for (const std::string_view checkName : checks) {
            entry.checks.push_back(
                requireSource(source, data).getCheck(std::string(checkName), true));
        }
        m_entries.push_back(std::move(entry));
    }
}

void CheckedDefaultList::addFallbackValue(const std::string& value) {
    Entry entry;
    entry.value = value;
    m_entries.push_back(std::move(entry));
}

std::string CheckedDefaultList::evaluate(const ModelRules* rules, const TARNContext& context,
                                         EvalContext* evalContext, const std::string& paramName,
                                         const ParamAllowedValues* allowed) const {
    for (const Entry& entry : m_entries) {
        bool pass = true;
        for (Check* check : entry.checks) {
            if (!check->evaluate(context, evalContext)) {
                pass = false;
                break;
            }
        }
        if (!pass) continue;

        std::string result;
        if (entry.function != nullptr) {
            if (evalContext == nullptr) {
                throw std::invalid_argument("CheckedDefaultList::evaluate - the function \"" +
                                            entry.referenceName + "\" for parameter " + paramName +
                                            " needs an evaluation context.");
            }
            const ParamRHSArgs args{rules, &evalContext->getDB(), context.getFullPath(), paramName,
                                    allowed};
            result = entry.function->evaluate(args);
        } else if (entry.list != nullptr) {
            result =
                StringUtilities::vectorToString(entry.list->evaluate(context, evalContext), ',');
        } else {
            result = entry.value;
        }
        if (!result.empty()) return result;
    }
    return std::string();
}

bool CheckedDefaultList::isFixedValue() const {
    return m_entries.size() == 1 && m_entries[0].function == nullptr &&
           m_entries[0].list == nullptr;
}

const std::string& CheckedDefaultList::getFixedValue() const {
    static const std::string none;
    const bool fixed = isFixedValue();
    if (!fixed) KELAssertImpl::assertFail("isFixedValue()", kSourceFile, __LINE__);
    return fixed ? m_entries[0].value : none;
}

std::vector<std::string> CheckedDefaultList::getAllFixedValues() const {
    std::vector<std::string> values;
    for (const Entry& entry : m_entries) {
        if (entry.function == nullptr && entry.list == nullptr) values.push_back(entry.value);
    }
    return values;
}

std::vector<CheckedValue> CheckedDefaultList::getCheckedValues() const {
    std::vector<CheckedValue> values;
    values.reserve(m_entries.size());
    for (const Entry& entry : m_entries) {
        CheckedValue value;
        if (entry.function != nullptr && entry.list != nullptr) {
            KELAssertImpl::assertFail("ParamDefault - no valid RHS specified!", kSourceFile,
                                      __LINE__);
        }
        if (entry.function != nullptr) {
            value.value = entry.referenceName;
            value.type = CheckedValue::RHSFunction;
        } else if (entry.list != nullptr) {
            value.value = entry.referenceName;
            value.type = CheckedValue::ListName;
        } else {
            value.value = entry.value;
            value.type = CheckedValue::PlainValue;
        }
        value.checks.reserve(entry.checks.size());
        for (const Check* check : entry.checks)
            value.checks.push_back(check->getName());
        values.push_back(std::move(value));
    }
    return values;
}

std::set<std::string> CheckedDefaultList::getReferencedCheckNames() const {
    std::set<std::string> names;
    for (const Entry& entry : m_entries) {
        for (const Check* check : entry.checks)
            names.insert(check->getName());
    }
    return names;
}

std::set<std::string> CheckedDefaultList::getReferencedListNames() const {
    std::set<std::string> names;
    for (const Entry& entry : m_entries) {
        if (entry.list != nullptr) names.insert(entry.referenceName);
    }
    return names;
}

void CheckedDefaultList::forEachReferencedCheckName(const NameVisitor& visit) const {
    for (const Entry& entry : m_entries) {
        for (const Check* check : entry.checks)
            visit(check->getName());
    }
}

void CheckedDefaultList::forEachReferencedListName(const NameVisitor& visit) const {
    for (const Entry& entry : m_entries) {
        if (entry.list != nullptr) visit(entry.referenceName);
    }
}

}  // namespace kel
