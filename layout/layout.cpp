// SPDX-License-Identifier: GPL-3.0-or-later
// Lines and pages.
#include "layout/layout.h"

#include <algorithm>

namespace molvane::layout {
namespace {

constexpr char kDigitCells[10] = {0x1A, 0x01, 0x03, 0x09, 0x19, 0x11, 0x0B, 0x1B, 0x13, 0x0A};

// How a heading is set, by level: centred, or indented by this many cells.
// The two upper levels are centred and lower ones indented like a subtitle,
// as braille books commonly set them (no published Chinese rule was at hand
// to say otherwise); every heading has a blank line above it.
struct HeadingStyle {
  bool centred;
  int indent;
};
constexpr HeadingStyle kHeadingStyles[] = {{true, 0}, {true, 0}, {false, 4}};

HeadingStyle StyleOf(int level) {
  const int last = static_cast<int>(std::size(kHeadingStyles)) - 1;
  return kHeadingStyles[std::clamp(level - 1, 0, last)];
}

constexpr int kParagraphIndent = 2;

bool HasText(const Cells& line) {
  return std::any_of(line.begin(), line.end(), [](char c) { return c != 0; });
}

// The sign that starts a line which begins at `at` inside `word`, if the
// stretch there was opened by a sign further back.
Cells SignAt(const Word& word, size_t at) {
  Cells sign;
  for (const Word::Sign& s : word.signs)
    if (s.from < at)
      sign = s.cells;
    else if (s.from == at)
      return {};  // the stretch's own sign starts the line
  return sign;
}

// Fills words into lines of `width` cells, the first indented `first`
// cells, the others `rest`.
class Filler {
 public:
  Filler(int width, int first, int rest)
      : width_(static_cast<size_t>(width)),
        rest_(static_cast<size_t>(rest)),
        line_(static_cast<size_t>(first), 0) {}

  void Add(const Word& word) {
    if (word.cells.empty()) return;
    const size_t blank = HasText(line_) ? 1 : 0;
    if (line_.size() + blank + word.cells.size() <= width_) {
      line_.append(blank, 0);
      line_ += word.cells;
    } else if (rest_ + word.cells.size() <= width_) {
      NewLine();
      line_ += word.cells;
    } else {
      Cut(word, blank);
    }
  }

  std::vector<Cells> Finish() {
    if (HasText(line_) || lines_.empty()) lines_.push_back(line_);
    return std::move(lines_);
  }

 private:
  void NewLine() {
    lines_.push_back(line_);
    line_.assign(rest_, 0);
  }

  // A word longer than a line: as much as fits on each line, then the
  // continuation mark; each later line repeats the stretch's sign.
  void Cut(const Word& word, size_t blank) {
    constexpr size_t kLeast = 3;  // cells worth starting a cut word with
    if (blank > 0 && line_.size() + blank + kLeast + 1 > width_) {
      NewLine();
      blank = 0;
    }
    line_.append(blank, 0);
    size_t at = 0;
    while (true) {
      const Cells sign = at == 0 ? Cells() : SignAt(word, at);
      if (at > 0) {
        NewLine();
        line_ += sign;
      }
      const size_t room = width_ - line_.size();
      if (word.cells.size() - at <= room) {
        line_ += word.cells.substr(at);
        return;
      }
      size_t end = at + std::max<size_t>(room - 1, 1);
      if (!word.cuts.empty()) {
        // The last allowed cut that fits, if any.
        size_t best = 0;
        for (size_t c : word.cuts)
          if (c > at && c <= end) best = std::max(best, c);
        if (best > 0) end = best;
      }
      line_ += word.cells.substr(at, end - at);
      line_ += kContinuationMark;
      at = end;
    }
  }

  size_t width_;
  size_t rest_;
  Cells line_;
  std::vector<Cells> lines_;
};

}  // namespace

class Paginator::Pages {
 public:
  explicit Pages(PageSize size) : size_(Fit(size)) {}

