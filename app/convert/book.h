// SPDX-License-Identifier: GPL-3.0-or-later
// Braille books from molvane-convert: the input read as blocks (paragraphs,
// headings, kept lines), each block converted as one line of braille
// patterns, and the lines laid out in pages. Reading and laying out run in
// the main process, the conversion wherever the pieces go, so pages come out
// the same however the input is cut and however many workers convert it.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/convert/input_pieces.h"
#include "app/settings/book_pages.h"
#include "layout/layout.h"
#include "layout/readers.h"

namespace molvane::convert {

using settings::BookForm;
using settings::BookPages;
using settings::PendingBlock;
using settings::WordsOf;

// How an input file is read: by its name or first bytes, or as named.
enum class InputFormat { kAuto, kText, kMarkdown, kHtml };
std::optional<InputFormat> InputFormatNamed(std::string_view name);
std::optional<layout::LineMode> LineModeNamed(std::string_view name);

// Input pieces (the files joined) into blocks, a file's format found by its
// name or first bytes. Plain text is read as it comes; Markdown and HTML a
// whole file at a time, as their structure may span the file.
class BookReader {
 public:
  // `names`: the input files as given ("-" or none: standard input).
  BookReader(std::vector<std::string> names, InputFormat format, layout::LineMode mode);
  ~BookReader();

  void Add(const Piece& piece);
  void Finish();

  // The blocks read so far, handed over: their text, one line each, every
  // line ending with a line break, and what each block is.
  void Take(std::string* text, std::deque<PendingBlock>* blocks);
  // The first heading (or an HTML title) read so far, else the first file's
  // name.
  std::string Title() const;

 private:
  void StartFile(size_t source);
  void Feed(std::string_view text);
  void EndFile();
  void Keep(std::vector<layout::TextBlock> blocks);

  std::vector<std::string> names_;
  InputFormat format_;
  layout::LineMode mode_;
  size_t source_ = SIZE_MAX;
  InputFormat fileFormat_ = InputFormat::kText;
  bool formatKnown_ = false;
  std::unique_ptr<layout::PlainTextReader> plain_;
  std::string whole_;  // Markdown or HTML: the file so far
  bool fileStart_ = false;
  std::string title_;
  std::string text_;
  std::deque<PendingBlock> blocks_;
};

// PEF metadata for a book: its title, today's date (or SOURCE_DATE_EPOCH's)
// and an identifier made from both.
layout::PefMetadata BookMetadata(const std::string& title);

}  // namespace molvane::convert
