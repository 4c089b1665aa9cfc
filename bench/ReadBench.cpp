// Reading the RULES and PHYSICS text into a datastore, beside parsing the same trees
// written as JSON with a general-purpose DOM parser (the baseline), in bytes per second.

#include <benchmark/benchmark.h>

#include <rapidjson/document.h>

#include <kel/physicsutils/InternalTARNDatastore.h>

#include "BenchData.h"

namespace {

using kel::InternalTARNDatastore;
using kel::bench::BenchData;

void BM_ReadTarn(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        InternalTARNDatastore rules(data.rulesTarn, InternalTARNDatastore::TEXT);
        InternalTARNDatastore physics(data.physicsTarn, InternalTARNDatastore::TEXT);
        benchmark::DoNotOptimize(rules.hasObject("/RULES"));
        benchmark::DoNotOptimize(physics.hasObject("/PHYSICS"));
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(data.rulesTarn.size() + data.physicsTarn.size()));
    state.counters["objects"] = static_cast<double>(data.dataObjectCount);
}
BENCHMARK(BM_ReadTarn)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ParseJsonBaseline(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        rapidjson::Document rules;
        rules.Parse(data.rulesJson.c_str(), data.rulesJson.size());
        rapidjson::Document physics;
        physics.Parse(data.physicsJson.c_str(), data.physicsJson.size());
        if (rules.HasParseError() || physics.HasParseError()) {
            state.SkipWithError("the JSON twin does not parse");
            break;
        }
        benchmark::DoNotOptimize(rules.MemberCount() + physics.MemberCount());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(data.rulesJson.size() + data.physicsJson.size()));
    state.counters["objects"] = static_cast<double>(data.dataObjectCount);
}
BENCHMARK(BM_ParseJsonBaseline)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
