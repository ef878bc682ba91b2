// Costs of the helpers that run once per parameter or per field: splitting
// delimited lists, copying parameter arrays, shifting dates.
#include <benchmark/benchmark.h>

#include "lib/date_shift.h"
#include "lib/strs.h"

namespace vx {
namespace {

void BM_ExtractFieldWalk(benchmark::State& state) {
  std::string text;
  const int n = static_cast<int>(state.range(0));
  for (int i = 0; i < n; ++i)
    text += "edField" + std::to_string(i) + ";Caption;1,";
  for (auto _ : state) {
    for (int i = 1; i <= n; ++i)
      benchmark::DoNotOptimize(ExtractField(text, ",", i));
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_ExtractFieldWalk)->Range(8, 512)->Complexity();

void BM_ParamArrayCopy(benchmark::State& state) {
  Variant row = VarArrayCreate(1, static_cast<int>(state.range(0)));
  for (int i = 1; i <= row.HighBound(); ++i)
    row[i] = "value " + std::to_string(i);
  Variant params = VarArrayOf({row, row, row});
  for (auto _ : state) {
    Variant copy = params;
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(BM_ParamArrayCopy)->Range(8, 256);

void BM_ShiftByRule(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(ShiftByRule("20240315", "-1", "1", "0", "2"));
}
BENCHMARK(BM_ShiftByRule);

}  // namespace
}  // namespace vx
