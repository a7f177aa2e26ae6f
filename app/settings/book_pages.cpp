// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/book_pages.h"

#include <algorithm>

#include "app/settings/conversion.h"

namespace molvane::settings {
namespace {

using layout::Block;
using layout::Cells;

constexpr char kNumberSign = 0x3C;   // dots 3 4 5 6
constexpr char kLetterSign = 0x30;   // dots 5 6
constexpr char kCapitalSign = 0x20;  // dot 6
constexpr char kDecimalPoint = 0x28;
constexpr char kGroupSign = 0x04;

// The letters a to z; a to j are the digits too.
constexpr char kLetters[26] = {
    0x01, 0x03, 0x09, 0x19, 0x11, 0x0B, 0x1B, 0x13, 0x0A, 0x1A, 0x05, 0x07, 0x0D,
    0x1D, 0x15, 0x0F, 0x1F, 0x17, 0x0E, 0x1E, 0x25, 0x27, 0x3A, 0x2D, 0x3D, 0x35,
};

bool IsLetterCell(char cell) {
  return std::find(kLetters, kLetters + 26, cell) != kLetters + 26;
}
bool IsDigitCell(char cell) {
  return std::find(kLetters, kLetters + 10, cell) != kLetters + 10;
}

// The stretches of a word read under a sign: a number from its number sign
// over its digits, decimal points and group signs; letters from their letter
// sign, double capital sign or capital sign over letters and capital signs.
// A stretch ends at the first cell that cannot be part of it.
std::vector<layout::Word::Sign> SignsOf(const Cells& cells) {
  enum class In { kNone, kNumber, kLetters } in = In::kNone;
  std::vector<layout::Word::Sign> signs;
  auto letterAt = [&](size_t at) { return at < cells.size() && IsLetterCell(cells[at]); };
  for (size_t at = 0; at < cells.size(); ++at) {
    const char c = cells[at];
    if (c == kNumberSign) {
      signs.push_back({at, Cells(1, kNumberSign)});
      in = In::kNumber;
    } else if (c == kLetterSign && letterAt(at + 1)) {
      signs.push_back({at, Cells(1, kLetterSign)});
      in = In::kLetters;
    } else if (c == kCapitalSign && at + 1 < cells.size() && cells[at + 1] == kCapitalSign &&
               letterAt(at + 2)) {
      signs.push_back({at, Cells(2, kCapitalSign)});
      in = In::kLetters;
      ++at;
    } else if (c == kCapitalSign && letterAt(at + 1)) {
      // A capital inside a run needs no new sign; a run that starts with
      // one goes on after a cut under the letter sign.
      if (in != In::kLetters) signs.push_back({at, Cells(1, kLetterSign)});
      in = In::kLetters;
    } else if (in == In::kNumber && (IsDigitCell(c) || c == kDecimalPoint || c == kGroupSign)) {
      continue;
    } else if (in == In::kLetters && IsLetterCell(c)) {
      continue;
    } else if (in != In::kNone) {
      signs.push_back({at, Cells()});
      in = In::kNone;
    }
  }
  return signs;
}

}  // namespace

void AppendBlockLine(std::string_view text, std::string* out) {
  for (size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '\n' || c == '\r' || c == '\f' || c == '\v') {
      *out += ' ';
    } else if (c == '\xE2' && text.substr(at + 1, 1) == "\x80" && at + 2 < text.size() &&
               (text[at + 2] == '\xA8' || text[at + 2] == '\xA9')) {
      *out += ' ';  // the line and paragraph separators
      at += 2;
    } else {
      *out += c;
    }
  }
  *out += '\n';
}

