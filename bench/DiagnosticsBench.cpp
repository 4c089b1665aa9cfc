// The cost of checking data with a diagnostics collector (DataChecker: a validated load
// plus the lint pass) beside a plain validated load of the same RULES and PHYSICS data
// (ModelRules and PhysicsData built with validation on). Compare the two in one run.

#include <benchmark/benchmark.h>

#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/physics/DataChecker.h>
#include <kel/physicsdata/physics/Diagnostics.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "BenchData.h"

namespace {

using namespace kel;
using kel::bench::BenchData;

void BM_ValidatedLoad(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    InternalTARNDatastore rulesStore(data.rulesTarn, InternalTARNDatastore::TEXT);
    InternalTARNDatastore physicsStore(data.physicsTarn, InternalTARNDatastore::TEXT);
    PhysicsFunctionStore functions;
    PhysicsDataOptions validated;
    validated.validate = true;
    for (auto _ : state) {
        ModelRules rules(&rulesStore, BenchData::extraRules());
        BetaPhysicsManager beta;
        PhysicsData physics(&physicsStore, &rules, &functions, &beta, validated);
        benchmark::DoNotOptimize(physics.getCheck("HasMaterials", false));
    }
}

void BM_CheckWithDiagnostics(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    InternalTARNDatastore rulesStore(data.rulesTarn, InternalTARNDatastore::TEXT);
    InternalTARNDatastore physicsStore(data.physicsTarn, InternalTARNDatastore::TEXT);
    PhysicsFunctionStore functions;
    DataChecker::Options options;
    options.extraRules = BenchData::extraRules();
    options.functions = &functions;
    options.lint = state.range(1) != 0;
    std::size_t found = 0;
    for (auto _ : state) {
        DataChecker checker(options);
        Diagnostics diagnostics;
        checker.check(rulesStore, physicsStore, diagnostics);
        found = diagnostics.all().size();
        benchmark::DoNotOptimize(checker.physics());
    }
    state.counters["diagnostics"] = static_cast<double>(found);
}

BENCHMARK(BM_ValidatedLoad)
    ->ArgName("scale")
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);
// Arguments: scale, lint pass (0 off, 1 on).
BENCHMARK(BM_CheckWithDiagnostics)
    ->ArgNames({"scale", "lint"})
    ->ArgsProduct({{1, 10, 100}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
