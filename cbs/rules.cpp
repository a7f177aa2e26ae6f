// SPDX-License-Identifier: GPL-3.0-or-later
// The rule table (cbs/rules.txt, built into the library as text) read once.
#include "cbs/rules.h"

#include <stdexcept>

#include "platform/platform.h"

namespace molvane::cbs {

extern const char kRulesText[];  // generated from cbs/rules.txt

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (size_t at = 0;;) {
    const size_t tab = line.find('\t', at);
    fields.push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
    if (tab == std::string_view::npos) return fields;
    at = tab + 1;
  }
}

int ToneDigit(std::string_view text) {
  return text.size() == 1 && text[0] >= '0' && text[0] <= '4' ? text[0] - '0' : -1;
}

// A table that does not parse is a build fault, never a user's: stop loudly.
[[noreturn]] void Malformed(std::string_view line) {
  throw std::logic_error("cbs/rules.txt: malformed line: " + std::string(line));
}

}  // namespace

const Rules& Rules::Get() {
  static const Rules rules;
  return rules;
}

Rules::Rules() {
  std::string_view text(kRulesText);
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() < 5) Malformed(line);
    if (f[0] == "tone") {
      const int tone = ToneDigit(f[1]);
      const Cells cells = fulltext::CellsFromDots(f[2]);
      if (tone < 1 || cells.size() != 1) Malformed(line);
      toneCells_[static_cast<size_t>(tone)] = cells[0];
    } else if (f[0] == "initial" || f[0] == "syllable") {
      const int tone = f[2] == "-" ? 0 : ToneDigit(f[2]);
      if (tone < 0) Malformed(line);
      (f[0] == "initial" ? byInitial_ : bySyllable_)[std::string(f[1])] = tone;
    } else if (f[0] == "short") {
      const std::string gbk = platform::Utf8ToGbk(std::string(f[1]));
      char16_t unit = 0;
      const std::string_view reading = f[3];
      if (platform::DecodeGbkCharacter(gbk.data(), gbk.size(), &unit) <= 0 || reading.size() < 2)
        Malformed(line);
      const int tone = ToneDigit(reading.substr(reading.size() - 1));
      const Cells cells = fulltext::CellsFromDots(f[2]);
      if (tone < 0 || cells.empty()) Malformed(line);
      shorts_.push_back({unit, cells, std::string(reading.substr(0, reading.size() - 1)), tone});
    } else {
      Malformed(line);
    }
  }
}

std::string_view InitialOf(std::string_view letters) {
  if (letters.size() >= 2 && letters[1] == 'h' &&
      (letters[0] == 'z' || letters[0] == 'c' || letters[0] == 's'))
    return letters.substr(0, 2);
  if (!letters.empty() &&
      std::string_view("bpmfdtnlgkhjqxrzcs").find(letters[0]) != std::string_view::npos)
    return letters.substr(0, 1);
  return std::string_view();
}

int Rules::OmittedTone(std::string_view letters) const {
  if (const auto found = bySyllable_.find(std::string(letters)); found != bySyllable_.end())
    return found->second;
  const auto found = byInitial_.find(std::string(InitialOf(letters)));
  return found == byInitial_.end() ? 0 : found->second;
}

const Short* Rules::ShortFor(char16_t han, std::string_view letters, int tone) const {
  for (const Short& s : shorts_)
    if (s.han == han && s.letters == letters && s.tone == tone) return &s;
  return nullptr;
}

}  // namespace molvane::cbs
