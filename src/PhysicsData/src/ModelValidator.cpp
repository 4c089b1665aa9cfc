#include <kel/physicsdata/query/ModelValidator.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>

#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/query/ObjectQuery.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/ModelTARN.h>
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
        const auto [value, ok] = TARNParam::valueAsInt(text);
        if (!ok) return std::nullopt;
        return Number{static_cast<double>(value), {}};
    }
    std::string number;
    std::string units;
    if (!TARNParam::valueAsFloat(text, number, units).second) return std::nullopt;
    return Number{std::strtod(number.c_str(), nullptr), units};
}

// The checks of one object, appending to the validator's result.
class ObjectChecker {
public:
    ObjectChecker(const ModelTARN& model, const std::string& file, std::vector<ModelViolation>& out)
        : m_model(model), m_file(file), m_out(out) {}

    void add(const std::string& code, const std::string& message, const std::string& path) {
        m_out.push_back({code, message, path, m_file, 0});
    }

    void parameters(const ObjectAnswer& answer);
    void value(const ObjectAnswer& answer, const ObjectAnswer::ParamAnswer& param,
               const std::string& text);
    // Checks the children against the answer; returns those whose content is checked next.
    Strings children(const ObjectAnswer& answer);
    // The top-level objects, against the RULES' ROOT type.
    Strings topLevel(const ModelRules& rules);

private:
    // Reported once, at the second instance.
    void singleton(const std::string& path, const std::string& type, int seen) {
        if (seen == 2)
            add("duplicate-singleton", type + " is a singleton but is present more than once",
                path);
    }

    const ModelTARN& m_model;
    const std::string& m_file;
    std::vector<ModelViolation>& m_out;
};

void ObjectChecker::parameters(const ObjectAnswer& answer) {
    const std::string& path = answer.object;
    for (const std::string& name : m_model.getParameterNames(path)) {
        const ObjectAnswer::ParamAnswer* param = answer.parameter(name);
        if (!param) {
            add("unknown-parameter", answer.type + " has no parameter " + quoted(name), path);
        } else if (!param->available) {
            add("parameter-not-available", "parameter " + quoted(name) + " is not available here",
                path);
        } else {
            value(answer, *param, m_model.getParameterValue(path, name));
        }
    }
    for (const auto& param : answer.parameters) {
        if (!param.required || !param.available || m_model.hasParameter(path, param.name)) continue;
        add("missing-parameter",
            "essential parameter " + quoted(param.name) + " is not set" +
                (param.defaultValue.empty() ? "" : " (default " + param.defaultValue + ")"),
            path);
    }
}

void ObjectChecker::value(const ObjectAnswer& answer, const ObjectAnswer::ParamAnswer& param,
                          const std::string& text) {
    const std::string& path = answer.object;
    const TARNParam::Type type = TARNParam::typeFromString(param.type);
    const Strings items =
        TARNParam::isListType(type) ? StringUtilities::splitValueNoEmpty(text) : Strings{text};
    const bool integer = TARNParam::isIntegerType(type);
    for (const std::string& item : items) {
        const std::string what = "parameter " + quoted(param.name) + " = " + quoted(item);
        if (TARNParam::isLogicalType(type) && !TARNParam::valueAsBool(item).second) {
            add("wrong-type", what + " is not a logical value", path);
            continue;
        }
        if (integer || TARNParam::isRealType(type)) {
            const std::optional<Number> number = readNumber(item, integer);
            if (!number) {
                add("wrong-type", what + " is not " + (integer ? "an integer" : "a number"), path);
                continue;
            }
            if (param.bounds) {
                // Sides in other units than the value cannot be compared here.
                const auto side = [&](const std::optional<std::string>& bound) {
                    std::optional<Number> limit;
                    if (bound) limit = readNumber(*bound, integer);
                    if (limit && limit->units != number->units && !limit->units.empty() &&
                        !number->units.empty())
                        limit.reset();
                    return limit;
                };
                const auto lower = side(param.bounds->lower);
                const auto upper = side(param.bounds->upper);
                if (lower && number->value < lower->value)
                    add("out-of-bounds", what + " is below its lower bound " + *param.bounds->lower,
                        path);
                if (upper && number->value > upper->value)
                    add("out-of-bounds", what + " is above its upper bound " + *param.bounds->upper,
                        path);
            }
        }
        if (param.allowedValues && !contains(*param.allowedValues, item)) {
            add("value-not-allowed",
                what + " is not one of its allowed values (" + joined(*param.allowedValues) + ")",
                path);
        }
    }
}

Strings ObjectChecker::children(const ObjectAnswer& answer) {
    Strings next;
    std::map<std::string, int> count;
    for (const std::string& childPath : m_model.getChildObjectPaths(answer.object)) {
        const TARNPath path(childPath);
        const std::string& type = path.getLastType();
        const ObjectAnswer::ChildAnswer* child = answer.child(type);
        if (!child) {
            add("unknown-child", answer.type + " cannot hold a child of type " + quoted(type),
                childPath);
            continue;
        }
        next.push_back(childPath);
        if (!child->available)
            add("child-not-available", "a child of type " + quoted(type) + " is not available here",
                childPath);
        const int seen = ++count[type];
        if (child->singleton) singleton(childPath, type, seen);
        if (child->allowedNames && !contains(*child->allowedNames, path.getLastName())) {
            add("name-not-allowed",
                "the name " + quoted(path.getLastName()) + " is not one of the names a " + type +
                    " may take here (" + joined(*child->allowedNames) + ")",
                childPath);
        }
    }
    for (const auto& child : answer.children) {
        if (child.required && child.available && count.find(child.type) == count.end())
            add("missing-child", "essential child " + quoted(child.type) + " is missing",
                answer.object);
    }
    return next;
}

Strings ObjectChecker::topLevel(const ModelRules& rules) {
    Strings next;
    std::map<std::string, int> count;
    for (const std::string& childPath : m_model.getChildObjectPaths("")) {
        const TARNPath path(childPath);
        const std::string& type = path.getLastType();
        if (!rules.isValidPath(path)) {
            add("unknown-child",
                "a model cannot hold an object of type " + quoted(type) + " at the top", childPath);
            continue;
        }
        next.push_back(childPath);
        const int seen = ++count[type];
        if (rules.isSingleton(type)) singleton(childPath, type, seen);
    }
    if (rules.isValidType(kRootType)) {
        for (const std::string& type : rules.getEssentialChildren(kRootType, "")) {
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
    ObjectChecker checker(model, file, result);
    ObjectQuery query(m_physics, model);

    // Depth first in model order, without recursion.
    Strings pending = checker.topLevel(*m_physics.getRules());
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        const std::string path = std::move(pending.back());
        pending.pop_back();
        if (!m_physics.getObjDependDef(TARNPath(path).getTypePath(), false)) {
            checker.add("unknown-child",
                        "the PHYSICS data does not describe an object of type path " +
                            TARNPath(path).getTypePath(),
                        path);
            continue;
        }
        const ObjectAnswer answer = query.ask(path);
        checker.parameters(answer);
        Strings next = checker.children(answer);
        pending.insert(pending.end(), std::make_move_iterator(next.rbegin()),
                       std::make_move_iterator(next.rend()));
    }
    return result;
}

}  // namespace kel
