#pragma once

// Minimal stand-ins for check engine products and a name source, for tests of the
// dependency definitions: products answer with a configured result and count evaluations.

#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>

#include "../PhysicsChecks/CheckEngineHarness.h"

namespace kel::testing {

// A source whose availability look-ups answer with the plain check of that name, as a
// physics data without beta checks does.
class PlainAvailSource : public AvailabilityCheckDataSource {
public:
    Check* getObjAvailCheck(const std::string& check, const std::string&,
                            bool mustExist) const override {
        return getCheck(check, mustExist);
    }
    Check* getParamAvailCheck(const std::string& check, const std::string&,
                              bool mustExist) const override {
        return getCheck(check, mustExist);
    }
    Check* getParamValAvailCheck(const std::string& check, const std::string&, const std::string&,
                                 bool mustExist) const override {
        return getCheck(check, mustExist);
    }
};

// Owns the fakes it hands out.
class FakeSource : public PlainAvailSource {
public:
    FakeCheck* addCheck(const std::string& name, bool result) {
        return (m_checks[name] = std::make_unique<FakeCheck>(name, result)).get();
    }
    FakeList* addList(const std::string& name, std::vector<std::string> values) {
        return (m_lists[name] = std::make_unique<FakeList>(name, std::move(values))).get();
    }
    FakeFunc* addFunction(const std::string& name, std::string value) {
        return (m_functions[name] = std::make_unique<FakeFunc>(std::move(value))).get();
    }

    Check* getCheck(const std::string& name, bool mustExist) const override {
        return find(m_checks, name, mustExist);
    }
    List* getList(const std::string& name, bool mustExist) const override {
        return find(m_lists, name, mustExist);
    }
    GlobalCheck* getGlobalCheck(const std::string& name, bool mustExist) const override {
        if (mustExist) throw std::runtime_error("unknown name " + name);
        return nullptr;
    }
    const ParamRHSFunc* getParamRHSFunction(const std::string& name, bool must) const override {
        return find(m_functions, name, must);
    }

private:
    template <class T>
    static T* find(const std::map<std::string, std::unique_ptr<T>>& map, const std::string& name,
                   bool mustExist) {
        auto it = map.find(name);
        if (it != map.end()) return it->second.get();
        if (mustExist) throw std::runtime_error("unknown name " + name);
        return nullptr;
    }

    std::map<std::string, std::unique_ptr<FakeCheck>> m_checks;
    std::map<std::string, std::unique_ptr<FakeList>> m_lists;
    std::map<std::string, std::unique_ptr<FakeFunc>> m_functions;
};

}  // namespace kel::testing
