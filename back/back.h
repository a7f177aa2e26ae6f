// SPDX-License-Identifier: GPL-3.0-or-later
// Braille back into print: cells written as dot numbers, Unicode braille
// patterns or Braille ASCII (found by itself) read as the syllables of the
// current, double-spell or common braille, with the signs, digits and
// letters of the full-text table, blanks kept as word boundaries; then
// written as pinyin, or as characters by the decoder (back/decoder.h).
// A cell sequence that reads as nothing is reported with its place, never
// skipped in silence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "words/words.h"

namespace molvane::back {

enum class Notation { kCurrentBraille, kDoubleBraille, kCommonBraille };

// How the cells are written.
enum class Form { kDots, kUnicode, kBrf };

// Unicode when any braille pattern appears; dot numbers when the text holds
// nothing but the digits 1 to 6, "-" and white space; Braille ASCII else.
Form DetectForm(std::string_view utf8);

// One read cell: its dots (bit k - 1 for dot k), or a blank or line break.
constexpr uint8_t kBlank = 0;
constexpr uint8_t kLineBreak = 0x80;
struct Cell {
  uint8_t dots;
  size_t offset;  // byte offset of its first character in the input
};

struct Problem {
  size_t offset;  // byte offset in the input
  std::string what;
};

// The cells of a text in one form; a character that is no cell there is a
// problem (and no cell).
std::vector<Cell> ReadCells(std::string_view utf8, Form form, std::vector<Problem>* problems);

struct Token {
  enum class Kind { kSyllable, kSign, kText, kBlank, kLineBreak, kUnread };
  Kind kind = Kind::kUnread;
  uint16_t syllable = 0xFFFF;  // kSyllable: its number in words::Tables
  int tone = -1;               // kSyllable: 0 to 4 as written or implied, -1 not written
  bool toneMarked = false;     // a tone cell (or double-spell's final) says it
  char16_t han = 0;            // an abbreviated character's print form
  std::string text;            // kSign: print form; kText: digits or letters (UTF-8)
  std::string pinyin;          // kSign: as full pinyin writes it
  size_t offset = 0;           // byte offset of its first cell in the input
};

struct BackText {
  Notation notation = Notation::kCurrentBraille;
  std::vector<Token> tokens;
  std::vector<Problem> problems;
};

// Reads braille in any form as one notation.
BackText Read(std::string_view utf8, Notation notation);
BackText ReadCellsAs(const std::vector<Cell>& cells, Notation notation);

// Pinyin (UTF-8): a braille word's syllables written together (an apostrophe
// before a, o or e inside a word), blanks as spaces, signs as full pinyin
// writes them, an unread cell as the missing-character mark. Tones as marks
// or digits wherever known; with kNone, or where the braille writes none,
// the bare letters.
std::string Pinyin(const BackText& text, words::ToneStyle tones);

// Syllables that share their cells with another in every notation here (o
// and e): all of them, itself first, for a reader that weighs candidates.
const std::vector<uint16_t>& SameCells(uint16_t syllable);

}  // namespace molvane::back
