#include "CheckStoreAdaptor.h"

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/physics/PhysicsData.h>

namespace kel {

CheckStoreAdaptor::CheckStoreAdaptor(const PhysicsData* physicsData,
                                     const PhysicsFunctionStore* functions)
    : m_physicsData(physicsData), m_functions(functions) {}

CheckStoreAdaptor::~CheckStoreAdaptor() = default;

Check* CheckStoreAdaptor::getCheck(const std::string& name, bool mustExist) const {
    return m_physicsData->getCheck(name, mustExist);
}

List* CheckStoreAdaptor::getList(const std::string& name, bool mustExist) const {
    return m_physicsData->getList(name, mustExist);
}

GlobalCheck* CheckStoreAdaptor::getGlobalCheck(const std::string& name, bool mustExist) const {
    return m_physicsData->getGlobalCheck(name, mustExist);
}

const ParamRHSFunc* CheckStoreAdaptor::getParamRHSFunction(const std::string& name,
                                                           bool mustExist) const {
    const ParamRHSFunc* function = m_functions ? m_functions->getParamRHSFunction(name) : nullptr;
    if (!function && mustExist) {
        throw PhysicsException("ParamRHSFunc of name " + name + " not known.");
    }
    return function;
}

Check* CheckStoreAdaptor::getObjAvailCheck(const std::string& checkName,
                                           const std::string& childType, bool mustExist) const {
    return m_physicsData->getObjAvailCheck(checkName, childType, mustExist);
}

Check* CheckStoreAdaptor::getParamAvailCheck(const std::string& checkName,
                                             const std::string& paramName, bool mustExist) const {
    return m_physicsData->getParamAvailCheck(checkName, paramName, mustExist);
}

Check* CheckStoreAdaptor::getParamValAvailCheck(const std::string& checkName,
                                                const std::string& paramName,
                                                const std::string& value, bool mustExist) const {
    return m_physicsData->getParamValAvailCheck(checkName, paramName, value, mustExist);
}

}  // namespace kel
