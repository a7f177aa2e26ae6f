// SPDX-License-Identifier: GPL-3.0-or-later
// The search: tries start positions one after another in the pattern's
// direction and matches the element tree by backtracking at each.
#pragma once

#include <cstdint>
#include <vector>

#include "regex/compiled_pattern.h"
#include "regex/match_context.h"

namespace molvane::regex {

// Entry 0: 1 when matched; entry 1: the highest group number N; then start and
// end of groups 0..N (-1/-1 for a group that took no part; start is the
// smaller position, end the larger). Empty when nothing matched.
using MatchRecord = std::vector<int32_t>;

// Keeps its stacks between searches, so repeated searches allocate nothing
// once the stacks have grown to fit.
class Matcher {
 public:
  // Fills `record` with the first match from `start`. Running out of memory
  // ends the program with the runtime's out-of-memory report.
  void Search(const CompiledPattern& pattern, const char16_t* subject, int32_t length,
              int32_t start, MatchRecord& record);
  // The same search, trying only the ascending start positions `candidates`
  // (each at least `start`): the caller guarantees that no match can begin
  // anywhere else, so the record is the one Search would give.
  void SearchAt(const CompiledPattern& pattern, const char16_t* subject, int32_t length,
                int32_t start, const std::vector<int32_t>& candidates, MatchRecord& record);
  // Whether repetitions and recursions pass over ways known to fail (on by
  // default). The records are the same either way; off, a pattern such as
  // "(a+)+b" backtracks in exponential time, so only tests turn it off.
  void SetMemoised(bool memoised) { context_.memoise = memoised; }

 private:
  // Prepares the context for a search beginning at `start`.
  void Begin(const CompiledPattern& pattern, const char16_t* subject, int32_t length,
             int32_t start);
  // One attempt at `at`; on success the record is built.
  bool Attempt(const CompiledPattern& pattern, int32_t at, MatchRecord& record);
  void BuildRecord(int32_t highestGroup, MatchRecord& record) const;

  MatchContext context_;
};

void SearchPattern(const CompiledPattern& pattern, const char16_t* subject, int32_t length,
                   int32_t start, MatchRecord& record);

}  // namespace molvane::regex
