#include "CommandLine.h"

namespace kel::tool {

CommandLine::CommandLine(const std::vector<std::string>& args, const std::set<std::string>& flags,
                         const std::set<std::string>& valueOptions) {
    for (std::size_t i = 0; i < args.size() && m_error.empty(); ++i) {
        const std::string& arg = args[i];
        if (flags.count(arg)) {
            m_flags.insert(arg);
        } else if (valueOptions.count(arg)) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                m_error = "option '" + arg + "' needs a value";
            else
                m_values[arg] = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            m_error = "unknown option '" + arg + "'";
        } else {
            m_positional.push_back(arg);
        }
    }
}

std::string CommandLine::value(const std::string& option) const {
    auto it = m_values.find(option);
    return it == m_values.end() ? std::string() : it->second;
}

}  // namespace kel::tool
