#include <kel/physicsdata/dependency/ObjDependDef.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>
#include <string_view>

#include <kel/exception/KELAssertImpl.h>
#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/CheckListSplitter.h>
#include <kel/physicsdata/dependency/CheckedListData.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/utilities/StringUtilities.h>

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

using Params = std::map<std::string, std::string>;
using Strings = std::vector<std::string>;

const std::string& rawValue(const Params& m, const std::string& key) {
    auto found = m.find(key);
    return found == m.end() ? kNone : found->second;
}

// A scalar key: the whole value with every blank removed.
std::string scalar(const Params& m, const std::string& key) {
    return StringUtilities::removeWhitespace(rawValue(m, key));
}

// A list key: trimmed items in written order, empty items dropped.
Strings listOf(const Params& m, const std::string& key) {
    return StringUtilities::splitValueNoEmpty(rawValue(m, key));
}

// A list key as one text: its items joined with "," and no blanks around them; blanks
// inside an item are kept.
std::string joinedListOf(const Params& m, const std::string& key) {
    return StringUtilities::vectorToString(listOf(m, key), ',');
}

// Check lists are read with their blanks removed, so the names in them are matched to the
// real names they stand for by comparing both without blanks. Two real names that are
// equal that way cannot be told apart: a load error, whose message starts with
// `errorStart` and names both.
class BlankFreeNames {
public:
    BlankFreeNames(const Strings& names, const std::string& errorStart) {
        for (const std::string& name : names) {
            auto [it, inserted] = m_byKey.emplace(StringUtilities::removeWhitespace(name), name);
            if (!inserted && it->second != name) {
                throw PhysicsException(errorStart + "\"" + it->second + "\" and \"" + name +
                                       "\" are the same once blanks are removed, so check lists "
                                       "cannot tell them apart.");
            }
        }
    }

    // The real name that `name` stands for, or `name` itself when none matches.
    const std::string& resolve(const std::string& name) const {
        auto found = m_byKey.find(StringUtilities::removeWhitespace(name));
        return found == m_byKey.end() ? name : found->second;
    }

private:
    std::map<std::string, std::string> m_byKey;
};

// The check list `listString` with every name replaced by the real name it stands for
// ("*" references are kept), written back in its own syntax without blanks around items.
std::string withRealNames(const std::string& key, const std::string& listString,
                          const std::string& type, const BlankFreeNames& names) {
    const std::string heading = "Option value check list data error.";
    const std::string none;
    std::optional<IndexedCheckListSplitter> split;
    try {
        split.emplace(CheckedListData{key, listString, none, type, heading});
    } catch (const PhysicsException&) {
        return listString;  // malformed: reported where the list is used, as written
    }
    const IndexedCheckListSplitter& items = *split;
    Strings entries;
    for (std::size_t i = 0; i < items.getNumberOfNames(); ++i) {
        const std::string& name = items.getName(i);
        entries.push_back(!name.empty() && name[0] == '*' ? name : names.resolve(name));
        const Strings& checks = items.getChecks(i);
        if (checks.size() == 1) {
            entries.push_back(checks.front());
        } else {
            // Appended piece by piece: a literal in front of the joined text gives GCC 12 a
            // false -Wrestrict in optimised builds.
            std::string group(1, '(');
            group += StringUtilities::vectorToString(checks, ',');
            group += ')';
            entries.push_back(std::move(group));
        }
    }
    return StringUtilities::vectorToString(entries, ',');
}

Strings sorted(Strings items) {
    std::sort(items.begin(), items.end());
    return items;
}

