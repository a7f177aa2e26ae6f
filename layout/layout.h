// SPDX-License-Identifier: GPL-3.0-or-later
// Braille pages: words laid into lines of a given width, lines into pages
// with braille page numbers, paragraphs indented, headings set apart; then
// written as BRF, Unicode braille or PEF. The caller converts the text; the
// library knows cells and where words begin and end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace molvane::layout {

// Braille cells, one byte a cell holding its dots (dot k as bit k - 1); 0 is
// a blank cell.
using Cells = std::string;

// A word: cells never cut when they fit on a line. A longer word is cut at
// one of `cuts` (cell positions; any position when empty), the line ending
// with the continuation mark; the next line starts with the sign of the
// stretch the cut falls in (a number's number sign, a letter run's letter
// sign), as `signs` tells.
struct Word {
  struct Sign {
    size_t from = 0;  // the cells from here on are read under this sign
    Cells cells;
  };
  Cells cells;
  std::vector<size_t> cuts;
  std::vector<Sign> signs;
};

// A block of the document: a paragraph (its lines joined and refilled), a
// heading of level 1 to 6, or a line kept as it is (a line of a text whose
// lines are kept; an empty one is a blank line).
struct Block {
  enum class Kind { kParagraph, kHeading, kLine };
  Kind kind = Kind::kParagraph;
  int level = 0;  // headings
  std::vector<Word> words;
};

// One input file: it starts on a new page.
struct Section {
  std::vector<Block> blocks;
};

struct PageSize {
  int cells = 40;  // cells per line
  int lines = 25;  // lines per page
};

// A page: its lines, each at most PageSize::cells cells (trailing blanks
// dropped); the first holds the braille page number at its right end.
struct Page {
  std::vector<Cells> lines;
};

// The size laid out: one below the smallest that holds a page number and a
// line of text (12 cells, 3 lines) is raised to it.
PageSize Fit(PageSize size);

// The pages of each section, numbered on from one section to the next.
std::vector<std::vector<Page>> LayOut(const std::vector<Section>& sections, PageSize size);

// The dots of the marks the layout writes.
constexpr char kContinuationMark = 0x24;  // dots 3 6, the hyphen, at a cut word's line end
constexpr char kNumberSign = 0x3C;        // dots 3 4 5 6

// Cells of a page number: the number sign and the digits as a to j.
Cells PageNumberCells(int number);

// Output forms. Pages are separated by a form feed in BRF and Unicode; every
// line ends with a line break (CR LF in BRF, the embossers' form).
std::string ToBrf(const std::vector<std::vector<Page>>& sections);
std::string ToUnicode(const std::vector<std::vector<Page>>& sections);

struct PefMetadata {
  std::string title;       // UTF-8
  std::string date;        // YYYY-MM-DD
  std::string identifier;  // unique for the document
  std::string language = "zh";
};
// A PEF 1.0 document: one volume, one section per section, the fitted page
// size as the volume's rows and cols.
std::string ToPef(const std::vector<std::vector<Page>>& sections, PageSize size,
                  const PefMetadata& metadata);

}  // namespace molvane::layout
