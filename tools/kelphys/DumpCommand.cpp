// kelphys dump: the merged TARN files as normalised text.

#include <iostream>
#include <string>
#include <vector>

#include <kel/physicsutils/InternalTARNDatastore.h>

#include "CommandRegistry.h"

namespace kel::tool {
namespace {

const char* const kUsage =
    "usage: kelphys dump FILE...\n"
    "\n"
    "Reads the TARN files, merged in order (a later file adds objects and overrides\n"
    "parameter values of earlier ones), and prints the result as normalised TARN text:\n"
    "objects and parameters in first-appearance order, two blanks of indentation per\n"
    "level up to level 32 (deeper levels indent no further, so the output stays\n"
    "proportional to the input), one \"TYPE: name\" header and one END line per object,\n"
    "no comments.\n"
    "Dumping the output again gives the same text.\n"
    "\n"
    "Exit status: 0 success, 1 unreadable or malformed file (\"file:line: ...\" on\n"
    "standard error), 2 usage error.\n";

static_assert(InternalTARNDatastore::kMaxIndentLevel == 32, "the usage text names the level");

int runDump(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "kelphys dump: unknown option '" << arg << "'\n" << kUsage;
            return 2;
        }
    }
    if (args.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    std::vector<std::string> more(args.begin() + 1, args.end());
    InternalTARNDatastore store(args.front(), InternalTARNDatastore::FILE, more);
    store.write(std::cout);
    std::cout.flush();
    return std::cout ? 0 : 1;
}

const CommandRegistry::Registration registration("dump",
                                                 {"print TARN files merged, as normalised text",
                                                  kUsage, &runDump});

}  // namespace
}  // namespace kel::tool
