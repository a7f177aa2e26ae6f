// SPDX-License-Identifier: GPL-3.0-or-later
// Tone sandhi of 一 and 不: the tones they are spoken with before other
// syllables, for readers who want the spoken tones rather than the citation
// ones.
#include "words/tables.h"
#include "words/words.h"

namespace molvane::words {
namespace {

// Characters of a number: 一 after one of them is a digit or a count of its
// own (十一, 第一百零一).
constexpr std::u16string_view kNumerals = u"零〇一二三四五六七八九十百千万亿两第";
// Digits read one by one (一九四九): 一 before one of them is read as a digit.
constexpr std::u16string_view kDigits = u"零〇一二三四五六七八九";

bool Has(std::u16string_view set, char16_t han) {
  return set.find(han) != std::u16string_view::npos;
}

bool Is(const Reading& reading, std::string_view letters, int tone) {
  return reading.letters == letters && reading.tone == tone;
}

// The tone the next syllable carries: a neutral one that the character
// dictionary reads with a full tone (个 in 一个) counts with that tone and
// is shown with it, since it is what makes 一 and 不 change.
int Lifted(const Tables& tables, char16_t han, Reading* next) {
  if (next->tone == 0 && next->syllable != kNoSyllable) {
    const StoredReading own = tables.CharacterReading(han);
    if (own.syllable == next->syllable && own.tone != 0) next->tone = own.tone;
  }
  return next->tone;
}

// Whether 一 at `at` keeps its first tone: an ordinal or a count (第一, 十一),
// a digit (一九四九), a month (一月), the end of a word (统一, 唯一) or of a
// run.
bool OneKeepsItsTone(std::u16string_view run, size_t at, bool endsWord) {
  if (endsWord || at + 1 == run.size()) return true;
  return (at > 0 && Has(kNumerals, run[at - 1])) || Has(kDigits, run[at + 1]) ||
         run[at + 1] == u'月';
}

void ChangeRun(const Tables& tables, std::u16string_view run, Reading* readings) {
  std::vector<bool> endsWord(run.size(), false);
  size_t end = 0;
  for (int length : SegmentRun(run)) {
    end += static_cast<size_t>(length);
    if (length > 1) endsWord[end - 1] = true;
  }
  for (size_t at = 0; at + 1 < run.size(); ++at) {
    const bool one = run[at] == u'一' && Is(readings[at], "yi", 1);
    const bool no = run[at] == u'不' && Is(readings[at], "bu", 4);
    if (!one && !no) continue;
    if (one && OneKeepsItsTone(run, at, endsWord[at])) continue;
    // Between a one-character word and itself (看一看, 好不好) it is
    // unstressed; not after the end of a longer word (这个一个).
    if (at > 0 && run[at - 1] == run[at + 1] && !endsWord[at - 1]) {
      readings[at].tone = 0;
      continue;
    }
    const int next = Lifted(tables, run[at + 1], &readings[at + 1]);
    if (next == 4) {
      readings[at].tone = 2;  // yí gè, bú duì
    } else if (one && next != 0) {
      readings[at].tone = 4;  // yì tiān, yì qǐ
    }
  }
}

}  // namespace

void ApplySandhi(std::u16string_view text, std::vector<Reading>* readings) {
  const Tables& tables = Tables::Get();
  size_t read = 0;  // readings of the characters before `at`
  for (size_t at = 0; at < text.size();) {
    if (!IsHan(text[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < text.size() && IsHan(text[end])) ++end;
    if (read + (end - at) > readings->size()) return;  // not this text's readings
    ChangeRun(tables, text.substr(at, end - at), readings->data() + read);
    read += end - at;
    at = end;
  }
}

}  // namespace molvane::words
