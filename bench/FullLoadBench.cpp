// What a host pays at start-up, beside BM_ReadTarn on the same text: reading RULES and
// PHYSICS, building the RULES model and building the physics data with the validation of
// the data against the RULES on. Its time over BM_ReadTarn's (same scale, same run) is
// what everything after the raw read costs.

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

void BM_FullValidatedLoad(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    const ModelRules::ExtraRulesDef extra = BenchData::extraRules();
    PhysicsFunctionStore functions;
    BenchData::ScopedValidation validation(true);
    for (auto _ : state) {
        InternalTARNDatastore rulesStore(data.rulesTarn, InternalTARNDatastore::TEXT);
        InternalTARNDatastore physicsStore(data.physicsTarn, InternalTARNDatastore::TEXT);
        ModelRules rules(&rulesStore, extra);
        BetaPhysicsManager beta;
        PhysicsData physics(&physicsStore, &rules, &functions, &beta);
        benchmark::DoNotOptimize(physics.getCheck("HasMaterials", false));
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(data.rulesTarn.size() + data.physicsTarn.size()));
}
BENCHMARK(BM_FullValidatedLoad)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
