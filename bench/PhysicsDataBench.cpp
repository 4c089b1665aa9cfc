// Building the physics data (checks, lists, global checks and the dependency store) over
// RULES already built, with the validation of the data against the RULES off and on.

#include <benchmark/benchmark.h>

#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "BenchData.h"

namespace {

using namespace kel;
using kel::bench::BenchData;

// Arguments: scale, validation (0 off, 1 on).
void BM_BuildPhysicsData(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    InternalTARNDatastore rulesStore(data.rulesTarn, InternalTARNDatastore::TEXT);
    ModelRules rules(&rulesStore, BenchData::extraRules());
    InternalTARNDatastore physicsStore(data.physicsTarn, InternalTARNDatastore::TEXT);
    PhysicsFunctionStore functions;
    BenchData::ScopedValidation validation(state.range(1) != 0);
    for (auto _ : state) {
        BetaPhysicsManager beta;
        PhysicsData physics(&physicsStore, &rules, &functions, &beta);
        benchmark::DoNotOptimize(physics.getCheck("HasMaterials", false));
    }
}
BENCHMARK(BM_BuildPhysicsData)
    ->ArgNames({"scale", "validate"})
    ->ArgsProduct({{1, 10, 100, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
