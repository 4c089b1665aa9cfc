#include <kel/physicschecks/CheckRegistrar.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsdata/physics/CheckEngineSet.h>

namespace kel {

CheckEngineSet::CheckEngineSet(const PhysicsFunctionStore* functions, DataVerifyInterface* verify)
    : m_checks(&m_checkFactory, verify),
      m_lists(&m_listFactory, verify),
      m_globalChecks(&m_globalCheckFactory, verify) {
    // Fills the factories before any product is asked for; the registrar is not kept.
    CheckRegistrar registrar(&m_checkFactory, &m_listFactory, &m_globalCheckFactory, functions);
}

CheckEngineSet::~CheckEngineSet() = default;

}  // namespace kel
