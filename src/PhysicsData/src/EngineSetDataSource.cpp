#include "EngineSetDataSource.h"

#include <stdexcept>

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/physics/CheckEngineSet.h>

namespace kel {

EngineSetDataSource::EngineSetDataSource(const CheckEngineSet& engine,
                                         const PhysicsFunctionStore* functions,
                                         const std::set<std::string>& excluded)
    : m_engine(engine), m_functions(functions), m_excluded(excluded) {}

EngineSetDataSource::~EngineSetDataSource() = default;

Check* EngineSetDataSource::getCheck(const std::string& name, bool mustExist) const {
    if (!m_excluded.count(name)) return m_engine.checks().get(name, mustExist);
    if (mustExist) throw std::runtime_error("Check of name " + name + " not known.");
    return nullptr;
}

List* EngineSetDataSource::getList(const std::string& name, bool mustExist) const {
    if (!m_excluded.count(name)) return m_engine.lists().get(name, mustExist);
    if (mustExist) throw std::runtime_error("List of name " + name + " not known.");
    return nullptr;
}

GlobalCheck* EngineSetDataSource::getGlobalCheck(const std::string& name, bool mustExist) const {
    return m_engine.globalChecks().get(name, mustExist);
}

const ParamRHSFunc* EngineSetDataSource::getParamRHSFunction(const std::string& name,
                                                             bool mustExist) const {
    const ParamRHSFunc* function = m_functions ? m_functions->getParamRHSFunction(name) : nullptr;
    if (!function && mustExist)
        throw PhysicsException("ParamRHSFunc of name " + name + " not known.");
    return function;
}

Check* EngineSetDataSource::getObjAvailCheck(const std::string& checkName, const std::string&,
                                             bool mustExist) const {
    return getCheck(checkName, mustExist);
}

Check* EngineSetDataSource::getParamAvailCheck(const std::string& checkName, const std::string&,
                                               bool mustExist) const {
    return getCheck(checkName, mustExist);
}

Check* EngineSetDataSource::getParamValAvailCheck(const std::string& checkName, const std::string&,
                                                  const std::string&, bool mustExist) const {
    return getCheck(checkName, mustExist);
}

}  // namespace kel
