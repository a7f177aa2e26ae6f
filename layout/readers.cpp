// SPDX-License-Identifier: GPL-3.0-or-later
// Plain text, Markdown and HTML into blocks.
#include "layout/readers.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

namespace molvane::layout {
namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
  }
  return lines;
}

constexpr std::string_view kIdeographicSpace = "\u3000";

bool StartsWithSpace(std::string_view s) {
  return !s.empty() && (s[0] == ' ' || s[0] == '\t' || s.starts_with(kIdeographicSpace));
}

std::string_view TrimLeft(std::string_view s) {
  while (StartsWithSpace(s)) s.remove_prefix(s[0] == ' ' || s[0] == '\t' ? 1 : 3);
  return s;
}

std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  while (s.ends_with(kIdeographicSpace)) s.remove_suffix(3);
  return s;
}

bool IsAsciiWordEnd(char c) {
  return c > ' ' && static_cast<unsigned char>(c) < 0x80;
}

// Appends a line or a piece of text to a paragraph: a space between Latin
// text, nothing next to Chinese text.
void Join(std::string_view piece, std::string* text) {
  if (piece.empty()) return;
  if (!text->empty() && IsAsciiWordEnd(text->back()) && IsAsciiWordEnd(piece.front())) *text += ' ';
  *text += piece;
}

// Collects blocks; the paragraph being read is added when it ends.
class Blocks {
 public:
  void Text(std::string_view piece) { Join(piece, &text_); }
  void End() {
    if (!text_.empty()) Add(kind_, level_, std::move(text_));
    text_.clear();
    kind_ = Block::Kind::kParagraph;
    level_ = 0;
  }
  void StartHeading(int level) {
    End();
    kind_ = Block::Kind::kHeading;
    level_ = level;
  }
  void Heading(int level, std::string text) {
    End();
    Add(Block::Kind::kHeading, level, std::move(text));
  }
  void Line(std::string text) {
    End();
    Add(Block::Kind::kLine, 0, std::move(text));
  }
  bool Open() const { return !text_.empty(); }
  // The paragraph read so far becomes a heading (Markdown's underlines).
  void Underline(int level) {
    kind_ = Block::Kind::kHeading;
    level_ = level;
    End();
  }
  TextDocument Take() {
    End();
    return std::move(document_);
  }
  // The blocks ended so far; the paragraph being read stays.
  std::vector<TextBlock> TakeEnded() {
    std::vector<TextBlock> blocks;
    blocks.swap(document_.blocks);
    return blocks;
  }
  void Title(std::string title) {
    if (document_.title.empty()) document_.title = std::move(title);
  }

 private:
  void Add(Block::Kind kind, int level, std::string text) {
    if (kind == Block::Kind::kHeading) Title(text);
    document_.blocks.push_back({kind, level, std::move(text)});
  }

  TextDocument document_;
  std::string text_;
  Block::Kind kind_ = Block::Kind::kParagraph;
  int level_ = 0;
};

// ---- Markdown ----

// Drops inline markup: emphasis and code marks, link targets, images'
// addresses, inline tags and backslash escapes.
std::string MarkdownInline(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\\' && i + 1 < s.size() && std::ispunct(static_cast<unsigned char>(s[i + 1]))) {
      out += s[++i];
    } else if (c == '*' || c == '`' || (c == '_' && i + 1 < s.size() && s[i + 1] == '_')) {
      while (i + 1 < s.size() && s[i + 1] == c) ++i;
    } else if (c == '!' && i + 1 < s.size() && s[i + 1] == '[') {
      continue;  // an image: its text follows as a link's
    } else if (c == '[') {
      const size_t close = s.find("](", i);
      const size_t end = close == std::string_view::npos ? close : s.find(')', close);
      if (end == std::string_view::npos) {
        out += c;
        continue;
      }
      out += MarkdownInline(s.substr(i + 1, close - i - 1));
      i = end;
    } else if (c == '<') {
      const size_t end = s.find('>', i);
      if (end == std::string_view::npos) {
        out += c;
        continue;
      }
      const std::string_view inside = s.substr(i + 1, end - i - 1);
      if (inside.find("://") != std::string_view::npos ||
          inside.find('@') != std::string_view::npos)
        out += inside;  // an address written as a link
      i = end;
    } else {
      out += c;
    }
  }
  return out;
}

