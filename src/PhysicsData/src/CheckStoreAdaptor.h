#pragma once

#include <string>

#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>

namespace kel {

class PhysicsData;
class PhysicsFunctionStore;

// The data source through which checks, lists, global checks, the beta manager and the
// dependency definitions resolve names while a PhysicsData is being built: plain look-ups
// go to the PhysicsData's stores, availability look-ups consult the beta manager first,
// and RHS functions come from the function store (none when it is null).
//
// A temporary made for one call; whoever receives it must not keep it. Neither the
// PhysicsData nor the function store is owned.
class CheckStoreAdaptor : public AvailabilityCheckDataSource {
public:
    CheckStoreAdaptor(const PhysicsData* physicsData, const PhysicsFunctionStore* functions);
    ~CheckStoreAdaptor() override;

    Check* getCheck(const std::string& name, bool mustExist) const override;
    List* getList(const std::string& name, bool mustExist) const override;
    GlobalCheck* getGlobalCheck(const std::string& name, bool mustExist) const override;
    // PhysicsException "ParamRHSFunc of name <name> not known." for a miss with mustExist.
    const ParamRHSFunc* getParamRHSFunction(const std::string& name, bool mustExist) const override;

    Check* getObjAvailCheck(const std::string& checkName, const std::string& childType,
                            bool mustExist) const override;
    Check* getParamAvailCheck(const std::string& checkName, const std::string& paramName,
                              bool mustExist) const override;
    Check* getParamValAvailCheck(const std::string& checkName, const std::string& paramName,
                                 const std::string& value, bool mustExist) const override;

private:
    const PhysicsData* m_physicsData;
    const PhysicsFunctionStore* m_functions;
};

}  // namespace kel
