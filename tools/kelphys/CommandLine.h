#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kel::tool {

// The arguments of one command split into positional arguments, flags and options with a
// value ("-o FILE"), given the names the command knows. main has already applied the
// shared conventions ("-", "--", "--help"), so an argument beginning with "-" (other than
// a value) is an option here. Value type.
class CommandLine {
public:
    // Throws nothing; error() is non-empty when the arguments are not valid (an unknown
    // option, an option without its value).
    CommandLine(const std::vector<std::string>& args, const std::set<std::string>& flags,
                const std::set<std::string>& valueOptions = {});

    const std::string& error() const { return m_error; }
    const std::vector<std::string>& positional() const { return m_positional; }
    bool has(const std::string& flag) const { return m_flags.count(flag) != 0; }
    // The value of an option, or "" when it was not given.
    std::string value(const std::string& option) const;

private:
    std::vector<std::string> m_positional;
    std::set<std::string> m_flags;
    std::map<std::string, std::string> m_values;
    std::string m_error;
};

}  // namespace kel::tool
