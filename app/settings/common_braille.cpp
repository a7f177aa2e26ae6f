// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/common_braille.h"

#include "app/settings/braille_forms.h"
#include "app/settings/code_points.h"
#include "app/settings/han_coverage.h"
#include "cbs/cbs.h"
#include "platform/platform.h"
#include "words/words.h"

namespace molvane::settings {
namespace {

// Cells in the chosen form, blanks and line breaks as given.
class Cells : public fulltext::Sink {
 public:
  explicit Cells(const CommonBrailleOptions& options) : options_(options) {}

  // A sign or number may come as a word of its own right after another:
  // the cells of one written word are gathered until a blank ends it.
  void Word(std::string_view cells) override { word_ += cells; }
  void Blank() override {
    Flush();
    out += options_.blank;
  }
  void LineBreak() override {
    Flush();
    out += options_.lineBreak;
    lineOpen_ = false;
  }
  void End() {
    Flush();
    if (lineOpen_ && options_.endWithLineBreak) out += options_.lineBreak;
  }
  void Flush() {
    if (word_.empty()) return;
    lineOpen_ = true;
    if (options_.patterns) {
      out += UnicodeBraille(std::vector<int>(word_.begin(), word_.end()));
    } else {
      for (size_t i = 0; i < word_.size(); ++i) {
        if (i > 0) out += '-';
        for (int dot = 0; dot < 6; ++dot)
          if (word_[i] >> dot & 1) out += static_cast<char>('1' + dot);
      }
    }
    word_.clear();
  }

  std::string out;

 private:
  const CommonBrailleOptions& options_;
  std::string word_;
  bool lineOpen_ = false;
};

void AppendUtf16(char32_t code, std::u16string* out) {
  if (code < 0x10000) {
    *out += static_cast<char16_t>(code);
  } else {
    *out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
    *out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
  }
}

// The characters the scheme cannot write: Chinese characters without a
// reading and (in full text) signs that the sign table lacks, which the
// writer gives the placeholder.
void CountLost(const std::u32string& codes, const std::vector<size_t>& offsets,
               const std::vector<words::Reading>& readings, bool full, Lost* lost) {
  size_t han = 0;
  for (size_t i = 0; i < codes.size(); ++i) {
    const char32_t c = fulltext::Narrow(codes[i]);
    const fulltext::CharClass kind = fulltext::Classify(c);
    if (kind == fulltext::CharClass::kHan) {
      if (readings[han++].syllable == 0xFFFF) lost->Add(codes[i], offsets[i]);
    } else if (!full) {
      if (IsIdeograph(c)) lost->Add(codes[i], offsets[i]);
    } else if (kind == fulltext::CharClass::kOther) {
      std::u32string ahead(1, c);
      if (i + 1 < codes.size()) ahead += fulltext::Narrow(codes[i + 1]);
      const fulltext::SignRow* row = fulltext::MatchSign(ahead);
      if (row == nullptr)
        lost->Add(codes[i], offsets[i]);
      else
        i += std::u32string_view(row->print).size() - 1;
    }
  }
}

}  // namespace

std::string CommonBraille(const std::string& utf8, const CommonBrailleOptions& options,
                          Lost* lost) {
  std::u32string codes;
  std::vector<size_t> offsets;
  std::u16string wide;
  ForEachCode(utf8, false, [&](char32_t code, size_t at) {
    codes += code;
    offsets.push_back(at);
    AppendUtf16(code, &wide);
  });
  const std::vector<words::Reading> readings = words::ReadText(
      wide, options.readWords ? words::ReadingMode::kWords : words::ReadingMode::kCharacters);
  CountLost(codes, offsets, readings, options.full, lost);
  Cells cells(options);
  if (options.full) {
    cbs::WriteText(wide, &cells);
    cells.End();
    return std::move(cells.out);
  }
  size_t han = 0;
  for (char16_t unit : wide) {
    if (!IsHan(unit)) continue;
    cells.Word(cbs::WordCells({{readings[han++], unit}}));
    cells.Flush();
    cells.out += options.separator;
  }
  return std::move(cells.out);
}

}  // namespace molvane::settings
