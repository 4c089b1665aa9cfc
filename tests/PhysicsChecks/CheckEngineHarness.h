#pragma once

// A complete check engine for tests: the three factories with the catalogue registered,
// the three stores and a data source over them, plus a RULES stand-in for validation and
// fake products.

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicschecks/CheckRegistrar.h>
#include <kel/physicschecks/DataVerifyInterface.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>
#include <kel/physicschecks/ParamRHSFunc.h>
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

namespace kel::testing {

// Minimal stand-ins for check engine products: they answer with a configured result and
// count evaluations. FakeProduct fills the product slots the fakes do not use.
template <class Base>
class FakeProduct : public Base {
public:
    explicit FakeProduct(std::string name) : m_name(std::move(name)) {}
    const std::string& getName() const override { return m_name; }
    void initialise(const std::string&, const ParameterMap&, DataVerifyInterface*) override {}
    std::set<std::string> getRequiredContext() const override { return {}; }
    std::vector<std::string> getCheckNamesDependOn() const override { return {}; }
    std::vector<std::string> getListNamesDependOn() const override { return {}; }
    void setUnresolved(const CheckDataSource*) override {}

    int evaluations = 0;

private:
    std::string m_name;
};

class FakeCheck : public FakeProduct<Check> {
public:
    FakeCheck(std::string name, bool result) : FakeProduct(std::move(name)), m_result(result) {}
    bool evaluate(const TARNContext&, EvalContext*) override {
        ++evaluations;
        return m_result;
    }

private:
    bool m_result;
};

class FakeList : public FakeProduct<List> {
public:
    FakeList(std::string name, std::vector<std::string> values)
        : FakeProduct(std::move(name)), m_values(std::move(values)) {}
    std::vector<std::string> evaluate(const TARNContext&, EvalContext*) override {
        ++evaluations;
        return m_values;
    }

private:
    std::vector<std::string> m_values;
};

// Returns its configured value and remembers the arguments of the last call.
class FakeFunc : public ParamRHSFunc {
public:
    explicit FakeFunc(std::string value) : m_value(std::move(value)) {}
    std::string evaluate(const ParamRHSArgs& args) const override {
        last = {args.objectPath, args.paramName, args.model, args.allowed};
        return m_value;
    }

    struct Call {
        std::string path;
        std::string param;
        const ModelTARN* model = nullptr;
        const ParamAllowedValues* allowed = nullptr;
    };
    mutable Call last;

private:
    std::string m_value;
};

}  // namespace kel::testing
