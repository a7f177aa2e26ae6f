// Segmentation by the most probable path: every way of cutting a run into
// listed words (or single characters) is scored by the sum of the words' log
// frequencies, and the best one is taken, scanning from the run's end.
#include <cmath>

#include "words/tables.h"
#include "words/words.h"

namespace molvane::words {

std::vector<int> SegmentRun(std::u16string_view run) {
  const Tables& tables = Tables::Get();
  const size_t n = run.size();
  // best[i]: the score of the best cut of run[i..]; length[i]: its first word.
  std::vector<double> best(n + 1, 0);
  std::vector<int> length(n + 1, 1);
  for (size_t i = n; i-- > 0;) {
    // An unlisted character counts once, as in jieba.
    const WordEntry* single = tables.Find(run.substr(i, 1));
    best[i] = (single != nullptr && single->isWord ? single->logCount : 0) - tables.LogTotal() +
              best[i + 1];
    length[i] = 1;
    for (size_t end = i + 2; end <= n; ++end) {
      const WordEntry* word = tables.Find(run.substr(i, end - i));
      if (word == nullptr) break;  // no listed word goes on this way
      if (!word->isWord) continue;
      const double score = word->logCount - tables.LogTotal() + best[end];
      if (score >= best[i]) {
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
