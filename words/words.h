// SPDX-License-Identifier: GPL-3.0-or-later
// Word-aware readings: the input is cut into words by the most probable path
// over word frequencies, each character is read in the context of its word,
// and the readings are written in the four notations that use them with the
// program's constant tables and separator rules. Texts are GBK, as in the
// window's boxes. Wubi does not use readings and is not written here.
//
// The tables are read from the constant area once, on first use, and never
// change afterwards; every function may be called from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace molvane::words {

// How characters get their readings: one reading per character from the
// character dictionary (the program's way), or in the context of the word.
enum class ReadingMode { kCharacters, kWords };

// How full pinyin writes tones: not at all (the program's way), as marks
// ("zhōng guó", ü as ü) or as digits ("zhong1 guo2", ü as v, 5 for the
// neutral tone).
enum class ToneStyle { kNone, kMarks, kNumbers };

// Notations as the window's list numbers them.
enum class Notation { kCurrentBraille = 0, kDoubleBraille = 1, kShuangpin = 2, kFullPinyin = 3 };

// One character of U+4E00 to U+9FA5 in the text, with its reading: the
// dictionary's letters ("v" for ü, "lue"/"nue" for üe) and its tone, 0 for
// the neutral one. `letters` is empty for a character the dictionary lacks.
struct Reading {
  std::string_view letters;
  int tone = 0;
  uint16_t syllable = 0xFFFF;  // the syllable's place in the tables, for Render
};

// Cuts a run of characters of U+4E00 to U+9FA5 (UTF-16 units) into words;
// returns the word lengths in order (they sum to the run's length).
std::vector<int> SegmentRun(std::u16string_view run);

// The reading of every character of U+4E00 to U+9FA5 of a wide text, in
// order; every other character is dropped and ends a word.
std::vector<Reading> ReadText(std::u16string_view text, ReadingMode mode);

// Tone sandhi: 一 and 不 take the tones they are spoken with. Before a
// fourth tone they rise (yí gè, bú duì); 一 before the other tones falls (yì
// tiān); between a word and itself both are unstressed (看一看, 好不好). 一
// keeps its first tone as an ordinal or a count (第一, 十一), a digit
// (一九四九), in a month (一月), at the end of a word (统一) or of a run.
// `readings` are ReadText's of the same text; only readings of 一 as yi1 and
// 不 as bu4 change, and a neutral syllable after them that the character
// dictionary reads with a full tone is shown with it (一个: yí gè).
void ApplySandhi(std::u16string_view text, std::vector<Reading>* readings);

// Every reading the word data gives `han` (its reading alone, the character
// dictionary's, and those of the words that hold it), `chosen` first and
// each once; a word's neutral tone (东西 dōng xi) is not counted.
std::vector<Reading> AllReadingsOf(char16_t han, const Reading& chosen);

// The readings in one notation, GBK. The separator follows every character
// for full pinyin and braille and stands between characters for shuangpin,
// exactly as the program's converters place it (a character without a
// reading adds nothing). `tones` applies to full pinyin only.
std::string Render(const std::vector<Reading>& readings, Notation notation,
                   std::string_view separator, ToneStyle tones);

// How ConvertGbk reads and writes: the reading mode, the tone style of full
// pinyin and whether 一 and 不 take their spoken tones (ApplySandhi; citation
// tones by default).
struct ConvertOptions {
  ReadingMode mode = ReadingMode::kWords;
  ToneStyle tones = ToneStyle::kNone;
  bool sandhi = false;
};

// The whole conversion of a GBK text: ReadText then Render. Bytes that are no
// GBK character are skipped, as the window's boxes never hold them.
std::string ConvertGbk(std::string_view input, Notation notation, std::string_view separator,
                       const ConvertOptions& options);
std::string ConvertGbk(std::string_view input, Notation notation, std::string_view separator,
                       ReadingMode mode, ToneStyle tones);

// The Wubi 86 short code (简码) a typist types for a character, then the
// space bar (的 r, 经 x, 我 q), from words/tables/wubi_short.txt; empty where
// the full code is the shortest.
std::string_view ShortWubiCode(char16_t han);

}  // namespace molvane::words
