// The host's questions over a whole model: for every object, which children and
// parameters are offered and available, and for every available parameter its allowed
// values, default, override and bounds. Reported per answer.

#include <benchmark/benchmark.h>

#include <memory>

#include "BenchData.h"

namespace {

using kel::bench::BenchData;

void BM_QuerySweep(benchmark::State& state) {
    const auto& data = BenchData::dataSet(static_cast<int>(state.range(0)));
    const auto host = std::make_unique<BenchData::Host>(data, false);
    BenchData::SweepResult result;
    for (auto _ : state)
        result = BenchData::sweep(*host, data);
    const double answers = static_cast<double>(result.answers());
    state.counters["objects"] = static_cast<double>(result.objects);
    state.counters["answers"] = answers;
    // Seconds per answer, printed with an SI prefix ("250n" is 250 ns).
    state.counters["time/answer"] =
        benchmark::Counter(answers * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_QuerySweep)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
