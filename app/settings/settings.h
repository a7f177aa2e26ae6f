// SPDX-License-Identifier: GPL-3.0-or-later
// One value for everything a conversion can be asked for, shared by the
// window and molvane-convert: the notation, the separator, how characters are
// read, tones, what of the text is written, spacing and the braille form.
// Both programs read their choices into it and hand it to the same
// conversion (conversion.h); the window's convert button carries it as its
// route's context.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "words/words.h"

namespace molvane::settings {

// The notations in the order of the window's list; a notation's value is its
// list index. A notation beyond the stored five joins at the end.
enum class Notation : int {
  kCurrentBraille = 0,
  kDoubleBraille = 1,
  kShuangpin = 2,
  kPinyin = 3,
  kWubi = 4,
  // Not in the window's stored list, so kNotationCount leaves it out: only
  // molvane-convert writes it, through its own library (cbs/).
  kCommonBraille = 5,
};
constexpr int kNotationCount = 5;

// What of the input is written.
enum class TextMode {
  kHan,   // only the Chinese characters, as the stored program converts them
  kFull,  // braille and pinyin: punctuation, digits, letters, spaces and line
          // breaks too; shuangpin and Wubi: the input's lines kept, codes
          // apart by a blank
};

// Blanks between the syllables of a word (full text only).
enum class Spacing { kSyllable, kWord };

// How braille cells are written; PEF (the Portable Embosser Format) is
// always laid out in pages.
enum class BrailleForm { kDots, kUnicode, kBrf, kPef };

// How pinyin is laid out for teachers and learners: as text, as an HTML page
// with each character's pinyin above it (ruby), or one word a line with its
// readings after a tab (pairs).
enum class OutputFormat { kText, kRuby, kPairs };

// Wubi codes: each character's full code, a word's code for the words of
// the word data, or each character's short code (简码) where it has one.
enum class WubiCodes { kFull, kWords, kShort };

// Room for the page of laid-out braille.
struct PageLayout {
  int cells = 40;  // a line
  int lines = 25;  // a page

  bool operator==(const PageLayout&) const = default;
};

struct Settings {
  Notation notation = Notation::kCurrentBraille;
  std::string separator;  // UTF-8; empty: the notation's own (a line break, or a blank)
  words::ReadingMode readings = words::ReadingMode::kCharacters;
  words::ToneStyle tones = words::ToneStyle::kNone;  // pinyin only
  // 一 and 不 in the tones they are spoken with (pinyin with tones, double
  // braille, which writes tones); citation tones otherwise.
  bool sandhi = false;
  OutputFormat format = OutputFormat::kText;  // pinyin only
  // Every reading of a character in brackets, the chosen one first (pinyin).
  bool allReadings = false;
  WubiCodes wubi = WubiCodes::kFull;  // Wubi, the input's lines kept
  TextMode text = TextMode::kHan;
  Spacing spacing = Spacing::kSyllable;
  BrailleForm form = BrailleForm::kDots;  // braille only
  bool strict = false;                    // a character without a written form is an error
  // The output box's bytes: CR LF line breaks and nothing added at the end.
  // Otherwise LF, and a text ends with a line break.
  bool windowLineBreaks = true;
  PageLayout page;

  bool operator==(const Settings&) const = default;
};

// The window as it starts: the stored program's conversion, byte for byte.
Settings StoredProgram();

// molvane-convert's defaults for a notation: full text, word readings,
// braille with words written together, pinyin with tone marks and syllables
// apart, shuangpin and Wubi with the input's lines kept; LF line breaks.
Settings ReaderReady(Notation notation);

// True when the settings ask for nothing but what the stored program does,
// so its own convert command runs.
bool ConvertsAsStored(const Settings& settings);

bool IsBraille(Notation notation);
// Pinyin and braille: a syllable per character, so full text writes them.
bool WritesFullText(Notation notation);

// Names: the list index, the list item or the English name of a notation
// (any letter case); null when it names none.
std::optional<Notation> NotationNamed(std::string_view name);
const char* EnglishName(Notation notation);
std::optional<words::ReadingMode> ReadingModeNamed(std::string_view name);
std::optional<words::ToneStyle> ToneStyleNamed(std::string_view name);
std::optional<TextMode> TextModeNamed(std::string_view name);
std::optional<Spacing> SpacingNamed(std::string_view name);
std::optional<BrailleForm> BrailleFormNamed(std::string_view name);
std::optional<OutputFormat> OutputFormatNamed(std::string_view name);
std::optional<WubiCodes> WubiCodesNamed(std::string_view name);

// A settings problem (a choice that the notation does not take), or empty.
std::string Problem(const Settings& settings);

}  // namespace molvane::settings
