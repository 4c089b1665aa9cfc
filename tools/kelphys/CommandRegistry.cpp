#include "CommandRegistry.h"

#include <utility>

namespace kel::tool {

std::map<std::string, CommandRegistry::Command>& CommandRegistry::table() {
    static std::map<std::string, Command> t;
    return t;
}

const std::map<std::string, CommandRegistry::Command>& CommandRegistry::commands() {
    return table();
}

CommandRegistry::Registration::Registration(const std::string& name, Command command) {
    table().emplace(name, std::move(command));
}

}  // namespace kel::tool
