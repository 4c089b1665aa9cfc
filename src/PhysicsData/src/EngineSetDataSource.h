#pragma once

#include <set>
#include <string>

#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>

namespace kel {

class CheckEngineSet;
class PhysicsFunctionStore;

// Resolves names against one CheckEngineSet, for checking data piece by piece: plain
// look-ups, and every availability look-up answered by the plain check (no beta
// proxies). Checks and lists named in `excluded` count as missing, as in the product
// stores ("Check of name <name> not known.", "List of name <name> not known."). RHS functions come
// from the function store (none when it is null); a miss with mustExist throws PhysicsException
// "ParamRHSFunc of name <name> not known.".
//
// Borrows the set, the function store and the excluded names, which must outlive it. Not
// thread-safe.
class EngineSetDataSource : public AvailabilityCheckDataSource {
public:
    EngineSetDataSource(const CheckEngineSet& engine, const PhysicsFunctionStore* functions,
                        const std::set<std::string>& excluded);
    ~EngineSetDataSource() override;

    Check* getCheck(const std::string& name, bool mustExist) const override;
    List* getList(const std::string& name, bool mustExist) const override;
    GlobalCheck* getGlobalCheck(const std::string& name, bool mustExist) const override;
    const ParamRHSFunc* getParamRHSFunction(const std::string& name, bool mustExist) const override;
    Check* getObjAvailCheck(const std::string& checkName, const std::string& childType,
                            bool mustExist) const override;
    Check* getParamAvailCheck(const std::string& checkName, const std::string& paramName,
                              bool mustExist) const override;
    Check* getParamValAvailCheck(const std::string& checkName, const std::string& paramName,
                                 const std::string& value, bool mustExist) const override;

private:
    const CheckEngineSet& m_engine;
    const PhysicsFunctionStore* m_functions;
    const std::set<std::string>& m_excluded;
};

}  // namespace kel
