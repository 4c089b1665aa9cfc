// kelphys: command-line access to RULES and PHYSICS data.
// Exit codes: 0 success, 1 data error, 2 usage error.

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "CommandRegistry.h"

namespace {

void printUsage(std::ostream& out) {
    out << "usage: kelphys COMMAND [ARGS...]\n"
           "       kelphys COMMAND --help\n\ncommands:\n";
    for (const auto& [name, command] : kel::tool::CommandRegistry::commands())
        out << "  " << name << std::string(name.size() < 10 ? 10 - name.size() : 1, ' ')
            << command.summary << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(std::cerr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(std::cout);
        return 0;
    }
    const auto& commands = kel::tool::CommandRegistry::commands();
    auto it = commands.find(args[0]);
    if (it == commands.end()) {
        std::cerr << "kelphys: unknown command '" << args[0] << "'\n";
        printUsage(std::cerr);
        return 2;
    }
    args.erase(args.begin());
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << it->second.usage;
            return 0;
        }
    }
    try {
        return it->second.run(args);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
