#include <kel/physicschecks/PhysicsFunctionStore.h>

#include "FirstAllowedValueFunction.h"
#include "ObjectNameFunction.h"

namespace kel {

PhysicsFunctionStore::PhysicsFunctionStore() {
    registerParamRHSFunction("Object Name", std::make_unique<ObjectNameFunction>());
    registerParamRHSFunction("First Allowed Value", std::make_unique<FirstAllowedValueFunction>());
}

PhysicsFunctionStore::~PhysicsFunctionStore() = default;

const ParamRHSFunc* PhysicsFunctionStore::getParamRHSFunction(const std::string& name) const {
    auto it = m_functions.find(name);
    return it == m_functions.end() ? nullptr : it->second.get();
}

void PhysicsFunctionStore::registerParamRHSFunction(const std::string& name,
                                                    std::unique_ptr<ParamRHSFunc> function) {
    if (function) m_functions[name] = std::move(function);
}

std::vector<std::string> PhysicsFunctionStore::getFunctionNames() const {
    std::vector<std::string> names;
    for (const auto& entry : m_functions)
        names.push_back(entry.first);
    return names;
}

}  // namespace kel
