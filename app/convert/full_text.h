// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert's full-text mode: the Chinese characters go through the
// program as in the default mode; punctuation, digits, letters, spaces and
// line breaks are written by the full-text library around the program's
// syllables, in braille (dots, Unicode patterns, BRF) or pinyin. A character
// without a written form becomes the placeholder, or, when strict, ends the
// run with its offset.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/convert/braille_forms.h"
#include "app/convert/options.h"
#include "fulltext/fulltext.h"

namespace molvane::convert {

struct FullTextSettings {
  bool braille = true;                    // else full pinyin
  BrailleForm form = BrailleForm::kDots;  // braille only
  std::string blank;                      // between words, UTF-8 (Braille ASCII for BRF)
  std::string lineBreak = "\n";
  bool endWithLineBreak = true;  // add one when the text does not end with one
  bool strict = false;
  // The syllables of a word written together, a blank only between words;
  // in braille a number also takes a one-character word after it (a measure
  // word or unit).
  bool wordSpacing = false;
};

// Why a piece could not be written.
struct FullTextFailure {
  bool internal = false;  // the program's output did not match its input
  uint64_t offset = 0;    // in the joined input: the character without a form
  char32_t code = 0;
};

class FullTextWriter {
 public:
  // The program's conversion of Chinese characters (GBK in), one code a
  // line (LF), nothing for a character it cannot convert.
  using HanConversion = std::function<std::string(const std::string& gbk)>;

  FullTextWriter(FullTextSettings settings, HanConversion han);
  ~FullTextWriter();

  // One piece of input (UTF-8, or GBK when `gbk`) that starts at `start` in
  // the joined input; its output (UTF-8, or Braille ASCII) is appended to
  // `out`. A character may be held back until the next piece shows what
  // follows it.
  bool Add(const std::string& bytes, bool gbk, uint64_t start, std::string* out,
           FullTextFailure* failure);
  // Writes what was held back and ends the last line.
  bool Finish(std::string* out, FullTextFailure* failure);

 private:
  // Where a Chinese character stands in its word.
  enum class InWord : uint8_t { kAlone, kFirst, kLater };
  struct Held {
    char32_t code;
    uint64_t offset;
    std::string syllable;  // a Chinese character's code from the program, if any
    InWord inWord;
  };
  class Output;

  bool ConvertHan(const std::string& bytes, bool gbk, FullTextFailure* failure);
  void SegmentHan(const std::string& bytes, bool gbk);
  bool ClassifyUnknown(std::vector<char16_t> unknown);
  bool Drain(bool final, FullTextFailure* failure);
  bool Step(FullTextFailure* failure);
  bool Gather(char32_t c, fulltext::CharClass kind);
  bool WriteHan(const Held& h, bool afterNumber, FullTextFailure* failure);
  bool WriteOther(const Held& h, char32_t c, FullTextFailure* failure);
  void FlushRun();
  bool Placeholder(const Held& h, FullTextFailure* failure);
  void Word(std::string text, bool number, bool joinsPrevious = false);
  void Sign(const fulltext::SignRow& row);
  void Mark(fulltext::Part::Kind kind);  // a space or a line break

  FullTextSettings settings_;
  HanConversion han_;
  std::unique_ptr<Output> output_;
  std::unique_ptr<fulltext::Spacer> spacer_;
  // Per Chinese character (U+4E00 on): 0 not yet known, 1 the program
  // converts it, 2 it does not, 3 listed to be found out.
  std::vector<uint8_t> known_;
  std::string hanOutput_;  // the program's codes for the current piece, one a line
  size_t hanCursor_ = 0;
  std::vector<InWord> hanWords_;  // word spacing: each Chinese character's place
  size_t hanWordCursor_ = 0;
  std::deque<Held> held_;
  std::u32string run_;  // digits or letters not yet written
  bool runIsNumber_ = false;
  bool runJoins_ = false;  // the run goes on the word before it (4a, MP3)
  bool lastWasPlaceholder_ = false;
  bool lastWasNumber_ = false;
  bool afterCarriageReturn_ = false;
};

}  // namespace molvane::convert
