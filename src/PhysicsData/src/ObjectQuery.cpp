#include <kel/physicsdata/query/ObjectQuery.h>

#include <tuple>
#include <utility>

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/beta/BetaLoggingController.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/dependency/BoundsData.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/CheckedValue.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/physicsutils/TARNPath.h>

namespace kel {

namespace {

// The text BoundsData gives a side that the RULES leave open, per kind: such a side is
// reported absent rather than as the limit number.
struct OpenBoundTexts {
    std::string lower[2];
    std::string upper[2];

    OpenBoundTexts() {
        const BoundsData::Type kinds[2] = {BoundsData::Integer, BoundsData::Real};
        for (int i = 0; i < 2; ++i) {
            lower[i] = BoundsData("open", kinds[i], {"", "0"}).value().first;
            upper[i] = BoundsData("open", kinds[i], {"0", ""}).value().second;
        }
    }

    std::optional<std::string> side(const std::string& text, const std::string (&open)[2]) const {
        if (text.empty() || text == open[0] || text == open[1]) return std::nullopt;
        return text;
    }
};

const OpenBoundTexts& openBoundTexts() {
    static const OpenBoundTexts texts;
    return texts;
}

}  // namespace

struct ObjectQuery::Impl {
    Impl(const PhysicsData& physics, const ModelTARN& model)
        : physics(physics),
          rules(*physics.getRules()),
          model(model),
          beta(physics.getBetaManager() ? physics.getBetaManager()->getLoggingController()
                                        : nullptr),
          eval(model) {}

    void children(const ObjDependDef& def, const TARNContext& context, ObjectAnswer& answer);
    void parameters(const ObjDependDef& def, const TARNContext& context, ObjectAnswer& answer);
    void values(const TARNContext& context, ObjectAnswer::ParamAnswer& param);
    void rejected(const TARNContext& context, const ParamValueDef& def,
                  const ParamAllowedValues& allowed, ObjectAnswer::ParamAnswer& param);

    // The explanation of the first of the named checks that fails (lookup gives the check
    // of a name, or null), or nothing when all pass.
    template <class Lookup>
    std::optional<ObjectAnswer::Reason> firstFailing(const std::vector<std::string>& names,
                                                     const TARNContext& context, Lookup lookup) {
        for (const std::string& name : names) {
            Check* check = lookup(name);
            ObjectAnswer::Reason why;
            if (check && !check->explain(context, &eval, why)) return why;
        }
        return std::nullopt;
    }

    // Why an item (a child or parameter record) is not available: the context rule value
    // when it does not offer the item, else the first of the record's checks that fails.
    template <class Record, class Lookup>
    std::optional<ObjectAnswer::Reason> unavailable(const ObjectAnswer& answer, bool applicable,
                                                    const std::string& item, const Record& record,
                                                    const TARNContext& context, Lookup lookup) {
        if (!applicable) return contextRuleReason(answer, item);
        return firstFailing(record.getReferencedCheckNames(), context, lookup);
    }

    // An item the object's context rule value does not offer.
    static ObjectAnswer::Reason contextRuleReason(const ObjectAnswer& answer,
                                                  const std::string& item) {
        return {answer.contextRuleParam,
                "Context Rule",
                {{answer.contextRuleParam, answer.contextRuleValue}},
                answer.contextRuleParam + " one of the options offering " + item};
    }

