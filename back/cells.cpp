// SPDX-License-Identifier: GPL-3.0-or-later
// Cells from their three written forms.
#include <array>

#include "back/back.h"
#include "platform/platform.h"

namespace molvane::back {
namespace {

// North American Braille ASCII, by character from the space (0x20) to "_"
// (0x5F): the dots of each cell. Lower-case letters read as capitals.
constexpr std::array<const char*, 64> kBrailleAscii = {
    "",     "2346", "5",     "3456", "1246", "146",   "12346", "3",      "12356", "23456", "16",
    "346",  "6",    "36",    "46",   "34",   "356",   "2",     "23",     "25",    "256",   "26",
    "235",  "2356", "236",   "35",   "156",  "56",    "126",   "123456", "345",   "1456",  "4",
    "1",    "12",   "14",    "145",  "15",   "124",   "1245",  "125",    "24",    "245",   "13",
    "123",  "134",  "1345",  "135",  "1234", "12345", "1235",  "234",    "2345",  "136",   "1236",
    "2456", "1346", "13456", "1356", "246",  "1256",  "12456", "45",     "456",
};

uint8_t Bits(const char* dots) {
  uint8_t bits = 0;
  for (; *dots; ++dots) bits |= static_cast<uint8_t>(1 << (*dots - '1'));
  return bits;
}

bool IsSpace(char32_t c) {
  return c == ' ' || c == '\t' || c == 0x3000;
}
bool IsBreak(char32_t c) {
  return c == '\n' || c == '\f' || c == 0x2028 || c == 0x2029;
}

// One character of the input, decoded; false at an invalid byte.
bool Next(std::string_view text, size_t at, char32_t* code, size_t* length) {
  const int n = platform::DecodeUtf8Character(text.data() + at, text.size() - at, code);
  if (n <= 0) return false;
  *length = static_cast<size_t>(n);
  return true;
}

void Report(std::vector<Problem>* problems, size_t offset, std::string what) {
  problems->push_back({offset, std::move(what)});
}

// White space and line breaks are the same in every form; true when `c` was one.
bool Spacing(char32_t c, size_t at, std::vector<Cell>* cells) {
  if (IsSpace(c) || c == 0x2800) {
    cells->push_back({kBlank, at});
  } else if (IsBreak(c)) {
    cells->push_back({kLineBreak, at});
  } else {
    return c == '\r';  // a CR LF is one break; a lone CR adds nothing
  }
  return true;
}

}  // namespace

Form DetectForm(std::string_view utf8) {
  bool dotsOnly = true;
  for (size_t at = 0; at < utf8.size();) {
    char32_t c;
    size_t length;
    if (!Next(utf8, at, &c, &length)) return Form::kBrf;
    if (c >= 0x2800 && c <= 0x28FF) return Form::kUnicode;
    if (!((c >= '1' && c <= '6') || c == '-' || IsSpace(c) || IsBreak(c) || c == '\r'))
      dotsOnly = false;
    at += length;
  }
  return dotsOnly ? Form::kDots : Form::kBrf;
}

std::vector<Cell> ReadCells(std::string_view utf8, Form form, std::vector<Problem>* problems) {
  std::vector<Cell> cells;
  cells.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    char32_t c;
    size_t length;
    if (!Next(utf8, at, &c, &length)) {
      Report(problems, at, "a byte that is no UTF-8");
      ++at;
      continue;
    }
    if (Spacing(c, at, &cells)) {
      at += length;
      continue;
    }
    switch (form) {
      case Form::kUnicode:
        if (c > 0x2800 && c <= 0x283F)
          cells.push_back({static_cast<uint8_t>(c - 0x2800), at});
        else
          Report(problems, at, "a character that is no six-dot braille pattern");
        break;
      case Form::kBrf:
        if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
        if (c > 0x20 && c < 0x60)
          cells.push_back({Bits(kBrailleAscii[c - 0x20]), at});
        else
          Report(problems, at, "a character that is no Braille ASCII");
        break;
      case Form::kDots: {
        // One cell's dot numbers, then "-" before the next cell of the word.
        uint8_t bits = 0;
        size_t end = at;
        while (end < utf8.size() && utf8[end] >= '1' && utf8[end] <= '6') {
          const uint8_t bit = static_cast<uint8_t>(1 << (utf8[end] - '1'));
          if (bits & bit) break;
          bits |= bit;
          ++end;
        }
        if (bits == 0 || (end < utf8.size() && utf8[end] >= '1' && utf8[end] <= '6')) {
          // One report for the whole bad token, up to the next cell or blank.
          Report(problems, at, c == '-' ? "a \"-\" with no cell before it" : "no dot numbers");
          size_t skip = at + length;
          while (skip < utf8.size() && utf8[skip] != '-' && utf8[skip] != ' ' &&
                 utf8[skip] != '\n' && utf8[skip] != '\t' && utf8[skip] != '\r')
            ++skip;
          if (skip < utf8.size() && utf8[skip] == '-') ++skip;
          length = skip - at;
        } else {
          cells.push_back({bits, at});
          length = end - at;
          if (end < utf8.size() && utf8[end] == '-') {
            ++length;
            if (end + 1 >= utf8.size() || utf8[end + 1] < '1' || utf8[end + 1] > '6')
              Report(problems, end, "a \"-\" with no cell after it");
          }
        }
        break;
      }
    }
    at += length;
  }
  return cells;
}

}  // namespace molvane::back
