#include <kel/physicsdata/query/ModelValidator.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <tuple>

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

// What the checks of one object need of its definition, evaluated only as far as asked:
// a record's availability is evaluated the first time it matters, and values, bounds and
// names only for what the model holds.
template <class Record>
struct Offer {
    const Record* record;
    bool applicable;
    int available = -1;  // -1: not evaluated yet
};

// The checks of one object, appending to the validator's result.
class ObjectChecker {
public:
    ObjectChecker(const PhysicsData& physics, const ModelTARN& model, const std::string& file,
                  std::vector<ModelViolation>& out)
        : m_physics(physics),
          m_rules(*physics.getRules()),
          m_model(model),
          m_file(file),
          m_out(out),
          m_eval(model) {}

    // A violation of the object at path, or of its parameter `param`, located where the
    // model was read from (line 0 when unknown).
    void add(const std::string& code, const std::string& message, const std::string& path,
             const std::string& param = std::string()) {
        const SourceLocation where =
            param.empty() ? m_model.objectLocation(path) : m_model.parameterLocation(path, param);
        m_out.push_back(
            {code, message, path, m_file.empty() ? where.file() : m_file, where.line()});
    }

    // Checks the object's parameters and children; returns the children whose content is
    // checked next.
    std::vector<TARNContext> object(const TARNContext& context, const ObjDependDef& def);
    // The top-level objects, against the RULES' ROOT type.
    std::vector<TARNContext> topLevel();

private:
    template <class Record>
    bool available(Offer<Record>& offer, const TARNContext& context) {
        if (offer.available < 0)
            offer.available = offer.applicable && offer.record->evaluate(context, &m_eval) ? 1 : 0;
        return offer.available == 1;
    }
    template <class Record, class Name>
    static Offer<Record>* find(std::vector<Offer<Record>>& offers, const std::string& name,
                               Name nameOf) {
        for (auto& offer : offers)
            if (nameOf(*offer.record) == name) return &offer;
        return nullptr;
    }

    void parameters(const TARNContext& context, const ObjDependDef& def, const std::string& option);
    void value(const TARNContext& context, const std::string& name, const std::string& text);
    std::vector<TARNContext> children(const TARNContext& context, const ObjDependDef& def,
                                      const std::string& option);
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
};

std::vector<TARNContext> ObjectChecker::object(const TARNContext& context,
                                               const ObjDependDef& def) {
    const std::string& path = context.getFullPath();
    const std::string& ruleParam = m_rules.getContextRuleParam(def.getType());
    const std::string option =
        ruleParam.empty() ? std::string() : m_model.getParameterValue(path, ruleParam);
    parameters(context, def, option);
    return children(context, def, option);
}

void ObjectChecker::parameters(const TARNContext& context, const ObjDependDef& def,
                               const std::string& option) {
    const std::string& path = context.getFullPath();
    std::vector<Offer<ParamAvail>> offers;
    PACursor cursor;
    for (auto [record, applicable] = def.firstParamAvail(cursor); record;
         std::tie(record, applicable) = def.nextParamAvail(cursor, option))
        offers.push_back({record, applicable});
    const auto nameOf = [](const ParamAvail& record) -> const std::string& {
        return record.getName();
    };

    const Strings present = m_model.getParameterNames(path);
    for (const std::string& name : present) {
        Offer<ParamAvail>* offer = find(offers, name, nameOf);
        if (!offer) {
            add("unknown-parameter", def.getType() + " has no parameter " + quoted(name), path,
                name);
        } else if (!available(*offer, context)) {
            add("parameter-not-available", "parameter " + quoted(name) + " is not available here",
                path, name);
        } else {
            value(context, name, m_model.getParameterValue(path, name));
        }
    }
    for (auto& offer : offers) {
        const std::string& name = offer.record->getName();
        if (!offer.record->isRequired() || contains(present, name) || !available(offer, context))
            continue;
        const ParamValueDef* values =
            m_physics.getParamValueDef(context.getTypePath(), name, false);
        const std::string fallback =
            values ? values->evaluateDefault(m_physics.getRules(), context, &m_eval) : "";
        add("missing-parameter",
            "essential parameter " + quoted(name) + " is not set" +
                (fallback.empty() ? "" : " (default " + fallback + ")"),
            path);
    }
}

