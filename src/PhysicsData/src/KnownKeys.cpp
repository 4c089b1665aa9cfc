#include "KnownKeys.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

#include <kel/physicsdata/dependency/ParamDefault.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/dependency/ParamValueOverride.h>
#include <kel/physicsutils/ParentContextParser.h>
#include <kel/physicsutils/PhysicsStrings.h>

namespace kel {
namespace {

using Keys = std::vector<std::string>;

const std::string& kType = PhysicsStrings::s_Type;

// Keys shared by the parent-context layout of OBJECT DEPENDENCY and PARAMETER VALUES data.
Keys withContextKeys(Keys keys) {
    keys.push_back(ParentContextParser::s_invalidParentContextList);
    keys.push_back(ParentContextParser::s_parentContextList);
    return keys;
}

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            const std::size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + !same});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}

}  // namespace

const Keys& KnownKeys::rulesObject() {
    static const Keys keys{
        "Context Rule",           "Allowed Option List",      "Essential Child List",
        "Optional Child List",    "Essential Parameter List", "Optional Parameter List",
        "Default Parameter List", "Allowed Parent List"};
    return keys;
}

const Keys& KnownKeys::rulesContext() {
    static const Keys keys{"Essential Child List", "Optional Child List",
                           "Essential Parameter List", "Optional Parameter List",
                           "Default Parameter List"};
    return keys;
}

const Keys& KnownKeys::rulesParameter() {
    static const Keys keys{"Ignore Global Definition",
                           "Description",
                           "Parameter Type",
                           "Default",
                           "Quantity Type",
                           "Lower Bound",
                           "Upper Bound",
                           "Allowed String List"};
    return keys;
}

const Keys& KnownKeys::checkData() {
    static const Keys keys{"Global Check Root List"};
    return keys;
}

const Keys& KnownKeys::objectDependency() {
    static const Keys keys = withContextKeys({"Accept Children",
                                              "Ordered Allowed Option List",
                                              "Unused Allowed Option List",
                                              "Subset Allowed Option List",
                                              "Allowed Option Check List",
                                              "Default Option",
                                              "Default Option Check List",
                                              "Override Option Check List",
                                              "Ordered Required Parameter List",
                                              "Ordered Optional Parameter List",
                                              "Parameter Check List",
                                              "Relaxed Validation Parameter List",
                                              "Unused Parameter List",
                                              "Ordered Required Child List",
                                              "Ordered Optional Child List",
                                              "Treat As Optional Child List",
                                              "Coupled Optional Child List",
                                              "Relaxed Validation Child List",
                                              "Child Check List",
                                              "Child Name List",
                                              "Default Child Name List",
                                              "Unused Child List",
                                              "Treat Remaining Children As Unused",
                                              "Treat Remaining Parameters As Unused",
                                              "Couple Optional Children"});
    return keys;
}

const Keys& KnownKeys::parameterValues() {
    static const Keys keys = withContextKeys(
        {ParamValueDef::s_parameterType, ParamDefault::s_defaultValue,
         ParamDefault::s_defaultValueCheckList, ParamDefault::s_fallbackToBlank,
         ParamValueOverride::s_valueOverrideCheckList, ParamValueDef::s_orderedAllowedStringList,
         ParamValueDef::s_allowedStringListChecks, ParamValueDef::s_subsetAllowedStringList,
         ParamValueDef::s_unusedAllowedStringList, ParamValueDef::s_valueListSource,
         ParamValueDef::s_subsetValueListSource, ParamValueDef::s_availableWithNoAllowedVals,
         ParamValueDef::s_completeListRequired});
    return keys;
}

const Keys* KnownKeys::product(const std::string& kind, const std::string& type) {
    // kind, then type: the keys the check engine reads for a product of that type.
    static const std::map<std::pair<std::string, std::string>, Keys> table = [] {
        const Keys located{"Object Type", "Object Path"};
        auto with = [&](Keys keys, bool isLocated) {
            keys.push_back(kType);
            if (isLocated) keys.insert(keys.end(), located.begin(), located.end());
            return keys;
        };
        std::map<std::pair<std::string, std::string>, Keys> t;
        t[{"CHECK", "Parameter Value"}] = with({"Parameter", "Value List", "Test"}, true);
        t[{"CHECK", "Numeric Test"}] = with({"Parameter", "Operator", "Value"}, true);
        t[{"CHECK", "Child Exists"}] = with({"Object Type", "Minimum Count"}, false);
        t[{"CHECK", "Object Exists"}] = with({"Object Type"}, false);
        for (const char* logical : {"All", "Any", "Not"})
            t[{"CHECK", logical}] = with({"Check List"}, false);
        t[{"CHECK", "Value In List"}] = with({"Parameter", "List"}, true);
        t[{"CHECK", "Constant"}] = with({"Value"}, false);
        t[{"CHECK", "Beta"}] = with({"Message", "Check"}, false);
        t[{"LIST", "Fixed"}] = with({"Value List"}, false);
        t[{"LIST", "Object Names"}] = with({"Object Type", "Scope"}, false);
        t[{"LIST", "Parameter Values"}] = with({"Parameter"}, true);
        t[{"LIST", "Union"}] = with({"List Names"}, false);
        t[{"GLOBAL CHECK", "For Each Object"}] = with({"Object Type", "Check", "Message"}, false);
        return t;
    }();
    const auto it = table.find({kind, type});
    return it == table.end() ? nullptr : &it->second;
}

std::string KnownKeys::closest(const std::string& word, const Keys& candidates) {
    std::string best;
    std::size_t bestDistance = 0;
    for (const auto& candidate : candidates) {
        // Close enough to be a slip: a third of the candidate's length, at least two edits.
        // Words whose lengths differ by more cannot be that close, so are not compared.
        const std::size_t limit = std::max<std::size_t>(2, candidate.size() / 3);
        const std::size_t lengthGap = word.size() > candidate.size()
                                          ? word.size() - candidate.size()
                                          : candidate.size() - word.size();
        if (lengthGap > limit) continue;
        const std::size_t distance = editDistance(word, candidate);
        if (distance <= limit && (best.empty() || distance < bestDistance)) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::string KnownKeys::didYouMean(const std::string& word, const Keys& candidates) {
    const std::string best = closest(word, candidates);
    return best.empty() ? std::string() : " (did you mean '" + best + "'?)";
}

}  // namespace kel
