// kelphys template RULES [-o FILE] [--loadable]: a skeleton of PHYSICS dependency data for a RULES
// file.

#include <iostream>
#include <string>
#include <vector>

#include <kel/physicsdata/tools/TemplateDependency.h>

#include "CommandRegistry.h"

namespace kel::tool {
namespace {

const char* const kUsage =
    "usage: kelphys template RULES [-o FILE] [--loadable]\n"
    "\n"
    "Reads the RULES file and prints a template of PHYSICS dependency data: one OBJECT\n"
    "DEPENDENCY per object type with its ordered parameter and child lists, and one\n"
    "PARAMETER VALUES per parameter with its type, annotated with the parent contexts,\n"
    "the RULES default and the allowed strings. The template reads back as PHYSICS data.\n"
    "\n"
    "  --loadable  write data that loads with validation on as it stands: every type with\n"
    "              a context rule lists all its options and its context rule parameter\n"
    "              first, and context rule parameters get no PARAMETER VALUES object\n"
    "  -o FILE     write the template to FILE instead of standard output\n"
    "\n"
    "Exit status: 0 success, 1 error in the RULES data or writing FILE, 2 usage error.\n";

int usageError(const std::string& message) {
    std::cerr << "kelphys template: " << message << '\n' << kUsage;
    return 2;
}

int run(const std::vector<std::string>& args) {
    std::string rulesFile;
    std::string outputFile;
    bool haveRules = false;
    TemplateDependency::Form form = TemplateDependency::Form::Skeleton;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o" || arg == "--output") {
            if (i + 1 >= args.size()) return usageError("option '" + arg + "' needs a file name");
            outputFile = args[++i];
            if (outputFile.empty()) return usageError("empty output file name");
        } else if (arg == "--loadable") {
            form = TemplateDependency::Form::Loadable;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return usageError("unknown option '" + arg + "'");
        } else if (haveRules) {
            return usageError("unexpected argument '" + arg + "'");
        } else {
            rulesFile = arg;
            haveRules = true;
        }
    }
    if (!haveRules) return usageError("no RULES file given");

    const TemplateDependency dependencyTemplate(rulesFile, form);
    dependencyTemplate.write(outputFile);
    return 0;
}

const CommandRegistry::Registration registration(
    "template", {"write a PHYSICS dependency template for a RULES file", kUsage, &run});

}  // namespace
}  // namespace kel::tool
