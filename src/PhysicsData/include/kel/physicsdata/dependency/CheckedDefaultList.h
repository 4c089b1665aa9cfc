#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include <kel/physicsdata/dependency/CheckedListData.h>
#include <kel/physicsdata/dependency/CheckedValue.h>

namespace kel {

class Check;
class CheckDataSource;
class EvalContext;
class List;
class ModelRules;
class ParamAllowedValues;
class ParamRHSFunc;
class TARNContext;

// An ordered list of candidate values, each guarded by checks; evaluation yields the
// first candidate whose checks all pass and which gives a non-empty value. Defaults and
// value overrides are made of it.
//
// Built from a check list (see CheckedListData) whose names are candidates:
//   "*name"   the parameter function of that name, else the LIST of that name;
//   "\*text"  the literal value "*text";
//   anything else is the literal value itself.
// Names are resolved through the CheckDataSource at construction; unknown checks and
// lists are reported by the source (they must exist), syntax errors as by
// IndexedCheckListSplitter.
//
// Holds non-owning pointers to checks, lists and functions, which belong to the physics
// data and must outlive the list. Value type (copies share the pointed-to objects).
// Immutable after construction except for addFallbackValue. Evaluation runs on the
// caller's thread.
class CheckedDefaultList {
public:
    CheckedDefaultList() = default;
    CheckedDefaultList(const CheckedListData& data, const CheckDataSource* source);

    // Appends an unguarded literal candidate, tried after every written one.
    void addFallbackValue(const std::string& value);

    // The first candidate that applies, or "" when none does. A list candidate gives its
    // values joined with ","; a function candidate is called with the rules, the model of
    // evalContext, the context object's path, paramName and allowed (which may be null).
    // A function or list giving nothing lets the search go on. Checks, lists and functions
    // need evalContext (they throw without one); exceptions they throw pass through.
    std::string evaluate(const ModelRules* rules, const TARNContext& context,
                         EvalContext* evalContext, const std::string& paramName,
                         const ParamAllowedValues* allowed) const;

    bool isEmpty() const { return m_entries.empty(); }
    // Exactly one candidate and it is a literal (its checks are not considered).
    bool isFixedValue() const;
    // The single literal value; only meaningful when isFixedValue().
    const std::string& getFixedValue() const;
    // The values of all literal candidates, in order, guarded or not.
    std::vector<std::string> getAllFixedValues() const;
    std::vector<CheckedValue> getCheckedValues() const;
    std::set<std::string> getReferencedCheckNames() const;
    // Names of the lists of list candidates (function names are not included).
    std::set<std::string> getReferencedListNames() const;
    // The names of those sets without building them: every check (list) name in candidate
    // order, repeats included. The strings belong to the checks (lists).
    using NameVisitor = std::function<void(const std::string& name)>;
    void forEachReferencedCheckName(const NameVisitor& visit) const;
    void forEachReferencedListName(const NameVisitor& visit) const;

private:
    struct Entry {
        std::string value;                       // literal value; empty otherwise
        const ParamRHSFunc* function = nullptr;  // set for a function candidate
        List* list = nullptr;                    // set for a list candidate
        std::string referenceName;               // function or list name
        std::vector<Check*> checks;
    };

    std::vector<Entry> m_entries;
};

}  // namespace kel
