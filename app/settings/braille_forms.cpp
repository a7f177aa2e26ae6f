// SPDX-License-Identifier: GPL-3.0-or-later
// Unicode and Braille ASCII forms of braille cells, and the BRF page layout.
#include "app/settings/braille_forms.h"

#include <array>

#include "platform/platform.h"

namespace molvane::settings {
namespace {

// North American Braille ASCII: the 64 characters and the dots of their cells.
constexpr struct {
  char ascii;
  const char* dots;
} kBrailleAscii[] = {
    {' ', ""},      {'!', "2346"},  {'"', "5"},     {'#', "3456"},  {'$', "1246"}, {'%', "146"},
    {'&', "12346"}, {'\'', "3"},    {'(', "12356"}, {')', "23456"}, {'*', "16"},   {'+', "346"},
    {',', "6"},     {'-', "36"},    {'.', "46"},    {'/', "34"},    {'0', "356"},  {'1', "2"},
    {'2', "23"},    {'3', "25"},    {'4', "256"},   {'5', "26"},    {'6', "235"},  {'7', "2356"},
    {'8', "236"},   {'9', "35"},    {':', "156"},   {';', "56"},    {'<', "126"},  {'=', "123456"},
    {'>', "345"},   {'?', "1456"},  {'@', "4"},     {'A', "1"},     {'B', "12"},   {'C', "14"},
    {'D', "145"},   {'E', "15"},    {'F', "124"},   {'G', "1245"},  {'H', "125"},  {'I', "24"},
    {'J', "245"},   {'K', "13"},    {'L', "123"},   {'M', "134"},   {'N', "1345"}, {'O', "135"},
    {'P', "1234"},  {'Q', "12345"}, {'R', "1235"},  {'S', "234"},   {'T', "2345"}, {'U', "136"},
    {'V', "1236"},  {'W', "2456"},  {'X', "1346"},  {'Y', "13456"}, {'Z', "1356"}, {'[', "246"},
    {'\\', "1256"}, {']', "12456"}, {'^', "45"},    {'_', "456"},
};

// Bit mask of a cell written as its dot numbers; -1 for anything else.
int DotBits(std::string_view dots) {
  int bits = 0;
  for (char c : dots) {
    if (c < '1' || c > '6') return -1;
    bits |= 1 << (c - '1');
  }
  return bits;
}

// The table above indexed by bit mask, built once.
const std::array<char, 64>& AsciiByBits() {
  static const std::array<char, 64> table = [] {
    std::array<char, 64> t{};
    for (const auto& entry : kBrailleAscii)
      t[static_cast<size_t>(DotBits(entry.dots))] = entry.ascii;
    return t;
  }();
  return table;
}

bool IsBrailleAscii(char c) {
  if (c >= 'a' && c <= 'z') return true;
  for (const auto& entry : kBrailleAscii)
    if (entry.ascii == c) return true;
  return false;
}

}  // namespace

bool CellsOf(std::string_view dots, std::vector<int>* cells) {
  cells->clear();
  while (true) {
    const size_t dash = dots.find('-');
    const int bits = DotBits(dots.substr(0, dash));
    if (bits <= 0) return false;  // an empty cell is not written as dot numbers
    cells->push_back(bits);
    if (dash == std::string_view::npos) return true;
    dots.remove_prefix(dash + 1);
  }
}

std::string UnicodeBraille(const std::vector<int>& cells) {
  std::string out(cells.size() * 3, '\0');
  char* end = out.data();
  for (int bits : cells) end = platform::EncodeUtf8(static_cast<char16_t>(0x2800 + bits), end);
  out.resize(static_cast<size_t>(end - out.data()));
  return out;
}

std::string BrailleAscii(const std::vector<int>& cells) {
  std::string out;
  for (int bits : cells) out += AsciiByBits()[static_cast<size_t>(bits & 63)];
  return out;
}

bool IsBrfText(std::string_view text) {
  for (char c : text)
    if (c != '\r' && c != '\n' && !IsBrailleAscii(c)) return false;
  return true;
}

BrfLayout::BrfLayout(std::string lineBreak, size_t width, size_t height)
    : lineBreak_(std::move(lineBreak)), width_(width), height_(height) {}

void BrfLayout::EndLine() {
  while (!line_.empty() && line_.back() == ' ') line_.pop_back();
  if (linesOnPage_ == height_) {
    done_ += '\f';
    linesOnPage_ = 0;
  }
  done_ += line_;
  done_ += lineBreak_;
  line_.clear();
  ++linesOnPage_;
}

void BrfLayout::AddCells(std::string_view cells) {
  if (!line_.empty() && line_.size() + cells.size() > width_) EndLine();
  line_ += cells;
  afterCarriageReturn_ = false;
}

void BrfLayout::AddSeparator(std::string_view separator) {
  for (char c : separator) {
    const bool newline = c == '\n' && afterCarriageReturn_;  // the LF of a CR LF
    afterCarriageReturn_ = c == '\r';
    if (c == '\r' || c == '\n') {
      if (!newline) EndLine();
      continue;
    }
    if (line_.size() >= width_) {
      if (c == ' ') continue;  // the line's end stands for it
      EndLine();
    }
    line_ += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
}

void BrfLayout::Finish() {
  if (!line_.empty()) EndLine();
}

std::string BrfLayout::Take() {
  std::string out;
  out.swap(done_);
  return out;
}

namespace {

bool IsDotText(char c) {
  return (c >= '0' && c <= '9') || c == '-';
}

// Text between cells: blanks, line breaks (LF kept alone) and the separator.
bool BetweenCells(std::string_view text, std::string_view separator, std::string* out) {
  for (size_t at = 0; at < text.size();) {
    if (!separator.empty() && text.substr(at).starts_with(separator)) {
      *out += separator;
      at += separator.size();
    } else if (text[at] == ' ' || text[at] == '\n') {
      *out += text[at++];
    } else if (text.substr(at).starts_with("\r\n")) {
      *out += '\n';
      at += 2;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

bool RewriteDotText(std::string_view text, std::string_view separator, BrailleForm form,
                    std::string* out, size_t width) {
  BrfLayout layout("\n", width);
  std::vector<int> cells;
  std::string between;
  out->clear();
  for (size_t at = 0; at < text.size();) {
    size_t end = at;
    const bool dots = IsDotText(text[at]);
    while (end < text.size() && IsDotText(text[end]) == dots) ++end;
    const std::string_view piece = text.substr(at, end - at);
    at = end;
    between.clear();
    if (dots && !CellsOf(piece, &cells)) return false;
    if (!dots && !BetweenCells(piece, separator, &between)) return false;
    if (form == BrailleForm::kUnicode) {
      if (dots) {
        *out += UnicodeBraille(cells);
      } else {
        // Without a separator a blank between words is the blank cell.
        for (char c : between) *out += c == ' ' && separator.empty() ? "\u2800" : std::string(1, c);
      }
    } else if (form == BrailleForm::kBrf) {
      if (!dots) {
        if (!IsBrfText(between)) return false;
        layout.AddSeparator(between);
        continue;
      }
      // A word longer than a line runs on over lines.
      const std::string ascii = BrailleAscii(cells);
      for (size_t cut = 0; cut < ascii.size(); cut += width)
        layout.AddCells(ascii.substr(cut, width));
    } else {
      *out += dots ? std::string(piece) : between;
    }
  }
  if (form == BrailleForm::kBrf) {
    layout.Finish();
    *out = layout.Take();
  }
  return true;
}

}  // namespace molvane::settings
