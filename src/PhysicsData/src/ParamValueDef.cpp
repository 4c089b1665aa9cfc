#include <kel/physicsdata/dependency/ParamValueDef.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <new>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>
#include <kel/physicsdata/dependency/CheckedListData.h>
#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>
#include <kel/physicsdata/dependency/ParamDefault.h>
#include <kel/physicsdata/dependency/ParamValueOverride.h>
#include <kel/physicsdata/dependency/RulesAllowedStrings.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/rules/RulesParam.h>
#include <kel/physicsutils/ExtraRules.h>
#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/utilities/StringUtilities.h>

#include "CheckListGroups.h"
#include "CheckListViews.h"
#include "ListItems.h"
#include "ParamRulesFacts.h"
#include "ParamValueKeys.h"

namespace kel {

namespace {

const char* const kQuantityTypeRule = "Quantity Type";

// The entry's "in the the data" wording is the established text of these messages.
const std::string kInTheData = " in the the data for the \"PARAMETER VALUES\" object ";

}  // namespace

const std::string ParamValueDef::s_parameterType = "Parameter Type";
const std::string ParamValueDef::s_orderedAllowedStringList = "Ordered Allowed String List";
const std::string ParamValueDef::s_allowedStringListChecks = "Allowed String List Checks";
const std::string ParamValueDef::s_subsetAllowedStringList = "Subset Allowed String List";
const std::string ParamValueDef::s_unusedAllowedStringList = "Unused Allowed String List";
const std::string ParamValueDef::s_valueListSource = "Value List Source";
const std::string ParamValueDef::s_subsetValueListSource = "Subset Value List Source";
const std::string ParamValueDef::s_availableWithNoAllowedVals = "Available With No Allowed Values";
const std::string ParamValueDef::s_completeListRequired = "Complete List Required";
const std::string ParamValueDef::s_contextDependentQuantity = "__CONTEXT_Dependent__";

ParamValueDef::ParamValueDef(const std::string& name, const std::string& objectType,
                             const ParameterMap& params, const ModelRules* rules,
                             const AvailabilityCheckDataSource* source, bool validateData)
    : ParamValueDef(name, objectType, params, rules, source, validateData, std::nullopt) {}

// Makes the private constructor reachable for std::make_shared.
struct ParamValueDef::Made : ParamValueDef {
    Made(const std::string& name, const std::string& objectType, const ParameterMap& params,
         const ModelRules* rules, const AvailabilityCheckDataSource* source, bool validateData,
         bool isLocal)
        : ParamValueDef(name, objectType, params, rules, source, validateData, isLocal) {}
};

std::shared_ptr<ParamValueDef> ParamValueDef::makeShared(const std::string& name,
                                                         const std::string& objectType,
                                                         const ParameterMap& params,
                                                         const ModelRules* rules,
                                                         const AvailabilityCheckDataSource* source,
                                                         bool validateData, bool isLocal) {
    return std::make_shared<Made>(name, objectType, params, rules, source, validateData, isLocal);
}

ParamValueDef::ParamValueDef(const std::string& name, const std::string& objectType,
                             const ParameterMap& params, const ModelRules* rules,
                             const AvailabilityCheckDataSource* source, bool validateData,
                             std::optional<bool> isLocal)
    : m_name(name),
      m_valueListSource(nullptr),
      m_subsetValueListSource(nullptr),
      m_type(static_cast<std::uint8_t>(TARNParam::Unknown)),
      m_restriction(0),
      m_isLocalRulesParam(false),
      m_hasContextRule(false),
      m_availableWithNoAllowedValues(false),
      m_validateData(validateData),
      m_completeListRequired(false) {
    initialise(objectType, params, rules, source, isLocal);
}

ParamValueDef::~ParamValueDef() = default;

// ---------------------------------------------------------------------------------------
// Initialisation

void ParamValueDef::initialise(const std::string& objectType, const ParameterMap& params,
                               const ModelRules* rules, const AvailabilityCheckDataSource* source,
                               std::optional<bool> isLocal) {
    if (!rules->isValidParamName(m_name)) {
        throw PhysicsException("ParamValueDef::initialise - attempt to create a parameter " +
                               m_name + " which is not defined in RULES.");
    }
    // Every part asks the RULES the same questions: they are asked once, here or where a
    // part first needs the answer.
    ParamRulesFacts facts(rules, objectType, m_name);
    if (isLocal) facts.setLocal(*isLocal);
    m_isLocalRulesParam = facts.isLocal();
    if (m_isLocalRulesParam) m_hasContextRule = !facts.contextRuleParam().empty();

    // The entry's keys, found once for the definition and its parts.
    const ParamValueKeys keys(params);
    const std::string& typeWord = keys.value(ParamValueKeys::ParameterType);
    m_type = static_cast<std::uint8_t>(typeWord.empty() ? facts.paramType()
                                                        : TARNParam::typeFromString(typeWord));

    initDefault(keys, facts, source);
    initOverride(keys, facts, source);

    if (TARNParam::isIntegerType(getType())) {
        initInt(facts);
    } else if (TARNParam::isLogicalType(getType())) {
        initLogical();
    } else if (TARNParam::isRealType(getType())) {
        initReal(facts);
    } else if (TARNParam::isStringType(getType())) {
        initString(keys, facts, source);
    } else {
        throw PhysicsException("ParamValueDef::initialise - Internal error : unknown type");
    }
}

void ParamValueDef::initDefault(const ParamValueKeys& keys, ParamRulesFacts& facts,
                                const AvailabilityCheckDataSource* source) {
    m_default.build(
        [&](void* where) { return ::new (where) ParamDefault(m_name, keys, source, facts); });
}

void ParamValueDef::initOverride(const ParamValueKeys& keys, ParamRulesFacts& facts,
                                 const AvailabilityCheckDataSource* source) {
    // Without a written check list there is no override: nothing is kept.
    const std::string& checkList = keys.value(ParamValueKeys::ValueOverrideCheckList);
    if (checkList.empty()) return;
    m_valueOverride.build([&](void* where) {
        return ::new (where) ParamValueOverride(m_name, checkList, source, facts);
    });
}

void ParamValueDef::initInt(ParamRulesFacts& facts) {
    initBounds(facts);
}

void ParamValueDef::initReal(ParamRulesFacts& facts) {
    setQuantityType(facts);
    initBounds(facts);
}

void ParamValueDef::initLogical() {}

void ParamValueDef::initUnusedAllowedString(const ParamValueKeys& keys) {
    std::vector<std::string> unused =
        listItems(keys.value(ParamValueKeys::UnusedAllowedStringList));
    if (!unused.empty())
        m_unusedAllowedValues = std::make_unique<const std::vector<std::string>>(std::move(unused));
}

void ParamValueDef::initString(const ParamValueKeys& keys, ParamRulesFacts& facts,
                               const AvailabilityCheckDataSource* source) {
    const ModelRules* rules = facts.rules();
    m_restriction = 0;
    initUnusedAllowedString(keys);
    m_rulesAllowedStrings.build(
        [&](void* where) { return ::new (where) RulesAllowedStrings(facts); });

    const std::string& ordered = keys.value(ParamValueKeys::OrderedAllowedStringList);
    if (!ordered.empty()) {
        m_restriction = kFixedList;
        initAllowedString(listItems(ordered), keys, rules, source);
    }
    if (keys.has(ParamValueKeys::SubsetAllowedStringList) && !(m_restriction & kFixedList)) {
        throw PhysicsException("ParamValueDef::initString - parameter \"" +
                               s_subsetAllowedStringList + "\" defined without there being a \"" +
                               s_orderedAllowedStringList + "\" parameter" + kInTheData + m_name);
    }
    const std::string& listSource = keys.value(ParamValueKeys::ValueListSource);
    if (!listSource.empty()) {
        if (m_restriction & kFixedList) {
            throw PhysicsException(
                "ParamValueDef::initString - an allowed string list and a list source are "
                "both defined" +
                kInTheData + m_name);
        }
        m_restriction = kListSource;
        initListSource(listSource, source);
    }
    const std::string& subsetSource = keys.value(ParamValueKeys::SubsetValueListSource);
    if (!subsetSource.empty()) {
        if (m_restriction != kListSource) {
            throw PhysicsException(
                "ParamValueDef::initString - a subset list source has been defined, without a "
                "list source," +
                kInTheData + m_name);
        }
        m_restriction = kListSource | kSubset;
        initSubsetListSource(subsetSource, source);
    }
    if (!m_rulesAllowedStrings->hasAllowedStrings()) {
        m_rulesAllowedStrings.reset();
    } else if (m_restriction == 0 && !m_rulesAllowedStrings->dependsOnOption()) {
        // The ordered strings become the definition's own allowed values. One set of them
        // serves every context, and the values (the strings, or those of them whose checks
        // pass) are all in it: limiting them to it changes nothing, so it is not kept.
        std::vector<std::string> rulesStrings = m_rulesAllowedStrings->takeAllAllowedStrings();
        m_rulesAllowedStrings.reset();
        m_restriction = kFixedList;
        initAllowedString(std::move(rulesStrings), keys, rules, source);
    } else if ((m_restriction & kFixedList) != 0 && !m_rulesAllowedStrings->dependsOnOption()) {
        // A written fixed list under one set of RULES strings for every context: limiting
        // its values to the set is decided here, value by value, and the set is not kept.
        markRulesValues(m_rulesAllowedStrings->getAllAllowedStrings());
        m_rulesAllowedStrings.reset();
    } else {
        // Evaluation needs only the sets: the ordered strings serve, when nothing else
        // restricts the values, as the definition's own allowed values.
        m_rulesAllowedStrings->fillCommon();
        std::vector<std::string> rulesStrings = m_rulesAllowedStrings->takeAllAllowedStrings();
        if (m_restriction == 0) {
            m_restriction = kFixedList;
            initAllowedString(std::move(rulesStrings), keys, rules, source);
        }
    }
    if (m_unusedAllowedValues && (m_restriction & kListSource)) {
        throw PhysicsException("ParamValueDef::initString - parameter \"" +
                               s_unusedAllowedStringList + "\" defined for an " +
                               "incompatible \"PARAMETER VALUES\" object " + m_name);
    }
    const std::string& withNone = keys.value(ParamValueKeys::AvailableWithNoAllowedValues);
    if (m_restriction != 0 && !withNone.empty()) {
        m_availableWithNoAllowedValues = StringUtilities::isTrue(withNone);
    }
    if (keys.has(ParamValueKeys::CompleteListRequired)) {
        if (keys.has(ParamValueKeys::DefaultValueCheckList)) {
            throw PhysicsException(
                "ParamValueDef::initString - parameter \"" + s_completeListRequired +
                "\" defined with there being a \"" + ParamDefault::s_defaultValueCheckList +
                "\" parameter" + kInTheData + m_name +
                ". The two parameters are incompatiable. Please remove one of the parameters.");
        }
        m_completeListRequired =
            StringUtilities::isTrue(keys.value(ParamValueKeys::CompleteListRequired));
    }
}

void ParamValueDef::initAllowedString(std::vector<std::string> values, const ParamValueKeys& keys,
                                      const ModelRules* /*rules*/,
                                      const AvailabilityCheckDataSource* source) {
    static const std::string heading = "Error in parameter allowed string list checks.";
    const std::string empty;
    const std::string& checkText = keys.value(ParamValueKeys::AllowedStringListChecks);
    std::optional<CheckListViews> items;
    std::optional<CheckListGroups> checks;
    if (!checkText.empty()) {
        items.emplace(
            CheckedListData{s_allowedStringListChecks, checkText, m_name, empty, heading});
        checks.emplace(*items);
    }

    // The allowed values in ascending order, built only when some list is checked against
    // them.
    std::vector<std::string_view> allowed;
    // The distinct items not among the allowed values, ascending.
    auto notAllowed = [&](const std::vector<std::string_view>& names) {
        std::vector<std::string> missing;
        if (names.empty()) return missing;
        if (allowed.empty()) {
            allowed.assign(values.begin(), values.end());
            std::sort(allowed.begin(), allowed.end());
        }
        std::vector<std::string_view> unknown;
        for (const std::string_view name : names)
            if (!std::binary_search(allowed.begin(), allowed.end(), name)) unknown.push_back(name);
        std::sort(unknown.begin(), unknown.end());
        for (const std::string_view name : unknown)
            if (missing.empty() || missing.back() != name) missing.emplace_back(name);
        return missing;
    };
    if (checks) {
        std::vector<std::string_view> names;
        names.reserve(checks->size());
        for (std::size_t g = 0; g < checks->size(); ++g)
            names.push_back(checks->name(g));
        auto missing = notAllowed(names);
        if (!missing.empty()) {
            throw PhysicsException("ParamValueDef::initAllowedString - the values \"" +
                                   StringUtilities::vectorToString(missing, ',') + "\" in the \"" +
                                   s_allowedStringListChecks +
                                   "\" parameter of the \"PARAMETER VALUES\" object named \"" +
                                   m_name + "\" do not exist in the \"" +
                                   s_orderedAllowedStringList + "\" parameter of the same object");
        }
    }

    // The subset values, ascending.
    std::vector<std::string_view> subset;
    const std::string& subsetText = keys.value(ParamValueKeys::SubsetAllowedStringList);
    if (!subsetText.empty()) {
        subset = listItemViews(subsetText);
        auto missing = notAllowed(subset);
        if (!missing.empty()) {
            throw PhysicsException("ParamValueDef::initAllowedString - the values \"" +
                                   StringUtilities::vectorToString(missing, ',') + "\" in the \"" +
                                   s_subsetAllowedStringList +
                                   "\" parameter of the \"PARAMETER VALUES\" object named \"" +
                                   m_name + "\" do not exist in the \"" +
                                   s_orderedAllowedStringList + " \"parameter of the same object");
        }
        std::sort(subset.begin(), subset.end());
        m_restriction = kFixedList | kSubset;
    }

    // The views of the allowed values are no longer used: the values move into place.
    m_allowedValues.reserve(values.size());
    for (std::string& written : values) {
        ValueCheck& valueCheck = m_allowedValues.emplace_back();
        valueCheck.value = std::move(written);
        const std::string& value = valueCheck.value;
        if (checks) {
            checks->forEachCheckOf(value, [&](std::string_view checkName) {
                valueCheck.checks.push_back(
                    source->getParamValAvailCheck(std::string(checkName), m_name, value, true));
            });
        }
        valueCheck.inSubset = !subset.empty() && std::binary_search(subset.begin(), subset.end(),
                                                                    std::string_view(value));
    }
}

void ParamValueDef::markRulesValues(const std::vector<std::string>& rulesStrings) {
    std::vector<std::string_view> sorted(rulesStrings.begin(), rulesStrings.end());
    std::sort(sorted.begin(), sorted.end());
    for (ValueCheck& valueCheck : m_allowedValues) {
        valueCheck.inRules =
            std::binary_search(sorted.begin(), sorted.end(), std::string_view(valueCheck.value));
    }
}

void ParamValueDef::initListSource(const std::string& name,
                                   const AvailabilityCheckDataSource* source) {
    m_valueListSource = source->getList(name, true);
}

void ParamValueDef::initSubsetListSource(const std::string& name,
                                         const AvailabilityCheckDataSource* source) {
    m_subsetValueListSource = source->getList(name, true);
}

std::pair<std::string, std::string> ParamValueDef::rulesBounds(const RulesParam& param) {
    auto [hasLower, hasUpper] = param.hasBounds();
    std::pair<std::string, std::string> bounds;
    if (hasLower) bounds.first = param.getLowerBound();
    if (hasUpper) bounds.second = param.getUpperBound();
    return bounds;
}

void ParamValueDef::initBounds(ParamRulesFacts& facts) {
    const BoundsData::Type kind =
        TARNParam::isIntegerType(getType()) ? BoundsData::Integer : BoundsData::Real;
    if (!m_hasContextRule) {
        BoundsData fixed(m_name, kind, rulesBounds(facts.param(facts.validOption())));
        if (fixed.undefined()) return;
        m_fixedBounds.build(
            [&](void* where) { return ::new (where) BoundsData(std::move(fixed)); });
        return;
    }
    // The bounds under each option; equal bounds under every option collapse to fixed
    // bounds, those of the first option in ascending order (equal texts may still differ
    // in which sides were given).
    const auto& options = facts.rules()->getAllowedOptions(facts.objectType());
    if (options.empty()) return;
    std::vector<BoundsData> byOption;
    byOption.reserve(options.size());
    std::size_t least = 0;
    bool allEqual = true;
    for (std::size_t i = 0; i < options.size(); ++i) {
        byOption.emplace_back(m_name, kind, rulesBounds(facts.param(options[i])));
        allEqual = allEqual && byOption[i] == byOption.front();
        if (options[i] < options[least]) least = i;
    }
    if (allEqual) {
        if (byOption[least].undefined()) return;
        m_fixedBounds.build(
            [&](void* where) { return ::new (where) BoundsData(std::move(byOption[least])); });
        return;
    }
    std::map<std::string, BoundsData> kept;
    for (std::size_t i = 0; i < options.size(); ++i)
        kept.emplace(options[i], std::move(byOption[i]));
    m_boundsByOption.build([&](void* where) {
        return ::new (where) std::map<std::string, BoundsData>(std::move(kept));
    });
}

const BoundsData& ParamValueDef::fixedBounds() const {
    static const BoundsData kNone;
    return m_fixedBounds ? *m_fixedBounds : kNone;
}

void ParamValueDef::setQuantityType(ParamRulesFacts& facts) {
    const ExtraRules* extra = facts.rules()->getExtraRules();
    const std::string& objectType = facts.objectType();
    if (!m_hasContextRule) {
        m_quantityType =
            extra->getParamStringRule(objectType, facts.validOption(), m_name, kQuantityTypeRule);
        return;
    }
    for (const auto& option : facts.rules()->getAllowedOptions(objectType)) {
        std::string quantity =
            extra->getParamStringRule(objectType, option, m_name, kQuantityTypeRule);
        if (m_quantityType.empty()) {
            m_quantityType = quantity;
        } else if (quantity.empty()) {
            throw PhysicsException("Quantity Type is missing in RULES for parameter " + m_name +
                                   " in object " + objectType + " in CONTEXT:" + option);
        } else if (quantity != m_quantityType) {
            m_quantityType = s_contextDependentQuantity;
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Evaluation

void ParamValueDef::evaluateCheckList(const TARNContext& context, EvalContext* evalContext,
                                      std::vector<std::string>& values,
                                      std::vector<std::string>& subset) const {
    for (const auto& valueCheck : m_allowedValues) {
        // all_of stops at the first check that fails, as the data's order intends.
        if (!std::all_of(valueCheck.checks.begin(), valueCheck.checks.end(),
                         [&](Check* check) { return check->evaluate(context, evalContext); })) {
            continue;
        }
        if (!valueCheck.inRules) continue;
        values.push_back(valueCheck.value);
        if (valueCheck.inSubset) subset.push_back(valueCheck.value);
    }
}

void ParamValueDef::evaluateCheckList(const TARNContext& context, EvalContext* evalContext,
                                      std::vector<std::string>& values) const {
    std::vector<std::string> unused;
    evaluateCheckList(context, evalContext, values, unused);
}

ParamAllowedValues ParamValueDef::evaluateAllowedValues(const ModelRules* /*rules*/,
                                                        const TARNContext& context,
                                                        EvalContext* evalContext) const {
    const std::set<std::string>* rulesSet = nullptr;
    if (m_rulesAllowedStrings && m_rulesAllowedStrings->hasAllowedStrings()) {
        rulesSet = &m_rulesAllowedStrings->getAllowedStrings(context, evalContext);
    }
    std::vector<std::string> values;
    std::vector<std::string> subset;
    switch (m_restriction) {
        case kListSource:
            values = m_valueListSource->evaluate(context, evalContext);
            return rulesSet ? ParamAllowedValues(std::move(values), *rulesSet)
                            : ParamAllowedValues(std::move(values));
        case kListSource | kSubset:
            subset = m_subsetValueListSource->evaluate(context, evalContext);
            values = m_valueListSource->evaluate(context, evalContext);
            break;
        case kFixedList:
            evaluateCheckList(context, evalContext, values);
            return rulesSet ? ParamAllowedValues(std::move(values), *rulesSet)
                            : ParamAllowedValues(std::move(values));
        case kFixedList | kSubset:
            evaluateCheckList(context, evalContext, values, subset);
            break;
        default:
            return ParamAllowedValues();
    }
    return rulesSet ? ParamAllowedValues(std::move(values), std::move(subset), *rulesSet)
                    : ParamAllowedValues(std::move(values), std::move(subset));
}

bool ParamValueDef::allowsValue(const TARNContext& context, EvalContext* evalContext,
                                const std::string& value) const {
    const bool listed = (m_restriction & ~kSubset) == kListSource;
    if (!listed && (m_restriction & ~kSubset) != kFixedList) return true;
    if (m_rulesAllowedStrings && m_rulesAllowedStrings->hasAllowedStrings()) {
        const std::set<std::string>& rulesSet =
            m_rulesAllowedStrings->getAllowedStrings(context, evalContext);
        if (!rulesSet.empty() && rulesSet.count(value) == 0) return false;
    }
    if (listed) {
        const std::vector<std::string> values = m_valueListSource->evaluate(context, evalContext);
        return std::find(values.begin(), values.end(), value) != values.end();
    }
    return std::any_of(
        m_allowedValues.begin(), m_allowedValues.end(), [&](const ValueCheck& valueCheck) {
            return valueCheck.value == value && valueCheck.inRules &&
                   std::all_of(valueCheck.checks.begin(), valueCheck.checks.end(),
                               [&](Check* check) { return check->evaluate(context, evalContext); });
        });
}

std::pair<std::string, std::string> ParamValueDef::evaluateBounds(const ModelRules* rules,
                                                                  const TARNContext& context,
                                                                  EvalContext* evalContext) const {
    if (!hasVariableBounds()) return fixedBounds().value();
    if (evalContext == nullptr) {
        throw std::invalid_argument("ParamValueDef::evaluateBounds - the bounds of " + m_name +
                                    " depend on the context rule and need an evaluation context.");
    }
    const std::string& ruleParam = rules->getContextRuleParam(context.getObjectType());
    const std::string& option =
        evalContext->getDB().getParameterValue(context.getFullPath(), ruleParam);
    if (option.empty()) return {};
    auto it = m_boundsByOption->find(option);
    if (it == m_boundsByOption->end()) return {};
    return it->second.value();
}

std::string ParamValueDef::evaluateDefault(const ModelRules* rules, const TARNContext& context,
                                           EvalContext* evalContext) const {
    return m_default->evaluate(rules, context, evalContext, m_name);
}

std::string ParamValueDef::evaluateDefault(const ModelRules* rules, const TARNContext& context,
                                           EvalContext* evalContext,
                                           const ParamAllowedValues& allowed) const {
    return m_default->evaluate(rules, context, evalContext, m_name, allowed);
}

std::pair<bool, std::string> ParamValueDef::evaluateValueOverride(const ModelRules* rules,
                                                                  const TARNContext& context,
                                                                  EvalContext* evalContext) const {
    if (!m_valueOverride) return {false, std::string()};
    return m_valueOverride->evaluate(rules, context, evalContext, m_name);
}

std::pair<bool, std::string> ParamValueDef::evaluateValueOverride(
    const ModelRules* rules, const TARNContext& context, EvalContext* evalContext,
    const ParamAllowedValues& allowed) const {
    if (!m_valueOverride) return {false, std::string()};
    return m_valueOverride->evaluate(rules, context, evalContext, m_name, allowed);
}

// ---------------------------------------------------------------------------------------
// Queries

std::vector<CheckedValue> ParamValueDef::getCheckedDefaults() const {
    return m_default->getCheckedValues();
}

std::vector<CheckedValue> ParamValueDef::getCheckedOverrides() const {
    return m_valueOverride ? m_valueOverride->getCheckedValues() : std::vector<CheckedValue>();
}

std::string ParamValueDef::getFixedDefault() const {
    return m_default->getFixedValue();
}
bool ParamValueDef::hasDefault() const {
    return m_default->isDefined();
}
bool ParamValueDef::hasFixedDefault() const {
    return m_default->isFixed();
}
bool ParamValueDef::hasValueOverride() const {
    return m_valueOverride && m_valueOverride->isDefined();
}

const std::vector<std::string>& ParamValueDef::noStrings() {
    static const std::vector<std::string> none;
    return none;
}

const ParamValueDef::ValueCheck* ParamValueDef::findValueCheck(const std::string& value) const {
    for (const auto& valueCheck : m_allowedValues) {
        if (valueCheck.value == value) return &valueCheck;
    }
    return nullptr;
}

std::vector<std::string> ParamValueDef::getAllAllowedValues() const {
    std::vector<std::string> values;
    values.reserve(m_allowedValues.size());
    for (const auto& valueCheck : m_allowedValues)
        values.push_back(valueCheck.value);
    return values;
}

std::vector<std::string> ParamValueDef::getCheckNamesForAllowedValue(
    const std::string& value) const {
    std::vector<std::string> names;
    if (const ValueCheck* valueCheck = findValueCheck(value)) {
        for (const Check* check : valueCheck->checks)
            names.push_back(check->getName());
    }
    return names;
}

bool ParamValueDef::hasAllowedValueChecks() const {
    return std::any_of(m_allowedValues.begin(), m_allowedValues.end(),
                       [](const ValueCheck& valueCheck) { return !valueCheck.checks.empty(); });
}

bool ParamValueDef::isAllowedValueInSubset(const std::string& value) const {
    const ValueCheck* valueCheck = findValueCheck(value);
    return valueCheck && valueCheck->inSubset;
}

std::string ParamValueDef::getValueListSourceName() const {
    return m_valueListSource ? m_valueListSource->getName() : std::string();
}

std::string ParamValueDef::getSubsetValueListSourceName() const {
    return m_subsetValueListSource ? m_subsetValueListSource->getName() : std::string();
}

void ParamValueDef::checksFromValCheckVec(const std::vector<ValueCheck>& valueChecks,
                                          std::set<std::string>& names) {
    for (const auto& valueCheck : valueChecks) {
        for (const Check* check : valueCheck.checks)
            names.insert(check->getName());
    }
}

std::vector<std::string> ParamValueDef::getReferencedCheckNames() const {
    std::set<std::string> names;
    if (m_restriction & kFixedList) checksFromValCheckVec(m_allowedValues, names);
    names.merge(m_default->getReferencedCheckNames());
    if (m_valueOverride) names.merge(m_valueOverride->getReferencedCheckNames());
    return {names.begin(), names.end()};
}

std::vector<std::string> ParamValueDef::getReferencedListNames() const {
    std::set<std::string> names = m_default->getReferencedListNames();
    if (m_valueOverride) names.merge(m_valueOverride->getReferencedListNames());
    if (m_valueListSource) names.insert(m_valueListSource->getName());
    if (m_subsetValueListSource) names.insert(m_subsetValueListSource->getName());
    return {names.begin(), names.end()};
}

namespace {

// The names gathered for one visit, by reference: the first few held in place, so that a
// definition's usual handful costs no allocation.
class NameRefs {
public:
    void add(const std::string& name) {
        if (m_size < m_inline.size()) {
            m_inline[m_size] = &name;
        } else {
            if (m_more.empty()) m_more.assign(m_inline.begin(), m_inline.end());
            m_more.push_back(&name);
        }
        ++m_size;
    }

    // Visits the names ascending, each once.
    void visitSortedDistinct(const ParamValueDef::NameVisitor& visit) {
        if (m_size == 0) return;
        if (m_size == 1) return visit(*m_inline[0]);
        const std::string** begin = m_more.empty() ? m_inline.data() : m_more.data();
        const std::string** end = begin + m_size;
        std::sort(begin, end, [](const std::string* a, const std::string* b) { return *a < *b; });
        const std::string* previous = nullptr;
        for (const std::string** name = begin; name != end; ++name) {
            if (previous && *previous == **name) continue;
            previous = *name;
            visit(**name);
        }
    }

private:
    std::array<const std::string*, 8> m_inline;  // [0, m_size) set
    std::vector<const std::string*> m_more;
    std::size_t m_size = 0;
};

}  // namespace

void ParamValueDef::forEachReferencedCheckName(const NameVisitor& visit) const {
    NameRefs names;
    const auto note = [&names](const std::string& name) { names.add(name); };
    if (m_restriction & kFixedList) {
        for (const auto& valueCheck : m_allowedValues) {
            for (const Check* check : valueCheck.checks)
                names.add(check->getName());
        }
    }
    if (m_default->m_defaultType == ParamDefault::CheckedDefaults && m_default->m_checkedDefaults)
        m_default->m_checkedDefaults->forEachReferencedCheckName(note);
    if (m_valueOverride) m_valueOverride->forEachReferencedCheckName(note);
    names.visitSortedDistinct(visit);
}

void ParamValueDef::forEachReferencedListName(const NameVisitor& visit) const {
    NameRefs names;
    const auto note = [&names](const std::string& name) { names.add(name); };
    if (m_default->m_defaultType == ParamDefault::CheckedDefaults && m_default->m_checkedDefaults)
        m_default->m_checkedDefaults->forEachReferencedListName(note);
    if (m_valueOverride) m_valueOverride->forEachReferencedListName(note);
    if (m_valueListSource) names.add(m_valueListSource->getName());
    if (m_subsetValueListSource) names.add(m_subsetValueListSource->getName());
    names.visitSortedDistinct(visit);
}

bool ParamValueDef::hasFullyConstrainedBounds() const {
    if (!hasBounds()) return false;
    auto bothSides = [](const BoundsData& bounds) {
        auto [lower, upper] = bounds.defined();
        return lower && upper;
    };
    if (!hasVariableBounds()) return bothSides(fixedBounds());
    return std::all_of(m_boundsByOption->begin(), m_boundsByOption->end(),
                       [&bothSides](const auto& entry) { return bothSides(entry.second); });
}

void ParamValueDef::stringToBool(const std::string& text, bool& result) const {
    auto [value, ok] = TARNParam::valueAsBool(text);
    if (!ok) {
        throw PhysicsException(
            "ParamValueDef::stringToBool - invalid conversion string to bool attempted in "
            "\"PARAMETER VALUE\" data for " +
            m_name);
    }
    result = value;
}

}  // namespace kel
