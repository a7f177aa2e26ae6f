// SPDX-License-Identifier: GPL-3.0-or-later
// Which words of a run are written together: Chinese braille and the common
// braille join the one-syllable particles, place words and measure words to
// the word before them, pinyin follows the Hanyu Pinyin orthography; both cut long proper
// nouns into their words. The rules are words/tables/grouping.txt.
#pragma once

#include <string_view>
#include <vector>

namespace molvane::words {

// Chinese braille (GB/T 15720), the common braille of 2018, pinyin.
enum class GroupingRules { kBraille, kCommonBraille, kPinyin };

// The groups of a run of Chinese characters (UTF-16 units) cut into words of
// the given lengths (as SegmentRun returns them): group lengths in
// characters, in order, summing to the run's length. A group is written with
// no blank inside it.
std::vector<int> GroupWords(std::u16string_view run, const std::vector<int>& wordLengths,
                            GroupingRules rules);

// SegmentRun, then GroupWords.
std::vector<int> GroupRun(std::u16string_view run, GroupingRules rules);

// True when the rules write a number in digits together with the word after
// it: in braille a word that starts with a measure word (3个, 5岁), never in
// pinyin (3 gè). The caller still keeps a blank where the word's first cell
// would read as a digit.
bool JoinsNumber(std::u16string_view word, GroupingRules rules);

}  // namespace molvane::words
