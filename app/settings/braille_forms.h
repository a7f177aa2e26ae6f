// SPDX-License-Identifier: GPL-3.0-or-later
// Other ways to write the braille notations' cells than dot numbers: Unicode
// braille patterns for screens and braille displays, and North American
// Braille ASCII (BRF) laid out in lines and pages for embossers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/settings/settings.h"

namespace molvane::settings {

// The cells of one character's dot numbers ("12-35"): one bit mask per cell,
// dot k as bit k - 1. False when the text is not dot numbers.
bool CellsOf(std::string_view dots, std::vector<int>* cells);

// One Unicode braille pattern (U+2800 plus the cell's bits) per cell, UTF-8.
std::string UnicodeBraille(const std::vector<int>& cells);

// One Braille ASCII character per cell.
std::string BrailleAscii(const std::vector<int>& cells);

// True when every character of `text` is Braille ASCII (lower-case letters
// count as their capitals) or a line break, so it can stand in a BRF file.
bool IsBrfText(std::string_view text);

// Lines of at most `width` cells, broken only at separators (a space at the
// break is dropped), and pages of `height` lines with a form feed between
// them. Each line ends with `lineBreak`.
class BrfLayout {
 public:
  explicit BrfLayout(std::string lineBreak, size_t width = 40, size_t height = 25);

  // One character's cells, never split across lines.
  void AddCells(std::string_view cells);
  // Separator text; line breaks in it end the line.
  void AddSeparator(std::string_view separator);
  // Ends the last line if it holds anything.
  void Finish();
  // The finished lines so far, handed over.
  std::string Take();

 private:
  void EndLine();

  std::string lineBreak_;
  size_t width_, height_;
  std::string line_;
  std::string done_;
  size_t linesOnPage_ = 0;
  bool afterCarriageReturn_ = false;
};

// Braille written as the window's output box shows it (each character's or
// word's cells as dot numbers, "12-35-1245", and between them blanks, line
// breaks and the separator) in another form, with LF line breaks: Unicode
// braille patterns (a blank as the blank cell U+2800 when there is no
// separator), or BRF laid out in lines of `width` cells as molvane-convert
// lays it out. False when the text holds anything else: it is not braille.
bool RewriteDotText(std::string_view text, std::string_view separator, BrailleForm form,
                    std::string* out, size_t width = 40);

}  // namespace molvane::settings
