// hexconvert's conversion on growing inputs: time per input character
// should stay flat.
#include <benchmark/benchmark.h>

#include <string>

#include "converter/form1.h"

static void BM_ConvertSeparators(benchmark::State& state) {
  std::u16string input(static_cast<std::size_t>(state.range(0)), u'a');
  for (std::size_t i = 2; i < input.size(); i += 3) input[i] = u':';
  for (auto _ : state) benchmark::DoNotOptimize(conv::convertSeparators(input));
  // Seconds per input character ("1.2n" reads 1.2 ns).
  state.counters["per_char"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                  benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}
BENCHMARK(BM_ConvertSeparators)->Arg(1 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
