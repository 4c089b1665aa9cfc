// The host's questions through the library's one-call API: ObjectQuery's answer for every
// object of the model (reported per object), and ModelValidator over the whole model, with
// a validator kept between runs and with a new one each run.

#include <benchmark/benchmark.h>

#include <memory>

#include <kel/physicsdata/query/ModelValidator.h>
#include <kel/physicsdata/query/ObjectQuery.h>

#include "BenchData.h"

namespace {

using kel::bench::BenchData;

void BM_ObjectQuery(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    const auto host = std::make_unique<BenchData::Host>(data, false);
    std::size_t objects = 0;
    for (auto _ : state) {
        // A fresh query per sweep: its evaluation cache starts cold, as in BM_QuerySweep.
        kel::ObjectQuery query(host->physics, *host->model);
        objects = 0;
        for (const auto& object : data.modelObjects) {
            if (!host->physics.getObjDependDef(object.typePath, false)) continue;
            benchmark::DoNotOptimize(query.ask(object.path));
            ++objects;
        }
    }
    state.counters["objects"] = static_cast<double>(objects);
    state.counters["time/object"] =
        benchmark::Counter(static_cast<double>(objects * state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ObjectQuery)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ValidateModel(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    const auto host = std::make_unique<BenchData::Host>(data, false);
    const kel::ModelValidator validator(host->physics);
    std::size_t violations = 0;
    for (auto _ : state)
        violations = validator.validate(*host->model).size();
    state.counters["violations"] = static_cast<double>(violations);
}
BENCHMARK(BM_ValidateModel)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// A validator made for each run, as a host that validates once would: what it works out
// about the PHYSICS data is not yet known.
void BM_ValidateModelFirstRun(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    const auto host = std::make_unique<BenchData::Host>(data, false);
    std::size_t violations = 0;
    for (auto _ : state)
        violations = kel::ModelValidator(host->physics).validate(*host->model).size();
    state.counters["violations"] = static_cast<double>(violations);
}
BENCHMARK(BM_ValidateModelFirstRun)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
