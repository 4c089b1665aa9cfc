#include <kel/physicsdata/tools/TemplateDependency.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/rules/RulesParam.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/utilities/StringUtilities.h>

#include "TemplateWriter.h"

namespace kel {

// One parameter met while walking the RULES.
struct TemplateDependency::ParamData {
    std::string name;
    TARNParam::Type type = TARNParam::Unknown;  // from the first registration
    std::set<std::string> objectTypes;          // types whose lists hold the parameter
    // For each type whose context rule parameter this is: the type's allowed options.
    std::map<std::string, std::vector<std::string>> contextOptions;
};

namespace {

// Top-level and engine types that PHYSICS dependency data never describes.
const std::set<std::string> kLeftOutTypes = {"ROOT",  "TARN2FLOW", "TARNSETUP", "PHYSICS",
                                             "CHECK", "CASE",      "BUILT IN"};

// The RULES type of P in T: its object-level or global definition, or, for a parameter
// defined only inside T's CONTEXT blocks, the definition of the first option allowing it.
TARNParam::Type rulesType(const ModelRules& rules, const std::string& type,
                          const std::string& param) {
    try {
        return rules.getParamType(type, param);
    } catch (const std::runtime_error&) {
        for (const auto& option : rules.getAllowedOptions(type))
            if (rules.isAllowedParam(type, param, option))
                return rules.getParam(type, option, param).getType();
        throw;
    }
}

// The allowed strings of P in T. A type with options has no object-level answer for its
// other parameters, so there they are gathered over every option that allows P, each once,
// in first-seen order.
std::vector<std::string> allowedStrings(const ModelRules& rules, const std::string& type,
                                        const std::string& param) {
    const auto& options = rules.getAllowedOptions(type);
    if (options.empty() || param == rules.getContextRuleParam(type))
        return rules.getAllowedStringList(type, "", param);
    std::vector<std::string> values;
    std::set<std::string> seen;
    for (const auto& option : options) {
        if (!rules.isAllowedParam(type, param, option)) continue;
        for (const auto& value : rules.getAllowedStringList(type, option, param))
            if (seen.insert(value).second) values.push_back(value);
    }
    return values;
}

// The list with `first` moved to its front; unchanged when it does not hold `first`.
std::vector<std::string> withFirst(std::vector<std::string> list, const std::string& first) {
    auto found = std::find(list.begin(), list.end(), first);
    if (found != list.end()) std::rotate(list.begin(), found, found + 1);
    return list;
}

std::vector<std::string> without(std::vector<std::string> list, const std::string& item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
    return list;
}

}  // namespace

TemplateDependency::TemplateDependency(const std::string& rulesSource, Form form)
    : m_writer(std::make_unique<TemplateWriter>()), m_form(form) {
    generate(rulesSource);
}

TemplateDependency::~TemplateDependency() = default;

void TemplateDependency::write(const std::string& fileName) const {
    auto writeLines = [this](std::ostream& out) {
        for (const auto& line : m_writer->lines())
            out << line << std::endl;
    };
    if (fileName.empty()) {
        writeLines(std::cout);
        return;
    }
    std::ofstream out(fileName, std::ios::out | std::ios::trunc);
    if (!out) throw std::runtime_error("Failed to open " + fileName + " for writing.");
    writeLines(out);
    if (!out) throw std::runtime_error("Failed to write " + fileName + ".");
}

void TemplateDependency::generate(const std::string& rulesSource) {
    const InternalTARNDatastore ds(rulesSource, InternalTARNDatastore::FILE, {});
    const ModelRules rules(&ds, ModelRules::ExtraRulesDef{});

    std::map<std::string, ParamData> params;
    // The first registration fixes the recorded type.
    auto registerParam = [&params](const std::string& name, TARNParam::Type type,
                                   const std::string& objectType) -> ParamData& {
        auto [it, inserted] = params.try_emplace(name);
        if (inserted) {
            it->second.name = name;
            it->second.type = type;
        }
        it->second.objectTypes.insert(objectType);
        return it->second;
    };

    TemplateWriter& w = *m_writer;
    w.beginObject("PHYSICS", "");
    w.beginObject("DEPENDENCIES", "");

    for (const auto& type : rules.getAllObjectTypes()) {
        if (kLeftOutTypes.count(type)) continue;
        w.beginObject("OBJECT DEPENDENCY", type);

        // A context rule parameter holds one of the options: a string, whatever RULES say.
        const std::string& contextParam = rules.getContextRuleParam(type);
        const auto& options = rules.getAllowedOptions(type);
        if (!contextParam.empty() && !options.empty())
            registerParam(contextParam, TARNParam::String, type).contextOptions[type] = options;

        printParentContexts(rules, type);

        std::vector<std::string> essential = rules.getEssentialParamsAll(type);
        std::vector<std::string> optional = rules.getOptionalParamsAll(type);
        if (m_form == Form::Loadable && !contextParam.empty() && !options.empty()) {
            // Every option covered, and the context rule parameter first: the parameters
            // before it must not depend on its value.
            w.writeListParam("Ordered Allowed Option List", options);
            const bool optionalOnly =
                std::find(optional.begin(), optional.end(), contextParam) != optional.end();
            if (optionalOnly) essential.insert(essential.begin(), contextParam);
            essential = withFirst(std::move(essential), contextParam);
            optional = without(std::move(optional), contextParam);
        }
        for (const auto& param : essential)
            registerParam(param, rulesType(rules, type, param), type);
        w.writeListParam("Ordered Required Parameter List", essential);

        for (const auto& param : optional)
            registerParam(param, rulesType(rules, type, param), type);
        w.writeListParam("Ordered Optional Parameter List", optional);

        w.writeListParam("Ordered Required Child List", rules.getEssentialChildrenAll(type));
        w.writeListParam("Ordered Optional Child List", rules.getOptionalChildrenAll(type));
        w.endObject();
        w.writeBlankLine();
    }
    w.writeBlankLine();
    w.writeBlankLine();

    for (const auto& [name, data] : params) {
        w.writeBlankLine();
        if (m_form == Form::Loadable && !data.contextOptions.empty()) {
            // Its values are built from the option keys of the OBJECT DEPENDENCY data; a
            // PARAMETER VALUES object as well would define them twice.
            std::vector<std::string> types;
            for (const auto& entry : data.contextOptions)
                types.push_back(entry.first);
            w.writeComment("PARAMETER VALUES : " + name +
                           " -- context rule parameter: its values are the option keys of the "
                           "OBJECT DEPENDENCY of " +
                           StringUtilities::vectorToString(types, ','));
            continue;
        }
        w.beginObject("PARAMETER VALUES", name);
        w.writeParam("Parameter Type", TARNParam::typeStringFromType(data.type));
        printParamDefaultValue(rules, name);
        for (const auto& objectType : data.objectTypes) {
            printParentContexts(rules, objectType);
            if (TARNParam::isStringType(data.type))
                printParamAllowedValues(rules, data, name, objectType);
        }
        w.endObject();
    }

    w.writeBlankLine();
    w.endObject();
    w.writeBlankLine();
    w.endObject();
}

void TemplateDependency::printParentContexts(const ModelRules& rules,
                                             const std::string& objectType) {
    m_writer->writeComment(" Parent contexts:");
    for (const auto& path : rules.enumerateParentTypePaths(objectType, false))
        m_writer->writeComment(path);
    m_writer->writeComment("");
}

void TemplateDependency::printParamDefaultValue(const ModelRules& rules,
                                                const std::string& paramName) {
    // Only a global definition has a default independent of the object type; a parameter
    // defined only locally has none to show.
    std::string value;
    try {
        value = rules.getDefault("", "", paramName);
    } catch (const std::runtime_error&) {
        return;
    }
    if (!value.empty()) m_writer->writeComment("Default Value = " + value);
}

void TemplateDependency::printParamAllowedValues(const ModelRules& rules, const ParamData& data,
                                                 const std::string& paramName,
                                                 const std::string& objectType) {
    auto context = data.contextOptions.find(objectType);
    const bool isContextRule = context != data.contextOptions.end();
    const std::vector<std::string> values =
        isContextRule ? context->second : allowedStrings(rules, objectType, paramName);
    if (values.empty()) return;
    m_writer->writeComment(std::string("Ordered Allowed String List") +
                           (isContextRule ? " (context rule):" : ":"));
    m_writer->writeComment("  " + StringUtilities::vectorToString(values, ','));
    m_writer->writeComment("");
}

}  // namespace kel