int AtxLevel(std::string_view line) {
  size_t level = 0;
  while (level < line.size() && line[level] == '#') ++level;
  if (level == 0 || level > 6) return 0;
  if (level < line.size() && line[level] != ' ' && line[level] != '\t') return 0;
  return static_cast<int>(level);
}

bool IsRule(std::string_view line, char mark) {
  line = Trim(line);
  return line.size() >= 3 &&
         std::all_of(line.begin(), line.end(), [&](char c) { return c == mark || c == ' '; });
}

// The text of a list item or block quote line, or the line itself.
std::string_view ItemText(std::string_view line, bool* item) {
  std::string_view s = TrimLeft(line);
  *item = false;
  if (s.starts_with(">")) {
    *item = true;
    return TrimLeft(s.substr(1));
  }
  if (s.size() > 1 && (s[0] == '-' || s[0] == '*' || s[0] == '+') && s[1] == ' ') {
    *item = true;
    return TrimLeft(s.substr(2));
  }
  size_t digits = 0;
  while (digits < s.size() && std::isdigit(static_cast<unsigned char>(s[digits]))) ++digits;
  if (digits > 0 && digits + 1 < s.size() && (s[digits] == '.' || s[digits] == ')') &&
      s[digits + 1] == ' ') {
    *item = true;
    return TrimLeft(s.substr(digits + 2));
  }
  return line;
}

// ---- HTML ----

void AppendUtf8(char32_t code, std::string* out) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | code >> 6);
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | code >> 12);
    *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | code >> 18);
    *out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Named character references that books use; others stay as written.
constexpr struct {
  std::string_view name;
  char32_t code;
} kEntities[] = {
    {"amp", '&'},      {"lt", '<'},       {"gt", '>'},       {"quot", '"'},      {"apos", '\''},
    {"nbsp", ' '},     {"mdash", 0x2014}, {"ndash", 0x2013}, {"hellip", 0x2026}, {"ldquo", 0x201C},
    {"rdquo", 0x201D}, {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"middot", 0xB7},   {"copy", 0xA9},
    {"times", 0xD7},   {"divide", 0xF7},  {"deg", 0xB0},     {"yen", 0xA5},      {"euro", 0x20AC},
};

// Decodes the reference at `s` ("&...;"); returns its length, 0 if none.
size_t Reference(std::string_view s, std::string* out) {
  const size_t end = s.find(';');
  if (end == std::string_view::npos || end > 10) return 0;
  const std::string_view name = s.substr(1, end - 1);
  if (name.starts_with("#")) {
    const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    const std::string digits(name.substr(hex ? 2 : 1));
    char* stop = nullptr;
    const unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
    if (digits.empty() || *stop != '\0' || code == 0 || code > 0x10FFFF ||
        (code >= 0xD800 && code <= 0xDFFF))
      return 0;
    AppendUtf8(static_cast<char32_t>(code), out);
    return end + 1;
  }
  for (const auto& e : kEntities)
    if (e.name == name) {
      AppendUtf8(e.code, out);
      return end + 1;
    }
  return 0;
}

std::string Decode(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const size_t length = s[i] == '&' ? Reference(s.substr(i), &out) : 0;
    if (length > 0)
      i += length - 1;
    else
      out += s[i];
  }
  return out;
}

// True for the lead byte of a character of three or more UTF-8 bytes: the
// CJK characters and marks, between which white space is no word space.
bool IsWideLead(unsigned char c) {
  return c >= 0xE3;
}

// Collapses white space; drops it at either end and between wide characters.
std::string Collapse(std::string_view s) {
  std::string out;
  bool space = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
      space = true;
      continue;
    }
    if (space && !out.empty()) {
      size_t lead = out.size() - 1;
      while (lead > 0 && (static_cast<unsigned char>(out[lead]) & 0xC0) == 0x80) --lead;
      if (!(IsWideLead(static_cast<unsigned char>(out[lead])) &&
            IsWideLead(static_cast<unsigned char>(c))))
        out += ' ';
    }
    space = false;
    out += c;
  }
  return out;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Tags that end a paragraph where they open or close.