bool sortedContains(const Strings& items, const std::string& item) {
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

// Whether two different record names are equal once blanks are removed (what
// BlankFreeNames reports), found without copying the names.
template <class Record>
bool namesClash(const std::vector<std::unique_ptr<Record>>& records) {
    std::vector<const std::string*> names;
    names.reserve(records.size());
    for (const auto& record : records)
        names.push_back(&nameOfRecord(*record));
    std::sort(names.begin(), names.end(), [](const std::string* a, const std::string* b) {
        return compareWithoutBlanks(*a, *b) < 0;
    });
    for (std::size_t i = 1; i < names.size(); ++i)
        if (compareWithoutBlanks(*names[i - 1], *names[i]) == 0 && *names[i - 1] != *names[i])
            return true;
    return false;
}

// The first record called `name`, or null.
template <class Record, class Name>
Record* findRecord(const std::vector<std::unique_ptr<Record>>& records, const std::string& name,
                   Name nameOf) {
    for (const auto& record : records) {
        if (nameOf(*record) == name) return record.get();
    }
    return nullptr;
}

// True when the first record, in order, called `a` or `b` is called `a`.
template <class Record, class Name>
bool comesFirst(const std::vector<std::unique_ptr<Record>>& records, const std::string& a,
                const std::string& b, Name nameOf) {
    for (const auto& record : records) {
        if (nameOf(*record) == a) return true;
        if (nameOf(*record) == b) return false;
    }
    return false;
}

// One bit per context rule selector: all set when `allowed` holds with no option, else bit
// i set when it holds for options[i - 1]. Empty when it holds under no option at all.
template <class Allowed>
std::vector<bool> optionMask(const Strings& options, Allowed allowed) {
    std::vector<bool> mask(options.size() + 1, false);
    if (allowed(std::string())) {
        mask.assign(mask.size(), true);
        return mask;
    }
    bool any = false;
    for (std::size_t i = 1; i < mask.size(); ++i) {
        mask[i] = allowed(options[i - 1]);
        any = any || mask[i];
    }
    if (!any) mask.clear();
    return mask;
}

// The names of the records that pass `keep`, in record order.
template <class Record, class Name, class Keep>
Strings namesOf(const std::vector<std::unique_ptr<Record>>& records, Name name, Keep keep) {
    Strings names;
    names.reserve(records.size());
    for (const auto& record : records) {
        if (keep(*record)) names.push_back(name(*record));
    }
    return names;
}

// Record name to the non-empty result of `names` for that record; the first record of a
// name wins.
template <class Record, class Name, class Names>
std::map<std::string, Strings> namesByRecord(const std::vector<std::unique_ptr<Record>>& records,
                                             Name name, Names names) {
    std::map<std::string, Strings> result;
    for (const auto& record : records) {
        Strings found = names(*record);
        if (!found.empty()) result.emplace(name(*record), std::move(found));
    }
    return result;
}

}  // namespace

ObjDependDef::ObjDependDef(const std::string& type, const Params& params, const ModelRules* rules,
                           const AvailabilityCheckDataSource* source, bool validate)
    : m_type(type), m_validate(validate) {
    initialise(params, rules, source);
}

ObjDependDef::~ObjDependDef() = default;

// ---- construction ----------------------------------------------------------------------

void ObjDependDef::initialise(const Params& params, const ModelRules* rules,
                              const AvailabilityCheckDataSource* source) {
    const std::optional<Params> accepting = initAcceptChildren(params, rules);
    const Params& m = accepting ? *accepting : params;
    initContextRuleInfo(m, rules);

    initParamAvail(m, rules, true);
    initParamAvail(m, rules, false);
    initParamAvailChecks(m, rules, source);
    setRelaxedValidationParams(m);
    initParamUnused(m);
    if (m_validate) {
        Strings unused;
        verifyParamAvail(m, rules, unused);
        m_unusedParameters.insert(m_unusedParameters.end(), unused.begin(), unused.end());
    }

    initChildAvail(m, rules, true);
    initChildAvail(m, rules, false);
    initChildAvailChecks(m, rules, source);
    initChildAvailNames(m, rules, source);
    initChildUnused(m);
    initDefaultChildNameList(m, rules, source);
    if (m_validate) {
        Strings unused;
        verifyChildAvail(m, rules, unused);
        m_unusedChildren.insert(m_unusedChildren.end(), unused.begin(), unused.end());
    }
}

