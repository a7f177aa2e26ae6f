// SPDX-License-Identifier: GPL-3.0-or-later
// The tables the word path reads, parsed once from the constant area: the
// character dictionary, the word frequencies and readings, and per syllable
// its codes in the four notations (found by the same first-match rules the
// program's converters use).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace molvane::words {

constexpr char16_t kFirstHan = 0x4E00;
constexpr char16_t kLastHan = 0x9FA5;
inline bool IsHan(char16_t unit) {
  return unit >= kFirstHan && unit <= kLastHan;
}

constexpr uint16_t kNoSyllable = 0xFFFF;

// A reading as stored: the syllable's number and the tone digit.
struct StoredReading {
  uint16_t syllable = kNoSyllable;
  uint8_t tone = 0;
};

struct WordEntry {
  std::u16string_view text;
  double logCount = 0;
  int32_t reading = -1;  // first of the word's readings in the pool, -1: read by character
};

// A character's reading by the character beside it (see ReadContext).
struct ContextReading {
  uint32_t key = 0;  // the pair's two offsets from kFirstHan and the place, packed
  StoredReading reading;
  uint8_t weight = 0;  // ln(1 + the words' votes), in tenths
};

// Codes of one syllable; empty when the notation's table lacks it (the
// program then writes nothing for the character).
struct SyllableCodes {
  std::string letters;
  std::string brailleDots;       // current braille
  std::string doubleInitial;     // double-spell braille, initial cell
  std::string doubleFinal;       // ... and final cell before tone marks
  std::string shuangpinInitial;  // key, possibly empty
  std::string shuangpinFinal;
  std::array<std::string, 5> marked;    // GBK, by tone
  std::array<std::string, 5> numbered;  // by tone
};

class Tables {
 public:
  // Parsed on first use. Immutable afterwards, so one copy serves every
  // conversion of the process.
  static const Tables& Get();

  StoredReading CharacterReading(char16_t han) const { return characters_[han - kFirstHan]; }
  // The reading of a character where no word settles it: the character
  // readings table's, else the dictionary's.
  StoredReading LoneReading(char16_t han) const { return lone_[han - kFirstHan]; }
  // The listed words in text order, so the words that start with a prefix
  // are one range.
  const std::vector<WordEntry>& Words() const { return words_; }
  // The range of Words() that starts with one character of the range.
  std::pair<size_t, size_t> StartingWith(char16_t han) const {
    return firstUnitRanges_[han - kFirstHan];
  }
  // The range of Words() that starts with `first` then `second`, empty when
  // no listed word does: one lookup in a small array instead of narrowing
  // the first character's range, which for common characters runs to
  // thousands of words.
  std::pair<size_t, size_t> StartingWith(char16_t first, char16_t second) const;
  const WordEntry* Find(std::u16string_view word) const;
  StoredReading PooledReading(int32_t at) const { return pool_[static_cast<size_t>(at)]; }
  const SyllableCodes& Codes(uint16_t syllable) const { return syllables_[syllable]; }
  // Syllables are numbered 0 to SyllableCount() - 1.
  uint16_t SyllableCount() const { return static_cast<uint16_t>(syllables_.size()); }
  uint16_t SyllableNumber(std::string_view letters) const;
  // Whether a character alone is an adjective or adverb (好, 略): 地 after
  // it is the particle.
  bool IsModifier(char16_t han) const { return modifiers_[han - kFirstHan]; }
  double LogTotal() const { return logTotal_; }
  // The reading the words give `pair[place]` (place 0 or 1) beside the other
  // character of the pair, null where they do not agree on one that differs
  // from LoneReading.
  const ContextReading* InPair(char16_t first, char16_t second, int place) const;
  // Whether any pair reads the character: most have none.
  bool HasPairs(char16_t han) const { return paired_[han - kFirstHan]; }

 private:
  Tables();
  void ReadDictionary();
  void ReadWords();
  void IndexSecondUnits();
  void ReadNotations();
  void ReadModifiers();
  void ReadContext();

  std::vector<StoredReading> characters_;
  std::vector<StoredReading> lone_;
  std::vector<SyllableCodes> syllables_;
  std::unordered_map<std::string, uint16_t> syllableNumbers_;
  std::u16string wordText_;  // the decoded frequency table; keys point into it
  std::vector<WordEntry> words_;
  std::vector<std::pair<size_t, size_t>> firstUnitRanges_;
  // Words of two or more characters by their second one: for each first
  // character its range of secondUnits_, sorted by unit as Words() is.
  struct SecondUnit {
    char16_t unit;
    uint32_t from, to;  // the range of Words()
  };
  std::vector<SecondUnit> secondUnits_;
  std::vector<std::pair<uint32_t, uint32_t>> secondUnitRanges_;
  std::vector<StoredReading> pool_;
  std::vector<bool> modifiers_;
  std::vector<ContextReading> context_;  // by key
  std::vector<bool> paired_;
  double logTotal_ = 0;
};

// One word of a cut run: its length and its entry, null for an unlisted
// character.
struct Cut {
  int length;
  const WordEntry* word;
};
// Cuts a run of characters of the range by the most probable path.
void CutRun(std::u16string_view run, std::vector<Cut>* cuts);

// GBK to wide units; bytes that are no GBK character are skipped.
std::u16string DecodeGbk(std::string_view gbk);

// A UTF-8 field of a readable table as wide units; empty when it holds a
// malformed byte or a character beyond the basic plane, which no table row
// may hold.
std::u16string Utf16Of(std::string_view utf8);

// A line of a readable table cut at every `by` (a tab between fields, a line
// break between rows); empty fields kept.
std::vector<std::string_view> SplitFields(std::string_view line, char by);

}  // namespace molvane::words
