// SPDX-License-Identifier: GPL-3.0-or-later
// Each converter on a realistic passage, and the whole convert command.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "engine/conversion.h"
#include "runtime/support.h"

namespace molvane::bench {
namespace {

void BM_Converter(benchmark::State& state) {
  EnsureProgramStarted();
  std::string text = Passage(static_cast<int>(state.range(1)));
  char* input = text.data();
  char separator[] = "\r\n";
  char* sep = separator;
  Converter convert = kNotations[state.range(0)];
  for (auto _ : state) FreeMemory(convert(&input, &sep));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Converter)
    ->ArgNames({"notation", "passages"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {1, 50}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace molvane::bench
