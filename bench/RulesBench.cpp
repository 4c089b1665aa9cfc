// Building the RULES model from a datastore already read (the host's first start-up step).

#include <benchmark/benchmark.h>

#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "BenchData.h"

namespace {

using kel::InternalTARNDatastore;
using kel::ModelRules;
using kel::bench::BenchData;

void BM_BuildModelRules(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    InternalTARNDatastore store(data.rulesTarn, InternalTARNDatastore::TEXT);
    const ModelRules::ExtraRulesDef extra = BenchData::extraRules();
    for (auto _ : state) {
        ModelRules rules(&store, extra);
        benchmark::DoNotOptimize(rules.isValidType("ROOT"));
    }
    state.counters["types"] =
        static_cast<double>(ModelRules(&store, extra).getAllObjectTypes().size());
}
BENCHMARK(BM_BuildModelRules)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
