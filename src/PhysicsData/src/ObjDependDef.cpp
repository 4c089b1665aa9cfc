#include <kel/physicsdata/dependency/ObjDependDef.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string_view>

#include <kel/exception/KELAssertImpl.h>
#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/CheckedListData.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/utilities/StringUtilities.h>

#include "CheckListGroups.h"
#include "CheckListViews.h"
#include "KeySlots.h"
#include "ListItems.h"
#include "ParamMapLookup.h"

namespace kel {

namespace {

const char* const kSourceFile = "src/PhysicsData/src/ObjDependDef";

const std::string kObjectDependency = "OBJECT DEPENDENCY";
const std::string kAcceptChildren = "Accept Children";
const std::string kOrderedAllowedOptionList = "Ordered Allowed Option List";
const std::string kUnusedAllowedOptionList = "Unused Allowed Option List";
const std::string kSubsetAllowedOptionList = "Subset Allowed Option List";
const std::string kAllowedOptionCheckList = "Allowed Option Check List";
const std::string kDefaultOption = "Default Option";
const std::string kDefaultOptionCheckList = "Default Option Check List";
const std::string kOverrideOptionCheckList = "Override Option Check List";
const std::string kOrderedRequiredParameterList = "Ordered Required Parameter List";
const std::string kOrderedOptionalParameterList = "Ordered Optional Parameter List";
const std::string kParameterCheckList = "Parameter Check List";
const std::string kRelaxedValidationParameterList = "Relaxed Validation Parameter List";
const std::string kUnusedParameterList = "Unused Parameter List";
const std::string kOrderedRequiredChildList = "Ordered Required Child List";
const std::string kOrderedOptionalChildList = "Ordered Optional Child List";
const std::string kTreatAsOptionalChildList = "Treat As Optional Child List";
const std::string kCoupledOptionalChildList = "Coupled Optional Child List";
const std::string kRelaxedValidationChildList = "Relaxed Validation Child List";
const std::string kChildCheckList = "Child Check List";
const std::string kChildNameList = "Child Name List";
const std::string kDefaultChildNameList = "Default Child Name List";
const std::string kUnusedChildList = "Unused Child List";

const std::string kParamCheckHeading = "Parameter availability check list data error.";
const std::string kChildCheckHeading = "Child availability check list data error.";
const std::string kOptionCheckHeading = "Option value check list data error.";
const std::string kNone;
const std::string kVerifyParamPrefix = "ObjDependDef::verifyParamAvail - ";
const std::string kVerifyChildPrefix = "ObjDependDef::verifyChildAvail - ";

using Params = std::map<std::string, std::string>;
using Strings = std::vector<std::string>;

using Views = std::vector<std::string_view>;

// Every key a definition reads, in the order of the slots of DependKeys.
const std::string* const kKeys[] = {
    &kAcceptChildren,
    &kOrderedAllowedOptionList,
    &kUnusedAllowedOptionList,
    &kSubsetAllowedOptionList,
    &kAllowedOptionCheckList,
    &kDefaultOption,
    &kDefaultOptionCheckList,
    &kOverrideOptionCheckList,
    &kOrderedRequiredParameterList,
    &kOrderedOptionalParameterList,
    &kParameterCheckList,
    &kRelaxedValidationParameterList,
    &kUnusedParameterList,
    &kOrderedRequiredChildList,
    &kOrderedOptionalChildList,
    &kTreatAsOptionalChildList,
    &kCoupledOptionalChildList,
    &kRelaxedValidationChildList,
    &kChildCheckList,
    &kChildNameList,
    &kDefaultChildNameList,
    &kUnusedChildList,
};
constexpr std::size_t kKeyCount = std::size(kKeys);

// The values of the keys of kKeys in one map, found in one pass over it. Refers to the
// map's values, which must outlive it.
class DependKeys {
public:
    explicit DependKeys(const Params& params) {
        static const KeySlots slots(kKeys, kKeyCount);
        slots.find(params, m_values);
    }

    // The value of key (one of kKeys), or null when the map does not hold it.
    const std::string* find(const std::string& key) const {
        for (std::size_t i = 0; i < kKeyCount; ++i)
            if (kKeys[i] == &key) return m_values[i];
        for (std::size_t i = 0; i < kKeyCount; ++i)
            if (*kKeys[i] == key) return m_values[i];
        return nullptr;
    }

private:
    const std::string* m_values[kKeyCount] = {};
};

const std::string& rawValue(const DependKeys& m, const std::string& key) {
    const std::string* value = m.find(key);
    return value != nullptr ? *value : kNone;
}

// A scalar key: the whole value with every blank removed (the blanks of
// StringUtilities::removeWhitespace), written in one pass into a string sized once.
std::string scalar(const DependKeys& m, const std::string& key) {
    const std::string& value = rawValue(m, key);
    std::string result(value.size(), '\0');
    std::size_t size = 0;
    for (const char c : value) {
        result[size] = c;
        size += c != ' ' && c != '\t' && c != '\r' && c != '\n';
    }
    result.resize(size);
    return result;
}

// A list key: trimmed items in written order, empty items dropped.
Strings listOf(const DependKeys& m, const std::string& key) {
    return listItems(rawValue(m, key));
}

// The same items as views of the map's value.
Views viewsOf(const DependKeys& m, const std::string& key) {
    return listItemViews(rawValue(m, key));
}

// Compares texts as if their blanks were removed.
int compareWithoutBlanks(std::string_view a, std::string_view b) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t i = 0;
    std::size_t j = 0;
    for (;; ++i, ++j) {
        while (i < a.size() && blank(a[i]))
            ++i;
        while (j < b.size() && blank(b[j]))
            ++j;
        if (i == a.size() || j == b.size()) return int(j == b.size()) - int(i == a.size());
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
    }
}

// Check lists are read with their blanks removed, so the names in them are matched to the
// real names they stand for by comparing both without blanks. Two real names that are
// equal that way cannot be told apart: a load error, whose message starts with
// `errorStart()` and names both. Refers to the names, which must outlive it; nothing is
// copied, and the message is built only when thrown.
template <class Names>
class BlankFreeNames {
public:
    template <class ErrorStart>
    BlankFreeNames(Names names, ErrorStart errorStart) : m_names(names) {
        if (clashes()) throwClash(errorStart());
    }

