// SPDX-License-Identifier: GPL-3.0-or-later
// Full text: the Chinese characters go through the program's converter (or
// the word path); punctuation, digits, letters, spaces and line breaks are
// written by the full-text library around their syllables, in braille (dot
// numbers or Unicode patterns) or pinyin. A character without a written form
// becomes the placeholder and is counted as lost.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/han_coverage.h"
#include "app/settings/settings.h"
#include "fulltext/fulltext.h"

namespace molvane::settings {

struct FullTextSettings {
  bool braille = true;       // else full pinyin
  bool patterns = false;     // braille as Unicode patterns, else dot numbers
  bool doubleSpell = false;  // double-spell braille's own punctuation cells
  std::string blank;         // between words, UTF-8
  std::string lineBreak = "\n";
  bool endWithLineBreak = true;  // add one when the text does not end with one
  // The syllables of a word written together, a blank only between words;
  // words are grouped by the braille rules (particles, place and measure
  // words joined to the word before, a measure word to its number) or by
  // the pinyin orthography.
  bool wordSpacing = false;
};

// The characters written as the placeholder: how many, and the first.
struct Lost {
  uint64_t count = 0;
  uint64_t offset = 0;  // of the first, in the input as the writer was given it
  char32_t code = 0;

  void Add(char32_t c, uint64_t at) {
    if (count++ == 0) offset = at, code = c;
  }
};

class FullTextWriter {
 public:
  // The program's conversion of Chinese characters (GBK in), one code a
  // line (LF), nothing for a character it cannot convert.
  using HanConversion = std::function<std::string(const std::string& gbk)>;

  // `coverage` (which Chinese characters `han` writes) is learnt as the
  // writer goes, and may be shared by writers of the same conversion.
  FullTextWriter(FullTextSettings settings, HanConversion han, HanCoverage* coverage);
  ~FullTextWriter();

  // One piece of input (UTF-8, or GBK when `gbk`) that starts at `start` in
  // the joined input; its output (UTF-8) is appended to `out`. A character
  // may be held back until the next piece shows what follows it. False only
  // when the program's codes did not match the Chinese characters.
  bool Add(const std::string& bytes, bool gbk, uint64_t start, std::string* out);
  // Writes what was held back and ends the last line.
  void Finish(std::string* out);

  const Lost& lost() const { return lost_; }

 private:
  // Where a Chinese character stands in its word.
  enum class InWord : uint8_t { kAlone, kFirst, kLater };
  struct Held {
    char32_t code;
    uint64_t offset;
    std::string syllable;  // a Chinese character's code from the program, if any
    InWord inWord;
    bool joinsNumber;  // the first character of a group that goes on a number
  };
  struct HanPlace {
    InWord inWord;
    bool joinsNumber;
  };
  class Output;

  bool ConvertHan(const std::string& bytes, bool gbk);
  void SegmentHan(const std::string& bytes, bool gbk);
  void Drain(bool final);
  void Step();
  bool Gather(char32_t c, fulltext::CharClass kind);
  const fulltext::SignRow* WordSign(char32_t c, std::u32string_view ahead, char32_t before);
  void WriteHan(const Held& h, bool afterNumber);
  void WriteOther(const Held& h, char32_t c, char32_t before);
  void FlushRun();
  void Placeholder(const Held& h);
  void Word(std::string text, bool number, bool joinsPrevious = false);
  void Sign(const fulltext::SignRow& row);
  void Mark(fulltext::Part::Kind kind);  // a space or a line break

  FullTextSettings settings_;
  HanConversion han_;
  HanCoverage* coverage_;
  std::unique_ptr<Output> output_;
  std::unique_ptr<fulltext::Spacer> spacer_;
  Lost lost_;
  std::string hanOutput_;  // the program's codes for the current piece, one a line
  size_t hanCursor_ = 0;
  std::vector<HanPlace> hanWords_;  // word spacing: each Chinese character's place
  size_t hanWordCursor_ = 0;
  std::deque<Held> held_;
  std::u32string run_;  // digits or letters not yet written
  bool runIsNumber_ = false;
  bool runJoins_ = false;  // the run goes on the word before it (4a, MP3)
  // The letters, digits and signs of the word being written since the last
  // blank, and whether it is a web or e-mail address, whose signs all join.
  std::u32string word_;
  bool inAddress_ = false;
  bool lastWasPlaceholder_ = false;
  bool lastWasNumber_ = false;
  bool afterCarriageReturn_ = false;
  char32_t before_ = 0;  // the character decided last, 0 at a line's start
};

}  // namespace molvane::settings