std::optional<ObjDependDef::Params> ObjDependDef::initAcceptChildren(
    const Params& params, const ModelRules* rules) const {
    const std::string accept = scalar(params, kAcceptChildren);
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

void ObjDependDef::initContextRuleInfo(const Params& m, const ModelRules* rules) {
    const std::string& crp = rules->getContextRuleParam(m_type);
    if (crp.empty()) return;
    const Strings& ruleOptions = rules->getAllowedOptions(m_type);

    // The option names of the scalar keys lost their blanks: each stands for the RULES
    // option that is equal without blanks, and is passed on as that option.
    std::optional<BlankFreeNames> optionNames;
    auto realOptions = [&]() -> const BlankFreeNames& {
        if (!optionNames) {
            optionNames.emplace(ruleOptions, "ObjDependDef::initContextRuleInfo - in the " +
                                                 kObjectDependency + " data for type " + m_type +
                                                 ", the RULES options ");
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

    Strings available = sorted(ruleOptions);
    Strings ordered = processOptList(m, kOrderedAllowedOptionList, available);
    m_unusedAllowedOptions = processOptList(m, kUnusedAllowedOptionList, available);
    if (ordered.empty()) {
        // Data that lists no options covers every RULES option its unused list leaves, in
        // RULES order, wherever the type sits in the model.
        for (const std::string& option : ruleOptions) {
            if (sortedContains(available, option)) ordered.push_back(option);
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
            for (const std::string& option : available)
                message += "\"" + option + "\", ";
            message += " and a partial " + kUnusedAllowedOptionList +
                       " exists. Please complete the lists or remove the " +
                       kUnusedAllowedOptionList;
            throw PhysicsException(message);
        }
        m_unusedAllowedOptions = available;
    }

    info->subsetAllowedOptionList = joinedListOf(m, kSubsetAllowedOptionList);

    if (m_validate) {
        verifyCheckedOptionValues(kAllowedOptionCheckList, info->allowedOptionCheckList, false);
        if (info->defaultKind == ContextRuleInfo::CHECKED_DEFAULT) {
            verifyCheckedOptionValues(kDefaultOptionCheckList, info->defaultValue, true);
        }
        verifyCheckedOptionValues(kOverrideOptionCheckList, info->overrideOptionCheckList, true);
        verifySubsetAllowedOptions(listOf(m, kSubsetAllowedOptionList));
    }
    m_contextRuleInfo = std::move(info);
}

ObjDependDef::Strings ObjDependDef::processOptList(const Params& m, const std::string& key,
                                                   Strings& available) const {
    Strings entries = listOf(m, key);
    for (const std::string& entry : entries) {
        auto found = std::lower_bound(available.begin(), available.end(), entry);
        if (found == available.end() || *found != entry) {
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

void ObjDependDef::initParamAvail(const Params& m, const ModelRules* rules, bool required) {
    const Strings list =
        listOf(m, required ? kOrderedRequiredParameterList : kOrderedOptionalParameterList);
    if (!list.empty()) initParamReqOrOpt(list, rules, required);
}

void ObjDependDef::initParamReqOrOpt(const Strings& list, const ModelRules* rules, bool required) {
    const std::string& crp = rules->getContextRuleParam(m_type);
    bool contextRuleTaken = false;
    for (const std::string& name : list) {
        const bool isContextRule = !contextRuleTaken && !crp.empty() && name == crp;
        contextRuleTaken = contextRuleTaken || isContextRule;
        std::unique_ptr<ParamAvail> record(new ParamAvail(name, required, isContextRule));
        record->setApplicableOptions(makeParamMask(name, rules));
        m_paramAvail.push_back(std::move(record));
    }
}

void ObjDependDef::initParamAvailChecks(const Params& m, const ModelRules*,
                                        const AvailabilityCheckDataSource* source) {
    // Names that clash without their blanks are an error even without a check list.
    const std::string checkList = scalar(m, kParameterCheckList);
    if (checkList.empty() && !namesClash(m_paramAvail)) return;
    const BlankFreeNames names(getOrderedParamNames(),
                               "ObjDependDef::initParamAvailChecks - in data for object type " +
                                   m_type + ", the parameters ");
    if (checkList.empty()) return;
    const CheckListSplitter splitter(
        CheckedListData{kParameterCheckList, checkList, kNone, m_type, kParamCheckHeading});
    for (const std::string& written : splitter.getNamesWithChecks()) {
        const std::string& name = names.resolve(written);
        ParamAvail* record = findParamAvail(name);
        for (const std::string& check : splitter.getChecksForName(written)) {
            record->addAvailCheck(sourceFor(source, m_type, kParameterCheckList)
                                      .getParamAvailCheck(check, name, true));
        }
    }
}

void ObjDependDef::setRelaxedValidationParams(const Params& m) {
    for (const std::string& name : listOf(m, kRelaxedValidationParameterList)) {
        findParamAvail(name)->setRelaxedValidation();
    }
}

void ObjDependDef::initParamUnused(const Params& m) {
    m_unusedParameters = listOf(m, kUnusedParameterList);
}

void ObjDependDef::initChildAvail(const Params& m, const ModelRules* rules, bool required) {
    const Strings list =
        listOf(m, required ? kOrderedRequiredChildList : kOrderedOptionalChildList);
    if (!list.empty()) initChildReqOrOpt(m, list, rules, required);
}

void ObjDependDef::initChildReqOrOpt(const Params& m, const Strings& list, const ModelRules* rules,
                                     bool required) {
    const Strings coupledTypes = extractCoupledTypes(m);
    const Strings treatedTypes = extractTreatedAsOptionalTypes(m);
    const Strings relaxedTypes = sorted(listOf(m, kRelaxedValidationChildList));
    for (const std::string& childType : list) {
        const bool singleton = rules->isSingleton(childType);
        const bool isRequired = required && !sortedContains(treatedTypes, childType);
        const bool coupled = isRequired || sortedContains(coupledTypes, childType);
        const bool relaxed = sortedContains(relaxedTypes, childType);
        std::unique_ptr<ChildAvail> record(
            new ChildAvail(childType, singleton, isRequired, coupled, relaxed));
        record->setApplicableOptions(makeChildMask(childType, rules));
        m_childAvail.push_back(std::move(record));
    }
}

void ObjDependDef::initChildAvailChecks(const Params& m, const ModelRules*,
                                        const AvailabilityCheckDataSource* source) {
    const std::string checkList = scalar(m, kChildCheckList);
    if (checkList.empty() && !namesClash(m_childAvail)) return;
    const BlankFreeNames types(getOrderedChildTypes(),
                               "ObjDependDef::initChildAvailChecks - in data for object type \"" +
                                   m_type + "\", the child objects ");
    if (checkList.empty()) return;
    const CheckListSplitter splitter(
        CheckedListData{kChildCheckList, checkList, kNone, m_type, kChildCheckHeading});
    for (const std::string& written : splitter.getNamesWithChecks()) {
        const std::string& childType = types.resolve(written);
        ChildAvail* record = findChildAvail(childType);
        if (record == nullptr) {
            throw PhysicsException(
                "ObjDependDef::initChildAvailChecks - in data for object type \"" + m_type +
                "\", the child object " + childType +
                " referenced in the check list does not exist in the "
                "'ordered' lists");
        }
        for (const std::string& check : splitter.getChecksForName(written)) {
            record->addAvailCheck(sourceFor(source, m_type, kChildCheckList)
                                      .getObjAvailCheck(check, childType, true));
        }
    }
}

void ObjDependDef::initChildAvailNames(const Params& m, const ModelRules*,
                                       const AvailabilityCheckDataSource* source) {
    applyChildNameList(m, kChildNameList, source, false);
}

void ObjDependDef::initDefaultChildNameList(const Params& m, const ModelRules*,
                                            const AvailabilityCheckDataSource* source) {
    applyChildNameList(m, kDefaultChildNameList, source, true);
}

void ObjDependDef::applyChildNameList(const Params& m, const std::string& key,
                                      const AvailabilityCheckDataSource* source,
                                      bool defaultNames) {
    const Strings pairs = listOf(m, key);
    if (pairs.empty()) return;
    const std::string prefix = "ObjDependDef::initChildAvailNameList - in ";
    if (pairs.size() % 2 != 0) {
        throw PhysicsException(prefix + "the data for object type " + m_type +
                               ", there are an odd number of values in the list " + key + ".");
    }
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        const std::string& childType = pairs[i];
        const std::string& listName = pairs[i + 1];
        ChildAvail* record = findChildAvail(childType);
        const std::string where =
            "data for object type \"" + m_type + "\", the child object " + childType;
        if (record == nullptr) {
            throw PhysicsException(prefix + where +
                                   " referenced in the name list does not exist in the 'ordered' "
                                   "lists");
        }
        if (record->isSingleton()) {
            throw PhysicsException(prefix + where + " has a \"" + key +
                                   "\" parameter despite being a singleton object.");
        }
        if (defaultNames) {
            const std::string defaultPrefix = "ObjDependDef::initDefaultChildNameList - in ";
            if (record->areNamesRestricted()) {
                throw PhysicsException(defaultPrefix + where +
                                       " referenced in the check list has a restricted name.");
            }
            if (!record->isRequired()) {
                throw PhysicsException(defaultPrefix + where +
                                       " referenced in the check list is optional and  must be "
                                       "a required object");
            }
            record->setDefaultNameList(sourceFor(source, m_type, key).getList(listName, true));
        } else {
            record->setAllowedNameList(sourceFor(source, m_type, key).getList(listName, true));
        }
    }
}

void ObjDependDef::initChildUnused(const Params& m) {
    m_unusedChildren = listOf(m, kUnusedChildList);
}

ObjDependDef::Strings ObjDependDef::extractCoupledTypes(const Params& m) const {
    return sorted(listOf(m, kCoupledOptionalChildList));
}

ObjDependDef::Strings ObjDependDef::extractTreatedAsOptionalTypes(const Params& m) const {
    return sorted(listOf(m, kTreatAsOptionalChildList));
}

std::vector<bool> ObjDependDef::makeParamMask(const std::string& name,
                                              const ModelRules* rules) const {
    std::vector<bool> mask = optionMask(m_orderedAllowedOptions, [&](const std::string& option) {
        return rules->isAllowedParam(m_type, name, option);
    });
    if (mask.empty()) {
        throw PhysicsException("ObjDependDef::makeParamMask - Internal error: the parameter " +
                               name + " in object " + m_type +
                               " is not allowed in any RULES CONTEXT!");
    }
    return mask;
}

std::vector<bool> ObjDependDef::makeChildMask(const std::string& childType,
                                              const ModelRules* rules) const {
    std::vector<bool> mask = optionMask(m_orderedAllowedOptions, [&](const std::string& option) {
        return rules->isAllowedChild(m_type, childType, option);
    });
    if (mask.empty()) {
        throw PhysicsException("ObjDependDef::makeChildMask - Internal error: the child object " +
                               childType + " in object \"" + m_type +
                               "\" is not allowed in any RULES CONTEXT!");
    }
    return mask;
}

ParamAvail* ObjDependDef::findParamAvail(const std::string& name) const {
    if (ParamAvail* record = findRecord(m_paramAvail, name, paramName)) return record;
    throw PhysicsException("ObjDependDef::findParamAvail - in data for object type " + m_type +
                           ", the referenced parameter " + name +
                           " does not exist in the 'ordered' lists");
}

ChildAvail* ObjDependDef::findChildAvail(const std::string& childType) const {
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
    const ChildAvail* record = m_childAvail[cursor.m_pos++].get();
    return {record, record->matchOption(cursor.m_selector)};
}

ObjDependDef::ParamResult ObjDependDef::firstParamAvail(PACursor& cursor) const {
    cursor = PACursor(this);
    if (m_paramAvail.empty()) return {nullptr, false};
    cursor.m_pos = 1;
    return {m_paramAvail.front().get(), true};
}

ObjDependDef::ParamResult ObjDependDef::nextParamAvail(PACursor& cursor,
                                                       const std::string& contextRuleValue) const {
    KEL_ASSERT_AT(cursor.m_def == this, kSourceFile, __LINE__);
    if (cursor.m_def != this) return {nullptr, false};
    if (!contextRuleValue.empty()) cursor.m_selector = getContextRuleSelector(contextRuleValue);
    if (cursor.m_pos >= m_paramAvail.size()) return {nullptr, false};
    const ParamAvail* record = m_paramAvail[cursor.m_pos++].get();
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

// ---- verification against RULES -------------------------------------------------------

namespace {

// The RULES items of a type for the verification: essential and optional items over the
// covered options, and the table of items (optional and the type's other items first,
// essential ones added later) with whether the dependency data has referenced them.
class RulesItems {
public:
    enum class Reference { Unknown, Repeated, EssentialOnly, Fine };

    RulesItems(Strings essentialItems, Strings optionalItems, Strings allItems)
        : m_essential(sorted(std::move(essentialItems))),
          m_optional(sorted(std::move(optionalItems))),
          m_all(sorted(std::move(allItems))) {
        for (const Strings* list : {&m_essential, &m_optional, &m_all})
            for (const std::string& name : *list)
                m_entries.push_back({&name, false, false});
        std::sort(m_entries.begin(), m_entries.end(),
                  [](const Entry& a, const Entry& b) { return *a.name < *b.name; });
        m_entries.erase(
            std::unique(m_entries.begin(), m_entries.end(),
                        [](const Entry& a, const Entry& b) { return *a.name == *b.name; }),
            m_entries.end());
        // Optional items and the type's other items are in the table from the start.
        for (Entry& entry : m_entries)
            entry.inTable = isOptional(*entry.name) || !sortedContains(m_essential, *entry.name);
    }

    bool isOptional(const std::string& name) const { return sortedContains(m_optional, name); }

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
        return required || isOptional(name) ? Reference::Fine : Reference::EssentialOnly;
    }

    // The items not referenced, in ascending order.
    Strings unreferenced() const {
        Strings names;
        for (const Entry& entry : m_entries)
            if (entry.inTable && !entry.referenced) names.push_back(*entry.name);
        return names;
    }

private:
    struct Entry {
        const std::string* name;  // into the lists below
        bool inTable;
        bool referenced;
    };

    // The table's entry of name, or null when the table does not hold it (yet).
    Entry* find(const std::string& name) {
        auto found = std::lower_bound(
            m_entries.begin(), m_entries.end(), name,
            [](const Entry& entry, const std::string& key) { return *entry.name < key; });
        return found != m_entries.end() && *found->name == name && found->inTable ? &*found
                                                                                  : nullptr;
    }

    Strings m_essential;
    Strings m_optional;
    Strings m_all;
    std::vector<Entry> m_entries;  // every name of the three lists, ascending, once
};

}  // namespace

void ObjDependDef::verifyParamAvail(const Params&, const ModelRules* rules, Strings& unused) const {
    const std::string prefix = "ObjDependDef::verifyParamAvail - ";
    RulesItems items(rules->getEssentialParams(m_type, m_orderedAllowedOptions),
                     rules->getOptionalParams(m_type, m_orderedAllowedOptions),
                     rules->getParamsAll(m_type));

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
    for (const auto& record : m_paramAvail) {
        const std::string& name = record->getName();
        switch (items.reference(name, record->isRequired())) {
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
                if (!record->matchOption(i)) {
                    throw PhysicsException(
                        prefix + "the parameter \"" + name +
                        "\" appears before the context rule parameter in the PHYSICS "
                        "dependency data for object type \"" +
                        m_type + "\" but depends on the value of the context rule parameter!");
                }
            }
            contextRuleSeen = record->isContextRule();
        }
    }

    // Data with an unused list must account for every RULES parameter; without one, the
    // parameters it does not mention become unused.
    const Strings notReferenced = items.unreferenced();
    if (!notReferenced.empty() && !m_unusedParameters.empty()) {
        throw PhysicsException(prefix + "the parameter \"" + notReferenced.front() +
                               "\" is defined for object type \"" + m_type +
                               "\" in RULES but is not referenced in the PHYSICS dependency "
                               "data for the type.");
    }
    unused.insert(unused.end(), notReferenced.begin(), notReferenced.end());
}

void ObjDependDef::verifyChildAvail(const Params& params, const ModelRules* rules,
                                    Strings& unused) const {
    const std::string prefix = "ObjDependDef::verifyChildAvail - ";
    RulesItems items(rules->getEssentialChildren(m_type, m_orderedAllowedOptions),
                     rules->getOptionalChildren(m_type, m_orderedAllowedOptions),
                     rules->getChildrenAll(m_type));

    if (const std::string* name = items.markUnused(m_unusedChildren)) {
        throw PhysicsException(prefix + "in PHYSICS object dependency for type \"" + m_type +
                               "\", the child object \"" + *name + "\" appears in the \"" +
                               kUnusedChildList +
                               "\" but this is not an optional child according to the RULES "
                               "data.");
    }
    items.addEssential();

    for (const auto& record : m_childAvail) {
        const std::string& childType = record->getType();
        switch (items.reference(childType, record->isRequired())) {
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
    const Strings notReferenced = items.unreferenced();
    unused.insert(unused.end(), notReferenced.begin(), notReferenced.end());

    for (const std::string* key : {&kCoupledOptionalChildList, &kTreatAsOptionalChildList}) {
        for (const std::string& name : sorted(listOf(params, *key))) {
            const std::string start = prefix + "in PHYSICS object dependency for type \"" + m_type +
                                      "\", the object name \"" + name + "\" referenced in the \"" +
                                      *key;
            if (!rules->isValidType(name)) {
                throw PhysicsException(start +
                                       "\" is not a valid type according to the RULES data.");
            }
            if (!items.isOptional(name)) {
                throw PhysicsException(start +
                                       "\" is not an optional object according to the RULES data.");
            }
        }
    }
}

void ObjDependDef::verifyCheckedOptionValues(const std::string& key, const std::string& listString,
                                             bool allowStars) const {
    if (listString.empty()) return;
    const CheckListSplitter splitter(
        CheckedListData{key, listString, kNone, m_type, kOptionCheckHeading});
    for (const std::string& name : splitter.getNamesWithChecks()) {
        if (allowStars && !name.empty() && name[0] == '*') continue;
        if (!sortedContains(m_orderedAllowedOptions, name)) {
            throw PhysicsException("ObjDependDef::initContextRuleInfo - in the " +
                                   kObjectDependency + " data for type " + m_type +
                                   ", the option value \"" + name + "\" that appears in the \"" +
                                   key + "\" parameter is not recognised.");
        }
    }
}

void ObjDependDef::verifySubsetAllowedOptions(const Strings& subset) const {
    const std::set<std::string> values(subset.begin(), subset.end());
    Strings unknown;
    std::set_difference(values.begin(), values.end(), m_orderedAllowedOptions.begin(),
                        m_orderedAllowedOptions.end(), std::back_inserter(unknown));
    if (unknown.empty()) return;
    throw PhysicsException("ObjDependDef::verifySubsetAllowedOptions - in the " +
                           kObjectDependency + " data for type " + m_type +
                           ", the following values in the parameter \"" + kSubsetAllowedOptionList +
                           "\" are not known from the \"" + kOrderedAllowedOptionList +
                           "\": " + StringUtilities::vectorToString(unknown, ','));
}

}  // namespace kel
