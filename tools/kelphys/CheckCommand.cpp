// kelphys check RULES PHYSICS [--unused]: loads a PHYSICS file over a RULES file with
// validation on and reports what it holds, or the first error the library finds.

#include <iostream>
#include <string>
#include <vector>

#include <kel/physicsdata/store/DependencyStore.h>

#include "CommandRegistry.h"
#include "PhysicsSession.h"

namespace kel::tool {
namespace {

const char* const kUsage =
    "usage: kelphys check RULES PHYSICS [--unused]\n"
    "\n"
    "Builds the RULES model and the PHYSICS data with validation on (as the environment\n"
    "variable KEL_PHYSICS_VALIDATE_DATA does) and prints one line counting the checks,\n"
    "lists, global checks, object definitions and parameter definitions, or the error.\n"
    "\n"
    "  --unused   also print the unused-physics report (KEL_PHYSICS_DUMP_UNUSED): the\n"
    "             RULES parameters, children, options and values the PHYSICS data leaves\n"
    "             unused\n"
    "\n"
    "Exit status: 0 valid, 1 error in the data, 2 usage error.\n";

int usageError(const std::string& message) {
    std::cerr << "kelphys check: " << message << '\n' << kUsage;
    return 2;
}

int run(const std::vector<std::string>& args) {
    bool unused = false;
    std::vector<std::string> files;
    for (const auto& arg : args) {
        if (arg == "--unused") {
            unused = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return usageError("unknown option '" + arg + "'");
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) return usageError("expected a RULES and a PHYSICS file");

    PhysicsSession::setEnvironment(DependencyStore::s_validateDataEnv);
    if (unused) PhysicsSession::setEnvironment(DependencyStore::s_dumpUnusedEnv);
    PhysicsSession session(files[0], files[1]);

    const PhysicsData& physics = session.physics();
    std::cout << "PHYSICS data is valid: " << physics.getCheckNames().size() << " checks, "
              << physics.getListNames().size() << " lists, " << physics.getGlobalCheckNames().size()
              << " global checks, " << physics.getDependencyStore().countObjDependDefs()
              << " object definitions, " << physics.getDependencyStore().countParamValueDefs()
              << " parameter definitions\n";
    return 0;
}

const CommandRegistry::Registration registration(
    "check", {"validate PHYSICS data against RULES and summarise it", kUsage, &run});

}  // namespace
}  // namespace kel::tool
