// kelphys query RULES PHYSICS MODEL OBJECT_PATH [--no-beta] [--json]: what a host asks
// about one object of a model on every edit: which children and parameters it offers, in
// which order, which are available, and what values, default, override and bounds each
// available parameter has.

#if defined(KEL_HAVE_PHYSICSDATA)

#include <iostream>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicsdata/beta/BetaLoggingController.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/physicsutils/TARNPath.h>

#include "CommandRegistry.h"
#include "JsonWriter.h"
#include "PhysicsSession.h"

namespace kel::tool {
namespace {

const char* const kUsage =
    "usage: kelphys query RULES PHYSICS MODEL OBJECT_PATH [--no-beta] [--json]\n"
    "\n"
    "Loads the RULES and PHYSICS files and the model file MODEL (TARN text), and answers\n"
    "for the object at OBJECT_PATH (e.g. \"/FLOW:Flow Analysis 1/DOMAIN:Duct\") what a host\n"
    "asks on every edit: its children and parameters in offered order, whether each is\n"
    "required, applicable under the object's context rule value and available, which names\n"
    "a child may take, and for every available parameter its allowed values, default,\n"
    "override, bounds and quantity type. Availability that holds only thanks to beta\n"
    "features is marked, with the beta explanations. The text form also lists the\n"
    "messages of the pertinent global checks.\n"
    "\n"
    "  --no-beta   evaluate with beta features disabled\n"
    "  --json      print JSON instead of text\n"
    "\n"
    "Exit status: 0 success, 1 error in the data or no such object, 2 usage error.\n";

using Strings = std::vector<std::string>;

struct ChildAnswer {
    std::string type;
    bool required = false;
    bool singleton = false;
    bool coupled = false;
    bool applicable = false;
    bool available = false;
    std::optional<Strings> allowedNames;
    std::optional<Strings> defaultNames;
    Strings explanations;
};

struct ParamAnswer {
    std::string name;
    bool required = false;
    bool contextRule = false;
    bool applicable = false;
    bool available = false;
    Strings explanations;
    std::string type;
    std::optional<Strings> allowedValues;
    std::optional<Strings> subset;
    std::string defaultValue;
    std::optional<std::string> override;
    std::optional<std::pair<std::string, std::string>> bounds;
    std::string quantityType;
};

struct GlobalCheckAnswer {
    std::string name;
    Strings messages;
    bool known = true;
};

struct QueryAnswer {
    std::string object;
    std::string type;
    std::string context;
    std::string contextRuleParam;  // empty: the type has no context rule
    std::string contextRuleValue;
    std::vector<ChildAnswer> children;
    std::vector<ParamAnswer> parameters;
    std::vector<GlobalCheckAnswer> globalChecks;  // text output only
};

int usageError(const std::string& message) {
    std::cerr << "kelphys query: " << message << '\n' << kUsage;
    return 2;
}

// ----------------------------------------------------------------- evaluation

// Answers the questions for one object. The beta log is emptied first, so the
// explanations of a record are exactly those its own evaluation kept.
class ObjectQuery {
public:
    ObjectQuery(PhysicsSession& session, const ModelTARN& model, const TARNPath& path)
        : m_rules(session.rules()),
          m_physics(session.physics()),
          m_beta(*session.beta().getLoggingController()),
          m_model(model),
          m_context(path),
          m_eval(model) {}

    // withGlobalChecks: also evaluate the pertinent global checks over the whole model.
    QueryAnswer run(bool withGlobalChecks) {
        QueryAnswer answer;
        answer.object = m_context.getFullPath();
        answer.type = m_context.getObjectType();
        TARNPath parent = m_context.getPath();
        parent.pop_back();
        answer.context = parent.getTypePath();
        answer.contextRuleParam = m_rules.getContextRuleParam(answer.type);
        if (!answer.contextRuleParam.empty())
            answer.contextRuleValue =
                m_model.getParameterValue(answer.object, answer.contextRuleParam);

        const ObjDependDef* def = m_physics.getObjDependDef(m_context.getTypePath(), true);
        m_beta.clearMessages();
        answer.children = children(*def, answer.contextRuleValue);
        answer.parameters = parameters(*def, answer.contextRuleValue);
        if (withGlobalChecks) answer.globalChecks = globalChecks();
        return answer;
    }

private:
    std::vector<ChildAnswer> children(const ObjDependDef& def, const std::string& option) {
        std::vector<ChildAnswer> result;
        CACursor cursor;
        for (auto [record, applicable] = def.firstChildAvail(cursor, option); record;
             std::tie(record, applicable) = def.nextChildAvail(cursor)) {
            ChildAnswer child;
            child.type = record->getType();
            child.required = record->isRequired();
            child.singleton = record->isSingleton();
            child.coupled = record->isCoupled();
            child.applicable = applicable;
            child.available = applicable && record->evaluate(m_context, &m_eval);
            if (record->areNamesRestricted()) {
                child.allowedNames.emplace();
                record->evaluateAllowedNames(m_context, &m_eval, *child.allowedNames);
            }
            if (record->anyDefaultNames()) {
                child.defaultNames.emplace();
                record->evaluateDefaultNames(m_context, &m_eval, *child.defaultNames);
            }
            child.explanations = m_beta.getObjAvailMessages(child.type);
            result.push_back(std::move(child));
        }
        return result;
    }