    // The real name that `name` stands for, or `name` itself when none matches. Names
    // equal without blanks are equal outright (else construction threw), so the first
    // match is the only one, and a name equal outright is that match; most are.
    std::string_view resolve(std::string_view name) const {
        for (std::size_t i = 0; i < m_names.size(); ++i)
            if (m_names[i] == name) return m_names[i];
        for (std::size_t i = 0; i < m_names.size(); ++i)
            if (compareWithoutBlanks(m_names[i], name) == 0) return m_names[i];
        return name;
    }

private:
    // Whether two different names are equal once blanks are removed. A few names are
    // compared pair by pair; more only where their blank-free hashes agree.
    bool clashes() const {
        const std::size_t n = m_names.size();
        if (n < 2) return false;
        if (n <= 8) {  // nothing allocated
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t j = i + 1; j < n; ++j)
                    if (compareWithoutBlanks(m_names[i], m_names[j]) == 0 &&
                        m_names[i] != m_names[j])
                        return true;
            return false;
        }
        std::vector<std::pair<std::uint64_t, const std::string*>> keyed;
        keyed.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            keyed.emplace_back(blankFreeHash(m_names[i]), &m_names[i]);
        std::sort(keyed.begin(), keyed.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t begin = 0; begin < n;) {
            std::size_t end = begin + 1;
            while (end < n && keyed[end].first == keyed[begin].first)
                ++end;
            for (std::size_t i = begin; i < end; ++i)
                for (std::size_t j = i + 1; j < end; ++j)
                    if (*keyed[i].second != *keyed[j].second &&
                        compareWithoutBlanks(*keyed[i].second, *keyed[j].second) == 0)
                        return true;
            begin = end;
        }
        return false;
    }

    static std::uint64_t blankFreeHash(std::string_view text) {
        std::uint64_t hash = 14695981039346656037ull;
        for (char c : text) {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
        return hash;
    }

    // Names the pair met first in list order: the first name equal without blanks to an
    // earlier, different one, and the first name of that key.
    [[noreturn]] void throwClash(const std::string& errorStart) const {
        std::map<std::string, std::string> byKey;
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            const std::string& name = m_names[i];
            auto [it, inserted] = byKey.emplace(StringUtilities::removeWhitespace(name), name);
            if (!inserted && it->second != name) {
                throw PhysicsException(errorStart + "\"" + it->second + "\" and \"" + name +
                                       "\" are the same once blanks are removed, so check lists "
                                       "cannot tell them apart.");
            }
        }
        throw PhysicsException(errorStart);  // not reached: clashes() found a pair
    }

    Names m_names;
};

// A list of names, as BlankFreeNames reads them.
struct ListNames {
    const Strings* list;
    std::size_t size() const { return list->size(); }
    const std::string& operator[](std::size_t i) const { return (*list)[i]; }
};

// The check list `listString` with every name replaced by the real name it stands for
// ("*" references are kept), written back in its own syntax without blanks around items.
std::string withRealNames(const std::string& key, const std::string& listString,
                          const std::string& type, const BlankFreeNames<ListNames>& names) {
    std::optional<CheckListViews> split;
    try {
        split.emplace(CheckedListData{key, listString, kNone, type, kOptionCheckHeading});
    } catch (const PhysicsException&) {
        return listString;  // malformed: reported where the list is used, as written
    }
    const CheckListViews& items = *split;
    // Joined as vectorToString would join the entries: "," between them, nothing around.
    std::string result;
    result.reserve(listString.size() + 16);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i != 0) result += ',';
        const std::string_view name = items.name(i);
        result += !name.empty() && name[0] == '*' ? name : names.resolve(name);
        result += ',';
        const std::span<const std::string_view> checks = items.checks(i);
        if (checks.size() == 1) {
            result += checks.front();
        } else {
            result += '(';
            for (std::size_t c = 0; c < checks.size(); ++c) {
                if (c != 0) result += ',';
                result += checks[c];
            }
            result += ')';
        }
    }
    return result;
}

Strings sorted(Strings items) {
    std::sort(items.begin(), items.end());
    return items;
}

bool lessByValue(const std::string* a, const std::string* b) {
    return *a < *b;
}

// The items joined as StringUtilities::vectorToString joins them.
std::string joined(const Views& items) {
    std::size_t size = items.empty() ? 0 : items.size() - 1;
    for (std::string_view item : items)
        size += item.size();
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i != 0) text += ',';
        text += items[i];
    }
    return text;
}

Views sorted(Views items) {
    std::sort(items.begin(), items.end());
    return items;
}

bool sortedContains(const Views& items, std::string_view item) {
    return std::binary_search(items.begin(), items.end(), item);
}

// The data source, needed only where the data names checks or lists.
const AvailabilityCheckDataSource& sourceFor(const AvailabilityCheckDataSource* source,
                                             const std::string& type, const std::string& key) {
    if (source == nullptr) {
        throw PhysicsException("ObjDependDef::initialise - in data for object type " + type +
                               ", the \"" + key +
                               "\" parameter names checks or lists but there is no check data "
                               "source to resolve them.");
    }
    return *source;
}

const std::string& childName(const ChildAvail& record) {
    return record.getType();
}
const std::string& paramName(const ParamAvail& record) {
    return record.getName();
}
const std::string& nameOfRecord(const ChildAvail& record) {
    return record.getType();
}
const std::string& nameOfRecord(const ParamAvail& record) {
    return record.getName();
}

// The names of records in record order, as BlankFreeNames reads them.
template <class Record>
struct RecordNames {
    const std::vector<Record>* records;
    std::size_t size() const { return records->size(); }
    const std::string& operator[](std::size_t i) const { return nameOfRecord((*records)[i]); }
};

// The first record called `name`, or null.
template <class Record, class Name>
Record* findRecord(const std::vector<Record>& records, std::string_view name, Name nameOf) {
    for (const Record& record : records) {
        if (nameOf(record) == name) return const_cast<Record*>(&record);
    }
    return nullptr;
}

// True when the first record, in order, called `a` or `b` is called `a`.
template <class Record, class Name>
bool comesFirst(const std::vector<Record>& records, const std::string& a, const std::string& b,
                Name nameOf) {
    for (const Record& record : records) {
        if (nameOf(record) == a) return true;
        if (nameOf(record) == b) return false;
    }
    return false;
}

// One bit per context rule selector: all set when `allowed` holds for selector 0 (no
// option), else bit i set when it holds for selector i (options[i - 1]). Of size 0 when it
// holds under no option at all.
template <class Allowed>
OptionMask optionMask(const Strings& options, Allowed allowed) {
    OptionMask mask(options.size() + 1);
    if (allowed(std::size_t(0))) {
        mask.setAll();
        return mask;
    }
    bool any = false;
    for (std::size_t i = 1; i < mask.size(); ++i) {
        if (allowed(i)) {
            mask.set(i);
            any = true;
        }
    }
    return any ? mask : OptionMask();
}

