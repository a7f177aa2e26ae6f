// SPDX-License-Identifier: GPL-3.0-or-later
// A whole text in the common braille: runs of Chinese characters cut into
// words and read in context, everything else as the full-text signs,
// numbers and letters, placed by the full-text spacer.
#include "cbs/cbs.h"
#include "platform/platform.h"
#include "words/grouping.h"
#include "words/tables.h"

namespace molvane::cbs {
namespace {

using fulltext::CharClass;
using fulltext::Part;

void AddWord(fulltext::Spacer* spacer, Cells cells, bool number = false) {
  Part part;
  part.text = std::move(cells);
  part.number = number;
  spacer->Add(part);
}

void AddMark(fulltext::Spacer* spacer, Part::Kind kind) {
  Part part;
  part.kind = kind;
  spacer->Add(part);
}

// A run of Chinese characters as its groups of words: the scheme joins 的,
// the particles, place and measure words to the word before them.
void WriteRun(std::u16string_view run, fulltext::Spacer* spacer) {
  const std::vector<words::Reading> readings = words::ReadText(run, words::ReadingMode::kWords);
  size_t at = 0;
  for (int length : words::GroupRun(run, words::GroupingRules::kCommonBraille)) {
    std::vector<Syllable> word;
    for (int i = 0; i < length; ++i, ++at) word.push_back({readings[at], run[at]});
    AddWord(spacer, WordCells(word));
  }
}

// The end of the run of digits (with "." and "," between digits) or of
// letters that starts at `at`.
size_t RunEnd(std::u16string_view text, size_t at, CharClass kind) {
  size_t end = at + 1;
  while (end < text.size()) {
    const char32_t c = fulltext::Narrow(text[end]);
    if (fulltext::Classify(c) == kind) {
      ++end;
    } else if (kind == CharClass::kDigit && (c == '.' || c == ',') && end + 1 < text.size() &&
               fulltext::Classify(fulltext::Narrow(text[end + 1])) == CharClass::kDigit) {
      end += 2;
    } else {
      break;
    }
  }
  return end;
}

}  // namespace

void WriteText(std::u16string_view text, fulltext::Sink* sink) {
  fulltext::Spacer spacer(sink, true);
  for (size_t at = 0; at < text.size();) {
    char32_t c = fulltext::Narrow(text[at]);
    size_t end = at + 1;
    if (c >= 0xD800 && c < 0xDC00 && end < text.size() && text[end] >= 0xDC00 && text[end] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[end++] - 0xDC00);
    const CharClass kind = fulltext::Classify(c);
    switch (kind) {
      case CharClass::kHan:
        while (end < text.size() && words::IsHan(text[end])) ++end;
        WriteRun(text.substr(at, end - at), &spacer);
        break;
      case CharClass::kDigit:
      case CharClass::kLetter: {
        end = RunEnd(text, at, kind);
        std::u32string run;
        for (size_t i = at; i < end; ++i) run += fulltext::Narrow(text[i]);
        AddWord(&spacer,
                kind == CharClass::kDigit ? fulltext::NumberCells(run) : fulltext::LetterCells(run),
                kind == CharClass::kDigit);
        break;
      }
      case CharClass::kSpace:
        AddMark(&spacer, Part::Kind::kSpace);
        break;
      case CharClass::kLineBreak:
        if (!(c == '\n' && at > 0 && text[at - 1] == u'\r'))
          AddMark(&spacer, Part::Kind::kLineBreak);
        break;
      case CharClass::kIgnored:
      case CharClass::kAttached:
        break;
      case CharClass::kOther: {
        std::u32string ahead(1, c);
        if (end < text.size()) ahead += text[end];
        if (const fulltext::SignRow* row = fulltext::MatchSign(ahead)) {
          end = at + std::u32string_view(row->print).size();
          Part part;
          part.kind = Part::Kind::kSign;
          part.sign = row;
          part.text = fulltext::CellsFromDots(row->cells);
          spacer.Add(part);
        } else {
          AddWord(&spacer, fulltext::PlaceholderCells());
        }
        break;
      }
    }
    at = end;
  }
}

std::string UnicodeText(std::u16string_view text) {
  class Unicode : public fulltext::Sink {
   public:
    void Word(std::string_view cells) override {
      for (char cell : cells) Put(cell);
    }
    void Blank() override { Put(0); }
    void LineBreak() override { out += '\n'; }
    std::string out;

   private:
    void Put(char cell) {
      char buffer[4];
      const char* end = platform::EncodeUtf8(static_cast<char16_t>(0x2800 + cell), buffer);
      out.append(buffer, static_cast<size_t>(end - buffer));
    }
  } sink;
  WriteText(text, &sink);
  return std::move(sink.out);
}

}  // namespace molvane::cbs
