// SPDX-License-Identifier: GPL-3.0-or-later
// Characters, signs, numbers, letters and the spacing between words.
#include "fulltext/fulltext.h"

#include <algorithm>
#include <cstdint>
#include <string>

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

bool IsAsciiLetter(char32_t c) {
  return IsUpper(c) || (c >= 'a' && c <= 'z');
}

// Accents as the modifier cells written before their letter, as unified
// English braille writes them (liblouis's Chinese tables take these).
enum Accent : uint8_t {
  kNone,
  kAcute,
  kGrave,
  kCircumflex,
  kCaron,
  kDiaeresis,
  kTilde,
  kMacron,
  kRing,
  kCedilla
};
constexpr const char* kAccentDots[] = {
    "", "45-34", "45-16", "45-146", "45-346", "45-25", "45-12456", "4-36", "45-1246", "45-12346",
};

// An accented letter: its code, the plain letter, and up to two accents (ǖ:
// the diaeresis, then the tone).
struct AccentedLetter {
  char32_t code;
  char base;
  Accent first;
  Accent second;
};
// Latin-1's letters and the letters of pinyin's tones, lower-case; the
// capitals are found by their lower-case forms.
constexpr AccentedLetter kAccented[] = {
    {0xE0, 'a', kGrave, kNone},       {0xE1, 'a', kAcute, kNone},
    {0xE2, 'a', kCircumflex, kNone},  {0xE3, 'a', kTilde, kNone},
    {0xE4, 'a', kDiaeresis, kNone},   {0xE5, 'a', kRing, kNone},
    {0xE7, 'c', kCedilla, kNone},     {0xE8, 'e', kGrave, kNone},
    {0xE9, 'e', kAcute, kNone},       {0xEA, 'e', kCircumflex, kNone},
    {0xEB, 'e', kDiaeresis, kNone},   {0xEC, 'i', kGrave, kNone},
    {0xED, 'i', kAcute, kNone},       {0xEE, 'i', kCircumflex, kNone},
    {0xEF, 'i', kDiaeresis, kNone},   {0xF1, 'n', kTilde, kNone},
    {0xF2, 'o', kGrave, kNone},       {0xF3, 'o', kAcute, kNone},
    {0xF4, 'o', kCircumflex, kNone},  {0xF5, 'o', kTilde, kNone},
    {0xF6, 'o', kDiaeresis, kNone},   {0xF9, 'u', kGrave, kNone},
    {0xFA, 'u', kAcute, kNone},       {0xFB, 'u', kCircumflex, kNone},
    {0xFC, 'u', kDiaeresis, kNone},   {0xFD, 'y', kAcute, kNone},
    {0xFF, 'y', kDiaeresis, kNone},   {0x101, 'a', kMacron, kNone},
    {0x113, 'e', kMacron, kNone},     {0x11B, 'e', kCaron, kNone},
    {0x12B, 'i', kMacron, kNone},     {0x144, 'n', kAcute, kNone},
    {0x148, 'n', kCaron, kNone},      {0x14D, 'o', kMacron, kNone},
    {0x16B, 'u', kMacron, kNone},     {0x1CE, 'a', kCaron, kNone},
    {0x1D0, 'i', kCaron, kNone},      {0x1D2, 'o', kCaron, kNone},
    {0x1D4, 'u', kCaron, kNone},      {0x1D6, 'u', kDiaeresis, kMacron},
    {0x1D8, 'u', kDiaeresis, kAcute}, {0x1DA, 'u', kDiaeresis, kCaron},
    {0x1DC, 'u', kDiaeresis, kGrave}, {0x1F9, 'n', kGrave, kNone},
};

const AccentedLetter* SearchAccented(char32_t c) {
  for (const auto& letter : kAccented)
    if (letter.code == c) return &letter;
  return nullptr;
}

// The accented letter `c` is, lower-case or capital (Latin-1's capitals are
// 0x20 below their letters, Latin Extended's one below); null for others.
const AccentedLetter* FindAccented(char32_t c, bool* capital = nullptr) {
  if (c < 0xC0 || c > 0x1F9 || c == 0xD7) return nullptr;  // most characters: no search
  bool upper = false;
  const AccentedLetter* letter = SearchAccented(c);
  if (letter == nullptr && (c >= 0x100 || c < 0xDF)) {
    letter = SearchAccented(c < 0x100 ? c + 0x20 : c + 1);
    upper = letter != nullptr;
  }
  if (capital != nullptr) *capital = upper;
  return letter;
}