    std::vector<ParamAnswer> parameters(const ObjDependDef& def, const std::string& option) {
        std::vector<ParamAnswer> result;
        PACursor cursor;
        for (auto [record, applicable] = def.firstParamAvail(cursor); record;
             std::tie(record, applicable) = def.nextParamAvail(cursor, option)) {
            ParamAnswer param;
            param.name = record->getName();
            param.required = record->isRequired();
            param.contextRule = record->isContextRule();
            param.applicable = applicable;
            param.available = applicable && record->evaluate(m_context, &m_eval);
            param.explanations = m_beta.getParamAvailMessages(param.name);
            describeValues(param);
            result.push_back(std::move(param));
        }
        return result;
    }

    // The value definition for the object's type path; values are evaluated for
    // available parameters only.
    void describeValues(ParamAnswer& param) {
        const ParamValueDef* values =
            m_physics.getParamValueDef(m_context.getTypePath(), param.name, false);
        if (!values) {
            param.type = TARNParam::typeStringFromType(
                m_rules.getParamType(m_context.getObjectType(), param.name));
            return;
        }
        param.type = TARNParam::typeStringFromType(values->getType());
        param.quantityType = values->getQuantityType();
        if (!param.available) return;

        const ParamAllowedValues allowed =
            values->evaluateAllowedValues(&m_rules, m_context, &m_eval);
        if (allowed.isRestricted()) param.allowedValues = allowed.getValues();
        if (allowed.hasSubset()) param.subset = allowed.getSubset();
        param.defaultValue = values->evaluateDefault(&m_rules, m_context, &m_eval, allowed);
        auto [applies, value] =
            values->evaluateValueOverride(&m_rules, m_context, &m_eval, allowed);
        if (applies) param.override = value;
        auto bounds = values->evaluateBounds(&m_rules, m_context, &m_eval);
        if (!bounds.first.empty() || !bounds.second.empty()) param.bounds = bounds;
    }

    std::vector<GlobalCheckAnswer> globalChecks() {
        std::vector<GlobalCheckAnswer> result;
        for (const auto& name : m_physics.getPertinentGlobalCheckRoots()) {
            GlobalCheckAnswer answer{name, {}, true};
            if (GlobalCheck* check = m_physics.getGlobalCheck(name, false))
                answer.messages = check->evaluate(m_model);
            else
                answer.known = false;
            result.push_back(std::move(answer));
        }
        return result;
    }