// The names of the records that pass `keep`, in record order.
template <class Record, class Name, class Keep>
Strings namesOf(const std::vector<Record>& records, Name name, Keep keep) {
    Strings names;
    names.reserve(records.size());
    for (const Record& record : records) {
        if (keep(record)) names.push_back(name(record));
    }
    return names;
}

// Record name to the non-empty result of `names` for that record; the first record of a
// name wins.
template <class Record, class Name, class Names>
std::map<std::string, Strings> namesByRecord(const std::vector<Record>& records, Name name,
                                             Names names) {
    std::map<std::string, Strings> result;
    for (const Record& record : records) {
        Strings found = names(record);
        if (!found.empty()) result.emplace(name(record), std::move(found));
    }
    return result;
}

// Visits what namesByRecord gives, in its order, without building it: `has(record)` says
// whether the record has names and `each(record, visitName)` visits them.
template <class Record, class Name, class Has, class Each>
void visitByRecord(const std::vector<Record>& records, Name name, Has has, Each each,
                   const ObjDependDef::ReferenceVisitor& visit) {
    const auto visitRecord = [&](const Record& record) {
        const std::string& subject = name(record);
        each(record, [&](const std::string& item) { visit(subject, item); });
    };
    const Record* first = nullptr;
    std::size_t count = 0;
    for (const Record& record : records) {
        if (!has(record)) continue;
        if (count++ == 0) first = &record;
    }
    if (count == 0) return;
    if (count == 1) return visitRecord(*first);
    // Records with names by name, then record order, so that the first of a name leads.
    std::vector<const Record*> named;
    named.reserve(count);
    for (const Record& record : records)
        if (has(record)) named.push_back(&record);
    std::sort(named.begin(), named.end(), [&](const Record* a, const Record* b) {
        const int order = name(*a).compare(name(*b));
        return order != 0 ? order < 0 : a < b;
    });
    const std::string* previous = nullptr;
    for (const Record* record : named) {
        const std::string& subject = name(*record);
        if (previous && *previous == subject) continue;  // the first record of a name wins
        previous = &subject;
        visitRecord(*record);
    }
}

}  // namespace

class ObjDependDef::Keys : public DependKeys {
public:
    using DependKeys::DependKeys;
};

// The RULES parameters (or child types) of a type per context rule selector, each
// selector's essential and optional lists asked for at most once and kept: whether an item is
// allowed under a selector is what ModelRules::isAllowedParam (isAllowedChild) answers for
// its option ("" for selector 0). Refers to the RULES lists and to `options`.
class ObjDependDef::AllowedItems {
public:
    AllowedItems(const ModelRules* rules, const std::string& type, const Strings& options,
                 bool params)
        : m_rules(rules), m_type(type), m_options(options), m_params(params) {}

    bool allowed(const std::string& item, std::size_t selector) {
        if (selector != 0 && m_optionLists.empty()) m_optionLists.resize(m_options.size());
        Lists& lists = selector == 0 ? m_noOption : m_optionLists[selector - 1];
        const std::string& option = selector == 0 ? kNone : m_options[selector - 1];
        // The optional list is asked for only when the essential one lacks the item.
        if (lists.essential == nullptr) {
            lists.essential = m_params ? &m_rules->getEssentialParams(m_type, option)
                                       : &m_rules->getEssentialChildren(m_type, option);
        }
        if (contains(*lists.essential, item)) return true;
        if (lists.optional == nullptr) {
            lists.optional = m_params ? &m_rules->getOptionalParams(m_type, option)
                                      : &m_rules->getOptionalChildren(m_type, option);
        }
        return contains(*lists.optional, item);
    }

private:
    struct Lists {
        const Strings* essential = nullptr;
        const Strings* optional = nullptr;
    };

    static bool contains(const Strings& list, const std::string& item) {
        return std::find(list.begin(), list.end(), item) != list.end();
    }

    const ModelRules* m_rules;
    const std::string& m_type;
    const Strings& m_options;
    bool m_params;
    Lists m_noOption;                  // selector 0; filled on first use
    std::vector<Lists> m_optionLists;  // selector i at i - 1; made on first use
};

ObjDependDef::ObjDependDef(const std::string& type, const Params& params, const ModelRules* rules,
                           const AvailabilityCheckDataSource* source, bool validate)
    : m_type(type), m_validate(validate) {
    initialise(params, rules, source);
}

ObjDependDef::~ObjDependDef() = default;

const std::vector<std::string>& ObjDependDef::getMissingChildren() const {
    static const Strings none;
    return none;
}

// ---- construction ----------------------------------------------------------------------

void ObjDependDef::initialise(const Params& params, const ModelRules* rules,
                              const AvailabilityCheckDataSource* source) {
    const std::optional<Params> accepting = initAcceptChildren(params, rules);
    const Keys m(accepting ? *accepting : params);
    initContextRuleInfo(m, rules);

    AllowedItems allowedParams(rules, m_type, m_orderedAllowedOptions, true);
    Strings requiredParams = listOf(m, kOrderedRequiredParameterList);
    Strings optionalParams = listOf(m, kOrderedOptionalParameterList);
    m_paramAvail.reserve(requiredParams.size() + optionalParams.size());
    initParamReqOrOpt(std::move(requiredParams), rules, allowedParams, true);
    initParamReqOrOpt(std::move(optionalParams), rules, allowedParams, false);
    initParamAvailChecks(m, rules, source);
    setRelaxedValidationParams(m);
    initParamUnused(m);
    if (m_validate) {
        Strings unused;
        verifyParamAvail(m, rules, unused);
        m_unusedParameters.insert(m_unusedParameters.end(), std::make_move_iterator(unused.begin()),
                                  std::make_move_iterator(unused.end()));
    }

    AllowedItems allowedChildren(rules, m_type, m_orderedAllowedOptions, false);
    Strings requiredChildren = listOf(m, kOrderedRequiredChildList);
    Strings optionalChildren = listOf(m, kOrderedOptionalChildList);
    m_childAvail.reserve(requiredChildren.size() + optionalChildren.size());
    initChildReqOrOpt(m, std::move(requiredChildren), rules, allowedChildren, true);
    initChildReqOrOpt(m, std::move(optionalChildren), rules, allowedChildren, false);
    initChildAvailChecks(m, rules, source);
    initChildAvailNames(m, rules, source);
    initChildUnused(m);
    initDefaultChildNameList(m, rules, source);
    if (m_validate) {
        Strings unused;
        verifyChildAvail(m, rules, unused);
        m_unusedChildren.insert(m_unusedChildren.end(), std::make_move_iterator(unused.begin()),
                                std::make_move_iterator(unused.end()));
    }
}

