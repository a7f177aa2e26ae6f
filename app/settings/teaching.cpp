// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/teaching.h"

#include <vector>

#include "app/settings/code_points.h"
#include "platform/platform.h"
#include "platform/text_encodings.h"
#include "words/words.h"

namespace molvane::settings {
namespace {

// The signs HTML gives a meaning to, written as text.
struct Escape {
  char32_t code;
  const char* entity;
};
constexpr Escape kEscapes[] = {
    {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&#39;"}};

class Writer {
 public:
  explicit Writer(const Settings& settings) : settings_(settings) {}

  std::string Write(const std::string& text, bool gbk) {
    std::vector<char32_t> codes;
    ForEachCode(text, gbk, [&](char32_t code, size_t) { codes.push_back(code); });
    std::u16string run;
    for (size_t i = 0; i < codes.size(); ++i) {
      if (IsHan(codes[i])) {
        run += static_cast<char16_t>(codes[i]);
        continue;
      }
      WriteRun(run);
      run.clear();
      // CR LF is one line break.
      if (codes[i] == '\r' && i + 1 < codes.size() && codes[i + 1] == '\n') continue;
      WriteOther(codes[i] == '\r' ? U'\n' : codes[i]);
    }
    WriteRun(run);
    return std::move(out_);
  }

 private:
  // A syllable as pinyin is written with the settings' tones.
  std::string Syllable(const words::Reading& reading) const {
    const std::string gbk =
        words::Render({reading}, words::Notation::kFullPinyin, "", settings_.tones);
    return platform::GbkToUtf8(gbk);
  }

  // The chosen reading, or with --all-readings every reading in brackets.
  std::string Readings(char16_t han, const words::Reading& chosen, bool bracketsAlways) const {
    if (!settings_.allReadings) return Syllable(chosen);
    const std::vector<words::Reading> all = words::AllReadingsOf(han, chosen);
    if (all.size() == 1 && !bracketsAlways) return Syllable(chosen);
    std::string text = "[";
    for (size_t i = 0; i < all.size(); ++i) text += (i > 0 ? "|" : "") + Syllable(all[i]);
    return text + "]";
  }

  void WriteRun(const std::u16string& run) {
    if (run.empty()) return;
    std::vector<words::Reading> readings = words::ReadText(run, settings_.readings);
    if (settings_.sandhi) words::ApplySandhi(run, &readings);
    if (settings_.format == OutputFormat::kPairs) return WritePairs(run, readings);
    for (size_t i = 0; i < run.size(); ++i) {
      const bool read = !readings[i].letters.empty();
      if (settings_.format == OutputFormat::kRuby && read) {
        out_ += "<ruby>";
        platform::AppendUtf8(run[i], &out_);
        out_ += "<rt>" + Readings(run[i], readings[i], false) + "</rt></ruby>";
      } else {
        platform::AppendUtf8(run[i], &out_);
        if (read) out_ += Readings(run[i], readings[i], true);
      }
    }
  }

  // One word a line: the word, a tab, its syllables apart by blanks.
  void WritePairs(const std::u16string& run, const std::vector<words::Reading>& readings) {
    size_t at = 0;
    for (int length : words::SegmentRun(run)) {
      std::string syllables;
      for (size_t i = at; i < at + static_cast<size_t>(length); ++i) {
        platform::AppendUtf8(run[i], &out_);
        if (readings[i].letters.empty()) continue;
        if (!syllables.empty()) syllables += ' ';
        syllables += Readings(run[i], readings[i], false);
      }
      out_ += "\t" + syllables + "\n";
      at += static_cast<size_t>(length);
    }
  }

  // Pairs list words only; ruby writes the rest as HTML text.
  void WriteOther(char32_t code) {
    if (settings_.format == OutputFormat::kPairs) return;
    if (settings_.format == OutputFormat::kRuby) {
      if (code == '\n') return void(out_ += "<br>\n");
      for (const Escape& e : kEscapes)
        if (e.code == code) return void(out_ += e.entity);
    }
    platform::AppendUtf8(code, &out_);
  }

  const Settings& settings_;
  std::string out_;
};

}  // namespace

bool WritesTeaching(const Settings& settings) {
  return settings.format != OutputFormat::kText || settings.allReadings;
}

std::string RubyPageStart() {
  return "<!DOCTYPE html>\n"
         "<html lang=\"zh-CN\">\n"
         "<head>\n"
         "<meta charset=\"utf-8\">\n"
         "<title>拼音</title>\n"
         "<style>body { font-size: 2em; line-height: 2.4; margin: 1em; } "
         "ruby { margin: 0 0.15em; } rt { font-size: 0.5em; }</style>\n"
         "</head>\n"
         "<body>\n"
         "<p>";
}

std::string RubyPageEnd() {
  return "</p>\n</body>\n</html>\n";
}

std::string TeachingText(const std::string& text, bool gbk, const Settings& settings) {
  return Writer(settings).Write(text, gbk);
}

}  // namespace molvane::settings
