// SPDX-License-Identifier: GPL-3.0-or-later
// Text as blocks before it is converted: plain text, Markdown and HTML read
// into paragraphs, headings and kept lines. Markup is never part of a
// block's text.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/layout.h"

namespace molvane::layout {

struct TextBlock {
  Block::Kind kind = Block::Kind::kParagraph;
  int level = 0;     // headings: 1 to 6
  std::string text;  // UTF-8, one line
};

struct TextDocument {
  std::string title;  // the first heading's text (HTML: its <title>), or empty
  std::vector<TextBlock> blocks;
};

// Paragraphs: lines joined until a blank line or an indented line (a space,
// tab or ideographic space first) starts the next; lines of Chinese text join
// with nothing between them, lines of Latin text with a space. Lines: every
// line a block of its own, blank lines kept.
enum class LineMode { kParagraphs, kLines };

TextDocument ReadPlainText(std::string_view text, LineMode mode);

// True for a line drawn with box-drawing strokes only (at least three of ─ ━
// ═), a rule between parts of a text: plain text keeps it a line of its
// own, never joined into a paragraph.
bool IsRule(std::string_view line);

// The same a piece at a time (a piece may end anywhere), so a text of any
// length needs memory for one paragraph only.
class PlainTextReader {
 public:
  explicit PlainTextReader(LineMode mode);
  ~PlainTextReader();
  PlainTextReader(const PlainTextReader&) = delete;
  PlainTextReader& operator=(const PlainTextReader&) = delete;

  void Add(std::string_view piece);
  void Finish();
  // The blocks finished so far, handed over.
  std::vector<TextBlock> TakeBlocks();

 private:
  class State;
  std::unique_ptr<State> state_;
};

// Markdown: "#" to "######" headings (and underlined ones), paragraphs as in
// plain text, list items and block quotes as paragraphs, fenced and indented
// code as kept lines; emphasis marks, code marks, links' targets and images'
// addresses dropped, their text kept.
TextDocument ReadMarkdown(std::string_view text, LineMode mode);

// HTML: h1 to h6 headings, p, div, li, blockquote, dd, dt, td, th, tr
// and br end a paragraph, pre keeps its lines; the contents of head, script
// and style are dropped, every tag is dropped, character references are
// decoded; white space collapses, and disappears between Chinese characters.
TextDocument ReadHtml(std::string_view text);

}  // namespace molvane::layout
