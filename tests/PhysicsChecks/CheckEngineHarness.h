#pragma once

// A complete check engine for tests: the three factories with the catalogue registered,
// the three stores and a data source over them, plus a RULES stand-in for validation.

#include <map>
#include <set>
#include <string>
#include <utility>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicschecks/CheckRegistrar.h>
#include <kel/physicschecks/DataVerifyInterface.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>
#include <kel/physicschecks/PhysicsFactory.h>
#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicschecks/ProductStore.h>

#include "TestSupport.h"

namespace kel::test {

// Knows a few types (CONTROL a singleton); every parameter of a known type is allowed unless listed
// as forbidden; values listed as bad are rejected.
class FakeRules : public DataVerifyInterface {
public:
    std::set<std::string> types{"FLOW", "DOMAIN", "FLUID", "BOUNDARY", "CONTROL"};
    std::set<std::string> singletons{"CONTROL"};
    std::set<std::pair<std::string, std::string>> forbiddenParams;
    std::set<std::string> badValues;
    std::map<std::string, TARNParam::Type> paramTypes;

    bool isValidPath(const TARNPath& path) const override {
        for (std::size_t i = 0; i < path.size(); ++i)
            if (!types.count(path.getType(i))) return false;
        return true;
    }
    bool isValidType(const std::string& type) const override { return types.count(type) != 0; }
    bool isAllowedParamAll(const std::string& type, const std::string& param) const override {
        return types.count(type) && !forbiddenParams.count({type, param});
    }
    int verifyParamValue(const std::string&, const std::string&,
                         const std::string& value) const override {
        return badValues.count(value) ? ValueBad : ValueOk;
    }
    bool isSingletonType(const std::string& type) const override {
        return singletons.count(type) != 0;
    }
    TARNParam::Type getParamType(const std::string&, const std::string& param) const override {
        auto it = paramTypes.find(param);
        return it == paramTypes.end() ? TARNParam::Unknown : it->second;
    }
};

class Engine : public CheckDataSource {
public:
    explicit Engine(DataVerifyInterface* verify = nullptr)
        : checks(&checkFactory, verify),
          lists(&listFactory, verify),
          globals(&globalFactory, verify) {
        CheckRegistrar(&checkFactory, &listFactory, &globalFactory, &functions);
    }
    ~Engine() override = default;

    // Products created from their data written as "Key = value; Key = value" (test::params).
    Check* check(const std::string& name, const char* data) {
        return checks.create(name, params(data));
    }
    List* list(const std::string& name, const char* data) {
        return lists.create(name, params(data));
    }
    GlobalCheck* global(const std::string& name, const char* data) {
        return globals.create(name, params(data));
    }
    // Resolves every product's references, as the physics data does after creating them.
    void resolve() {
        for (auto& [name, c] : checks.getProducts())
            c->setUnresolved(this);
        for (auto& [name, l] : lists.getProducts())
            l->setUnresolved(this);
        for (auto& [name, g] : globals.getProducts())
            g->setUnresolved(this);
    }

    Check* getCheck(const std::string& name, bool mustExist) const override {
        return checks.get(name, mustExist);
    }
    List* getList(const std::string& name, bool mustExist) const override {
        return lists.get(name, mustExist);
    }
    GlobalCheck* getGlobalCheck(const std::string& name, bool mustExist) const override {
        return globals.get(name, mustExist);
    }
    const ParamRHSFunc* getParamRHSFunction(const std::string& name, bool) const override {
        return functions.getParamRHSFunction(name);
    }

    PhysicsFunctionStore functions;
    PhysicsFactory<Check> checkFactory;
    PhysicsFactory<List> listFactory;
    PhysicsFactory<GlobalCheck> globalFactory;
    ProductStore<Check> checks;
    ProductStore<List> lists;
    ProductStore<GlobalCheck> globals;
};

}  // namespace kel::test
