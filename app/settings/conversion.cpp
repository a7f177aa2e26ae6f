// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/conversion.h"

#include <algorithm>
#include <vector>

#include "app/settings/code_points.h"
#include "app/settings/common_braille.h"
#include "app/settings/teaching.h"
#include "engine/conversion.h"
#include "fulltext/fulltext.h"
#include "platform/platform.h"
#include "runtime/runtime.h"
#include "words/words.h"

namespace molvane::settings {
namespace {

// The word path reads the four syllable notations; Wubi has no readings.
bool ReadsOwnWay(const Settings& settings) {
  return settings.notation != Notation::kWubi &&
         (settings.readings != words::ReadingMode::kCharacters ||
          settings.tones != words::ToneStyle::kNone || settings.sandhi);
}

// One of the program's converters over a GBK text, the result freed.
std::string ProgramCodes(Notation notation, const std::string& gbk, const std::string& separator) {
  char* input = const_cast<char*>(gbk.c_str());
  char* separatorText = const_cast<char*>(separator.c_str());
  char* codes = kNotations[static_cast<int>(notation)](&input, &separatorText);
  std::string result = codes == nullptr ? std::string() : std::string(codes);
  FreeMemory(codes);
  return result;
}

}  // namespace

std::string GbkSeparator(const Settings& settings) {
  return platform::Utf8ToGbk(settings.separator);
}

Converter::Converter(Settings settings) : settings_(std::move(settings)) {}

std::string Converter::LineBreak() const {
  return settings_.windowLineBreaks ? "\r\n" : "\n";
}

// Wubi 86's word codes, made from the full codes of the word's characters
// by the word rules of Wang Yongmin's Wubi 86 (王码五笔字型 86 版, 词语编码
// 规则): a word of two characters takes the first two keys of each (中国
// khlg); of three, the first key of the first two and the first two of the
// last (计算机 ytsm); of four or more, the first keys of the first three and
// of the last (中华人民共和国 kwwl).
std::string WordCode(const std::vector<std::string>& codes) {
  std::string code;
  const size_t n = codes.size();
  auto keys = [&](size_t i, size_t count) { code += codes[i].substr(0, count); };
  if (n == 2) keys(0, 2), keys(1, 2);
  if (n == 3) keys(0, 1), keys(1, 1), keys(2, 2);
  if (n >= 4) keys(0, 1), keys(1, 1), keys(2, 1), keys(n - 1, 1);
  return code;
}

// The codes of one run of characters (UTF-16) by words, appended apart by
// `blank`; a character alone, or a word with a character that has no code,
// keeps full codes.
void AppendWordCodes(std::u16string_view run, const std::string& blank, std::string* out) {
  size_t at = 0;
  for (int length : words::SegmentRun(run)) {
    std::vector<std::string> codes;
    for (size_t i = at; i < at + static_cast<size_t>(length); ++i) {
      std::string one;
      AppendGbk(run[i], &one);
      codes.push_back(ProgramCodes(Notation::kWubi, one, ""));
    }
    at += static_cast<size_t>(length);
    const bool whole = std::none_of(codes.begin(), codes.end(), [](auto& c) { return c.empty(); });
    if (whole && codes.size() > 1) codes = {WordCode(codes)};
    for (const std::string& code : codes)
      if (!code.empty()) *out += (out->empty() ? "" : blank) + code;
  }
}

// The word codes of a GBK line; any other character than a Chinese one ends
// a word.
std::string WordCodes(const std::string& gbk, const std::string& blank) {
  std::string out;
  std::u16string run;
  ForEachCode(gbk, true, [&](char32_t code, size_t) {
    if (IsHan(code)) return void(run += static_cast<char16_t>(code));
    AppendWordCodes(run, blank, &out);
    run.clear();
  });
  AppendWordCodes(run, blank, &out);
  return out;
}

// The short codes of a GBK line, apart by `blank`: a character without one
// keeps its full code, one without any code is skipped.
std::string ShortCodes(const std::string& gbk, const std::string& blank) {
  std::string out;
  ForEachCode(gbk, true, [&](char32_t code, size_t) {
    if (code < 0x4E00 || code > 0x9FA5) return;
    std::string one;
    AppendGbk(static_cast<char16_t>(code), &one);
    const std::string_view brief = words::ShortWubiCode(static_cast<char16_t>(code));
    const std::string written =
        brief.empty() ? ProgramCodes(Notation::kWubi, one, "") : std::string(brief);
    if (!written.empty()) out += (out.empty() ? "" : blank) + written;
  });
  return out;
}

std::string Converter::HanCodes(const std::string& gbk, const std::string& separator) const {
  if (!ReadsOwnWay(settings_)) return ProgramCodes(settings_.notation, gbk, separator);
  const words::ConvertOptions options{settings_.readings, settings_.tones, settings_.sandhi};
  return words::ConvertGbk(gbk, static_cast<words::Notation>(settings_.notation), separator,
                           options);
}

HanCoverage::Conversion Converter::CodesALine() const {
  return [this](const std::string& gbk) {
    std::string codes = HanCodes(gbk, "\n");
    // Shuangpin and Wubi put the separator between codes: end the last too.
    if (!codes.empty() && codes.back() != '\n') codes += '\n';
    return codes;
  };
}

bool Converter::Convert(const std::string& text, bool gbk, Converted* out, bool whole) {
  out->text.clear();
  out->lost = Lost{};
  if (settings_.notation == Notation::kCommonBraille)
    return WriteCommonBraille(text, gbk, whole, out);
  if (WritesTeaching(settings_)) {
    if (!CountLost(text, gbk, &out->lost)) return false;
    out->text = TeachingText(text, gbk, settings_);
    return true;
  }
  if (settings_.text == TextMode::kFull && WritesFullText(settings_.notation))
    return WriteFullText(text, gbk, whole, out);
  if (settings_.text == TextMode::kFull) return WriteLines(text, gbk, whole, out);
  return WriteHan(text, gbk, out);
}

bool Converter::WriteFullText(const std::string& text, bool gbk, bool whole, Converted* out) {
  FullTextSettings full;
  full.braille = IsBraille(settings_.notation);
  full.patterns = full.braille && settings_.form != BrailleForm::kDots;
  full.doubleSpell = settings_.notation == Notation::kDoubleBraille;
  // A blank cell between words unless a separator is given: U+2800 among
  // braille patterns, a space elsewhere.
  full.blank = !settings_.separator.empty() ? settings_.separator : full.patterns ? "\u2800" : " ";
  full.lineBreak = LineBreak();
  full.endWithLineBreak = whole && !settings_.windowLineBreaks;
  full.wordSpacing = settings_.spacing == Spacing::kWord;
  FullTextWriter writer(full, CodesALine(), &coverage_);
  if (!writer.Add(text, gbk, 0, &out->text)) return false;
  writer.Finish(&out->text);
  out->lost = writer.lost();
  return true;
}

// The common braille has no program converter: its own writer does it all.
bool Converter::WriteCommonBraille(const std::string& text, bool gbk, bool whole, Converted* out) {
  CommonBrailleOptions common;
  common.full = settings_.text == TextMode::kFull;
  common.patterns = settings_.form != BrailleForm::kDots;
  common.blank = !settings_.separator.empty() ? settings_.separator
                 : common.patterns            ? "\u2800"
                                              : " ";
  common.separator = settings_.separator.empty() ? LineBreak() : settings_.separator;
  common.lineBreak = LineBreak();
  common.endWithLineBreak = whole && !settings_.windowLineBreaks;
  common.readWords = settings_.readings == words::ReadingMode::kWords;
  out->text = CommonBraille(gbk ? platform::GbkToUtf8(text) : text, common, &out->lost);
  return true;
}

// Shuangpin and Wubi with the input's lines kept: each line's codes apart
// by the separator (a blank when none is given).
bool Converter::WriteLines(const std::string& text, bool gbk, bool whole, Converted* out) {
  if (!CountLost(text, gbk, &out->lost)) return false;
  const std::string blank = settings_.separator.empty() ? " " : GbkSeparator(settings_);
  std::string line, gbkOut;
  bool lineOpen = false;
  auto endLine = [&] {
    std::string codes = line.empty()                          ? std::string()
                        : settings_.wubi == WubiCodes::kWords ? WordCodes(line, blank)
                        : settings_.wubi == WubiCodes::kShort ? ShortCodes(line, blank)
                                                              : HanCodes(line, blank);
    // A character skipped at the line's end leaves its predecessor's blank.
    if (codes.ends_with(blank)) codes.resize(codes.size() - blank.size());
    gbkOut += codes;
    line.clear();
  };
  bool afterCarriageReturn = false;
  ForEachCode(text, gbk, [&](char32_t code, size_t) {
    const bool crLf = afterCarriageReturn && code == '\n';
    afterCarriageReturn = code == '\r';
    if (code == '\r' || code == '\n') {
      if (crLf) return;
      endLine();
      gbkOut += LineBreak();
      lineOpen = false;
      return;
    }
    lineOpen = true;
    if (IsHan(code)) {
      AppendGbk(static_cast<char16_t>(code), &line);
    } else if (settings_.wubi == WubiCodes::kWords) {
      line += ' ';  // ends a word
    }
  });
  endLine();
  if (lineOpen && whole && !settings_.windowLineBreaks) gbkOut += LineBreak();
  out->text = platform::GbkToUtf8(gbkOut);
  return true;
}

bool Converter::WriteHan(const std::string& text, bool gbk, Converted* out) {
  if (!CountLost(text, gbk, &out->lost)) return false;
  std::string gbkText = gbk ? text : platform::Utf8ToGbk(text);
  const std::string separator = settings_.separator.empty() ? LineBreak() : GbkSeparator(settings_);
  out->text = platform::GbkToUtf8(HanCodes(gbkText, separator));
  return true;
}

bool Converter::Learn(const std::string& text, bool gbk) {
  std::u16string han;
  ForEachCode(text, gbk, [&](char32_t code, size_t) {
    if (IsHan(code)) han += static_cast<char16_t>(code);
  });
  return coverage_.Learn(CodesALine(), han);
}

bool Converter::CountLost(const std::string& text, bool gbk, Lost* lost) {
  if (!Learn(text, gbk)) return false;
  ForEachCode(text, gbk, [&](char32_t code, size_t at) {
    if (IsIdeograph(code) && !coverage_.Writes(code)) lost->Add(code, at);
  });
  return true;
}

}  // namespace molvane::settings