  void StartSection() {
    if (started_ && (!page_.lines.empty() || sectionDue_)) EndPage();
    started_ = true;
    sectionDue_ = true;
  }

  void Add(const layout::Block& block) {
    started_ = true;
    switch (block.kind) {
      case Block::Kind::kParagraph:
        Lines(Fill(block, kParagraphIndent, 0));
        break;
      case Block::Kind::kLine:
        Lines(Fill(block, 0, 0));
        break;
      case Block::Kind::kHeading:
        Heading(block);
        break;
    }
  }

  void Finish() {
    if (!page_.lines.empty() || sectionDue_) EndPage();
  }
  std::vector<Page> Take() {
    std::vector<Page> pages;
    pages.swap(pages_);
    return pages;
  }

 private:
  std::vector<Cells> Fill(const layout::Block& block, int first, int rest) const {
    Filler filler(size_.cells, first, rest);
    for (const Word& word : block.words) filler.Add(word);
    return filler.Finish();
  }

  // A heading keeps its lines and the first line after it on one page, with
  // a blank line above it unless it starts a page.
  void Heading(const layout::Block& block) {
    const HeadingStyle style = StyleOf(block.level);
    std::vector<Cells> lines = Fill(block, style.indent, style.indent);
    if (style.centred)
      for (Cells& line : lines) {
        const size_t length = line.size();
        line.insert(0, (static_cast<size_t>(size_.cells) - length) / 2, 0);
      }
    const size_t room = TextLines() - page_.lines.size();
    if (!page_.lines.empty() && lines.size() + 2 > room) EndPage();
    if (!page_.lines.empty()) Line(Cells());
    Lines(lines);
  }

  void Lines(const std::vector<Cells>& lines) {
    for (const Cells& line : lines) Line(line);
  }
  void Line(const Cells& line) {
    if (page_.lines.size() == TextLines()) EndPage();
    page_.lines.push_back(line);
  }

  // Lines of text a page holds: all but the page number's.
  size_t TextLines() const { return static_cast<size_t>(size_.lines - 1); }

  void EndPage() {
    const Cells number = PageNumberCells(number_++);
    Page page;
    page.startsSection = sectionDue_;
    sectionDue_ = false;
    page.lines.push_back(Cells(static_cast<size_t>(size_.cells) - number.size(), 0) + number);
    for (Cells& line : page_.lines) {
      while (!line.empty() && line.back() == 0) line.pop_back();
      page.lines.push_back(std::move(line));
    }
    pages_.push_back(std::move(page));
    page_.lines.clear();
  }

  PageSize size_;
  int number_ = 1;
  bool started_ = false;    // a block or section came
  bool sectionDue_ = true;  // the next page ended starts a section
  Page page_;               // text lines only, the number's line added at its end
  std::vector<Page> pages_;
};

Paginator::Paginator(PageSize size) : pages_(std::make_unique<Pages>(size)) {}
Paginator::~Paginator() = default;
void Paginator::StartSection() {
  pages_->StartSection();
}
void Paginator::Add(const Block& block) {
  pages_->Add(block);
}
void Paginator::Finish() {
  pages_->Finish();
}
std::vector<Page> Paginator::TakePages() {
  return pages_->Take();
}

Cells PageNumberCells(int number) {
  const std::string digits = std::to_string(number);
  Cells cells(1, kNumberSign);
  for (char d : digits) cells += kDigitCells[d - '0'];
  return cells;
}

PageSize Fit(PageSize size) {
  return {std::max(size.cells, 12), std::max(size.lines, 3)};
}

std::vector<Page> LayOut(const std::vector<Section>& sections, PageSize size) {
  Paginator paginator(size);
  for (const Section& section : sections) {
    paginator.StartSection();
    for (const Block& block : section.blocks) paginator.Add(block);
  }
  paginator.Finish();
  return paginator.TakePages();
}

}  // namespace molvane::layout