std::optional<ObjDependDef::Params> ObjDependDef::initAcceptChildren(
    const Params& params, const ModelRules* rules) const {
    const std::string* acceptValue = findParamValue(params, kAcceptChildren);
    if (acceptValue == nullptr || acceptValue->empty()) return std::nullopt;
    const std::string accept = StringUtilities::removeWhitespace(*acceptValue);
    if (accept.empty() || !StringUtilities::stringToBool(accept)) return std::nullopt;
    if (params.size() != 1) {
        throw PhysicsException("ObjDependDef::initAcceptChildren - the " + kObjectDependency +
                               " for type " + m_type + ", has a True \"" + kAcceptChildren +
                               "\" parameter but *other* parameters are also defined. It "
                               "should be the only parameter if present and True.");
    }
    Params m = params;
    m[kOrderedOptionalChildList] =
        StringUtilities::vectorToString(rules->getOptionalChildren(m_type, std::string()), ',');
    return m;
}

void ObjDependDef::initContextRuleInfo(const Keys& m, const ModelRules* rules) {
    const std::string& crp = rules->getContextRuleParam(m_type);
    if (crp.empty()) return;
    const Strings& ruleOptions = rules->getAllowedOptions(m_type);

    // The option names of the scalar keys lost their blanks: each stands for the RULES
    // option that is equal without blanks, and is passed on as that option.
    std::optional<BlankFreeNames<ListNames>> optionNames;
    auto realOptions = [&]() -> const BlankFreeNames<ListNames>& {
        if (!optionNames) {
            optionNames.emplace(ListNames{&ruleOptions}, [&] {
                return "ObjDependDef::initContextRuleInfo - in the " + kObjectDependency +
                       " data for type " + m_type + ", the RULES options ";
            });
        }
        return *optionNames;
    };
    auto optionCheckList = [&](const std::string& key) {
        const std::string list = scalar(m, key);
        return list.empty() ? list : withRealNames(key, list, m_type, realOptions());
    };

    auto info = std::make_shared<ContextRuleInfo>();
    info->contextRuleParam = crp;
    info->allowedOptionCheckList = optionCheckList(kAllowedOptionCheckList);
    info->overrideOptionCheckList = optionCheckList(kOverrideOptionCheckList);

    const std::string defaultOption = scalar(m, kDefaultOption);
    if (!defaultOption.empty()) {
        info->defaultKind = ContextRuleInfo::FIXED_DEFAULT;
        info->defaultValue = realOptions().resolve(defaultOption);
    }
    const std::string defaultChecks = optionCheckList(kDefaultOptionCheckList);
    if (!defaultChecks.empty()) {
        if (info->defaultKind != ContextRuleInfo::NO_DEFAULT) {
            throw PhysicsException("ObjDependDef::initContextRuleInfo - in the " +
                                   kObjectDependency + " data for type " + m_type +
                                   ", BOTH parameters \"" + kDefaultOption + "\" and \"" +
                                   kDefaultOptionCheckList + "\" are specified.");
        }
        info->defaultKind = ContextRuleInfo::CHECKED_DEFAULT;
        info->defaultValue = defaultChecks;
    }

    // The RULES options no list has named yet, ascending.
    OptionRefs available;
    available.reserve(ruleOptions.size());
    for (const std::string& option : ruleOptions)
        available.push_back(&option);
    std::sort(available.begin(), available.end(), lessByValue);
    Strings ordered = processOptList(m, kOrderedAllowedOptionList, available);
    m_unusedAllowedOptions = processOptList(m, kUnusedAllowedOptionList, available);
    if (ordered.empty()) {
        // Data that lists no options covers every RULES option its unused list leaves, in
        // RULES order, wherever the type sits in the model.
        for (const std::string& option : ruleOptions) {
            if (std::binary_search(available.begin(), available.end(), &option, lessByValue))
                ordered.push_back(option);
        }
        available.clear();
    }
    info->orderedAllowedOptionList = StringUtilities::vectorToString(ordered, ',');
    m_orderedAllowedOptions = sorted(std::move(ordered));
    if (!available.empty()) {
        if (!m_unusedAllowedOptions.empty()) {
            std::string message =
                "ObjDependDef::initContextRuleInfo - in the " + kObjectDependency +
                " data for type " + m_type + ", the following values are missing from the " +
                kOrderedAllowedOptionList + " or " + kUnusedAllowedOptionList + " parameters: ";
            for (const std::string* option : available)
                message += "\"" + *option + "\", ";
            message += " and a partial " + kUnusedAllowedOptionList +
                       " exists. Please complete the lists or remove the " +
                       kUnusedAllowedOptionList;
            throw PhysicsException(message);
        }
        m_unusedAllowedOptions.clear();
        m_unusedAllowedOptions.reserve(available.size());
        for (const std::string* option : available)
            m_unusedAllowedOptions.push_back(*option);
    }

    const Views subset = viewsOf(m, kSubsetAllowedOptionList);
    info->subsetAllowedOptionList = joined(subset);

    if (m_validate) {
        verifyCheckedOptionValues(kAllowedOptionCheckList, info->allowedOptionCheckList, false);
        if (info->defaultKind == ContextRuleInfo::CHECKED_DEFAULT) {
            verifyCheckedOptionValues(kDefaultOptionCheckList, info->defaultValue, true);
        }
        verifyCheckedOptionValues(kOverrideOptionCheckList, info->overrideOptionCheckList, true);
        verifySubsetAllowedOptions(subset);
    }
    m_contextRuleInfo = std::move(info);
}

ObjDependDef::Strings ObjDependDef::processOptList(const Keys& m, const std::string& key,
                                                   OptionRefs& available) const {
    Strings entries = listOf(m, key);
    for (const std::string& entry : entries) {
        auto found = std::lower_bound(available.begin(), available.end(), &entry, lessByValue);
        if (found == available.end() || **found != entry) {
            throw PhysicsException("ObjDependDef::processOptList - in the \"" + key +
                                   "\" parameter of the " + kObjectDependency + " data for type " +
                                   m_type + ", the allowed value \"" + entry +
                                   "\" is referenced, but this does not appear in the RULES "
                                   "definition of the object.");
        }
        available.erase(found);
    }
    return entries;
}