void ObjectChecker::value(const TARNContext& context, const std::string& name,
                          const std::string& text) {
    const std::string& path = context.getFullPath();
    const ParamValueDef* def = m_physics.getParamValueDef(context.getTypePath(), name, false);
    const TARNParam::Type type =
        def ? def->getType() : m_rules.getParamType(context.getObjectType(), name);
    const bool integer = TARNParam::isIntegerType(type);
    const bool numeric = integer || TARNParam::isRealType(type);

    std::optional<ParamAllowedValues> allowed;
    if (def && def->isRestricted())
        allowed = def->evaluateAllowedValues(m_physics.getRules(), context, &m_eval);
    std::optional<ObjectAnswer::Bounds> bounds;
    if (def && numeric && def->hasBounds())
        bounds =
            ObjectQuery::boundSides(def->evaluateBounds(m_physics.getRules(), context, &m_eval));

    const Strings items =
        TARNParam::isListType(type) ? StringUtilities::splitValueNoEmpty(text) : Strings{text};
    for (const std::string& item : items) {
        const std::string what = "parameter " + quoted(name) + " = " + quoted(item);
        if (TARNParam::isLogicalType(type) && !TARNParam::valueAsBool(item).second) {
            add("wrong-type", what + " is not a logical value", path, name);
            continue;
        }
        if (numeric) {
            const std::optional<Number> number = readNumber(item, integer);
            if (!number) {
                add("wrong-type", what + " is not " + (integer ? "an integer" : "a number"), path,
                    name);
                continue;
            }
            if (bounds) {
                // Sides in other units than the value cannot be compared here.
                const auto side = [&](const std::optional<std::string>& bound) {
                    std::optional<Number> limit;
                    if (bound) limit = readNumber(*bound, integer);
                    if (limit && limit->units != number->units && !limit->units.empty() &&
                        !number->units.empty())
                        limit.reset();
                    return limit;
                };
                const auto lower = side(bounds->lower);
                const auto upper = side(bounds->upper);
                if (lower && number->value < lower->value)
                    add("out-of-bounds", what + " is below its lower bound " + *bounds->lower, path,
                        name);
                if (upper && number->value > upper->value)
                    add("out-of-bounds", what + " is above its upper bound " + *bounds->upper, path,
                        name);
            }
        }
        if (allowed && allowed->isRestricted() && !contains(allowed->getValues(), item)) {
            add("value-not-allowed",
                what + " is not one of its allowed values (" + joined(allowed->getValues()) + ")",
                path, name);
        }
    }
}

std::vector<TARNContext> ObjectChecker::children(const TARNContext& context,
                                                 const ObjDependDef& def,
                                                 const std::string& option) {
    const std::string& parentPath = context.getFullPath();
    std::vector<Offer<ChildAvail>> offers;
    CACursor cursor;
    for (auto [record, applicable] = def.firstChildAvail(cursor, option); record;
         std::tie(record, applicable) = def.nextChildAvail(cursor))
        offers.push_back({record, applicable});
    const auto typeOf = [](const ChildAvail& record) -> const std::string& {
        return record.getType();
    };

    std::vector<TARNContext> next;
    std::map<std::string, int> count;
    std::map<std::string, Strings> names;  // allowed names per restricted child type
    for (const std::string& childPath : m_model.getChildObjectPaths(parentPath)) {
        TARNContext child(childPath);
        const std::string& type = child.getObjectType();
        const std::string& name = child.getObjectName();
        Offer<ChildAvail>* offer = find(offers, type, typeOf);
        if (!offer) {
            add("unknown-child", def.getType() + " cannot hold a child of type " + quoted(type),
                childPath);
            continue;
        }
        if (!available(*offer, context))
            add("child-not-available", "a child of type " + quoted(type) + " is not available here",
                childPath);
        const int seen = ++count[type];
        if (offer->record->isSingleton()) singleton(childPath, type, seen);
        if (offer->record->areNamesRestricted()) {
            auto [it, fresh] = names.try_emplace(type);
            if (fresh) offer->record->evaluateAllowedNames(context, &m_eval, it->second);
            if (!contains(it->second, name)) {
                add("name-not-allowed",
                    "the name " + quoted(name) + " is not one of the names a " + type +
                        " may take here (" + joined(it->second) + ")",
                    childPath);
            }
        }
        next.push_back(std::move(child));
    }
    for (auto& offer : offers) {
        const std::string& type = offer.record->getType();
        if (offer.record->isRequired() && count.find(type) == count.end() &&
            available(offer, context))
            add("missing-child", "essential child " + quoted(type) + " is missing", parentPath);
    }
    return next;
}

std::vector<TARNContext> ObjectChecker::topLevel() {
    std::vector<TARNContext> next;
    std::map<std::string, int> count;
    for (const std::string& childPath : m_model.getChildObjectPaths("")) {
        const TARNPath path(childPath);
        const std::string& type = path.getLastType();
        if (!m_rules.isValidPath(path)) {
            add("unknown-child",
                "a model cannot hold an object of type " + quoted(type) + " at the top", childPath);
            continue;
        }
        next.emplace_back(path);
        const int seen = ++count[type];
        if (m_rules.isSingleton(type)) singleton(childPath, type, seen);
    }
    if (m_rules.isValidType(kRootType)) {
        for (const std::string& type : m_rules.getEssentialChildren(kRootType, "")) {
            if (count.find(type) == count.end())
                add("missing-child", "essential object " + quoted(type) + " is missing", "/");
        }
    }
    return next;
}

}  // namespace

ModelValidator::ModelValidator(const PhysicsData& physics) : m_physics(physics) {}

std::vector<ModelViolation> ModelValidator::validate(const ModelTARN& model,
                                                     const std::string& file) const {
    std::vector<ModelViolation> result;
    ObjectChecker checker(m_physics, model, file, result);

    // Depth first in model order, without recursion.
    std::vector<TARNContext> pending = checker.topLevel();
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        const TARNContext object = std::move(pending.back());
        pending.pop_back();
        const std::string& typePath = object.getTypePath();
        const ObjDependDef* def = m_physics.getObjDependDef(typePath, false);
        if (!def) {
            checker.add("unknown-child",
                        "the PHYSICS data does not describe an object of type path " + typePath,
                        object.getFullPath());
            continue;
        }
        std::vector<TARNContext> next = checker.object(object, *def);
        pending.insert(pending.end(), std::make_move_iterator(next.rbegin()),
                       std::make_move_iterator(next.rend()));
    }
    return result;
}

}  // namespace kel
