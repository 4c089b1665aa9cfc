// Cost of answering the value questions of one parameter for one model object: allowed
// values, default, override and bounds, as a host asks them on every edit.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

namespace {

using namespace kel;

const char* const kRules = R"(
RULES:
  SINGLETON: ROOT
    Optional Child List = FLOW
  END
  PARAMETER: Analysis Type
    Parameter Type = String
  END
  PARAMETER: Advection Scheme
    Parameter Type = String
    Allowed String List = Upwind, High Resolution, Specified Blend Factor
    Default = High Resolution
  END
  PARAMETER: Boundary Type
    Parameter Type = String
  END
  PARAMETER: Static Temperature
    Parameter Type = Real
    Quantity Type = Temperature
    Default = 293.15 [K]
    Lower Bound = 0 [K]
  END
  SINGLETON: FLOW
    Optional Parameter List = Analysis Type, Advection Scheme
    Optional Child List = BOUNDARY
  END
  OBJECT: BOUNDARY
    Context Rule = Boundary Type
    Allowed Option List = Inlet, Wall
    CONTEXT: Inlet
      Optional Parameter List = Static Temperature
      PARAMETER: Static Temperature
        Default = 300 [K]
        Upper Bound = 1000 [K]
      END
    END
    CONTEXT: Wall
      Optional Parameter List = Static Temperature
    END
  END
END
)";

const char* const kModel = R"(
FLOW:
  Analysis Type = Transient
  BOUNDARY: in
    Boundary Type = Inlet
  END
END
)";

// Passes when a parameter of the evaluated object has a given value: the work of a
// typical parameter-value check.
class ValueCheck : public Check {
public:
    ValueCheck(std::string name, std::string param, std::string value)
        : m_name(std::move(name)), m_param(std::move(param)), m_value(std::move(value)) {}
    const std::string& getName() const override { return m_name; }
    void initialise(const std::string&, const ParameterMap&, DataVerifyInterface*) override {}
    std::set<std::string> getRequiredContext() const override { return {}; }
    std::vector<std::string> getCheckNamesDependOn() const override { return {}; }
    std::vector<std::string> getListNamesDependOn() const override { return {}; }
    void setUnresolved(const CheckDataSource*) override {}
    bool evaluate(const TARNContext& context, EvalContext* evalContext) override {
        return evalContext->getDB().getParameterValue(context.getFullPath(), m_param) == m_value;
    }

private:
    std::string m_name, m_param, m_value;
};

class Source : public AvailabilityCheckDataSource {
public:
    Source() {
        m_checks["Transient"] =
            std::make_unique<ValueCheck>("Transient", "Analysis Type", "Transient");
        m_checks["Steady"] = std::make_unique<ValueCheck>("Steady", "Analysis Type", "Steady");
    }
    Check* getCheck(const std::string& name, bool) const override {
        auto it = m_checks.find(name);
        if (it == m_checks.end()) throw std::runtime_error("no CHECK " + name);
        return it->second.get();
    }
    List* getList(const std::string& name, bool) const override {
        throw std::runtime_error("no LIST " + name);
    }
    GlobalCheck* getGlobalCheck(const std::string&, bool) const override { return nullptr; }
    const ParamRHSFunc* getParamRHSFunction(const std::string&, bool) const override {
        return nullptr;
    }
    Check* getObjAvailCheck(const std::string& n, const std::string&, bool m) const override {
        return getCheck(n, m);
    }
    Check* getParamAvailCheck(const std::string& n, const std::string&, bool m) const override {
        return getCheck(n, m);
    }
    Check* getParamValAvailCheck(const std::string& n, const std::string&, const std::string&,
                                 bool m) const override {
        return getCheck(n, m);
    }

private:
    std::map<std::string, std::unique_ptr<Check>> m_checks;
};

struct Setup {
    Setup()
        : ds(kRules, InternalTARNDatastore::TEXT),
          rules(&ds, quantity()),
          model(TARNModel::fromText(kModel)),
          eval(*model) {
        eval.getCache()->enable(false);  // measure the evaluation, not the cache
    }
    static ModelRules::ExtraRulesDef quantity() {
        ModelRules::ExtraRulesDef extra;
        extra.paramRules.stringRules = {"Quantity Type"};
        return extra;
    }
    InternalTARNDatastore ds;
    ModelRules rules;
    std::unique_ptr<TARNModel> model;
    EvalContext eval;
    Source source;
};

// Asks def every question a form asks of a parameter: allowed values, default, override
// and bounds.
void evaluateEveryAnswer(benchmark::State& state, Setup& s, const ParamValueDef& def,
                         const TARNContext& context) {
    for (auto _ : state) {
        auto allowed = def.evaluateAllowedValues(&s.rules, context, &s.eval);
        auto value = def.evaluateDefault(&s.rules, context, &s.eval, allowed);
        auto over = def.evaluateValueOverride(&s.rules, context, &s.eval, allowed);
        auto bounds = def.evaluateBounds(&s.rules, context, &s.eval);
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(over);
        benchmark::DoNotOptimize(bounds);
    }
}

// A fixed list with a check on one value, a subset, a check-guarded default and an
// override, limited by the RULES strings.
void BM_FixedListParameter(benchmark::State& state) {
    Setup s;
    ParamValueDef def(
        "Advection Scheme", "FLOW",
        {{"Ordered Allowed String List", "High Resolution, Upwind, Specified Blend Factor"},
         {"Allowed String List Checks", "Specified Blend Factor, Transient"},
         {"Subset Allowed String List", "High Resolution, Upwind"},
         {"Default Value Check List", "Specified Blend Factor, Transient"},
         {"Value Override Check List", "Upwind, Steady"}},
        &s.rules, &s.source, false);
    TARNContext context("/FLOW");
    evaluateEveryAnswer(state, s, def, context);
}
BENCHMARK(BM_FixedListParameter);

// A real parameter whose bounds and default follow the object's context rule value.
void BM_ContextBoundsParameter(benchmark::State& state) {
    Setup s;
    ParamValueDef def("Static Temperature", "BOUNDARY", {}, &s.rules, &s.source, false);
    TARNContext context("/FLOW/BOUNDARY:in");
    evaluateEveryAnswer(state, s, def, context);
}
BENCHMARK(BM_ContextBoundsParameter);

}  // namespace