void ObjDependDef::initParamReqOrOpt(Strings list, const ModelRules*, AllowedItems& allowed,
                                     bool required) {
    // The context rule information exists exactly when the type has a context rule.
    const std::string& crp = m_contextRuleInfo ? m_contextRuleInfo->contextRuleParam : kNone;
    bool contextRuleTaken = false;
    for (std::string& name : list) {
        const bool isContextRule = !contextRuleTaken && !crp.empty() && name == crp;
        contextRuleTaken = contextRuleTaken || isContextRule;
        OptionMask mask = optionMask(m_orderedAllowedOptions, [&](std::size_t selector) {
            return allowed.allowed(name, selector);
        });
        if (mask.size() == 0) {
            throw PhysicsException("ObjDependDef::makeParamMask - Internal error: the parameter " +
                                   name + " in object " + m_type +
                                   " is not allowed in any RULES CONTEXT!");
        }
        m_paramAvail.push_back(ParamAvail(std::move(name), required, isContextRule));
        m_paramAvail.back().setApplicableOptions(std::move(mask));
    }
}

void ObjDependDef::initParamAvailChecks(const Keys& m, const ModelRules*,
                                        const AvailabilityCheckDataSource* source) {
    // Names that clash without their blanks are an error even without a check list.
    const std::string checkList = scalar(m, kParameterCheckList);
    const BlankFreeNames names(RecordNames<ParamAvail>{&m_paramAvail}, [&] {
        return "ObjDependDef::initParamAvailChecks - in data for object type " + m_type +
               ", the parameters ";
    });
    if (checkList.empty()) return;
    const CheckListViews items(
        CheckedListData{kParameterCheckList, checkList, kNone, m_type, kParamCheckHeading});
    const CheckListGroups groups(items);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        ParamAvail* record = findParamAvail(names.resolve(groups.name(g)));
        const std::string& name = record->getName();
        groups.forEachCheck(g, [&](std::string_view check) {
            record->addAvailCheck(sourceFor(source, m_type, kParameterCheckList)
                                      .getParamAvailCheck(std::string(check), name, true));
        });
    }
}

void ObjDependDef::setRelaxedValidationParams(const Keys& m) {
    const std::string& list = rawValue(m, kRelaxedValidationParameterList);
    if (list.empty()) return;
    for (std::string_view name : listItemViews(list)) {
        findParamAvail(name)->setRelaxedValidation();
    }
}

void ObjDependDef::initParamUnused(const Keys& m) {
    m_unusedParameters = listOf(m, kUnusedParameterList);
}

void ObjDependDef::initChildReqOrOpt(const Keys& m, Strings list, const ModelRules* rules,
                                     AllowedItems& allowed, bool required) {
    if (list.empty()) return;
    const Views coupledTypes = extractCoupledTypes(m);
    const Views treatedTypes = extractTreatedAsOptionalTypes(m);
    const Views relaxedTypes = sorted(viewsOf(m, kRelaxedValidationChildList));
    for (std::string& childType : list) {
        const bool singleton = rules->isSingleton(childType);
        const bool isRequired = required && !sortedContains(treatedTypes, childType);
        const bool coupled = isRequired || sortedContains(coupledTypes, childType);
        const bool relaxed = sortedContains(relaxedTypes, childType);
        OptionMask mask = optionMask(m_orderedAllowedOptions, [&](std::size_t selector) {
            return allowed.allowed(childType, selector);
        });
        if (mask.size() == 0) {
            throw PhysicsException(
                "ObjDependDef::makeChildMask - Internal error: the child object " + childType +
                " in object \"" + m_type + "\" is not allowed in any RULES CONTEXT!");
        }
        m_childAvail.push_back(
            ChildAvail(std::move(childType), singleton, isRequired, coupled, relaxed));
        m_childAvail.back().setApplicableOptions(std::move(mask));
    }
}

void ObjDependDef::initChildAvailChecks(const Keys& m, const ModelRules*,
                                        const AvailabilityCheckDataSource* source) {
    const std::string checkList = scalar(m, kChildCheckList);
    const BlankFreeNames types(RecordNames<ChildAvail>{&m_childAvail}, [&] {
        return "ObjDependDef::initChildAvailChecks - in data for object type \"" + m_type +
               "\", the child objects ";
    });
    if (checkList.empty()) return;
    const CheckListViews items(
        CheckedListData{kChildCheckList, checkList, kNone, m_type, kChildCheckHeading});
    const CheckListGroups groups(items);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::string_view written = types.resolve(groups.name(g));
        ChildAvail* record = findChildAvail(written);
        if (record == nullptr) {
            throw PhysicsException(
                "ObjDependDef::initChildAvailChecks - in data for object type \"" + m_type +
                "\", the child object " + std::string(written) +
                " referenced in the check list does not exist in the "
                "'ordered' lists");
        }
        const std::string& childType = record->getType();
        groups.forEachCheck(g, [&](std::string_view check) {
            record->addAvailCheck(sourceFor(source, m_type, kChildCheckList)
                                      .getObjAvailCheck(std::string(check), childType, true));
        });
    }
}

void ObjDependDef::initChildAvailNames(const Keys& m, const ModelRules*,
                                       const AvailabilityCheckDataSource* source) {
    applyChildNameList(m, kChildNameList, source, false);
}

void ObjDependDef::initDefaultChildNameList(const Keys& m, const ModelRules*,
                                            const AvailabilityCheckDataSource* source) {
    applyChildNameList(m, kDefaultChildNameList, source, true);
}

void ObjDependDef::applyChildNameList(const Keys& m, const std::string& key,
                                      const AvailabilityCheckDataSource* source,
                                      bool defaultNames) {
    const Views pairs = viewsOf(m, key);
    if (pairs.empty()) return;
    const std::string prefix = "ObjDependDef::initChildAvailNameList - in ";
    if (pairs.size() % 2 != 0) {
        throw PhysicsException(prefix + "the data for object type " + m_type +
                               ", there are an odd number of values in the list " + key + ".");
    }
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        const std::string childType(pairs[i]);
        const std::string listName(pairs[i + 1]);
        ChildAvail* record = findChildAvail(childType);
        auto where = [&] {
            return "data for object type \"" + m_type + "\", the child object " + childType;
        };
        if (record == nullptr) {
            throw PhysicsException(prefix + where() +
                                   " referenced in the name list does not exist in the 'ordered' "
                                   "lists");
        }
        if (record->isSingleton()) {
            throw PhysicsException(prefix + where() + " has a \"" + key +
                                   "\" parameter despite being a singleton object.");
        }
        if (defaultNames) {
            const char* const defaultPrefix = "ObjDependDef::initDefaultChildNameList - in ";
            if (record->areNamesRestricted()) {
                throw PhysicsException(defaultPrefix + where() +
                                       " referenced in the check list has a restricted name.");
            }
            if (!record->isRequired()) {
                throw PhysicsException(defaultPrefix + where() +
                                       " referenced in the check list is optional and  must be "
                                       "a required object");
            }
            record->setDefaultNameList(sourceFor(source, m_type, key).getList(listName, true));
        } else {
            record->setAllowedNameList(sourceFor(source, m_type, key).getList(listName, true));
        }
    }
}

