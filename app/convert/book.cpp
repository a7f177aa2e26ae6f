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
using settings::AppendBlockLine;

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
    AppendBlockLine(rule ? std::string_view() : block.text, &text_);
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
