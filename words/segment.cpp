// SPDX-License-Identifier: GPL-3.0-or-later
// Segmentation by the most probable path: every way of cutting a run into
// listed words (or single characters) is scored by the sum of the words' log
// frequencies, and the best one is taken, scanning from the run's end.
#include <algorithm>

#include "words/tables.h"
#include "words/words.h"

namespace molvane::words {

namespace {

// Narrows [first, last), the words that start with run[0, length - 1), to
// those that start with run[0, length): a shorter word sorts before its
// extensions, and the extensions by their next unit.
void Narrow(std::vector<WordEntry>::const_iterator* first,
            std::vector<WordEntry>::const_iterator* last, size_t length, char16_t unit) {
  *first = std::lower_bound(*first, *last, unit, [length](const WordEntry& w, char16_t u) {
    return w.text.size() < length || w.text[length - 1] < u;
  });
  *last = std::upper_bound(*first, *last, unit, [length](char16_t u, const WordEntry& w) {
    return u < w.text[length - 1];
  });
}

}  // namespace

void CutRun(std::u16string_view run, std::vector<Cut>* cuts) {
  const Tables& tables = Tables::Get();
  const std::vector<WordEntry>& words = tables.Words();
  const size_t n = run.size();
  // best[i]: the score of the best cut of run[i..]; first[i]: its first word.
  std::vector<double> best(n + 1, 0);
  std::vector<Cut> first(n + 1, Cut{1, nullptr});
  for (size_t i = n; i-- > 0;) {
    // An unlisted character counts once, as in jieba.
    best[i] = -tables.LogTotal() + best[i + 1];
    first[i] = Cut{1, nullptr};
    const auto [from, to] = tables.StartingWith(run[i]);
    auto low = words.begin() + static_cast<std::ptrdiff_t>(from);
    auto high = words.begin() + static_cast<std::ptrdiff_t>(to);
    for (size_t end = i + 1; end <= n && low != high; ++end) {
      if (end == i + 2) {
        const auto [from2, to2] = tables.StartingWith(run[i], run[i + 1]);
        low = words.begin() + static_cast<std::ptrdiff_t>(from2);
        high = words.begin() + static_cast<std::ptrdiff_t>(to2);
      } else if (end > i + 2) {
        Narrow(&low, &high, end - i, run[end - 1]);
      }
      if (low == high) break;  // no listed word goes on this way
      if (low->text.size() != end - i) continue;
      const double score = low->logCount - tables.LogTotal() + best[end];
      if (end == i + 1 || score >= best[i]) {
        best[i] = score;
        first[i] = Cut{static_cast<int>(end - i), &*low};
      }
    }
  }
  cuts->clear();
  for (size_t i = 0; i < n; i += static_cast<size_t>(first[i].length)) cuts->push_back(first[i]);
}

std::vector<int> SegmentRun(std::u16string_view run) {
  std::vector<Cut> cuts;
  CutRun(run, &cuts);
  std::vector<int> lengths;
  for (const Cut& cut : cuts) lengths.push_back(cut.length);
  return lengths;
}

}  // namespace molvane::words
