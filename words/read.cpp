// SPDX-License-Identifier: GPL-3.0-or-later
// Readings of a text: each run of characters is cut into words; a word with a
// reading of its own gives it, every other character reads as the character
// dictionary has it.
#include <algorithm>

#include "words/function_readings.h"
#include "words/tables.h"
#include "words/words.h"

namespace molvane::words {
namespace {

Reading Public(const Tables& tables, StoredReading stored) {
  if (stored.syllable == kNoSyllable) return Reading{};
  return Reading{tables.Codes(stored.syllable).letters, stored.tone, stored.syllable};
}

// A count and 行 (一行, 两行, 每行) is mostly a line of text, the measure
// word hang2 that the dictionary gives, not the word 一行 (a party, xing2),
// which is followed by 人 (一行人); 五行, the five phases, stays a word.
bool CountedLine(std::u16string_view word, std::u16string_view after) {
  constexpr std::u16string_view kCounts = u"一二三四六七八九十两几百千万每多数半整";
  return word.size() == 2 && word[1] == u'行' &&
         kCounts.find(word[0]) != std::u16string_view::npos && (after.empty() || after[0] != u'人');
}

// 不 and 了 cut apart, both alone, are a verb's complement (消灭不了, 掩盖不了:
// cannot be done): 了 reads as in the word 不了 (liao3), not as the particle.
// The segmentation splits them because both are so common on their own.
const WordEntry* Complement(const Tables& tables, std::u16string_view run, size_t at,
                            const Cut& previous, const Cut& cut) {
  if (at == 0 || previous.length != 1 || cut.length != 1 || run[at - 1] != u'不' ||
      run[at] != u'了') {
    return nullptr;
  }
  return tables.Find(run.substr(at - 1, 2));
}

// A character twice, cut apart, is the listed doubled word when that changes
// its syllable (朝朝 zhao1 zhao1, 便便 pian2 pian2, 了了 liao3 liao3): jieba
// lacks most of them, so the path never takes them. A change of tone alone
// (说说) is left to the words around it.
const WordEntry* Doubled(const Tables& tables, std::u16string_view run, size_t at,
                         const Cut& previous, const Cut& cut) {
  if (at == 0 || previous.length != 1 || cut.length != 1 || run[at - 1] != run[at]) return nullptr;
  const WordEntry* pair = tables.Find(run.substr(at - 1, 2));
  if (pair == nullptr || pair->reading < 0) return nullptr;
  const uint16_t own = tables.CharacterReading(run[at]).syllable;
  return tables.PooledReading(pair->reading).syllable != own ? pair : nullptr;
}

// 地 cut apart is the particle de (the dictionary's reading) after an
// adjective or adverb (好地, 略地) or a longer word (简单地, 悄悄地); after
// another lone character (卷地, 之地, 人法地) or first in its run it is the
// noun, ground.
bool LoneEarth(const Tables& tables, std::u16string_view run, size_t at, const Cut* previous,
               const Cut& cut) {
  if (cut.length != 1 || run[at] != u'地') return false;
  return previous == nullptr || (previous->length == 1 && !tables.IsModifier(run[at - 1]));
}

// A character cut alone that has a reading of its own for standing alone
// (似 si4, 行 xing2) still reads as a listed word around it does, if there is
// one, when the segmentation took its neighbours' words instead (命令/行 of
// 命令行: hang2). Longer words first, then earlier ones.
const WordEntry* Covering(const Tables& tables, std::u16string_view run, size_t at,
                          size_t* offset) {
  constexpr size_t kLongest = 4;
  for (size_t length = std::min(kLongest, run.size()); length >= 2; --length) {
    for (size_t start = at + 1 >= length ? at + 1 - length : 0;
         start <= at && start + length <= run.size(); ++start) {
      const WordEntry* word = tables.Find(run.substr(start, length));
      if (word != nullptr && word->reading >= 0) {
        *offset = at - start;
        return word;
      }
    }
  }
  return nullptr;
}

// Where a character's neighbours stand: the bounds of its own word in the run
// and whether the words before and after it are single characters.
struct Surroundings {
  size_t wordStart;
  size_t wordEnd;
  bool previousAlone;
  bool nextAlone;
};

// A character no word settles reads as the dictionary's words read it beside
// the character next to it, where they agree (长时间: 长 before 时, chang2;
// 重来: 重 before 来, chong2). A pair that is a word in its own right was
// weighed by the path, which chose otherwise (的确定 is 的 + 确定: 的 stays
// de; 中的 is 中 + 的: not zhong4 di4); only a pair listed for its reading
// alone (a count of one, which never wins the path) or, where the neighbour
// stands alone, any listed pair still speaks.
// Where the two neighbours disagree, the pair with more votes wins.
// A row of the grammar table that fits the neighbours comes first (三只鸟
// zhi1, 千载 zai3).
StoredReading InContext(const Tables& tables, std::u16string_view run, size_t at,
                        const Surroundings& around, StoredReading fallback) {
  if (const StoredReading ruled = GrammarReading(tables, run, at); ruled.syllable != kNoSyllable)
    return ruled;
  const ContextReading* best = nullptr;
  const auto consider = [&](size_t first, int place, bool neighbourApart) {
    const std::u16string_view pair = run.substr(first, 2);
    const ContextReading* found = tables.InPair(pair[0], pair[1], place);
    if (found == nullptr || (best != nullptr && found->weight <= best->weight)) return;
    const WordEntry* listed = tables.Find(pair);
    if (listed == nullptr || (!neighbourApart && listed->logCount <= 0)) best = found;
  };

  if (!tables.HasPairs(run[at])) return fallback;
  if (at > 0) consider(at - 1, 1, at == around.wordStart && !around.previousAlone);
  if (at + 1 < run.size()) consider(at, 0, at + 1 == around.wordEnd && !around.nextAlone);
  return best != nullptr ? best->reading : fallback;
}

void ReadRun(const Tables& tables, std::u16string_view run, std::vector<Reading>* out) {
  size_t at = 0;
  std::vector<Cut> cuts;
  CutRun(run, &cuts);
  for (size_t k = 0; k < cuts.size(); ++k) {
    const Cut& cut = cuts[k];
    const std::u16string_view word = run.substr(at, static_cast<size_t>(cut.length));
    const WordEntry* complement = k > 0 ? Complement(tables, run, at, cuts[k - 1], cut) : nullptr;
    if (complement != nullptr && complement->reading >= 0) {
      out->push_back(Public(tables, tables.PooledReading(complement->reading + 1)));
      at += word.size();
      continue;
    }
    if (const WordEntry* pair = k > 0 ? Doubled(tables, run, at, cuts[k - 1], cut) : nullptr) {
      out->back() = Public(tables, tables.PooledReading(pair->reading));
      out->push_back(Public(tables, tables.PooledReading(pair->reading + 1)));
      at += word.size();
      continue;
    }
    if (LoneEarth(tables, run, at, k > 0 ? &cuts[k - 1] : nullptr, cut)) {
      out->push_back(Public(tables, StoredReading{tables.SyllableNumber("di"), 4}));
      at += word.size();
      continue;
    }
    const bool counted = CountedLine(word, run.substr(at + word.size()));
    const WordEntry* entry = counted ? nullptr : cut.word;
    size_t offset = 0;
    if (word.size() == 1 && entry != nullptr && entry->reading >= 0) {
      if (const WordEntry* around = Covering(tables, run, at, &offset)) {
        out->push_back(
            Public(tables, tables.PooledReading(around->reading + static_cast<int32_t>(offset))));
        at += word.size();
        continue;
      }
    }
    const Surroundings around{at, at + word.size(), k > 0 && cuts[k - 1].length == 1,
                              k + 1 < cuts.size() && cuts[k + 1].length == 1};
    for (size_t i = 0; i < word.size(); ++i) {
      // A character the dictionary lacks stays skipped inside a word too. A
      // word with no reading of its own either reads as its characters do
      // alone (the words that read them otherwise are all listed) or is
      // one of jieba's that no dictionary settles (长时间, 最长).
      const StoredReading own = word.size() > 1 && !counted ? tables.LoneReading(word[i])
                                                            : tables.CharacterReading(word[i]);
      if (own.syllable == kNoSyllable) {
        out->push_back(Reading{});
        continue;
      }
      // A single character's entry holds its reading alone, the back-off of
      // its context; a longer word is settled even without readings of its
      // own (most read as their characters do).
      const bool fromWord = entry != nullptr && entry->reading >= 0;
      const StoredReading reading =
          fromWord ? tables.PooledReading(entry->reading + static_cast<int32_t>(i)) : own;
      // A two-character word no dictionary reads (jieba's 三只, 一曲) is most
      // often a count and its measure word: the grammar's rows read it.
      if (word.size() == 2 && i == 1 && !fromWord && !counted) {
        const StoredReading ruled = GrammarReading(tables, run, at + 1);
        if (ruled.syllable != kNoSyllable) {
          out->push_back(Public(tables, ruled));
          continue;
        }
      }
      out->push_back(Public(tables, word.size() > 1 || counted
                                        ? reading
                                        : InContext(tables, run, at, around, reading)));
    }
    at += word.size();
  }
}

}  // namespace

std::vector<Reading> ReadText(std::u16string_view text, ReadingMode mode) {
  const Tables& tables = Tables::Get();
  std::vector<Reading> readings;
  for (size_t at = 0; at < text.size();) {
    if (!IsHan(text[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < text.size() && IsHan(text[end])) ++end;
    const std::u16string_view run = text.substr(at, end - at);
    if (mode == ReadingMode::kWords) {
      ReadRun(tables, run, &readings);
    } else {
      for (char16_t han : run) readings.push_back(Public(tables, tables.CharacterReading(han)));
    }
    at = end;
  }
  return readings;
}

}  // namespace molvane::words