bool IsCapital(char32_t c) {
  bool capital = false;
  return IsUpper(c) || (FindAccented(c, &capital) != nullptr && capital);
}

// The cells of one letter, its capital sign left to the caller.
void AppendLetter(char32_t c, Cells* cells) {
  if (const AccentedLetter* accented = IsAsciiLetter(c) ? nullptr : FindAccented(c)) {
    *cells += CellsFromDots(kAccentDots[accented->first]);
    if (accented->second != kNone) *cells += CellsFromDots(kAccentDots[accented->second]);
    c = static_cast<char32_t>(accented->base);
  }
  if (IsUpper(c)) c = c - 'A' + 'a';
  // Not a letter: the caller broke the run wrongly; the full cell marks it.
  *cells += c >= 'a' && c <= 'z' ? kLetters[c - 'a'] : kFullCell;
}

bool IsWordCharacter(char32_t c) {
  c = Narrow(c);
  return IsDigit(c) || IsLatinLetter(c) || (c >= 0x4E00 && c <= 0x9FA5) || c == 0x3007;
}

// True when a row of a place holds between `before` and `after`.
bool Holds(SignWhere where, char32_t before, char32_t after) {
  before = Narrow(before);
  after = Narrow(after);
  switch (where) {
    case SignWhere::kAny:
      return true;
    case SignWhere::kDigits:
      return IsDigit(before) && IsDigit(after);
    case SignWhere::kWord:
      return (IsDigit(before) || IsLatinLetter(before)) && (IsDigit(after) || IsLatinLetter(after));
    case SignWhere::kOutside:
      return !(IsDigit(before) || IsLatinLetter(before)) ||
             !(IsDigit(after) || IsLatinLetter(after));
    case SignWhere::kNumber:
      return !IsWordCharacter(before) && IsDigit(after);
    case SignWhere::kBetween:
      return IsWordCharacter(before) && IsWordCharacter(after);
  }
  return false;
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
  if (c == 0xFEFF || c == 0xAD || (c >= 0x200B && c <= 0x200C) || c == 0x200E || c == 0x200F ||
      (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) || (c >= 0x2066 && c <= 0x206F))
    return CharClass::kIgnored;
  if (c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0x0300 && c <= 0x036F) ||
      (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0020 && c <= 0xE007F) ||
      (c >= 0xE0100 && c <= 0xE01EF))
    return CharClass::kAttached;
  return CharClass::kOther;
}

char32_t ReadAs(char32_t code) {
  return code == 0x3007 ? 0x96F6 : 0;  // 〇 líng, as 零
}

const SignRow* MatchSign(std::u32string_view text) {
  if (text.empty()) return nullptr;
  const SignRow* end = kSignRows + kSignRowCount;
  const SignRow* row = std::lower_bound(
      kSignRows, end, text.front(), [](const SignRow& r, char32_t c) { return r.print[0] < c; });
  for (; row != end && row->print[0] == text.front(); ++row)
    if (row->where == SignWhere::kAny && text.starts_with(row->print)) return row;
  return nullptr;
}

const SignRow* MatchSign(std::u32string_view text, char32_t before) {
  if (text.empty()) return nullptr;
  const SignRow* end = kSignRows + kSignRowCount;
  const SignRow* row = std::lower_bound(
      kSignRows, end, text.front(), [](const SignRow& r, char32_t c) { return r.print[0] < c; });
  for (; row != end && row->print[0] == text.front(); ++row) {
    if (!text.starts_with(row->print)) continue;
    const size_t length = std::char_traits<char32_t>::length(row->print);
    if (Holds(row->where, before, length < text.size() ? text[length] : 0)) return row;
  }
  return nullptr;
}

Cells SignCells(const SignRow& row, bool doubleSpell) {
  return CellsFromDots(doubleSpell ? row.doubleCells : row.cells);
}

