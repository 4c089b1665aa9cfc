// kelphys rules RULES [TYPE] [--json]: the RULES schema, or one object type of it.

#include <cstdint>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/rules/RulesParam.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNParam.h>

#include "CommandRegistry.h"
#include "JsonWriter.h"

namespace kel::tool {
namespace {

const char* const kUsage =
    "usage: kelphys rules RULES [TYPE] [--json]\n"
    "\n"
    "Reads the RULES file and prints its schema. Without TYPE: every object type with its\n"
    "context rule, options and parent type paths, and every parameter with the types that\n"
    "allow it and their type paths. With TYPE: that type's children and parameters per\n"
    "option and over all options, its valid parents and parent paths, and each parameter's\n"
    "type, locality, default, bounds, allowed strings, description and quantity type.\n"
    "\n"
    "  --json   print JSON instead of text\n"
    "\n"
    "Exit status: 0 success, 1 error in the RULES data, 2 usage error.\n";

const char* const kQuantityType = "Quantity Type";

struct Lists {
    const std::vector<std::string>& essentialChildren;
    const std::vector<std::string>& optionalChildren;
    const std::vector<std::string>& essentialParams;
    const std::vector<std::string>& optionalParams;
};

Lists listsFor(const ModelRules& rules, const std::string& type, const std::string& option) {
    return {rules.getEssentialChildren(type, option), rules.getOptionalChildren(type, option),
            rules.getEssentialParams(type, option), rules.getOptionalParams(type, option)};
}

Lists listsAll(const ModelRules& rules, const std::string& type) {
    return {rules.getEssentialChildrenAll(type), rules.getOptionalChildrenAll(type),
            rules.getEssentialParamsAll(type), rules.getOptionalParamsAll(type)};
}

// The options a type's parameters are described under: "" for a type without options.
std::vector<std::string> paramOptions(const ModelRules& rules, const std::string& type) {
    const auto& options = rules.getAllowedOptions(type);
    return options.empty() ? std::vector<std::string>{""} : options;
}

// Every parameter allowed in type under option, each once (an option's lists may repeat an
// object-level entry), essential ones first.
std::vector<std::string> paramsAt(const ModelRules& rules, const std::string& type,
                                  const std::string& option) {
    std::vector<std::string> params;
    std::set<std::string> seen;
    for (const auto* list :
         {&rules.getEssentialParams(type, option), &rules.getOptionalParams(type, option)})
        for (const auto& param : *list)
            if (seen.insert(param).second) params.push_back(param);
    return params;
}

std::string quantityTypeOf(const RulesParam& param) {
    std::string quantity;
    param.getExtraRule(kQuantityType, quantity);
    return quantity;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text.empty() ? "-" : text;
}

std::string pathText(const std::string& path) {
    return path.empty() ? "(top level)" : path;
}

std::vector<std::string> pathTexts(const std::vector<std::string>& paths) {
    std::vector<std::string> texts;
    for (const auto& path : paths)
        texts.push_back(pathText(path));
    return texts;
}

// Parent paths are listed up to this many per type or parameter; beyond, only their count
// is shown (a schema whose hierarchy branches and joins again has exponentially many).
constexpr std::uint64_t kMaxShownPaths = 1000;

std::uint64_t parentPathCount(const ModelRules& rules, const std::string& name, bool isType) {
    return isType ? rules.countParentTypePaths(name) : rules.countParentTypePathsForParam(name);
}

// "key": [paths], or "key": null and "key" + "Count": N when there are too many to list.
void pathsJson(JsonWriter& json, const ModelRules& rules, const char* key, const std::string& name,
               bool isType, bool withNames = false) {
    const std::uint64_t count = parentPathCount(rules, name, isType);
    if (count > kMaxShownPaths) {
        json.key(key).null();
        json.key(std::string(key) + "Count").value(static_cast<std::int64_t>(count));
        return;
    }
    json.key(key).value(isType ? rules.enumerateParentTypePaths(name, withNames)
                               : rules.enumerateParentTypePathsForParam(name));
}

std::string pathsText(const ModelRules& rules, const std::string& name, bool isType,
                      bool withNames = false) {
    const std::uint64_t count = parentPathCount(rules, name, isType);
    if (count > kMaxShownPaths) return std::to_string(count) + " paths, too many to list";
    return isType ? joined(pathTexts(rules.enumerateParentTypePaths(name, withNames)))
                  : joined(rules.enumerateParentTypePathsForParam(name));
}

// ----------------------------------------------------------------- whole schema

void schemaJson(const ModelRules& rules, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject().key("types").beginArray();
    for (const auto& type : rules.getAllObjectTypes()) {
        json.beginObject();
        json.key("type").value(type);
        json.key("singleton").value(rules.isSingleton(type));
        json.key("contextRule").value(rules.getContextRuleParam(type));
        json.key("options").value(rules.getAllowedOptions(type));
        pathsJson(json, rules, "parentPaths", type, true);
        json.endObject();
    }
    json.endArray().key("parameters").beginObject();
    for (const auto& param : rules.getParamNames()) {
        json.key(param).beginObject();
        json.key("parents").value(rules.getAllowedParamParents(param));
        pathsJson(json, rules, "contextPaths", param, false);
        json.endObject();
    }
    json.endObject().endObject().finish();
}

void schemaText(const ModelRules& rules, std::ostream& out) {
    out << "Object types:\n";
    for (const auto& type : rules.getAllObjectTypes()) {
        out << "  " << type << (rules.isSingleton(type) ? " (singleton)" : " (named)") << '\n';
        if (!rules.getContextRuleParam(type).empty())
            out << "    context rule: " << rules.getContextRuleParam(type)
                << "; options: " << joined(rules.getAllowedOptions(type)) << '\n';
        out << "    parent paths: " << pathsText(rules, type, true) << '\n';
    }
    out << "\nParameters:\n";
    for (const auto& param : rules.getParamNames()) {
        out << "  " << param << '\n';
        out << "    parents: " << joined(rules.getAllowedParamParents(param)) << '\n';
        out << "    context paths: " << pathsText(rules, param, false) << '\n';
    }
}

// ----------------------------------------------------------------- one type

void listsJson(JsonWriter& json, const Lists& lists) {
    json.beginObject();
    json.key("essentialChildren").value(lists.essentialChildren);
    json.key("optionalChildren").value(lists.optionalChildren);
    json.key("essentialParams").value(lists.essentialParams);
    json.key("optionalParams").value(lists.optionalParams);
    json.endObject();
}

void typeJson(const ModelRules& rules, const std::string& type, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("type").value(type);
    json.key("singleton").value(rules.isSingleton(type));
    json.key("contextRule").value(rules.getContextRuleParam(type));
    json.key("options").value(rules.getAllowedOptions(type));
    json.key("validParents").value(rules.getAllowedParents(type));
    pathsJson(json, rules, "parentPaths", type, true);
    pathsJson(json, rules, "parentPathsWithNames", type, true, true);

    json.key("lists").beginObject();
    json.key("");
    listsJson(json, listsFor(rules, type, ""));
    for (const auto& option : rules.getAllowedOptions(type)) {
        json.key(option);
        listsJson(json, listsFor(rules, type, option));
    }
    json.endObject();
    json.key("all");
    listsJson(json, listsAll(rules, type));

    json.key("parameters").beginObject();
    for (const auto& option : paramOptions(rules, type)) {
        json.key(option).beginObject();
        for (const auto& name : paramsAt(rules, type, option)) {
            const RulesParam& param = rules.getParam(type, option, name);
            json.key(name).beginObject();
            json.key("type").value(TARNParam::typeStringFromType(param.getType()));
            json.key("local").value(rules.isLocalRulesParam(type, name));
            json.key("default").value(param.getDefault());
            // A side the RULES do not give is absent.
            for (const auto& [bound, side] : {std::pair{"lowerBound", &param.getLowerBound()},
                                              std::pair{"upperBound", &param.getUpperBound()}})
                side->empty() ? json.key(bound).null() : json.key(bound).value(*side);
            json.key("allowedStrings").value(param.getAllowedStringList());
            json.key("description").value(param.getDescription());
            json.key("quantityType").value(quantityTypeOf(param));
            json.endObject();
        }
        json.endObject();
    }
    json.endObject();
    json.endObject().finish();
}

void listsText(std::ostream& out, const std::string& title, const Lists& lists) {
    out << "  " << title << ":\n"
        << "    essential children: " << joined(lists.essentialChildren) << '\n'
        << "    optional children:  " << joined(lists.optionalChildren) << '\n'
        << "    essential params:   " << joined(lists.essentialParams) << '\n'
        << "    optional params:    " << joined(lists.optionalParams) << '\n';
}

void typeText(const ModelRules& rules, const std::string& type, std::ostream& out) {
    out << type << (rules.isSingleton(type) ? " (singleton)" : " (named)") << '\n';
    if (!rules.getContextRuleParam(type).empty())
        out << "  context rule: " << rules.getContextRuleParam(type) << '\n'
            << "  options: " << joined(rules.getAllowedOptions(type)) << '\n';
    out << "  valid parents: " << joined(rules.getAllowedParents(type)) << '\n'
        << "  parent paths: " << pathsText(rules, type, true) << '\n'
        << "  parent paths with names: " << pathsText(rules, type, true, true) << '\n';
    listsText(out, "object level", listsFor(rules, type, ""));
    for (const auto& option : rules.getAllowedOptions(type))
        listsText(out, "option " + option, listsFor(rules, type, option));
    listsText(out, "all options", listsAll(rules, type));

    for (const auto& option : paramOptions(rules, type)) {
        out << "  parameters" << (option.empty() ? std::string() : " (option " + option + ")")
            << ":\n";
        for (const auto& name : paramsAt(rules, type, option)) {
            const RulesParam& param = rules.getParam(type, option, name);
            out << "    " << name << ": " << TARNParam::typeStringFromType(param.getType())
                << (rules.isLocalRulesParam(type, name) ? ", local" : ", global") << '\n';
            if (!param.getDescription().empty())
                out << "      description: " << param.getDescription() << '\n';
            if (param.hasDefaultValue()) out << "      default: " << param.getDefault() << '\n';
            auto [hasLower, hasUpper] = param.hasBounds();
            if (hasLower || hasUpper)
                out << "      bounds: [" << param.getLowerBound() << ", " << param.getUpperBound()
                    << "]\n";
            if (!param.getAllowedStringList().empty())
                out << "      allowed strings: " << joined(param.getAllowedStringList()) << '\n';
            const std::string quantity = quantityTypeOf(param);
            if (!quantity.empty()) out << "      quantity type: " << quantity << '\n';
        }
    }
}

int run(const std::vector<std::string>& args) {
    bool asJson = false;
    std::vector<std::string> positional;
    for (const auto& arg : args) {
        if (arg == "--json") {
            asJson = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            std::cerr << "kelphys rules: unknown option '" << arg << "'\n" << kUsage;
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty() || positional.size() > 2) {
        std::cerr << kUsage;
        return 2;
    }

    InternalTARNDatastore ds(positional[0], InternalTARNDatastore::FILE);
    ModelRules::ExtraRulesDef extra;
    extra.paramRules.stringRules.push_back(kQuantityType);
    ModelRules rules(&ds, extra);

    if (positional.size() == 1) {
        asJson ? schemaJson(rules, std::cout) : schemaText(rules, std::cout);
    } else {
        const std::string& type = positional[1];
        rules.isSingleton(type);  // an unknown type fails here, before anything is printed
        asJson ? typeJson(rules, type, std::cout) : typeText(rules, type, std::cout);
    }
    return 0;
}

const CommandRegistry::Registration registration(
    "rules", {"print the RULES schema, or one object type of it", kUsage, &run});

}  // namespace
}  // namespace kel::tool