std::vector<layout::Word> WordsOf(std::string_view line, bool keepSpaces) {
  std::vector<layout::Word> words;
  layout::Word word;
  size_t blanks = 0;  // spaces beyond the one between words
  auto end = [&] {
    if (word.cells.empty()) return;
    word.signs = SignsOf(word.cells);
    // A word that may be longer than a line (the narrowest one Fit allows)
    // is never cut inside a sign or right after one, which would leave the
    // sign alone at a line's end.
    if (word.cells.size() > static_cast<size_t>(layout::Fit({1, 1}).cells)) {
      std::vector<bool> allowed(word.cells.size(), true);
      for (const layout::Word::Sign& sign : word.signs)
        for (size_t at = sign.from + 1; at <= sign.from + sign.cells.size(); ++at)
          if (at < allowed.size()) allowed[at] = false;
      for (size_t at = 1; at < allowed.size(); ++at)
        if (allowed[at]) word.cuts.push_back(at);
    }
    words.push_back(std::move(word));
    word = {};
  };
  for (size_t at = 0; at < line.size();) {
    // Braille patterns are U+2800 to U+283F: E2 A0 80 to E2 A0 BF.
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(line[at + i]); };
    if (at + 2 < line.size() && byte(0) == 0xE2 && (byte(1) & 0xFC) == 0xA0) {
      const char cell = static_cast<char>(((byte(1) & 3) << 6 | (byte(2) & 0x3F)) & 0x3F);
      at += 3;
      if (cell != 0) {
        if (word.cells.empty()) word.cells.assign(blanks, 0);
        blanks = 0;
        word.cells += cell;
        continue;
      }
    } else {
      ++at;
    }
    // A blank: the first between two words parts them, others are kept.
    if (!word.cells.empty())
      end();
    else if (keepSpaces)
      ++blanks;
  }
  end();
  return words;
}

BookPages::BookPages(BookForm form) : form_(form), paginator_(form.size) {}
BookPages::~BookPages() = default;

bool BookPages::Add(std::string_view lines, std::deque<PendingBlock>* blocks,
                    const layout::PefMetadata& metadata, std::string* out) {
  for (size_t at = 0; at < lines.size();) {
    const size_t end = lines.find('\n', at);
    if (end == std::string_view::npos || blocks->empty()) return false;
    const PendingBlock pending = blocks->front();
    blocks->pop_front();
    if (pending.startsFile) paginator_.StartSection();
    Block block;
    block.kind = pending.kind;
    block.level = pending.level;
    block.words = WordsOf(lines.substr(at, end - at), pending.kind == Block::Kind::kLine);
    if (pending.rule) {
      layout::Word rule;
      rule.cells.assign(static_cast<size_t>(layout::Fit(form_.size).cells), kRuleCell);
      block.words = {rule};
    }
    at = end + 1;
    // A paragraph or heading without text (an empty HTML element) takes no
    // line; a kept line does, blank or not.
    if (block.words.empty() && block.kind != Block::Kind::kLine) continue;
    paginator_.Add(block);
  }
  Write(metadata, out);
  return true;
}

void BookPages::Write(const layout::PefMetadata& metadata, std::string* out) {
  const std::vector<layout::Page> pages = paginator_.TakePages();
  if (pages.empty()) return;
  if (!writer_) writer_ = std::make_unique<layout::PageWriter>(form_.form, form_.size, metadata);
  writer_->Write(pages, out);
}

void BookPages::Finish(const layout::PefMetadata& metadata, std::string* out) {
  paginator_.Finish();
  Write(metadata, out);
  if (!writer_) writer_ = std::make_unique<layout::PageWriter>(form_.form, form_.size, metadata);
  writer_->Finish(out);
}

bool BookOfText(const std::string& text, Settings settings, BookForm form, std::string* out) {
  // Each block converts as one line of patterns, words apart by a space.
  settings.text = TextMode::kFull;
  settings.form = BrailleForm::kUnicode;
  settings.separator = " ";
  settings.windowLineBreaks = false;
  std::string lines;
  std::deque<PendingBlock> blocks;
  bool first = true;
  for (const layout::TextBlock& block :
       layout::ReadPlainText(text, layout::LineMode::kParagraphs).blocks) {
    const bool rule = block.kind == Block::Kind::kLine && layout::IsRule(block.text);
    AppendBlockLine(rule ? std::string_view() : block.text, &lines);
    blocks.push_back({block.kind, block.level, first, rule, 0});
    first = false;
  }
  Converter converter(settings);
  Converted converted;
  if (!converter.Convert(lines, false, &converted, false)) return false;
  out->clear();
  BookPages pages(form);
  const layout::PefMetadata metadata;
  if (!pages.Add(converted.text, &blocks, metadata, out)) return false;
  pages.Finish(metadata, out);
  return true;
}

}  // namespace molvane::settings
