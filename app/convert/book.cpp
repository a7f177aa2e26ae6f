// SPDX-License-Identifier: GPL-3.0-or-later
// Blocks read from the input, and their braille laid out in pages.
#include "app/convert/book.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace molvane::convert {
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

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

InputFormat FormatOfName(const std::string& name) {
  const std::string lower = Lower(name);
  for (const char* ending : {".md", ".markdown", ".mdown"})
    if (lower.ends_with(ending)) return InputFormat::kMarkdown;
  for (const char* ending : {".html", ".htm", ".xhtml"})
    if (lower.ends_with(ending)) return InputFormat::kHtml;
  return InputFormat::kAuto;
}

// HTML when the text opens with a document type or an html element.
InputFormat FormatOfText(std::string_view text) {
  const size_t start = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
  if (start == std::string_view::npos || text[start] != '<') return InputFormat::kText;
  const std::string head = Lower(text.substr(start, 1024));
  const bool html =
      head.find("<!doctype html") != std::string::npos || head.find("<html") != std::string::npos;
  return html ? InputFormat::kHtml : InputFormat::kText;
}

// A block's text as one line: whatever would end a line is a space.
void AppendOneLine(std::string_view text, std::string* out) {
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

std::string BaseName(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::optional<InputFormat> InputFormatNamed(std::string_view name) {
  static constexpr struct {
    const char* name;
    InputFormat format;
  } kNames[] = {{"auto", InputFormat::kAuto},
                {"text", InputFormat::kText},
                {"markdown", InputFormat::kMarkdown},
                {"html", InputFormat::kHtml}};
  for (const auto& n : kNames)
    if (Lower(name) == n.name) return n.format;
  return std::nullopt;
}

std::optional<layout::LineMode> LineModeNamed(std::string_view name) {
  if (Lower(name) == "join") return layout::LineMode::kParagraphs;
  if (Lower(name) == "lines") return layout::LineMode::kLines;
  return std::nullopt;
}

BookReader::BookReader(std::vector<std::string> names, InputFormat format, layout::LineMode mode)
    : names_(std::move(names)), format_(format), mode_(mode) {
  if (names_.empty()) names_.push_back("-");
}

BookReader::~BookReader() = default;

void BookReader::Add(const Piece& piece) {
  // An anchor of another source than the current one starts a file.
  size_t at = 0;
  for (const Anchor& anchor : piece.anchors) {
    if (anchor.place.source == source_) continue;
    const size_t cut = static_cast<size_t>(
        std::clamp<uint64_t>(anchor.text, piece.start, piece.start + piece.text.size()) -
        piece.start);
    if (cut > at) Feed(std::string_view(piece.text).substr(at, cut - at));
    at = std::max(at, cut);
    StartFile(anchor.place.source);
  }
  if (source_ == SIZE_MAX) StartFile(0);
  Feed(std::string_view(piece.text).substr(at));
}

void BookReader::StartFile(size_t source) {
  if (source_ != SIZE_MAX) EndFile();
  source_ = source;
  fileStart_ = true;
  formatKnown_ = false;
  fileFormat_ = format_;
  if (fileFormat_ == InputFormat::kAuto && source < names_.size())
    fileFormat_ = FormatOfName(names_[source]);
  formatKnown_ = fileFormat_ != InputFormat::kAuto;
  plain_ = std::make_unique<layout::PlainTextReader>(mode_);
  whole_.clear();
}

void BookReader::Feed(std::string_view text) {
  if (text.empty()) return;
  if (!formatKnown_) {
    fileFormat_ = FormatOfText(text);
    formatKnown_ = true;
  }
  if (fileFormat_ != InputFormat::kText) {
    whole_ += text;
    return;
  }
  plain_->Add(text);
  Keep(plain_->TakeBlocks());
}

void BookReader::EndFile() {
  if (fileFormat_ == InputFormat::kText || !formatKnown_) {
    plain_->Finish();
    return Keep(plain_->TakeBlocks());
  }
  const layout::TextDocument document = fileFormat_ == InputFormat::kHtml
                                            ? layout::ReadHtml(whole_)
                                            : layout::ReadMarkdown(whole_, mode_);
  std::string().swap(whole_);
  if (title_.empty()) title_ = document.title;
  Keep(document.blocks);
}

void BookReader::Finish() {
  if (source_ == SIZE_MAX) StartFile(0);
  EndFile();
}

void BookReader::Keep(std::vector<layout::TextBlock> blocks) {
  for (const layout::TextBlock& block : blocks) {
    // A rule's strokes are no text to convert; the layout draws it.
    const bool rule = block.kind == Block::Kind::kLine && layout::IsRule(block.text);
    AppendOneLine(rule ? std::string_view() : block.text, &text_);
    blocks_.push_back({block.kind, block.level, fileStart_, rule, source_});
    fileStart_ = false;
    if (title_.empty() && block.kind == Block::Kind::kHeading) title_ = block.text;
  }
}

void BookReader::Take(std::string* text, std::deque<PendingBlock>* blocks) {
  *text += text_;
  text_.clear();
  for (PendingBlock& block : blocks_) blocks->push_back(block);
  blocks_.clear();
}

std::string BookReader::Title() const {
  if (!title_.empty()) return title_;
  return names_[0] == "-" ? "standard input" : BaseName(names_[0]);
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

layout::PefMetadata BookMetadata(const std::string& title) {
  layout::PefMetadata metadata;
  metadata.title = title;
  // A reproducible build's date, when one is set.
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  const std::time_t now =
      epoch != nullptr ? static_cast<std::time_t>(std::atoll(epoch)) : std::time(nullptr);
  std::tm day{};
  gmtime_r(&now, &day);
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &day);
  metadata.date = date;
  // FNV-1a of the title and the date names the document.
  uint64_t hash = 0xcbf29ce484222325u;
  for (char c : title + date) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  char identifier[40];
  std::snprintf(identifier, sizeof identifier, "molvane-%016llx",
                static_cast<unsigned long long>(hash));
  metadata.identifier = identifier;
  return metadata;
}

}  // namespace molvane::convert
