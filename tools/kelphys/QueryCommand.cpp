// kelphys query RULES PHYSICS MODEL OBJECT_PATH [--no-beta] [--json]: what a host asks
// about one object of a model on every edit: which children and parameters it offers, in
// which order, which are available, and what values, default, override and bounds each
// available parameter has.

#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicsdata/query/ObjectQuery.h>
#include <kel/physicsutils/TARNModel.h>
#include <kel/physicsutils/TARNPath.h>

#include "CommandLine.h"
#include "CommandRegistry.h"
#include "JsonWriter.h"
#include "KeptUntilExit.h"
#include "PhysicsSession.h"

namespace kel::tool {
namespace {

const char* const kUsage =
    "usage: kelphys query RULES PHYSICS MODEL OBJECT_PATH [--no-beta] [--explain] [--json]\n"
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
    "  --explain   say why each item that is not available is not, and why each\n"
    "              allowed value, default or override written in the data that does\n"
    "              not apply does not (the deciding check, what it read, what it wanted)\n"
    "  --json      print JSON instead of text; it always carries the reasons\n"
    "\n"
    "Exit status: 0 success, 1 error in the data or no such object, 2 usage error.\n";

using Strings = std::vector<std::string>;

struct GlobalCheckAnswer {
    std::string name;
    Strings messages;
    bool known = true;
};

int usageError(const std::string& message) {
    std::cerr << "kelphys query: " << message << '\n' << kUsage;
    return 2;
}

// The messages of the pertinent global checks over the whole model (text output only).
std::vector<GlobalCheckAnswer> globalChecks(const PhysicsData& physics, const ModelTARN& model) {
    std::vector<GlobalCheckAnswer> result;
    for (const auto& name : physics.getPertinentGlobalCheckRoots()) {
        GlobalCheckAnswer answer{name, {}, true};
        if (GlobalCheck* check = physics.getGlobalCheck(name, false))
            answer.messages = check->evaluate(model);
        else
            answer.known = false;
        result.push_back(std::move(answer));
    }
    return result;
}

// ----------------------------------------------------------------- output

void optionalList(JsonWriter& json, const std::optional<Strings>& items) {
    if (items)
        json.value(*items);
    else
        json.null();
}

void optionalText(JsonWriter& json, const std::optional<std::string>& text) {
    if (text)
        json.value(*text);
    else
        json.null();
}

void reasonJson(JsonWriter& json, const std::optional<ObjectAnswer::Reason>& reason) {
    if (!reason) {
        json.null();
        return;
    }
    json.beginObject();
    json.key("check").value(reason->check);
    json.key("kind").value(reason->kind);
    json.key("values").beginObject();
    for (const auto& [parameter, value] : reason->values)
        json.key(parameter).value(value);
    json.endObject();
    json.key("wanted").value(reason->wanted);
    json.endObject();
}

void writeJson(const ObjectAnswer& answer, std::ostream& out) {
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
        json.key("betaDependent").value(child.betaDependent);
        json.key("allowedNames");
        optionalList(json, child.allowedNames);
        json.key("defaultNames");
        optionalList(json, child.defaultNames);
        json.key("explanations").value(child.explanations);
        json.key("reason");
        reasonJson(json, child.reason);
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
        json.key("betaDependent").value(param.betaDependent);
        json.key("explanations").value(param.explanations);
        json.key("type").value(param.type);
        json.key("allowedValues");
        optionalList(json, param.allowedValues);
        json.key("subset");
        optionalList(json, param.subset);
        json.key("default").value(param.defaultValue);
        json.key("override");
        optionalText(json, param.override);
        json.key("bounds");
        if (param.bounds) {
            json.beginArray();
            optionalText(json, param.bounds->lower);
            optionalText(json, param.bounds->upper);
            json.endArray();
        } else {
            json.null();
        }
        json.key("quantityType").value(param.quantityType);
        json.key("reason");
        reasonJson(json, param.reason);
        json.key("rejected").beginArray();
        for (const auto& candidate : param.rejected) {
            json.beginObject();
            json.key("role").value(candidate.role);
            json.key("value").value(candidate.value);
            json.key("reason");
            reasonJson(json, candidate.reason);
            json.endObject();
        }
        json.endArray();
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

std::string reasonText(const ObjectAnswer::Reason& reason) {
    std::string text = reason.check.empty() ? reason.kind : reason.kind + " check " + reason.check;
    text += " wants " + reason.wanted;
    std::string found;
    for (const auto& [parameter, value] : reason.values)
        found += (found.empty() ? "" : ", ") + parameter + " = " +
                 (value.empty() ? std::string("(not set)") : value);
    if (!found.empty()) text += "; found " + found;
    return text;
}

void writeReason(const std::optional<ObjectAnswer::Reason>& reason, std::ostream& out) {
    if (reason) out << "      because: " << reasonText(*reason) << '\n';
}

void writeText(const ObjectAnswer& answer, const std::vector<GlobalCheckAnswer>& checks,
               std::ostream& out) {
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
        writeReason(child.reason, out);
    }

    out << "\nparameters:\n";
    if (answer.parameters.empty()) out << "  (none)\n";
    for (const auto& param : answer.parameters) {
        out << "  " << param.name
            << flags({{param.required, "required"}, {param.contextRule, "context rule"}}) << ": "
            << status(param.applicable, param.available) << '\n';
        writeExplanations(param.explanations, out);
        writeReason(param.reason, out);
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
            out << "      bounds: [" << param.bounds->lower.value_or("open") << ", "
                << param.bounds->upper.value_or("open") << "]\n";
        for (const auto& candidate : param.rejected)
            out << "      not the " << candidate.role << " " << candidate.value << ": "
                << reasonText(candidate.reason) << '\n';
    }

    if (checks.empty()) return;
    out << "\nglobal checks:\n";
    for (const auto& check : checks) {
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
    const CommandLine line(args, {"--json", "--no-beta", "--explain"});
    if (!line.error().empty()) return usageError(line.error());
    const bool asJson = line.has("--json");
    const Strings& positional = line.positional();
    if (positional.size() != 4) return usageError("expected RULES, PHYSICS, MODEL and OBJECT_PATH");
    const TARNPath path(positional[3]);
    if (path.empty()) return usageError("OBJECT_PATH must name an object, e.g. /FLOW:name");

    auto owned = std::make_unique<PhysicsSession>(positional[0], positional[1]);
    PhysicsSession& session = *owned;
    if (line.has("--no-beta"))
        session.beta().getLoggingController()->overrideGlobalBetaEnabled(false);
    std::unique_ptr<TARNModel> model = TARNModel::fromFile(positional[2]);
    const KeptUntilExit kept(owned, model);
    if (!model->hasObject(path.getFullPath())) {
        std::cerr << "kelphys query: the model " << positional[2] << " has no object "
                  << path.getFullPath() << '\n';
        return 1;
    }

    ObjectQuery query(session.physics(), *model);
    query.setExplain(asJson || line.has("--explain"));
    const ObjectAnswer answer = query.ask(path.getFullPath());
    if (asJson)
        writeJson(answer, std::cout);
    else
        writeText(answer, globalChecks(session.physics(), *model), std::cout);
    return 0;
}

const CommandRegistry::Registration registration("query",
                                                 {"what a host asks about one object of a model",
                                                  kUsage, &run});

}  // namespace
}  // namespace kel::tool