void ObjDependDef::initChildUnused(const Keys& m) {
    m_unusedChildren = listOf(m, kUnusedChildList);
}

ObjDependDef::Views ObjDependDef::extractCoupledTypes(const Keys& m) const {
    return sorted(viewsOf(m, kCoupledOptionalChildList));
}

ObjDependDef::Views ObjDependDef::extractTreatedAsOptionalTypes(const Keys& m) const {
    return sorted(viewsOf(m, kTreatAsOptionalChildList));
}

ParamAvail* ObjDependDef::findParamAvail(std::string_view name) const {
    if (ParamAvail* record = findRecord(m_paramAvail, name, paramName)) return record;
    throw PhysicsException("ObjDependDef::findParamAvail - in data for object type " + m_type +
                           ", the referenced parameter " + std::string(name) +
                           " does not exist in the 'ordered' lists");
}

ChildAvail* ObjDependDef::findChildAvail(std::string_view childType) const {
    return findRecord(m_childAvail, childType, childName);
}

std::uint64_t ObjDependDef::getContextRuleSelector(const std::string& value) const {
    if (value.empty()) return 0;
    auto found =
        std::lower_bound(m_orderedAllowedOptions.begin(), m_orderedAllowedOptions.end(), value);
    if (found == m_orderedAllowedOptions.end() || *found != value) return 0;
    return static_cast<std::uint64_t>(found - m_orderedAllowedOptions.begin()) + 1;
}

// ---- queries ---------------------------------------------------------------------------

ObjDependDef::ChildResult ObjDependDef::firstChildAvail(CACursor& cursor,
                                                        const std::string& contextRuleValue) const {
    cursor = CACursor(this);
    cursor.m_selector = getContextRuleSelector(contextRuleValue);
    return nextChildAvail(cursor);
}

ObjDependDef::ChildResult ObjDependDef::nextChildAvail(CACursor& cursor) const {
    KEL_ASSERT_AT(cursor.m_def == this, kSourceFile, __LINE__);
    if (cursor.m_def != this || cursor.m_pos >= m_childAvail.size()) return {nullptr, false};
    const ChildAvail* record = &m_childAvail[cursor.m_pos++];
    return {record, record->matchOption(cursor.m_selector)};
}

ObjDependDef::ParamResult ObjDependDef::firstParamAvail(PACursor& cursor) const {
    cursor = PACursor(this);
    if (m_paramAvail.empty()) return {nullptr, false};
    cursor.m_pos = 1;
    return {&m_paramAvail.front(), true};
}

ObjDependDef::ParamResult ObjDependDef::nextParamAvail(PACursor& cursor,
                                                       const std::string& contextRuleValue) const {
    KEL_ASSERT_AT(cursor.m_def == this, kSourceFile, __LINE__);
    if (cursor.m_def != this) return {nullptr, false};
    if (!contextRuleValue.empty()) cursor.m_selector = getContextRuleSelector(contextRuleValue);
    if (cursor.m_pos >= m_paramAvail.size()) return {nullptr, false};
    const ParamAvail* record = &m_paramAvail[cursor.m_pos++];
    return {record, record->matchOption(cursor.m_selector)};
}

const ChildAvail* ObjDependDef::childAvailByType(const std::string& childType) const {
    return findChildAvail(childType);
}

const ParamAvail* ObjDependDef::paramAvailByName(const std::string& name) const {
    return findRecord(m_paramAvail, name, paramName);
}

bool ObjDependDef::childOrderPredicate(const std::string& a, const std::string& b) const {
    return comesFirst(m_childAvail, a, b, childName);
}

bool ObjDependDef::paramOrderPredicate(const std::string& a, const std::string& b) const {
    return comesFirst(m_paramAvail, a, b, paramName);
}

Strings ObjDependDef::getOrderedChildTypes() const {
    return namesOf(m_childAvail, childName, [](const ChildAvail&) { return true; });
}

Strings ObjDependDef::getOrderedReqChildTypes() const {
    return namesOf(m_childAvail, childName, [](const ChildAvail& r) { return r.isRequired(); });
}

Strings ObjDependDef::getOrderedOptChildTypes() const {
    return namesOf(m_childAvail, childName, [](const ChildAvail& r) { return !r.isRequired(); });
}

Strings ObjDependDef::getOrderedParamNames() const {
    return namesOf(m_paramAvail, paramName, [](const ParamAvail&) { return true; });
}

Strings ObjDependDef::getOrderedReqParamNames() const {
    return namesOf(m_paramAvail, paramName, [](const ParamAvail& r) { return r.isRequired(); });
}

Strings ObjDependDef::getOrderedOptParamNames() const {
    return namesOf(m_paramAvail, paramName, [](const ParamAvail& r) { return !r.isRequired(); });
}

std::map<std::string, Strings> ObjDependDef::getReferencedCheckNames(ChildOrParam which) const {
    if (which == CHILD) {
        return namesByRecord(m_childAvail, childName,
                             [](const ChildAvail& r) { return r.getReferencedCheckNames(); });
    }
    return namesByRecord(m_paramAvail, paramName,
                         [](const ParamAvail& r) { return r.getReferencedCheckNames(); });
}

std::map<std::string, Strings> ObjDependDef::getReferencedListNames(ChildOrParam which) const {
    if (which == CHILD) {
        return namesByRecord(m_childAvail, childName,
                             [](const ChildAvail& r) { return r.getReferencedListNames(); });
    }
    return namesByRecord(m_paramAvail, paramName,
                         [](const ParamAvail& r) { return r.getReferencedListNames(); });
}

void ObjDependDef::forEachReferencedCheckName(ChildOrParam which,
                                              const ReferenceVisitor& visit) const {
    const auto has = [](const auto& record) { return !record.m_checks.empty(); };
    const auto each = [](const auto& record, const auto& visitName) {
        for (const Check* check : record.m_checks)
            visitName(check->getName());
    };
    if (which == CHILD)
        visitByRecord(m_childAvail, childName, has, each, visit);
    else
        visitByRecord(m_paramAvail, paramName, has, each, visit);
}

void ObjDependDef::forEachReferencedListName(ChildOrParam which,
                                             const ReferenceVisitor& visit) const {
    if (which != CHILD) return;  // a parameter record refers to no list
    const auto has = [](const ChildAvail& record) {
        return record.m_allowedNameList != nullptr || record.m_defaultNameList != nullptr;
    };
    const auto each = [](const ChildAvail& record, const auto& visitName) {
        if (record.m_allowedNameList != nullptr) visitName(record.m_allowedNameList->getName());
        if (record.m_defaultNameList != nullptr) visitName(record.m_defaultNameList->getName());
    };
    visitByRecord(m_childAvail, childName, has, each, visit);
}

