#include <kel/physicsdata/query/ModelValidator.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <memory_resource>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <utility>

#include <kel/exception/SourceLocation.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/query/ObjectQuery.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/physicsutils/TARNPath.h>
#include <kel/utilities/FlatTextTable.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

const std::string kRootType = "ROOT";

using Strings = std::vector<std::string>;

bool contains(const Strings& items, const std::string& item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string joined(const Strings& items) {
    return StringUtilities::vectorToString(items, ',');
}

// A number with its units, as a value or a bound is written ("1.5 [m s^-1]").
struct Number {
    double value;
    std::string units;
};

std::optional<Number> readNumber(const std::string& text, bool integer) {
    if (integer) {
        const auto [value, ok] = TARNParam::valueAsInt64(text);
        if (!ok) return std::nullopt;
        return Number{static_cast<double>(value), {}};
    }
    std::string number;
    std::string units;
    const auto [value, ok] = TARNParam::valueAsDouble(text, number, units);
    if (!ok) return std::nullopt;
    return Number{value, units};
}

// The bounds a value is compared with: each side's text as reported, and its number when
// it reads as one.
struct Limits {
    std::optional<std::string> lowerText;
    std::optional<std::string> upperText;
    std::optional<Number> lower;
    std::optional<Number> upper;

    Limits() = default;
    Limits(const std::pair<std::string, std::string>& bounds, bool integer) {
        const std::optional<ObjectAnswer::Bounds> sides = ObjectQuery::boundSides(bounds);
        if (!sides) return;
        lowerText = sides->lower;
        upperText = sides->upper;
        if (lowerText) lower = readNumber(*lowerText, integer);
        if (upperText) upper = readNumber(*upperText, integer);
    }
    bool any() const { return lowerText || upperText; }
};

// What the validator needs of one parameter of one object type path, worked out once per
// run: its value definition (null when the PHYSICS data has none), its type, and its
// bounds when they do not depend on the object.
struct ParamPlan {
    const ParamValueDef* def = nullptr;
    bool integer = false;
    bool numeric = false;
    bool list = false;
    bool logical = false;
    bool restricted = false;
    // The allowed values name no check and no list: they depend on the object's context
    // rule value alone (through the RULES allowed strings), so one evaluation serves every
    // object with that value.
    bool fixedValues = false;
    bool bounded = false;
    bool fixedBounds = false;
    Limits limits;  // when fixedBounds
};

// A record of a definition as one context rule value offers it. `key` is the record's
// parameter name (or child type), copied next to the plan where the plan is kept, so that
// matching a model item reads no record. `first` is the position of the first record of the
// same key: a model item is matched to that one. `plan` is resolved on first use.
template <class Record, class Plan>
struct Offered {
    const Record* record;
    std::string_view key;
    bool applicable;
    std::size_t first;
    Plan* plan = nullptr;
};

struct TypePlan;

struct ParamOffer : Offered<ParamAvail, ParamPlan> {
    std::optional<ParamAllowedValues> allowed;  // of a fixedValues parameter
};
using ChildOffer = Offered<ChildAvail, TypePlan>;

// The records of a definition under one context rule value, in the definition's order,
// with what the validator resolved for them.
struct OptionPlan {
    explicit OptionPlan(std::pmr::memory_resource* memory) : params(memory), children(memory) {}

    std::pmr::vector<ParamOffer> params;
    std::pmr::vector<ChildOffer> children;
};

// What the validator needs of one object type path, worked out once per run. Its
// containers draw on the planner's arena.
struct TypePlan {
    explicit TypePlan(std::pmr::memory_resource* memory) : options(memory), params(memory) {}

    const ObjDependDef* def = nullptr;
    std::string_view ruleParam;  // the definition's own
    // Per context rule value seen (bounded: an unusual value beyond the limit is planned
    // each time it is met); the values are kept in the arena.
    std::pmr::vector<std::pair<std::string_view, OptionPlan>> options;
    // By parameter name; the keys view the names of the definition's records.
    std::pmr::unordered_map<std::string_view, ParamPlan> params;
};

constexpr std::size_t kMaxOptionsPlanned = 32;

template <class Offer>
std::size_t firstOf(const std::pmr::vector<Offer>& offers, std::size_t index) {
    for (std::size_t i = 0; i < index; ++i)
        if (offers[i].key == offers[index].key) return i;
    return index;
}

void planOption(const ObjDependDef& def, const std::string& option, OptionPlan& plan) {
    PACursor params;
    for (auto [record, applicable] = def.firstParamAvail(params); record;
         std::tie(record, applicable) = def.nextParamAvail(params, option)) {
        plan.params.push_back({{record, record->getName(), applicable, 0}, std::nullopt});
        plan.params.back().first = firstOf(plan.params, plan.params.size() - 1);
    }
    CACursor children;
    for (auto [record, applicable] = def.firstChildAvail(children, option); record;
         std::tie(record, applicable) = def.nextChildAvail(children)) {
        plan.children.push_back({record, record->getType(), applicable, 0});
        plan.children.back().first = firstOf(plan.children, plan.children.size() - 1);
    }
}

// What a validator works out once about the PHYSICS data, for every run: the plans of the
// object type paths met so far. They depend on the PhysicsData alone. Plans are never
// dropped before the planner, so their contents live in one arena: planning allocates by
// bumping a pointer, and a planner goes without freeing its plans piece by piece.
struct Planner {
    explicit Planner(const PhysicsData& physics) : physics(physics), rules(*physics.getRules()) {}

    TypePlan& typePlan(const std::string& typePath);
    OptionPlan& optionPlan(TypePlan& plan, const std::string& option);
    // name is a record's own (the plan keeps a view of it).
    ParamPlan& paramPlan(TypePlan& plan, const TARNContext& context, const std::string& name);
    // A copy of text in the arena.
    std::string_view keep(std::string_view text);

    const PhysicsData& physics;
    const ModelRules& rules;
    std::pmr::monotonic_buffer_resource arena;
    std::deque<TypePlan> plans;      // in the order planned
    FlatTextTable<TypePlan*> types;  // by type path
    // For a context rule value beyond the planning limit: on the heap, as it is planned
    // again for every object that has such a value.
    OptionPlan unplanned{std::pmr::new_delete_resource()};
};

// An object still to check, with the plan of its type path.
struct Pending {
    TARNContext context;
    TypePlan* plan;
};

// The checks of one run, appending to the validator's result.
class ObjectChecker {
public:
    ObjectChecker(Planner& plans, const ModelTARN& model, const std::string& file,
                  std::vector<ModelViolation>& out)
        : m_physics(plans.physics),
          m_rules(plans.rules),
          m_model(model),
          m_file(file),
          m_out(out),
          m_eval(model),
          m_plans(plans) {}

    // A violation of the object at path, or of its parameter `param`, located where the
    // model was read from (line 0 when unknown).
    void add(const std::string& code, const std::string& message, const std::string& path,
             const std::string& param = std::string()) {
        const SourceLocation where =
            param.empty() ? m_model.objectLocation(path) : m_model.parameterLocation(path, param);
        m_out.push_back(
            {code, message, path, m_file.empty() ? where.file() : m_file, where.line()});
    }

    // Keeps the context of an object done with for a later child's.
    void recycle(TARNContext&& context) { m_spare.push_back(std::move(context)); }
    TARNContext childContext(const TARNContext& parent, std::string_view type,
                             std::string_view name) {
        if (m_spare.empty()) return TARNContext(parent, type, name);
        TARNContext child = std::move(m_spare.back());
        m_spare.pop_back();
        child.assignChild(parent, type, name);
        return child;
    }
    // The top-level objects, against the RULES' ROOT type.
    void topLevel(std::vector<Pending>& next);
    // Checks the object's parameters and children; appends the children whose content is
    // checked next.
    void object(const TARNContext& context, TypePlan& plan, std::vector<Pending>& next);

private:
    // Availability of a record for the current object, evaluated the first time it matters.
    template <class Offer>
    bool available(const Offer& offer, signed char& state, const TARNContext& context) {
        if (state < 0) state = offer.applicable && offer.record->evaluate(context, &m_eval) ? 1 : 0;
        return state == 1;
    }

    void parameters(const TARNContext& context, TypePlan& type, OptionPlan& plan);
    // `known` keeps the allowed values of a fixedValues parameter under the current
    // context rule value.
    void value(const TARNContext& context, const ParamPlan& plan,
               std::optional<ParamAllowedValues>& known, const std::string& name,
               const std::string& text);
    void children(const TARNContext& context, TypePlan& type, OptionPlan& plan,
                  std::vector<Pending>& next);
    // Reported once, at the second instance.
    void singleton(const std::string& path, const std::string& type, int seen) {
        if (seen == 2)
            add("duplicate-singleton", type + " is a singleton but is present more than once",
                path);
    }

    const PhysicsData& m_physics;
    const ModelRules& m_rules;
    const ModelTARN& m_model;
    const std::string& m_file;
    std::vector<ModelViolation>& m_out;
    EvalContext m_eval;

    Planner& m_plans;
    // The current object's parameters: the first m_paramCount names (their buffers kept
    // from object to object) and the values as the model holds them.
    Strings m_names;
    std::size_t m_paramCount = 0;
    std::vector<const std::string*> m_values;
    std::vector<signed char> m_paramState;
    // Per record of the current object's offers: set on the first of a name when the model
    // sets that parameter.
    std::vector<char> m_present;
    std::vector<signed char> m_childState;
    std::vector<int> m_count;
    std::vector<std::optional<Strings>> m_allowedNames;
    // Contexts of objects done with: a child's context is made in one of them, whose
    // buffers are kept, instead of allocating its paths anew.
    std::vector<TARNContext> m_spare;
};

std::string_view Planner::keep(std::string_view text) {
    char* copy = static_cast<char*>(arena.allocate(std::max<std::size_t>(text.size(), 1), 1));
    std::copy(text.begin(), text.end(), copy);
    return {copy, text.size()};
}

TypePlan& Planner::typePlan(const std::string& typePath) {
    if (TypePlan* const* known = types.find(nullptr, typePath)) return **known;
    TypePlan& plan = plans.emplace_back(&arena);
    types.insert(nullptr, typePath, &plan);
    plan.def = physics.getObjDependDef(typePath, false);
    if (plan.def) {
        const refcnt_ptr<const ObjDependDef::ContextRuleInfo> info = plan.def->getContextRuleInfo();
        if (info) plan.ruleParam = info->contextRuleParam;
    }
    return plan;
}

OptionPlan& Planner::optionPlan(TypePlan& plan, const std::string& option) {
    for (auto& [value, planned] : plan.options)
        if (value == option) return planned;
    if (plan.options.size() < kMaxOptionsPlanned) {
        OptionPlan& planned = plan.options.emplace_back(keep(option), OptionPlan(&arena)).second;
        planOption(*plan.def, option, planned);
        for (ParamOffer& offer : planned.params)
            offer.key = keep(offer.key);
        for (ChildOffer& offer : planned.children)
            offer.key = keep(offer.key);
        return planned;
    }
    unplanned.params.clear();
    unplanned.children.clear();
    planOption(*plan.def, option, unplanned);
    return unplanned;
}

ParamPlan& Planner::paramPlan(TypePlan& type, const TARNContext& context, const std::string& name) {
    auto [it, fresh] = type.params.try_emplace(name);
    ParamPlan& plan = it->second;
    if (!fresh) return plan;
    plan.def = physics.getParamValueDef(context.getTypePath(), name, false);
    const TARNParam::Type kind =
        plan.def ? plan.def->getType() : rules.getParamType(context.getObjectType(), name);
    plan.integer = TARNParam::isIntegerType(kind);
    plan.numeric = plan.integer || TARNParam::isRealType(kind);
    plan.list = TARNParam::isListType(kind);
    plan.logical = TARNParam::isLogicalType(kind);
    plan.restricted = plan.def && plan.def->isRestricted();
    plan.fixedValues = plan.restricted && plan.def->getValueListSourceName().empty() &&
                       plan.def->getSubsetValueListSourceName().empty() &&
                       !plan.def->hasAllowedValueChecks();
    plan.bounded = plan.def && plan.numeric && plan.def->hasBounds();
    // Bounds that do not depend on the object's context rule value are read once.
    plan.fixedBounds = plan.bounded && !plan.def->hasVariableBounds();
    if (plan.fixedBounds)
        plan.limits =
            Limits(plan.def->evaluateBounds(physics.getRules(), context, nullptr), plan.integer);
    return plan;
}

void ObjectChecker::object(const TARNContext& context, TypePlan& plan, std::vector<Pending>& next) {
    m_paramCount = 0;
    m_values.clear();
    const std::string* option = nullptr;
    const auto visit = [&](const std::string& name, const std::string& value) {
        if (m_paramCount == m_names.size())
            m_names.push_back(name);
        else
            m_names[m_paramCount].assign(name);
        ++m_paramCount;
        m_values.push_back(&value);
        if (!option && !plan.ruleParam.empty() && name == plan.ruleParam) option = &value;
    };
    // Passed by reference: a std::function holding the lambda itself would allocate.
    m_model.forEachParameter(context.getFullPath(), std::cref(visit));
    static const std::string none;
    OptionPlan& offers = m_plans.optionPlan(plan, option ? *option : none);
    parameters(context, plan, offers);
    children(context, plan, offers, next);
}

void ObjectChecker::parameters(const TARNContext& context, TypePlan& type, OptionPlan& plan) {
    const std::string& path = context.getFullPath();
    const ObjDependDef& def = *type.def;
    const std::size_t offers = plan.params.size();
    m_paramState.assign(offers, -1);
    m_present.assign(offers, 0);
    // Models mostly list parameters in the order offered: each search starts after the
    // last record found, and a record found stands for the first of its name.
    std::size_t from = 0;
    for (std::size_t i = 0; i < m_paramCount; ++i) {
        const std::string& name = m_names[i];
        std::size_t at = offers;
        for (std::size_t step = 0; step < offers; ++step) {
            const std::size_t k = (from + step) % offers;
            if (plan.params[k].key == name) {
                at = plan.params[k].first;
                from = k + 1;
                m_present[at] = 1;
                break;
            }
        }
        if (at == offers) {
            add("unknown-parameter", def.getType() + " has no parameter " + quoted(name), path,
                name);
        } else if (!available(plan.params[at], m_paramState[at], context)) {
            add("parameter-not-available", "parameter " + quoted(name) + " is not available here",
                path, name);
        } else {
            ParamOffer& offer = plan.params[at];
            if (!offer.plan)
                offer.plan = &m_plans.paramPlan(type, context, offer.record->getName());
            value(context, *offer.plan, offer.allowed, name, *m_values[i]);
        }
    }
    for (std::size_t at = 0; at < offers; ++at) {
        const ParamAvail& record = *plan.params[at].record;
        const std::string& name = record.getName();
        if (!record.isRequired() || m_present[plan.params[at].first] ||
            !available(plan.params[at], m_paramState[at], context))
            continue;
        const ParamValueDef* values = m_plans.paramPlan(type, context, name).def;
        const std::string fallback =
            values ? values->evaluateDefault(m_physics.getRules(), context, &m_eval) : "";
        add("missing-parameter",
            "essential parameter " + quoted(name) + " is not set" +
                (fallback.empty() ? "" : " (default " + fallback + ")"),
            path);
    }
}

void ObjectChecker::value(const TARNContext& context, const ParamPlan& plan,
                          std::optional<ParamAllowedValues>& known, const std::string& name,
                          const std::string& text) {
    const std::string& path = context.getFullPath();
    // Allowed values that depend on the object are asked value by value (only that value's
    // checks run); the whole list is worked out only to report a value it does not hold.
    std::optional<ParamAllowedValues> evaluated;
    std::optional<ParamAllowedValues>& allowed = plan.fixedValues ? known : evaluated;
    const auto evaluateAllowed = [&]() -> const ParamAllowedValues& {
        if (!allowed)
            allowed = plan.def->evaluateAllowedValues(m_physics.getRules(), context, &m_eval);
        return *allowed;
    };
    if (plan.fixedValues) evaluateAllowed();
    const bool restricted = plan.fixedValues ? allowed->isRestricted() : plan.restricted;
    std::optional<Limits> local;
    const Limits* limits = nullptr;
    if (plan.fixedBounds) {
        limits = &plan.limits;
    } else if (plan.bounded) {
        local.emplace(plan.def->evaluateBounds(m_physics.getRules(), context, &m_eval),
                      plan.integer);
        limits = &*local;
    }
    if (limits && !limits->any()) limits = nullptr;
    const bool checksValue = plan.logical || plan.numeric || restricted;
    if (!checksValue) return;

    const auto check = [&](const std::string& item) {
        const auto what = [&] { return "parameter " + quoted(name) + " = " + quoted(item); };
        if (plan.logical && !TARNParam::valueAsBool(item).second) {
            add("wrong-type", what() + " is not a logical value", path, name);
            return;
        }
        if (plan.numeric) {
            const std::optional<Number> number = readNumber(item, plan.integer);
            if (!number) {
                add("wrong-type", what() + " is not " + (plan.integer ? "an integer" : "a number"),
                    path, name);
                return;
            }
            if (limits) {
                // Sides in other units than the value cannot be compared here.
                const auto comparable = [&](const std::optional<Number>& limit) {
                    return limit && (limit->units == number->units || limit->units.empty() ||
                                     number->units.empty());
                };
                if (comparable(limits->lower) && number->value < limits->lower->value)
                    add("out-of-bounds", what() + " is below its lower bound " + *limits->lowerText,
                        path, name);
                if (comparable(limits->upper) && number->value > limits->upper->value)
                    add("out-of-bounds", what() + " is above its upper bound " + *limits->upperText,
                        path, name);
            }
        }
        if (!restricted || (plan.fixedValues ? contains(allowed->getValues(), item)
                                             : plan.def->allowsValue(context, &m_eval, item)))
            return;
        add("value-not-allowed",
            what() + " is not one of its allowed values (" + joined(evaluateAllowed().getValues()) +
                ")",
            path, name);
    };
    if (plan.list) {
        for (const std::string& item : StringUtilities::splitValueNoEmpty(text))
            check(item);
    } else {
        check(text);
    }
}

void ObjectChecker::children(const TARNContext& context, TypePlan& type, OptionPlan& plan,
                             std::vector<Pending>& next) {
    const std::string& parentPath = context.getFullPath();
    const std::size_t offers = plan.children.size();
    m_childState.assign(offers, -1);
    m_count.assign(offers, 0);
    m_allowedNames.assign(offers, std::nullopt);
    const auto visit = [&](std::string_view childType, std::string_view childName) {
        TARNContext child = childContext(context, childType, childName);
        const std::string& childPath = child.getFullPath();
        std::size_t at = 0;
        while (at < offers && plan.children[at].key != childType)
            ++at;
        if (at == offers) {
            add("unknown-child",
                type.def->getType() + " cannot hold a child of type " +
                    quoted(child.getObjectType()),
                childPath);
            return;
        }
        const ChildAvail& record = *plan.children[at].record;
        const std::string& typeName = record.getType();
        if (!available(plan.children[at], m_childState[at], context))
            add("child-not-available",
                "a child of type " + quoted(typeName) + " is not available here", childPath);
        const int seen = ++m_count[at];
        if (record.isSingleton()) singleton(childPath, typeName, seen);
        if (record.areNamesRestricted()) {
            std::optional<Strings>& names = m_allowedNames[at];
            if (!names) record.evaluateAllowedNames(context, &m_eval, names.emplace());
            if (!contains(*names, child.getObjectName())) {
                add("name-not-allowed",
                    "the name " + quoted(child.getObjectName()) + " is not one of the names a " +
                        typeName + " may take here (" + joined(*names) + ")",
                    childPath);
            }
        }
        ChildOffer& offer = plan.children[at];
        if (!offer.plan) offer.plan = &m_plans.typePlan(child.getTypePath());
        TypePlan* childPlan = offer.plan;
        next.push_back({std::move(child), childPlan});
    };
    m_model.forEachChild(parentPath, std::cref(visit));
    for (std::size_t at = 0; at < offers; ++at) {
        const ChildAvail& record = *plan.children[at].record;
        if (record.isRequired() && m_count[plan.children[at].first] == 0 &&
            available(plan.children[at], m_childState[at], context))
            add("missing-child", "essential child " + quoted(record.getType()) + " is missing",
                parentPath);
    }
}

void ObjectChecker::topLevel(std::vector<Pending>& next) {
    std::unordered_map<std::string, int> count;
    for (const std::string& childPath : m_model.getChildObjectPaths("")) {
        const TARNPath path(childPath);
        const std::string& type = path.getLastType();
        if (!m_rules.isValidPath(path)) {
            add("unknown-child",
                "a model cannot hold an object of type " + quoted(type) + " at the top", childPath);
            continue;
        }
        const int seen = ++count[type];
        if (m_rules.isSingleton(type)) singleton(childPath, type, seen);
        TARNContext context(path);
        TypePlan* plan = &m_plans.typePlan(context.getTypePath());
        next.push_back({std::move(context), plan});
    }
    if (m_rules.isValidType(kRootType)) {
        for (const std::string& type : m_rules.getEssentialChildren(kRootType, "")) {
            if (count.find(type) == count.end())
                add("missing-child", "essential object " + quoted(type) + " is missing", "/");
        }
    }
}

}  // namespace

struct ModelValidator::Impl : Planner {
    using Planner::Planner;
};

ModelValidator::ModelValidator(const PhysicsData& physics)
    : m_impl(std::make_unique<Impl>(physics)) {}

ModelValidator::~ModelValidator() = default;

std::vector<ModelViolation> ModelValidator::validate(const ModelTARN& model,
                                                     const std::string& file) const {
    std::vector<ModelViolation> result;
    ObjectChecker checker(*m_impl, model, file, result);

    // Depth first in model order, without recursion: each object's children are pushed in
    // reverse so that the first is checked next.
    std::vector<Pending> pending;
    checker.topLevel(pending);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        Pending object = std::move(pending.back());
        pending.pop_back();
        if (!object.plan->def) {
            checker.add("unknown-child",
                        "the PHYSICS data does not describe an object of type path " +
                            object.context.getTypePath(),
                        object.context.getFullPath());
        } else {
            const std::size_t from = pending.size();
            checker.object(object.context, *object.plan, pending);
            std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(from), pending.end());
        }
        checker.recycle(std::move(object.context));
    }
    return result;
}

}  // namespace kel
