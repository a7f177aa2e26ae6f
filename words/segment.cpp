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

std::vector<int> SegmentRun(std::u16string_view run) {
  const Tables& tables = Tables::Get();
  const std::vector<WordEntry>& words = tables.Words();
  const size_t n = run.size();
  // best[i]: the score of the best cut of run[i..]; length[i]: its first word.
  std::vector<double> best(n + 1, 0);
  std::vector<int> length(n + 1, 1);
  for (size_t i = n; i-- > 0;) {
    // An unlisted character counts once, as in jieba.
    best[i] = -tables.LogTotal() + best[i + 1];
    length[i] = 1;
    auto first = words.begin(), last = words.end();
    for (size_t end = i + 1; end <= n; ++end) {
      Narrow(&first, &last, end - i, run[end - 1]);
      if (first == last) break;  // no listed word goes on this way
      if (first->text.size() != end - i) continue;
      const double score = first->logCount - tables.LogTotal() + best[end];
      if (end == i + 1 || score >= best[i]) {
        best[i] = score;
        length[i] = static_cast<int>(end - i);
      }
    }
  }
  std::vector<int> lengths;
  for (size_t i = 0; i < n; i += static_cast<size_t>(length[i])) lengths.push_back(length[i]);
  return lengths;
}

}  // namespace molvane::words
