// kelphys: command-line access to RULES and PHYSICS data.
// Exit codes: 0 success, 1 data error, 2 usage error.
//
// Conventions shared by every command, applied here before the command sees its
// arguments: "--help" (or "-h") anywhere before "--" prints the command's usage; "-" as a
// file argument is standard input (at most one per call) and as the value of "-o" standard
// output; "--" ends the options, so that later arguments are taken as files even when
// they begin with "-".

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "CommandRegistry.h"

#ifndef KEL_VERSION
#define KEL_VERSION "unknown"
#endif

namespace {

void printUsage(std::ostream& out) {
    out << "usage: kelphys COMMAND [ARGS...]\n"
           "       kelphys help COMMAND | kelphys COMMAND --help\n"
           "       kelphys --version\n\ncommands:\n";
    for (const auto& [name, command] : kel::tool::CommandRegistry::commands())
        out << "  " << name << std::string(name.size() < 14 ? 14 - name.size() : 1, ' ')
            << command.summary << '\n';
    out << "\nA file argument \"-\" reads standard input; \"--\" ends the options.\n";
}

const kel::tool::CommandRegistry::Command* findCommand(const std::string& name) {
    const auto& commands = kel::tool::CommandRegistry::commands();
    auto it = commands.find(name);
    if (it != commands.end()) return &it->second;
    std::cerr << "kelphys: unknown command '" << name << "'\n";
    printUsage(std::cerr);
    return nullptr;
}

bool isOutputOption(const std::string& arg) {
    return arg == "-o" || arg == "--output";
}

// Applies the shared conventions to a command's arguments. Returns false (after saying
// why) on a usage error; sets help when the command's usage was asked for.
bool normalise(std::vector<std::string>& args, bool& help) {
    std::vector<std::string> result;
    bool optionsEnded = false;
    bool stdinUsed = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            help = true;
            return true;
        }
        if (!optionsEnded && isOutputOption(arg) && i + 1 < args.size()) {
            result.push_back(arg);
            const std::string& value = args[++i];
            result.push_back(value == "-" ? "/dev/stdout" : value);
            continue;
        }
        if (arg == "-") {
            if (stdinUsed) {
                std::cerr << "kelphys: standard input (\"-\") can be read only once\n";
                return false;
            }
            stdinUsed = true;
            arg = "/dev/stdin";
        } else if (optionsEnded && !arg.empty() && arg[0] == '-') {
            arg = "./" + arg;  // the same file, no longer read as an option
        }
        result.push_back(arg);
    }
    args = std::move(result);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(std::cerr);
        return 2;
    }
    if (args[0] == "--version") {
        std::cout << "kelphys " << KEL_VERSION << '\n';
        return 0;
    }
    if (args[0] == "--help" || args[0] == "-h" || (args[0] == "help" && args.size() == 1)) {
        printUsage(std::cout);
        return 0;
    }
    if (args[0] == "help") {
        const auto* command = findCommand(args[1]);
        if (!command) return 2;
        std::cout << command->usage;
        return 0;
    }
    const auto* command = findCommand(args[0]);
    if (!command) return 2;
    args.erase(args.begin());
    bool help = false;
    if (!normalise(args, help)) return 2;
    if (help) {
        std::cout << command->usage;
        return 0;
    }
    try {
        return command->run(args);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
