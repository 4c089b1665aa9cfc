#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <kel/physicschecks/ParamRHSFunc.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

// The parameter right-hand-side functions a physics data set may name (with a leading
// "*" in check lists). Holds the built-in "Object Name" (the context object's name) and
// "First Allowed Value" (the first of the allowed values given) from construction; hosts
// add their own. Owns the functions; the host keeps the store alive while physics data
// built over it is used. Not thread-safe while registering; const lookups are.
class PhysicsFunctionStore : private NonCopyable {
public:
    PhysicsFunctionStore();
    ~PhysicsFunctionStore();

    // The function of that name, or null.
    const ParamRHSFunc* getParamRHSFunction(const std::string& name) const;
    // Registers (or replaces) a function; a null function is ignored.
    void registerParamRHSFunction(const std::string& name, std::unique_ptr<ParamRHSFunc> function);
    std::vector<std::string> getFunctionNames() const;

private:
    std::map<std::string, std::unique_ptr<ParamRHSFunc>> m_functions;
};

}  // namespace kel
