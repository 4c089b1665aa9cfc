#pragma once

#include <map>
#include <string>
#include <vector>

namespace kel::tool {

// The commands of kelphys. Each command lives in its own source file and registers itself
// with a static CommandRegistry::Registration, so commands are added without touching
// main. A command returns the process exit code: 0 success, 1 data error, 2 usage error.
class CommandRegistry {
public:
    using Function = int (*)(const std::vector<std::string>& args);

    struct Command {
        std::string summary;  // one line for the command list
        std::string usage;    // full text printed by "kelphys COMMAND --help"
        Function run;
    };

    struct Registration {
        Registration(const std::string& name, Command command);
    };

    static const std::map<std::string, Command>& commands();

private:
    static std::map<std::string, Command>& table();
};

}  // namespace kel::tool
