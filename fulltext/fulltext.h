// SPDX-License-Identifier: GPL-3.0-or-later
// Full text: what the Chinese-character converters leave out (punctuation,
// digits, Latin letters, spaces and line breaks, and anything without a
// written form), written the way a braille or pinyin reader expects it, and
// the spacing between words. The library knows nothing of the program; its
// caller hands it the syllables the program made.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fulltext/signs.h"

namespace molvane::fulltext {

// Braille cells, one byte a cell holding its dots (dot k as bit k - 1).
using Cells = std::string;

// What a character is to the full-text conversion.
enum class CharClass {
  kHan,        // U+4E00 to U+9FA5: the program's
  kDigit,      // 0-9, full-width too
  kLetter,     // A-Z and a-z, full-width too
  kSpace,      // spaces and tabs, the ideographic space
  kLineBreak,  // LF, CR, form feed, line and paragraph separators
  kIgnored,    // marks that carry nothing on their own: the byte order mark,
               // zero-width and direction marks, the soft hyphen
  kAttached,   // joiners, variation selectors, combining marks: part of the one before
  kOther,      // a sign of the table, or nothing with a written form
};
CharClass Classify(char32_t code);

// A full-width digit or letter as its ASCII form; other characters unchanged.
char32_t Narrow(char32_t code);

// What a character outside the program's range is read as, when it is a
// Chinese character the program knows by another code (〇 as 零); 0 if none.
char32_t ReadAs(char32_t code);

// The sign whose print form starts `text` (the longest one), or null; only
// the rows that hold anywhere.
const SignRow* MatchSign(std::u32string_view text);
// The same where the place counts: `before` is the character before `text`
// (0 at a line's start) and what follows the print form in `text` is the
// character after it, so a colon between digits or a dot inside a word finds
// its own row.
const SignRow* MatchSign(std::u32string_view text, char32_t before);

// A sign's cells in current or double-spell braille.
Cells SignCells(const SignRow& row, bool doubleSpell);

// The Chinese quotation mark that an ASCII quotation mark (a row of kind
// quote) stands for when it opens or closes: “ ” for ", ‘ ’ for '. The cells
// differ in double-spell braille; null for other rows.
const SignRow* QuoteMark(const SignRow& row, bool closing);

// True for a Latin letter: ASCII, full-width, or one with accents (é, ǎ, ü).
bool IsLatinLetter(char32_t code);

// True when `text` starts with a sign that keeps the word of `before` going:
// a dot or @ inside an address or abbreviation, an apostrophe between
// letters, a colon or range mark between digits. Such a word is written
// whole by WordCells.
bool ContinuesWord(char32_t before, std::u32string_view text);
// The same knowing the word so far: the dot after the last letter of an
// abbreviation (U.S.A.) keeps it going too.
bool ContinuesWord(std::u32string_view word, std::u32string_view text);

// Cells from dot numbers ("5-23"); empty when `dots` are not dot numbers.
Cells CellsFromDots(std::string_view dots);

// A run of digits, with "." and "," between digits: one number sign, then the
// digits as the letters a to j, a decimal point (dots 4 6) and a group
// separator (dot 3).
Cells NumberCells(std::u32string_view run);

// A run of Latin letters: the letter sign (dots 5 6) before a run that starts
// lower-case, the capital sign (dot 6) before every capital, or the double
// capital sign (dots 6, 6) before a word of capitals only (DNA); an accented
// letter is its accent's cells, then the letter (café, nǐ).
Cells LetterCells(std::u32string_view run);

// Where a stretch of a word read under a sign starts (a number's number
// sign, a letter run's letter or capital sign), so that a line cut inside
// the stretch can repeat the sign.
struct WordSign {
  size_t from = 0;
  Cells cells;
};

// A word of letters, digits and the signs that keep a word going
// (ContinuesWord): each number with its number sign, each run of letters as
// LetterCells, the signs as their rows inside a word. One word, no blank.
// `signs`, when given, receives each stretch's sign.
Cells WordCells(std::u32string_view word, std::vector<WordSign>* signs = nullptr);

// What stands for a character without a braille form: three full cells.
Cells PlaceholderCells();
// And in pinyin: the missing-character mark.
constexpr const char* kPinyinPlaceholder = "□";

// True when a cell is one of the ten digit shapes (the letters a to j), which
// a reader would take for a digit right after a number.
bool IsDigitShape(char cell);

// One part of the converted text, handed to the spacer in order.
struct Part {
  enum class Kind { kWord, kSign, kSpace, kLineBreak };
  Kind kind = Kind::kWord;
  std::string text;               // a word's cells or pinyin, a sign's written form
  const SignRow* sign = nullptr;  // kSign
  std::string closeText;          // kSign of kind quote: the text when it closes, if not `text`
  bool number = false;            // kWord: a number
  bool joinsPrevious = false;     // kWord: the same word as the word just before
};

// Where the spacer writes: word text (appended to the word being written), a
// blank between words, a line break.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Word(std::string_view text) = 0;
  virtual void Blank() = 0;
  virtual void LineBreak() = 0;
};

// Decides where blanks go: one between words; signs that close or pause
// stick to the word before them, opening signs to the word after them; spaces
// in the input are kept (never fewer blanks than spaces), trailing ones
// dropped at a line's end. In braille a blank also follows a number whose
// next cell would read as a digit.
class Spacer {
 public:
  Spacer(Sink* sink, bool braille) : sink_(sink), braille_(braille) {}
  void Add(const Part& part);

 private:
  void Blanks(int count);
  void AddWord(const Part& part);
  void AddSign(const Part& part);

  Sink* sink_;
  bool braille_;
  bool blankDue_ = false;    // a word or a closing sign was written last
  bool wordLast_ = false;    // a word was written last
  bool numberLast_ = false;  // a number was written last
  bool quoteOpen_ = false;   // an ASCII double quotation mark opened and not closed
  bool singleOpen_ = false;  // the same for a single one
  int spaces_ = 0;           // input spaces since the last thing written
};

}  // namespace molvane::fulltext