constexpr std::string_view kBlockTags[] = {
    "p",      "div", "li",   "ul",     "ol",         "blockquote", "dd",      "dt",      "dl",
    "td",     "th",  "tr",   "table",  "br",         "hr",         "section", "article", "header",
    "footer", "nav", "main", "figure", "figcaption", "caption",    "address", "aside",
};

bool IsBlockTag(std::string_view name) {
  return std::find(std::begin(kBlockTags), std::end(kBlockTags), name) != std::end(kBlockTags);
}

// A tag's name, lower-case, from the text after "<" or "</".
std::string TagName(std::string_view tag) {
  size_t end = 0;
  while (end < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[end])))) ++end;
  return Lower(tag.substr(0, end));
}

class HtmlReader {
 public:
  explicit HtmlReader(std::string_view text) : s_(text) {}

  TextDocument Read() {
    size_t at = 0;
    while (at < s_.size()) {
      const size_t lt = s_.find('<', at);
      Text(s_.substr(at, (lt == std::string_view::npos ? s_.size() : lt) - at));
      if (lt == std::string_view::npos) break;
      at = Tag(lt);
    }
    Flush();
    if (!title_.empty()) {
      TextDocument document = blocks_.Take();
      document.title = Collapse(Decode(title_));
      return document;
    }
    return blocks_.Take();
  }

 private:
  void Text(std::string_view text) {
    if (skip_ > 0) return;
    if (inTitle_) {
      title_ += text;
      return;
    }
    pending_ += text;
  }

  // The text gathered since the last block boundary.
  void Flush() {
    if (pre_) {
      std::string decoded = Decode(pending_);
      if (decoded.starts_with("\n")) decoded.erase(0, 1);
      for (std::string_view line : Lines(decoded)) {
        std::string_view kept = line;
        while (!kept.empty() && (kept.back() == ' ' || kept.back() == '\t')) kept.remove_suffix(1);
        blocks_.Line(std::string(kept));
      }
    } else {
      blocks_.Text(Collapse(Decode(pending_)));
    }
    pending_.clear();
  }

  // Reads the tag at `lt`; returns where the text after it starts.
  size_t Tag(size_t lt) {
    if (s_.substr(lt).starts_with("<!--")) {
      const size_t end = s_.find("-->", lt + 4);
      return end == std::string_view::npos ? s_.size() : end + 3;
    }
    size_t end = lt + 1;
    char quote = 0;
    for (; end < s_.size(); ++end) {
      const char c = s_[end];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        break;
      }
    }
    const std::string_view tag = s_.substr(lt + 1, end - lt - 1);
    const bool closing = tag.starts_with("/");
    const std::string name = TagName(closing ? tag.substr(1) : tag);
    Element(name, closing, tag.ends_with("/"));
    return std::min(end + 1, s_.size());
  }

  void Element(const std::string& name, bool closing, bool empty) {
    if (name == "script" || name == "style" || name == "head") {
      if (name == "head") inHead_ = !closing;
      if (!empty && name != "head") skip_ += closing ? (skip_ > 0 ? -1 : 0) : 1;
      return;
    }
    if (name == "title") {
      inTitle_ = !closing && !empty;
      return;
    }
    if (inHead_ || skip_ > 0) return;
    const bool heading = name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
    if (heading) {
      Flush();
      if (closing)
        blocks_.End();
      else
        blocks_.StartHeading(name[1] - '0');
    } else if (name == "pre") {
      Flush();
      blocks_.End();
      pre_ = !closing;
    } else if (IsBlockTag(name)) {
      Flush();
      blocks_.End();
    }
  }

  std::string_view s_;
  Blocks blocks_;
  std::string pending_;
  std::string title_;
  int skip_ = 0;
  bool inHead_ = false;
  bool inTitle_ = false;
  bool pre_ = false;
};

}  // namespace

class PlainTextReader::State {
 public:
  explicit State(LineMode mode) : mode_(mode) {}