const SignRow* QuoteMark(const SignRow& row, bool closing) {
  if (row.kind != SignKind::kQuote) return nullptr;
  const bool single = row.print[0] == '\'';
  const char32_t mark[2] = {single ? (closing ? U'’' : U'‘') : (closing ? U'”' : U'“'), 0};
  return MatchSign(std::u32string_view(mark, 1));
}

bool IsLatinLetter(char32_t code) {
  const char32_t c = Narrow(code);
  return IsAsciiLetter(c) || FindAccented(c) != nullptr;
}

// Single letters each followed by a dot, the last dot still to come: U.S.A
bool IsAbbreviation(std::u32string_view word) {
  if (word.size() < 3 || word.size() % 2 == 0) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (i % 2 == 0 ? !IsLatinLetter(word[i]) : word[i] != '.') return false;
  return true;
}

bool ContinuesWord(std::u32string_view word, std::u32string_view text) {
  if (word.empty()) return false;
  if (text.starts_with(U".") && IsAbbreviation(word)) return true;
  return ContinuesWord(word.back(), text);
}

bool ContinuesWord(char32_t before, std::u32string_view text) {
  const SignRow* row = MatchSign(text, before);
  return row != nullptr && (row->where == SignWhere::kWord || row->where == SignWhere::kDigits);
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
  const bool allCapitals = run.size() > 1 && std::all_of(run.begin(), run.end(), [](char32_t c) {
                             return IsCapital(Narrow(c));
                           });
  if (allCapitals)
    cells.append(2, kCapitalSign);
  else if (!run.empty() && !IsCapital(Narrow(run.front())))
    cells += kLetterSign;
  for (char32_t c : run) {
    c = Narrow(c);
    if (!allCapitals && IsCapital(c)) cells += kCapitalSign;
    AppendLetter(c, &cells);
  }
  return cells;
}

Cells WordCells(std::u32string_view word, std::vector<WordSign>* signs) {
  Cells cells;
  size_t at = 0;
  char32_t before = 0;
  while (at < word.size()) {
    const char32_t c = Narrow(word[at]);
    size_t end = at + 1;
    if (IsDigit(c)) {
      // A number goes on through a decimal point or group separator between digits.
      while (end < word.size() && (IsDigit(Narrow(word[end])) ||
                                   ((word[end] == '.' || word[end] == ',') &&
                                    end + 1 < word.size() && IsDigit(Narrow(word[end + 1])))))
        ++end;
      if (signs != nullptr) signs->push_back({cells.size(), Cells(1, kNumberSign)});
      cells += NumberCells(word.substr(at, end - at));
    } else if (IsLatinLetter(c)) {
      while (end < word.size() && IsLatinLetter(word[end])) ++end;
      const Cells letters = LetterCells(word.substr(at, end - at));
      // The sign a continued line needs: the letter sign, or the double
      // capital sign of a word of capitals.
      const bool capitals =
          letters.size() > 1 && letters[0] == kCapitalSign && letters[1] == kCapitalSign;
      if (signs != nullptr)
        signs->push_back({cells.size(), capitals ? Cells(2, kCapitalSign) : Cells(1, kLetterSign)});
      cells += letters;
    } else if (c == '.' && at + 1 == word.size() && IsAbbreviation(word.substr(0, at))) {
      // The abbreviation's last dot: the table's dot inside a word.
      cells += CellsFromDots(MatchSign(U".a", U'a')->cells);
    } else if (const SignRow* row = MatchSign(word.substr(at), before)) {
      end = at + std::char_traits<char32_t>::length(row->print);
      cells += CellsFromDots(row->cells);
    } else {
      cells += PlaceholderCells();
    }
    before = word[end - 1];
    at = end;
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
    bool& open = part.sign->print[0] == '\'' ? singleOpen_ : quoteOpen_;
    kind = open ? SignKind::kClose : SignKind::kOpen;
    open = !open;
  }
  Blanks(kind == SignKind::kOpen ? std::max(spaces_, blankDue_ ? 1 : 0) : spaces_);
  const bool closing = part.sign->kind == SignKind::kQuote && kind == SignKind::kClose;
  sink_->Word(closing && !part.closeText.empty() ? part.closeText : part.text);
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
      quoteOpen_ = singleOpen_ = false;
      blankDue_ = wordLast_ = numberLast_ = false;
      sink_->LineBreak();
      break;
  }
}

}  // namespace molvane::fulltext
