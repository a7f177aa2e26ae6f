// SPDX-License-Identifier: GPL-3.0-or-later
// Characters, signs, numbers, letters and the spacing between words.
#include "fulltext/fulltext.h"

#include <algorithm>

namespace molvane::fulltext {
namespace {

constexpr char kNumberSign = 0x3C;    // dots 3 4 5 6
constexpr char kLetterSign = 0x30;    // dots 5 6
constexpr char kCapitalSign = 0x20;   // dot 6
constexpr char kDecimalPoint = 0x28;  // dots 4 6
constexpr char kGroupSign = 0x04;     // dot 3
constexpr char kFullCell = 0x3F;

// The letters a to z as cells; a to j are also the digits 1 to 9 and 0.
constexpr char kLetters[26] = {
    0x01, 0x03, 0x09, 0x19, 0x11, 0x0B, 0x1B, 0x13, 0x0A, 0x1A, 0x05, 0x07, 0x0D,
    0x1D, 0x15, 0x0F, 0x1F, 0x17, 0x0E, 0x1E, 0x25, 0x27, 0x3A, 0x2D, 0x3D, 0x35,
};

bool IsDigit(char32_t c) {
  return c >= '0' && c <= '9';
}

bool IsUpper(char32_t c) {
  return c >= 'A' && c <= 'Z';
}

}  // namespace

char32_t Narrow(char32_t code) {
  if (code >= 0xFF10 && code <= 0xFF19) return code - 0xFF10 + '0';
  if (code >= 0xFF21 && code <= 0xFF3A) return code - 0xFF21 + 'A';
  if (code >= 0xFF41 && code <= 0xFF5A) return code - 0xFF41 + 'a';
  return code;
}

CharClass Classify(char32_t code) {
  const char32_t c = Narrow(code);
  if (c >= 0x4E00 && c <= 0x9FA5) return CharClass::kHan;
  if (IsDigit(c)) return CharClass::kDigit;
  if (IsUpper(c) || (c >= 'a' && c <= 'z')) return CharClass::kLetter;
  if (c == ' ' || c == '\t' || c == 0xA0 || c == 0x3000) return CharClass::kSpace;
  if (c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == 0x2028 || c == 0x2029)
    return CharClass::kLineBreak;
  if (c == 0xFEFF) return CharClass::kIgnored;
  if (c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0x0300 && c <= 0x036F) ||
      (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0020 && c <= 0xE007F) ||
      (c >= 0xE0100 && c <= 0xE01EF))
    return CharClass::kAttached;
  return CharClass::kOther;
}

const SignRow* MatchSign(std::u32string_view text) {
  if (text.empty()) return nullptr;
  const SignRow* end = kSignRows + kSignRowCount;
  const SignRow* row = std::lower_bound(
      kSignRows, end, text.front(), [](const SignRow& r, char32_t c) { return r.print[0] < c; });
  for (; row != end && row->print[0] == text.front(); ++row)
    if (text.starts_with(row->print)) return row;
  return nullptr;
}

Cells CellsFromDots(std::string_view dots) {
  Cells cells;
  char cell = 0;
  for (char c : dots) {
    if (c == '-') {
      if (cell == 0) return {};
      cells += cell;
      cell = 0;
    } else if (c >= '1' && c <= '6') {
      cell = static_cast<char>(cell | 1 << (c - '1'));
    } else {
      return {};
    }
  }
  if (cell == 0) return {};
  return cells + cell;
}

Cells NumberCells(std::u32string_view run) {
  Cells cells(1, kNumberSign);
  for (char32_t c : run) {
    c = Narrow(c);
    if (IsDigit(c))
      cells += kLetters[c == '0' ? 9 : c - '1'];
    else
      cells += c == '.' ? kDecimalPoint : kGroupSign;
  }
  return cells;
}

Cells LetterCells(std::u32string_view run) {
  Cells cells;
  if (!run.empty() && !IsUpper(Narrow(run.front()))) cells += kLetterSign;
  for (char32_t c : run) {
    c = Narrow(c);
    if (IsUpper(c)) {
      cells += kCapitalSign;
      c = c - 'A' + 'a';
    }
    cells += kLetters[c - 'a'];
  }
  return cells;
}

Cells PlaceholderCells() {
  return Cells(3, kFullCell);
}

bool IsDigitShape(char cell) {
  return std::find(kLetters, kLetters + 10, cell) != kLetters + 10;
}

void Spacer::Blanks(int count) {
  for (int i = 0; i < count; ++i) sink_->Blank();
  spaces_ = 0;
  blankDue_ = false;
}

void Spacer::AddWord(const Part& part) {
  int blanks = std::max(spaces_, blankDue_ && !(wordLast_ && part.joinsPrevious) ? 1 : 0);
  if (blanks == 0 && braille_ && numberLast_ && !part.number && !part.text.empty() &&
      IsDigitShape(part.text.front()))
    blanks = 1;
  Blanks(blanks);
  sink_->Word(part.text);
  blankDue_ = wordLast_ = true;
  numberLast_ = part.number;
}

void Spacer::AddSign(const Part& part) {
  SignKind kind = part.sign->kind;
  if (kind == SignKind::kQuote) {
    kind = quoteOpen_ ? SignKind::kClose : SignKind::kOpen;
    quoteOpen_ = !quoteOpen_;
  }
  Blanks(kind == SignKind::kOpen ? std::max(spaces_, blankDue_ ? 1 : 0) : spaces_);
  sink_->Word(part.text);
  blankDue_ = kind == SignKind::kPause || kind == SignKind::kClose;
  wordLast_ = numberLast_ = false;
}

void Spacer::Add(const Part& part) {
  switch (part.kind) {
    case Part::Kind::kWord:
      AddWord(part);
      break;
    case Part::Kind::kSign:
      AddSign(part);
      break;
    case Part::Kind::kSpace:
      ++spaces_;
      wordLast_ = numberLast_ = false;
      break;
    case Part::Kind::kLineBreak:
      // Blanks at a line's end are dropped. An ASCII quotation mark opens
      // again on a new line, so one line's writing never depends on another's.
      spaces_ = 0;
      quoteOpen_ = false;
      blankDue_ = wordLast_ = numberLast_ = false;
      sink_->LineBreak();
      break;
  }
}

}  // namespace molvane::fulltext