// ---- verification against RULES -------------------------------------------------------

namespace {

// The RULES items of a type for the verification: essential and optional items over the
// covered options, and the table of items (optional and the type's other items first,
// essential ones added later) with whether the dependency data has referenced them. Refers
// to the RULES lists it is given, which must stay as they are while it is used.
class RulesItems {
public:
    enum class Reference { Unknown, Repeated, EssentialOnly, Fine };
    enum Kind : std::uint8_t { kOther = 0, kEssential = 1, kOptional = 2 };

    // The table lives in room kept by the thread between verifications: a type's RULES
    // items are many, and asking the heap for that room for every definition costs more
    // than filling it. One table per thread is in use at a time.
    RulesItems() : m_entries(scratch()) { m_entries.clear(); }
    RulesItems(const RulesItems&) = delete;
    RulesItems& operator=(const RulesItems&) = delete;
    ~RulesItems() { m_entries.clear(); }

    void reserve(std::size_t size) { m_entries.reserve(size); }

    // Enters the names of one list; `kind` says which of the covered lists it is (kOther:
    // the type's items outside them).
    void add(const Strings& names, Kind kind) {
        for (const std::string& name : names)
            m_entries.push_back({name, kind, false, false});
    }

    // Called once every list is in: one entry per name, ascending.
    void finish() {
        std::sort(m_entries.begin(), m_entries.end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (kept != 0 && m_entries[kept - 1].name == m_entries[i].name) {
                m_entries[kept - 1].kinds |= m_entries[i].kinds;
            } else {
                m_entries[kept++] = m_entries[i];
            }
        }
        m_entries.resize(kept);
        // Optional items and the type's other items are in the table from the start.
        for (Entry& entry : m_entries)
            entry.inTable = (entry.kinds & kOptional) != 0 || (entry.kinds & kEssential) == 0;
    }

    bool isOptional(const std::string& name) const {
        const Entry* entry = lookUp(name);
        return entry != nullptr && (entry->kinds & kOptional) != 0;
    }

    // Marks the names of the data's unused list as referenced; returns the first name the
    // table does not hold (essential or unknown to RULES), or null.
    const std::string* markUnused(const Strings& names) {
        for (const std::string& name : names) {
            Entry* entry = find(name);
            if (!entry) return &name;
            entry->referenced = true;
        }
        return nullptr;
    }

    // Enters the essential items, unreferenced; present names keep their state.
    void addEssential() {
        for (Entry& entry : m_entries)
            entry.inTable = true;
    }

    // Marks the item of one record as referenced and says what is wrong with it, if anything.
    Reference reference(const std::string& name, bool required) {
        Entry* entry = find(name);
        if (!entry) return Reference::Unknown;
        if (entry->referenced) return Reference::Repeated;
        entry->referenced = true;
        return required || (entry->kinds & kOptional) != 0 ? Reference::Fine
                                                           : Reference::EssentialOnly;
    }

    // The items not referenced, in ascending order.
    Strings unreferenced() const {
        Strings names;
        for (const Entry& entry : m_entries)
            if (entry.inTable && !entry.referenced) names.emplace_back(entry.name);
        return names;
    }

private:
    struct Entry {
        std::string_view name;  // into the RULES lists
        std::uint8_t kinds;     // Kind bits of the lists that name it
        bool inTable;
        bool referenced;
    };

    const Entry* lookUp(std::string_view name) const {
        auto found = std::lower_bound(
            m_entries.begin(), m_entries.end(), name,
            [](const Entry& entry, std::string_view key) { return entry.name < key; });
        return found != m_entries.end() && found->name == name ? &*found : nullptr;
    }

    // The table's entry of name, or null when the table does not hold it (yet).
    Entry* find(const std::string& name) {
        const Entry* entry = lookUp(name);
        return entry != nullptr && entry->inTable ? const_cast<Entry*>(entry) : nullptr;
    }

    static std::vector<Entry>& scratch() {
        thread_local std::vector<Entry> entries;
        return entries;
    }

    std::vector<Entry>& m_entries;  // every name of the lists, ascending, once
};

// Enters the RULES items of the type as RulesItems sees them. Over every option (or when
// the type has none) the covered lists are the type's lists over all options and there are
// no other items; else they are accumulated over the covered options, and the lists over
// all options supply the rest. Lists over a set of options are compared as sets only, so
// the order in which the options were accumulated does not matter.
void addRulesItems(RulesItems& items, const ModelRules* rules, const std::string& type,
                   const Strings& coveredOptions, bool params) {
    const bool coversAll = coveredOptions.size() == rules->getAllowedOptions(type).size();
    const Strings& essentialAll =
        params ? rules->getEssentialParamsAll(type) : rules->getEssentialChildrenAll(type);
    const Strings& optionalAll =
        params ? rules->getOptionalParamsAll(type) : rules->getOptionalChildrenAll(type);
    // The lists over the covered options are at most as long as those over all options.
    items.reserve((coversAll ? 1 : 2) * (essentialAll.size() + optionalAll.size()));
    if (!coversAll) {
        // Both lists come from one accumulation, kept by the RULES until another set of
        // options is asked for: enter the first before asking for the second.
        items.add(params ? rules->getEssentialParams(type, coveredOptions)
                         : rules->getEssentialChildren(type, coveredOptions),
                  RulesItems::kEssential);
        items.add(params ? rules->getOptionalParams(type, coveredOptions)
                         : rules->getOptionalChildren(type, coveredOptions),
                  RulesItems::kOptional);
    }
    items.add(essentialAll, coversAll ? RulesItems::kEssential : RulesItems::kOther);
    items.add(optionalAll, coversAll ? RulesItems::kOptional : RulesItems::kOther);
    items.finish();
}

}  // namespace

