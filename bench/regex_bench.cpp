// SPDX-License-Identifier: GPL-3.0-or-later
// The regex library on the program's own patterns and lookups.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "constants/constant_area.h"
#include "engine/regex_calls.h"
#include "platform/platform.h"

namespace molvane::bench {
namespace {

using constants::kArea;

// Characters whose dictionary entries lie early, in the middle and at the end.
const char* const kCharacters[] = {"啊", "中", "傱"};

void BM_CompileLookupPattern(benchmark::State& state) {
  EnsureProgramStarted();
  std::string pattern = platform::Utf8ToGbk("(?<=中)[a-z]+");
  void** regex = NewRegexVariable();
  for (auto _ : state) CompilePattern(regex, pattern.c_str());
  DeleteRegexVariable(regex);
}
BENCHMARK(BM_CompileLookupPattern);

void BM_ReadingLookup(benchmark::State& state) {
  EnsureProgramStarted();
  std::string pattern =
      platform::Utf8ToGbk(std::string("(?<=") + kCharacters[state.range(0)] + ")[a-z]+");
  void** regex = NewRegexVariable();
  void** result = NewResultVariable();
  for (auto _ : state) {
    CompilePattern(regex, pattern.c_str());
    SearchInto(&result, regex, kArea.pinyinDictionary);
    char* letters = MatchText(result);
    benchmark::DoNotOptimize(letters);
    FreeMemory(letters);
  }
  DeleteResultVariable(result);
  DeleteRegexVariable(regex);
}
BENCHMARK(BM_ReadingLookup)->DenseRange(0, 2);

void BM_WubiLookup(benchmark::State& state) {
  EnsureProgramStarted();
  std::string pattern =
      platform::Utf8ToGbk(std::string("[a-z]+(?=\\|") + kCharacters[state.range(0) + 1] + ")");
  void** regex = NewRegexVariable();
  void** result = NewResultVariable();
  for (auto _ : state) {
    CompilePattern(regex, pattern.c_str());
    SearchInto(&result, regex, kArea.wubiTable);
    benchmark::DoNotOptimize(ResultIsEmpty(result));
  }
  DeleteResultVariable(result);
  DeleteRegexVariable(regex);
}
BENCHMARK(BM_WubiLookup)->DenseRange(0, 1);

void BM_SplitHanCharacters(benchmark::State& state) {
  EnsureProgramStarted();
  std::string text = Passage(static_cast<int>(state.range(0)));
  void** regex = NewRegexVariable();
  CompilePattern(regex, kArea.hanPattern);
  for (auto _ : state) FreeTextArray(SearchAll(regex, text.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  DeleteRegexVariable(regex);
}
BENCHMARK(BM_SplitHanCharacters)->Arg(1)->Arg(100);

// Patterns that plain backtracking takes exponential time on (hours here);
// repetitions and recursions pass over what already failed.
void BM_RunawayPattern(benchmark::State& state) {
  EnsureProgramStarted();
  static const char* const kPatterns[] = {"(?:a|(?R))*b", "(a+)+b", "((?:a|(?1))*)b"};
  static const int kLengths[] = {20, 30, 20};
  const std::string subject(static_cast<size_t>(kLengths[state.range(0)]), 'a');
  void** regex = NewRegexVariable();
  void** result = NewResultVariable();
  CompilePattern(regex, kPatterns[state.range(0)]);
  for (auto _ : state) {
    SearchInto(&result, regex, subject.c_str());
    benchmark::DoNotOptimize(ResultIsEmpty(result));
  }
  state.SetLabel(std::string(kPatterns[state.range(0)]) + " on " + std::to_string(subject.size()) +
                 " a's");
  DeleteResultVariable(result);
  DeleteRegexVariable(regex);
}
BENCHMARK(BM_RunawayPattern)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace molvane::bench