    const ModelRules& m_rules;
    const PhysicsData& m_physics;
    BetaLoggingController& m_beta;
    const ModelTARN& m_model;
    TARNContext m_context;
    EvalContext m_eval;
};

// ----------------------------------------------------------------- output

void optionalList(JsonWriter& json, const std::optional<Strings>& items) {
    if (items)
        json.value(*items);
    else
        json.null();
}

void writeJson(const QueryAnswer& answer, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("object").value(answer.object);
    json.key("type").value(answer.type);
    json.key("context").value(answer.context);
    json.key("contextRule");
    if (answer.contextRuleParam.empty()) {
        json.null();
    } else {
        json.beginObject();
        json.key("parameter").value(answer.contextRuleParam);
        json.key("value").value(answer.contextRuleValue);
        json.endObject();
    }

    json.key("children").beginArray();
    for (const auto& child : answer.children) {
        json.beginObject();
        json.key("type").value(child.type);
        json.key("required").value(child.required);
        json.key("singleton").value(child.singleton);
        json.key("coupled").value(child.coupled);
        json.key("applicable").value(child.applicable);
        json.key("available").value(child.available);
        json.key("betaDependent").value(!child.explanations.empty());
        json.key("allowedNames");
        optionalList(json, child.allowedNames);
        json.key("defaultNames");
        optionalList(json, child.defaultNames);
        json.key("explanations").value(child.explanations);
        json.endObject();
    }
    json.endArray();

    json.key("parameters").beginArray();
    for (const auto& param : answer.parameters) {
        json.beginObject();
        json.key("name").value(param.name);
        json.key("required").value(param.required);
        json.key("contextRule").value(param.contextRule);
        json.key("applicable").value(param.applicable);
        json.key("available").value(param.available);
        json.key("betaDependent").value(!param.explanations.empty());
        json.key("explanations").value(param.explanations);
        json.key("type").value(param.type);
        json.key("allowedValues");
        optionalList(json, param.allowedValues);
        json.key("subset");
        optionalList(json, param.subset);
        json.key("default").value(param.defaultValue);
        json.key("override");
        if (param.override)
            json.value(*param.override);
        else
            json.null();
        json.key("bounds");
        if (param.bounds)
            json.value(Strings{param.bounds->first, param.bounds->second});
        else
            json.null();
        json.key("quantityType").value(param.quantityType);
        json.endObject();
    }
    json.endArray();
    json.endObject().finish();
}

std::string joined(const Strings& items) {
    std::string text;
    for (const auto& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text.empty() ? "(none)" : text;
}

std::string status(bool applicable, bool available) {
    if (!applicable) return "not applicable";
    return available ? "available" : "not available";
}

std::string flags(const std::vector<std::pair<bool, const char*>>& named) {
    std::string text;
    for (const auto& [set, name] : named) {
        if (set) text += (text.empty() ? "" : ", ") + std::string(name);
    }
    return text.empty() ? std::string() : " (" + text + ")";
}

void writeExplanations(const Strings& explanations, std::ostream& out) {
    if (explanations.empty()) return;
    out << "      depends on beta features:\n";
    for (const auto& message : explanations)
        out << "        " << message << '\n';
}

void writeText(const QueryAnswer& answer, std::ostream& out) {
    out << "object:  " << answer.object << '\n'
        << "type:    " << answer.type << '\n'
        << "context: " << (answer.context.empty() ? "(top level)" : answer.context) << '\n';
    if (!answer.contextRuleParam.empty())
        out << "context rule: " << answer.contextRuleParam << " = "
            << (answer.contextRuleValue.empty() ? "(not set)" : answer.contextRuleValue) << '\n';

    out << "\nchildren:\n";
    if (answer.children.empty()) out << "  (none)\n";
    for (const auto& child : answer.children) {
        out << "  " << child.type
            << flags({{child.required, "required"},
                      {child.singleton, "singleton"},
                      {child.coupled, "coupled"}})
            << ": " << status(child.applicable, child.available) << '\n';
        if (child.allowedNames)
            out << "      allowed names: " << joined(*child.allowedNames) << '\n';
        if (child.defaultNames)
            out << "      default names: " << joined(*child.defaultNames) << '\n';
        writeExplanations(child.explanations, out);
    }

    out << "\nparameters:\n";
    if (answer.parameters.empty()) out << "  (none)\n";
    for (const auto& param : answer.parameters) {
        out << "  " << param.name
            << flags({{param.required, "required"}, {param.contextRule, "context rule"}}) << ": "
            << status(param.applicable, param.available) << '\n';
        writeExplanations(param.explanations, out);
        if (!param.available) continue;
        out << "      type: " << param.type;
        if (!param.quantityType.empty()) out << ", quantity type: " << param.quantityType;
        out << '\n';
        if (param.allowedValues)
            out << "      allowed values: " << joined(*param.allowedValues) << '\n';
        if (param.subset) out << "      subset: " << joined(*param.subset) << '\n';
        if (!param.defaultValue.empty()) out << "      default: " << param.defaultValue << '\n';
        if (param.override) out << "      override: " << *param.override << '\n';
        if (param.bounds)
            out << "      bounds: [" << param.bounds->first << ", " << param.bounds->second
                << "]\n";
    }

    if (answer.globalChecks.empty()) return;
    out << "\nglobal checks:\n";
    for (const auto& check : answer.globalChecks) {
        if (!check.known) {
            out << "  " << check.name << ": not defined\n";
            continue;
        }
        out << "  " << check.name << ": " << (check.messages.empty() ? "passed" : "failed") << '\n';
        for (const auto& message : check.messages)
            out << "      " << message << '\n';
    }
}

// ----------------------------------------------------------------- command

int run(const std::vector<std::string>& args) {
    bool asJson = false;
    bool noBeta = false;
    Strings positional;
    for (const auto& arg : args) {
        if (arg == "--json") {
            asJson = true;
        } else if (arg == "--no-beta") {
            noBeta = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return usageError("unknown option '" + arg + "'");
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 4) return usageError("expected RULES, PHYSICS, MODEL and OBJECT_PATH");
    const TARNPath path(positional[3]);
    if (path.empty()) return usageError("OBJECT_PATH must name an object, e.g. /FLOW:name");

    PhysicsSession session(positional[0], positional[1]);
    if (noBeta) session.beta().getLoggingController()->overrideGlobalBetaEnabled(false);
    const std::unique_ptr<TARNModel> model = TARNModel::fromFile(positional[2]);
    if (!model->hasObject(path.getFullPath())) {
        std::cerr << "kelphys query: the model " << positional[2] << " has no object "
                  << path.getFullPath() << '\n';
        return 1;
    }

    const QueryAnswer answer = ObjectQuery(session, *model, path).run(!asJson);
    asJson ? writeJson(answer, std::cout) : writeText(answer, std::cout);
    return 0;
}

const CommandRegistry::Registration registration("query",
                                                 {"what a host asks about one object of a model",
                                                  kUsage, &run});

}  // namespace
}  // namespace kel::tool

#endif  // KEL_HAVE_PHYSICSDATA