void ObjDependDef::verifyParamAvail(const Keys&, const ModelRules* rules, Strings& unused) const {
    const std::string& prefix = kVerifyParamPrefix;
    RulesItems items;
    addRulesItems(items, rules, m_type, m_orderedAllowedOptions, true);

    if (const std::string* name = items.markUnused(m_unusedParameters)) {
        throw PhysicsException(prefix + "in PHYSICS object dependency for type " + m_type +
                               ", the parameter \"" + *name + "\" appears in the " +
                               kUnusedParameterList +
                               " but this is not an optional parameter according to the RULES "
                               "data.");
    }
    items.addEssential();

    bool contextRuleSeen = false;
    const std::size_t n = m_orderedAllowedOptions.size();
    for (const ParamAvail& record : m_paramAvail) {
        const std::string& name = record.getName();
        switch (items.reference(name, record.isRequired())) {
            case RulesItems::Reference::Unknown:
                throw PhysicsException(
                    prefix + "the parameter " + name +
                    ", referenced in the PHYSICS dependency data for object type " + m_type +
                    ", is not defined in RULES.");
            case RulesItems::Reference::Repeated:
                throw PhysicsException(
                    prefix + "the parameter " + name +
                    ", has multiple inconsistent references in the PHYSICS dependency data for "
                    "object type \"" +
                    m_type + "\". Appears in more than one of the parameter lists.");
            case RulesItems::Reference::EssentialOnly:
                throw PhysicsException(prefix + "the parameter \"" + name +
                                       "\", is optional in the PHYSICS dependency data for object "
                                       "type \"" +
                                       m_type + "\" but is essential in RULES.");
            case RulesItems::Reference::Fine:
                break;
        }
        // Up to and including the context rule parameter, every parameter must exist under
        // every covered option (bit 0, no option chosen, is not tested).
        if (!contextRuleSeen) {
            for (std::size_t i = 1; i <= n; ++i) {
                if (!record.matchOption(i)) {
                    throw PhysicsException(
                        prefix + "the parameter \"" + name +
                        "\" appears before the context rule parameter in the PHYSICS "
                        "dependency data for object type \"" +
                        m_type + "\" but depends on the value of the context rule parameter!");
                }
            }
            contextRuleSeen = record.isContextRule();
        }
    }

    // Data with an unused list must account for every RULES parameter; without one, the
    // parameters it does not mention become unused.
    Strings notReferenced = items.unreferenced();
    if (!notReferenced.empty() && !m_unusedParameters.empty()) {
        throw PhysicsException(prefix + "the parameter \"" + notReferenced.front() +
                               "\" is defined for object type \"" + m_type +
                               "\" in RULES but is not referenced in the PHYSICS dependency "
                               "data for the type.");
    }
    unused.insert(unused.end(), std::make_move_iterator(notReferenced.begin()),
                  std::make_move_iterator(notReferenced.end()));
}

void ObjDependDef::verifyChildAvail(const Keys& params, const ModelRules* rules,
                                    Strings& unused) const {
    const std::string& prefix = kVerifyChildPrefix;
    RulesItems items;
    addRulesItems(items, rules, m_type, m_orderedAllowedOptions, false);

    if (const std::string* name = items.markUnused(m_unusedChildren)) {
        throw PhysicsException(prefix + "in PHYSICS object dependency for type \"" + m_type +
                               "\", the child object \"" + *name + "\" appears in the \"" +
                               kUnusedChildList +
                               "\" but this is not an optional child according to the RULES "
                               "data.");
    }
    items.addEssential();

    for (const ChildAvail& record : m_childAvail) {
        const std::string& childType = record.getType();
        switch (items.reference(childType, record.isRequired())) {
            case RulesItems::Reference::Unknown:
                throw PhysicsException(prefix + "the object type \"" + childType +
                                       "\", referenced in the PHYSICS dependency data for object "
                                       "type \"" +
                                       m_type + "\", is not defined in RULES.");
            case RulesItems::Reference::Repeated:
                throw PhysicsException(
                    prefix + "the object type \"" + childType +
                    "\", has multiple inconsistent references in the PHYSICS dependency data for "
                    "object type \"" +
                    m_type + "\". Appears in more than one of the child lists.");
            case RulesItems::Reference::EssentialOnly:
                throw PhysicsException(prefix + "the object type \"" + childType +
                                       "\", is optional in the PHYSICS dependency data for object "
                                       "type \"" +
                                       m_type + "\" but is essential in RULES.");
            case RulesItems::Reference::Fine:
                break;
        }
    }

    // An unreferenced child is never an error: it becomes unused.
    Strings notReferenced = items.unreferenced();
    unused.insert(unused.end(), std::make_move_iterator(notReferenced.begin()),
                  std::make_move_iterator(notReferenced.end()));

    for (const std::string* key : {&kCoupledOptionalChildList, &kTreatAsOptionalChildList}) {
        const std::string& list = rawValue(params, *key);
        if (list.empty()) continue;
        for (std::string_view item : sorted(listItemViews(list))) {
            const std::string name(item);
            auto start = [&] {
                return prefix + "in PHYSICS object dependency for type \"" + m_type +
                       "\", the object name \"" + name + "\" referenced in the \"" + *key;
            };
            if (!rules->isValidType(name)) {
                throw PhysicsException(start() +
                                       "\" is not a valid type according to the RULES data.");
            }
            if (!items.isOptional(name)) {
                throw PhysicsException(start() +
                                       "\" is not an optional object according to the RULES data.");
            }
        }
    }
}

void ObjDependDef::verifyCheckedOptionValues(const std::string& key, const std::string& listString,
                                             bool allowStars) const {
    if (listString.empty()) return;
    // Items in written order: the first unknown one is the first unknown distinct name.
    const CheckListViews items(
        CheckedListData{key, listString, kNone, m_type, kOptionCheckHeading});
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string_view name = items.name(i);
        if (allowStars && !name.empty() && name[0] == '*') continue;
        if (!std::binary_search(m_orderedAllowedOptions.begin(), m_orderedAllowedOptions.end(),
                                name, std::less<>())) {
            throw PhysicsException(
                "ObjDependDef::initContextRuleInfo - in the " + kObjectDependency +
                " data for type " + m_type + ", the option value \"" + std::string(name) +
                "\" that appears in the \"" + key + "\" parameter is not recognised.");
        }
    }
}

void ObjDependDef::verifySubsetAllowedOptions(const Views& subset) const {
    // The values not among the options, ascending and each once.
    Views unknownValues;
    for (std::string_view value : subset)
        if (!std::binary_search(m_orderedAllowedOptions.begin(), m_orderedAllowedOptions.end(),
                                value, std::less<>()))
            unknownValues.push_back(value);
    if (unknownValues.empty()) return;
    std::sort(unknownValues.begin(), unknownValues.end());
    Strings unknown;
    for (std::string_view value : unknownValues)
        if (unknown.empty() || unknown.back() != value) unknown.emplace_back(value);
    throw PhysicsException("ObjDependDef::verifySubsetAllowedOptions - in the " +
                           kObjectDependency + " data for type " + m_type +
                           ", the following values in the parameter \"" + kSubsetAllowedOptionList +
                           "\" are not known from the \"" + kOrderedAllowedOptionList +
                           "\": " + StringUtilities::vectorToString(unknown, ','));
}

}  // namespace kel
