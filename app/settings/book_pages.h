// SPDX-License-Identifier: GPL-3.0-or-later
// Braille pages of a book: blocks of text, each converted as one line of
// braille patterns, laid out in pages. molvane-convert reads the blocks from
// its input in pieces; the window from its input box when it saves a book.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings/settings.h"
#include "layout/layout.h"
#include "layout/readers.h"

namespace molvane::settings {

// A block read, waiting for its braille.
struct PendingBlock {
  layout::Block::Kind kind = layout::Block::Kind::kParagraph;
  int level = 0;
  bool startsFile = false;  // the first block of an input file
  bool rule = false;        // a rule line, laid out across the page
  size_t source = 0;        // the input file it comes from
};

// What the pages are written as.
struct BookForm {
  layout::Form form = layout::Form::kBrf;
  layout::PageSize size;
};

// Converted blocks (lines of braille patterns, words apart by a space) laid
// out in pages and written as they fill.
class BookPages {
 public:
  explicit BookPages(BookForm form);

  // The cells of a rule line: dots 2 5 across the line, the separation line
  // braille books draw (a rule of the print's length would be cut).
  static constexpr char kRuleCell = 0x12;
  ~BookPages();

  // The braille of the oldest pending blocks, one line each; false when a
  // line has no block waiting for it. Finished pages are appended to `out`.
  bool Add(std::string_view lines, std::deque<PendingBlock>* blocks,
           const layout::PefMetadata& metadata, std::string* out);
  void Finish(const layout::PefMetadata& metadata, std::string* out);

 private:
  void Write(const layout::PefMetadata& metadata, std::string* out);

  BookForm form_;
  layout::Paginator paginator_;
  std::unique_ptr<layout::PageWriter> writer_;  // made with the first pages
};

// The words of one converted line: cells from braille patterns, a word's
// number and letter signs noted so that a cut inside it repeats them; each
// space after the first between two words is a blank cell before the next
// word, where `keepSpaces`.
std::vector<layout::Word> WordsOf(std::string_view line, bool keepSpaces);

// A block's text as one line appended to `out`: whatever would end a line
// is a space.
void AppendBlockLine(std::string_view text, std::string* out);

// A whole text (UTF-8) read as plain text and laid out as molvane-convert
// lays it out: full text in the given braille notation, paragraphs joined,
// in pages of `form`. False when the conversion fails.
bool BookOfText(const std::string& text, Settings settings, BookForm form, std::string* out);

}  // namespace molvane::settings
