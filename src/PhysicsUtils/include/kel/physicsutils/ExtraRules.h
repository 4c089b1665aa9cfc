#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kel {

// Extra RULES entries that a host asked to have read beside the standard keys, looked up
// by object type, option (empty for object level), parameter and rule name. Bool forms
// answer (found, value); absent rules give (false, false), an empty list or "".
class ExtraRules {
public:
    virtual ~ExtraRules();

    virtual std::pair<bool, bool> getParamBoolRule(const std::string& type,
                                                   const std::string& option,
                                                   const std::string& param,
                                                   const char* rule) const = 0;
    virtual std::vector<std::string> getParamListRule(const std::string& type,
                                                      const std::string& option,
                                                      const std::string& param,
                                                      const char* rule) const = 0;
    virtual std::string getParamStringRule(const std::string& type, const std::string& option,
                                           const std::string& param, const char* rule) const = 0;
    virtual std::pair<bool, bool> getObjectBoolRule(const std::string& type,
                                                    const char* rule) const = 0;
    virtual std::vector<std::string> getObjectListRule(const std::string& type,
                                                       const char* rule) const = 0;
    virtual std::string getObjectStringRule(const std::string& type, const char* rule) const = 0;

protected:
    ExtraRules() = default;
};

}  // namespace kel
