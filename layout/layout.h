// SPDX-License-Identifier: GPL-3.0-or-later
// Braille pages: words laid into lines of a given width, lines into pages
// with braille page numbers, paragraphs indented, headings set apart; then
// written as BRF, Unicode braille or PEF. The caller converts the text; the
// library knows cells and where words begin and end.
#pragma once

#include <cstddef>
#include <memory>
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
  bool startsSection = false;  // the first page of an input file
};

// The size laid out: one below the smallest that holds a page number and a
// line of text (12 cells, 3 lines) is raised to it.
PageSize Fit(PageSize size);

// Lays out blocks as they come, so a text of any length needs memory for a
// page and a block only. Page numbers go on from one section to the next.
class Paginator {
 public:
  explicit Paginator(PageSize size);
  ~Paginator();
  Paginator(const Paginator&) = delete;
  Paginator& operator=(const Paginator&) = delete;

  // An input file begins: its first block starts a new page. The first
  // section needs no call.
  void StartSection();
  void Add(const Block& block);
  // Ends the last page; a section without text still has its page.
  void Finish();
  // The pages finished so far, handed over.
  std::vector<Page> TakePages();

 private:
  class Pages;
  std::unique_ptr<Pages> pages_;
};

// Every page of the sections at once.
std::vector<Page> LayOut(const std::vector<Section>& sections, PageSize size);

// The dots of the marks the layout writes.
constexpr char kContinuationMark = 0x24;  // dots 3 6, the hyphen, at a cut word's line end
constexpr char kNumberSign = 0x3C;        // dots 3 4 5 6

// Cells of a page number: the number sign and the digits as a to j.
Cells PageNumberCells(int number);

struct PefMetadata {
  std::string title;       // UTF-8
  std::string date;        // YYYY-MM-DD, or empty
  std::string identifier;  // unique for the document
  std::string language = "zh";
};

// Output forms. Pages are separated by a form feed in BRF and Unicode; every
// line ends with a line break (CR LF in BRF, the embossers' form). PEF 1.0:
// one volume of the fitted page size, one section per section.
enum class Form { kBrf, kUnicode, kPef };

// Writes pages as they come.
class PageWriter {
 public:
  PageWriter(Form form, PageSize size, PefMetadata metadata = {});
  void Write(const std::vector<Page>& pages, std::string* out);
  // What ends the document (PEF's closing elements).
  void Finish(std::string* out);

 private:
  void Begin(std::string* out);
  void Line(const Cells& line, std::string* out) const;

  Form form_;
  PageSize size_;
  PefMetadata metadata_;
  bool begun_ = false;
  bool sectionOpen_ = false;
};

// The whole document at once.
std::string ToBrf(const std::vector<Page>& pages);
std::string ToUnicode(const std::vector<Page>& pages);
std::string ToPef(const std::vector<Page>& pages, PageSize size, const PefMetadata& metadata);

}  // namespace molvane::layout