  void Add(std::string_view piece) {
    // Whole lines only; a CR at the piece's end may still meet its LF.
    size_t end = piece.find_last_of("\r\n");
    if (end != std::string_view::npos && piece[end] == '\r' && end + 1 == piece.size())
      end = end == 0 ? std::string_view::npos : piece.find_last_of("\r\n", end - 1);
    if (end == std::string_view::npos) {
      tail_ += piece;
      return;
    }
    tail_ += piece.substr(0, end + 1);
    Lines(tail_);
    tail_.assign(piece.substr(end + 1));
  }

  void Finish() {
    Lines(tail_);
    tail_.clear();
    blocks_.End();
  }

  std::vector<TextBlock> Take() { return blocks_.TakeEnded(); }

 private:
  void Lines(std::string_view text) {
    for (std::string_view line : layout::Lines(text)) {
      if (mode_ == LineMode::kLines) {
        blocks_.Line(std::string(Trim(line).empty() ? std::string_view() : line));
        continue;
      }
      if (IsRule(Trim(line))) {
        blocks_.Line(std::string(Trim(line)));
        continue;
      }
      if (Trim(line).empty() || StartsWithSpace(line)) blocks_.End();
      blocks_.Text(Trim(line));
    }
  }

  LineMode mode_;
  Blocks blocks_;
  std::string tail_;  // the line not yet ended
};

PlainTextReader::PlainTextReader(LineMode mode) : state_(std::make_unique<State>(mode)) {}
PlainTextReader::~PlainTextReader() = default;
void PlainTextReader::Add(std::string_view piece) {
  state_->Add(piece);
}
void PlainTextReader::Finish() {
  state_->Finish();
}
std::vector<TextBlock> PlainTextReader::TakeBlocks() {
  return state_->Take();
}

bool IsRule(std::string_view line) {
  size_t strokes = 0;
  for (; !line.empty(); line.remove_prefix(3), ++strokes)
    if (!line.starts_with("\u2500") && !line.starts_with("\u2501") && !line.starts_with("\u2550"))
      return false;
  return strokes >= 3;
}

TextDocument ReadPlainText(std::string_view text, LineMode mode) {
  PlainTextReader reader(mode);
  reader.Add(text);
  reader.Finish();
  TextDocument document;
  document.blocks = reader.TakeBlocks();
  return document;
}

TextDocument ReadMarkdown(std::string_view text, LineMode mode) {
  Blocks blocks;
  bool fenced = false;
  bool afterBlank = true;
  for (std::string_view line : Lines(text)) {
    if (TrimLeft(line).starts_with("```") || TrimLeft(line).starts_with("~~~")) {
      blocks.End();
      fenced = !fenced;
      afterBlank = false;
      continue;
    }
    const bool codeIndent = line.starts_with("    ") || line.starts_with("\t");
    if (fenced || (codeIndent && afterBlank && !blocks.Open())) {
      blocks.Line(std::string(line.substr(fenced ? 0 : line[0] == '\t' ? 1 : 4)));
      continue;
    }
    afterBlank = Trim(line).empty();
    if (afterBlank) {
      blocks.End();
      continue;
    }
    if (const int level = AtxLevel(Trim(line))) {
      std::string_view title = Trim(Trim(line).substr(static_cast<size_t>(level)));
      while (title.ends_with("#")) title.remove_suffix(1);
      blocks.Heading(level, MarkdownInline(Trim(title)));
      continue;
    }
    if (blocks.Open() && (IsRule(line, '=') || IsRule(line, '-'))) {
      blocks.Underline(IsRule(line, '=') ? 1 : 2);
      continue;
    }
    if (IsRule(line, '-') || IsRule(line, '*') || IsRule(line, '_')) {
      blocks.End();
      continue;
    }
    bool item = false;
    const std::string_view body = ItemText(line, &item);
    if (mode == LineMode::kLines) {
      blocks.Line(MarkdownInline(Trim(body)));
      continue;
    }
    if (item || StartsWithSpace(line)) blocks.End();
    blocks.Text(MarkdownInline(Trim(body)));
  }
  return blocks.Take();
}

TextDocument ReadHtml(std::string_view text) {
  return HtmlReader(text).Read();
}

}  // namespace molvane::layout
