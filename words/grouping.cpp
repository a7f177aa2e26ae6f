// SPDX-License-Identifier: GPL-3.0-or-later
// Groups of words by the rules of words/tables/grouping.txt.
#include "words/grouping.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "words/tables.h"
#include "words/words.h"

namespace molvane::words {

extern const char kGroupingTable[];

namespace {

// What one rule set does, from the table's rows.
struct RuleSet {
  std::u16string suffixes;  // one-character words joined to the word before
  std::u16string aspects;   // the suffixes that make the word before a verb
  std::u16string places;    // place words joined after a longer word
  std::u16string measures;  // measure words
  std::u16string units;     // measure words only after a number in digits
  bool measuresJoin = false;
  std::u16string numerals;
  std::u16string pointers;
  bool pointersJoin = false;
  std::vector<std::u16string> whole;
  std::vector<std::pair<std::u16string, std::vector<int>>> cuts;  // word, part lengths
  size_t longWord = 0;  // words this long are cut into listed words; 0: never
};

std::string Narrow(std::u16string_view digits) {
  std::string out;
  for (char16_t c : digits) out += c >= u'0' && c <= u'9' ? static_cast<char>(c) : 'x';
  return out;
}

[[noreturn]] void BadRow(std::string_view line) {
  std::fprintf(stderr, "words/tables/grouping.txt: a row the rules do not know: %.*s\n",
               static_cast<int>(line.size()), line.data());
  std::abort();
}

// One row into one set: `action` is that set's column.
void AddRow(std::string_view rule, std::string_view action, const std::u16string& text,
            std::string_view line, RuleSet* set) {
  const bool join = action == "join";
  if (!join && action != "apart" && action != "cut") BadRow(line);
  if (rule == "suffix" || rule == "aspect") {
    if (join) set->suffixes += text;
    if (rule == "aspect") set->aspects += text;
  } else if (rule == "place") {
    if (join) set->places += text;
  } else if (rule == "measure") {
    set->measures += text;
    set->measuresJoin = join;
  } else if (rule == "unit") {
    set->units += text;
  } else if (rule == "numeral") {
    set->numerals += text;
  } else if (rule == "pointer") {
    set->pointers += text;
    set->pointersJoin = join;
  } else if (rule == "whole") {
    for (size_t at = 0; at < text.size();) {
      const size_t end = std::min(text.find(u' ', at), text.size());
      if (end > at) set->whole.push_back(text.substr(at, end - at));
      at = end + 1;
    }
  } else if (rule == "long") {
    const std::string digits = Narrow(text);
    if (digits.empty() || digits.find('x') != std::string::npos) BadRow(line);
    if (action == "cut") set->longWord = std::stoul(digits);
  } else if (rule == "cut") {
    const size_t equals = text.find(u'=');
    if (equals == std::u16string::npos) BadRow(line);
    std::vector<int> parts;
    int length = 0;
    for (char16_t c : text.substr(equals + 1)) {
      if (c != u' ') {
        ++length;
      } else if (length > 0) {
        parts.push_back(length);
        length = 0;
      }
    }
    if (length > 0) parts.push_back(length);
    set->cuts.emplace_back(text.substr(0, equals), std::move(parts));
  } else {
    BadRow(line);
  }
}

// The sets, by GroupingRules in the order of their columns (braille,
// common, pinyin), read from the table once on first use; constant afterwards.
const RuleSet& Rules(GroupingRules rules) {
  static const std::array<RuleSet, 3> kSets = [] {
    std::array<RuleSet, 3> sets;
    for (std::string_view line : SplitFields(kGroupingTable, '\n')) {
      if (line.empty() || line.front() == '#') continue;
      const std::vector<std::string_view> f = SplitFields(line, '\t');
      if (f.size() != 7) BadRow(line);
      const std::u16string text = Utf16Of(f[4]);
      for (size_t set = 0; set < sets.size(); ++set)
        AddRow(f[0], f[1 + set], text, line, &sets[set]);
    }
    return sets;
  }();
  switch (rules) {
    case GroupingRules::kBraille:
      return kSets[0];
    case GroupingRules::kCommonBraille:
      return kSets[1];
    case GroupingRules::kPinyin:
      break;
  }
  return kSets[2];
}

bool Has(const std::u16string& set, char16_t c) {
  return set.find(c) != std::u16string::npos;
}

bool IsNumeral(const RuleSet& set, std::u16string_view word) {
  return !word.empty() &&
         std::all_of(word.begin(), word.end(), [&](char16_t c) { return Has(set.numerals, c); });
}

bool CountsOrPoints(const RuleSet& set, std::u16string_view word) {
  return IsNumeral(set, word) || (word.size() == 1 && Has(set.pointers, word[0]));
}

// A word the set writes as two: a numeral or demonstrative and its measure
// word, where measure words stand apart (一个 → 一 个). The length of the
// first part, or 0.
size_t MeasureSplit(const RuleSet& set, std::u16string_view word) {
  if (set.measuresJoin || word.size() < 2 || !Has(set.measures, word.back())) return 0;
  if (std::find(set.whole.begin(), set.whole.end(), word) != set.whole.end()) return 0;
  const std::u16string_view before = word.substr(0, word.size() - 1);
  if (CountsOrPoints(set, before)) return before.size();
  return 0;
}

// The fewest listed words of two or more characters that make `word` (not
// the word itself), as lengths; empty when none do.
std::vector<int> ListedParts(std::u16string_view word) {
  const Tables& tables = Tables::Get();
  const size_t n = word.size();
  constexpr int kNone = 1 << 20;
  std::vector<int> fewest(n + 1, kNone), first(n + 1, 0);
  fewest[n] = 0;
  for (size_t i = n - 1; i + 1 > 0; --i)
    for (size_t length = n - i; length >= 2; --length) {
      if ((i == 0 && length == n) || fewest[i + length] == kNone) continue;
      if (fewest[i + length] + 1 < fewest[i] && tables.Find(word.substr(i, length)) != nullptr) {
        fewest[i] = fewest[i + length] + 1;
        first[i] = static_cast<int>(length);
      }
    }
  std::vector<int> parts;
  if (fewest[0] == kNone) return parts;
  for (size_t i = 0; i < n; i += static_cast<size_t>(first[i])) parts.push_back(first[i]);
  return parts;
}

// A long word as its words, each cut again while it is long.
void CutLong(const RuleSet& set, std::u16string_view word,
             std::vector<std::u16string_view>* words) {
  const bool holdsNumeral =
      std::any_of(word.begin(), word.end(), [&](char16_t c) { return Has(set.numerals, c); });
  const std::vector<int> parts = holdsNumeral ? std::vector<int>() : ListedParts(word);
  if (parts.empty()) {
    words->push_back(word);
    return;
  }
  size_t at = 0;
  for (int length : parts) {
    const std::u16string_view part = word.substr(at, static_cast<size_t>(length));
    at += static_cast<size_t>(length);
    if (part.size() >= set.longWord)
      CutLong(set, part, words);
    else
      words->push_back(part);
  }
}

// The words after cuts and splits.
std::vector<std::u16string_view> Words(const RuleSet& set, std::u16string_view run,
                                       const std::vector<int>& lengths) {
  std::vector<std::u16string_view> words;
  size_t at = 0;
  for (int length : lengths) {
    if (at >= run.size() || length <= 0) break;  // lengths past the run: nothing to group
    const std::u16string_view word = run.substr(at, static_cast<size_t>(length));
    at += static_cast<size_t>(length);
    // 三 本书: the measure word 本 and the noun 书.
    if (word.size() == 2 && Has(set.measures, word[0]) && !words.empty() &&
        CountsOrPoints(set, words.back())) {
      words.push_back(word.substr(0, 1));
      words.push_back(word.substr(1));
      continue;
    }
    const auto cut = std::find_if(set.cuts.begin(), set.cuts.end(),
                                  [&](const auto& c) { return c.first == word; });
    if (cut != set.cuts.end()) {
      size_t from = 0;
      for (int part : cut->second) {
        words.push_back(word.substr(from, static_cast<size_t>(part)));
        from += static_cast<size_t>(part);
      }
    } else if (set.longWord > 0 && word.size() >= set.longWord) {
      CutLong(set, word, &words);
    } else if (const size_t first = MeasureSplit(set, word)) {
      words.push_back(word.substr(0, first));
      words.push_back(word.substr(first));
    } else {
      words.push_back(word);
    }
  }
  return words;
}

// True when `word` joins the word before it; `next` is the word after it
// (empty at the run's end).
bool JoinsBefore(const RuleSet& set, std::u16string_view previous, std::u16string_view word,
                 std::u16string_view next) {
  if (word.size() != 1) return false;
  const char16_t c = word[0];
  if (Has(set.suffixes, c)) return true;
  if (Has(set.places, c) && previous.size() >= 2)
    return !(next.size() == 1 && Has(set.aspects, next[0]));  // 下着: a verb
  if (set.measuresJoin && Has(set.measures, c))
    return IsNumeral(set, previous) ||
           (set.pointersJoin && previous.size() == 1 && Has(set.pointers, previous[0]));
  return false;
}

}  // namespace

std::vector<int> GroupWords(std::u16string_view run, const std::vector<int>& wordLengths,
                            GroupingRules rules) {
  const RuleSet& set = Rules(rules);
  const std::vector<std::u16string_view> words = Words(set, run, wordLengths);
  std::vector<int> groups;
  for (size_t i = 0; i < words.size(); ++i) {
    const auto length = static_cast<int>(words[i].size());
    const std::u16string_view next = i + 1 < words.size() ? words[i + 1] : std::u16string_view();
    if (i > 0 && JoinsBefore(set, words[i - 1], words[i], next))
      groups.back() += length;
    else
      groups.push_back(length);
  }
  return groups;
}

std::vector<int> GroupRun(std::u16string_view run, GroupingRules rules) {
  return GroupWords(run, SegmentRun(run), rules);
}

bool JoinsNumber(std::u16string_view word, GroupingRules rules) {
  const RuleSet& set = Rules(rules);
  return set.measuresJoin && !word.empty() &&
         (Has(set.measures, word[0]) || Has(set.units, word[0]));
}

}  // namespace molvane::words