    const PhysicsData& physics;
    const ModelRules& rules;
    const ModelTARN& model;
    BetaLoggingController* beta;
    EvalContext eval;
    bool explain = false;
};

ObjectQuery::ObjectQuery(const PhysicsData& physics, const ModelTARN& model)
    : m_impl(std::make_unique<Impl>(physics, model)) {}

ObjectQuery::~ObjectQuery() = default;

void ObjectQuery::setExplain(bool explain) {
    m_impl->explain = explain;
}

bool ObjectQuery::isExplaining() const {
    return m_impl->explain;
}

EvalContext& ObjectQuery::evalContext() {
    return m_impl->eval;
}

std::optional<ObjectAnswer::Bounds> ObjectQuery::boundSides(
    const std::pair<std::string, std::string>& bounds) {
    const OpenBoundTexts& open = openBoundTexts();
    ObjectAnswer::Bounds sides{open.side(bounds.first, open.lower),
                               open.side(bounds.second, open.upper)};
    if (!sides.lower && !sides.upper) return std::nullopt;
    return sides;
}

ObjectAnswer ObjectQuery::ask(const std::string& objectPath) {
    const TARNContext context(objectPath);
    if (context.getPath().empty() || !m_impl->model.hasObject(context.getFullPath())) {
        throw PhysicsException("ObjectQuery::ask - the model has no object \"" + objectPath + "\"");
    }
    const ObjDependDef* def = m_impl->physics.getObjDependDef(context.getTypePath(), true);

    ObjectAnswer answer;
    answer.object = context.getFullPath();
    answer.type = context.getObjectType();
    const std::string& typePath = context.getTypePath();
    answer.context = typePath.substr(0, typePath.rfind('/'));
    answer.contextRuleParam = m_impl->rules.getContextRuleParam(answer.type);
    if (!answer.contextRuleParam.empty())
        answer.contextRuleValue =
            m_impl->model.getParameterValue(answer.object, answer.contextRuleParam);

    if (m_impl->beta) m_impl->beta->clearMessages();
    m_impl->children(*def, context, answer);
    m_impl->parameters(*def, context, answer);
    return answer;
}

void ObjectQuery::Impl::children(const ObjDependDef& def, const TARNContext& context,
                                 ObjectAnswer& answer) {
    CACursor cursor;
    for (auto [record, applicable] = def.firstChildAvail(cursor, answer.contextRuleValue); record;
         std::tie(record, applicable) = def.nextChildAvail(cursor)) {
        ObjectAnswer::ChildAnswer& child = answer.children.emplace_back();
        child.type = record->getType();
        child.required = record->isRequired();
        child.singleton = record->isSingleton();
        child.coupled = record->isCoupled();
        child.applicable = applicable;
        child.available = applicable && record->evaluate(context, &eval);
        if (record->areNamesRestricted()) {
            child.allowedNames.emplace();
            record->evaluateAllowedNames(context, &eval, *child.allowedNames);
        }
        if (record->anyDefaultNames()) {
            child.defaultNames.emplace();
            record->evaluateDefaultNames(context, &eval, *child.defaultNames);
        }
        if (beta) child.explanations = beta->getObjAvailMessages(child.type);
        child.betaDependent = !child.explanations.empty();
        if (explain && !child.available)
            child.reason = unavailable(answer, applicable, child.type, *record, context,
                                       [&](const std::string& name) {
                                           return physics.getObjAvailCheck(name, child.type, false);
                                       });
    }
}

void ObjectQuery::Impl::parameters(const ObjDependDef& def, const TARNContext& context,
                                   ObjectAnswer& answer) {
    PACursor cursor;
    for (auto [record, applicable] = def.firstParamAvail(cursor); record;
         std::tie(record, applicable) = def.nextParamAvail(cursor, answer.contextRuleValue)) {
        ObjectAnswer::ParamAnswer& param = answer.parameters.emplace_back();
        param.name = record->getName();
        param.required = record->isRequired();
        param.contextRule = record->isContextRule();
        param.applicable = applicable;
        param.available = applicable && record->evaluate(context, &eval);
        if (beta) param.explanations = beta->getParamAvailMessages(param.name);
        param.betaDependent = !param.explanations.empty();
        if (explain && !param.available)
            param.reason = unavailable(
                answer, applicable, param.name, *record, context, [&](const std::string& name) {
                    return physics.getParamAvailCheck(name, param.name, false);
                });
        values(context, param);
    }
}

// The value definition for the object's type path; values are evaluated for available
// parameters only. Without a definition the RULES give the type.
void ObjectQuery::Impl::values(const TARNContext& context, ObjectAnswer::ParamAnswer& param) {
    const ParamValueDef* def = physics.getParamValueDef(context.getTypePath(), param.name, false);
    if (!def) {
        param.type =
            TARNParam::typeStringFromType(rules.getParamType(context.getObjectType(), param.name));
        return;
    }
    param.type = TARNParam::typeStringFromType(def->getType());
    param.quantityType = def->getQuantityType();
    if (!param.available) return;

    const ParamAllowedValues allowed = def->evaluateAllowedValues(&rules, context, &eval);
    if (allowed.isRestricted()) param.allowedValues = allowed.getValues();
    if (allowed.hasSubset()) param.subset = allowed.getSubset();
    param.defaultValue = def->evaluateDefault(&rules, context, &eval, allowed);
    auto [applies, value] = def->evaluateValueOverride(&rules, context, &eval, allowed);
    if (applies) param.override = std::move(value);
    param.bounds = boundSides(def->evaluateBounds(&rules, context, &eval));
    if (explain) rejected(context, *def, allowed, param);
}

// The written allowed values the object does not get, and the defaults and overrides
// written before the one that applies (each is tried in order until one's checks pass).
void ObjectQuery::Impl::rejected(const TARNContext& context, const ParamValueDef& def,
                                 const ParamAllowedValues& allowed,
                                 ObjectAnswer::ParamAnswer& param) {
    if (allowed.isRestricted()) {
        for (const std::string& value : def.getAllAllowedValues()) {
            if (allowed.isAllowed(value, true)) continue;
            auto reason = firstFailing(
                def.getCheckNamesForAllowedValue(value), context, [&](const std::string& name) {
                    return physics.getParamValAvailCheck(name, param.name, value, false);
                });
            if (!reason)
                reason = ObjectAnswer::Reason{"", "RULES", {}, "one of the RULES allowed strings"};
            param.rejected.push_back({"value", value, std::move(*reason)});
        }
    }
    const auto plainCheck = [&](const std::string& name) { return physics.getCheck(name, false); };
    const std::pair<const char*, std::vector<CheckedValue>> lists[] = {
        {"default", def.getCheckedDefaults()}, {"override", def.getCheckedOverrides()}};
    for (const auto& [role, candidates] : lists) {
        for (const CheckedValue& candidate : candidates) {
            auto reason = firstFailing(candidate.checks, context, plainCheck);
            if (!reason) break;
            param.rejected.push_back({role, candidate.value, std::move(*reason)});
        }
    }
}

}  // namespace kel
