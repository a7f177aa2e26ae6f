// SPDX-License-Identifier: GPL-3.0-or-later
// Tokens written as pinyin.
#include <map>

#include "back/back.h"
#include "fulltext/fulltext.h"
#include "platform/platform.h"
#include "words/tables.h"

namespace molvane::back {
namespace {

// Every syllable's forms in UTF-8, made once: by tone with marks and with
// digits, and without a tone.
struct Forms {
  std::vector<std::array<std::string, 5>> marked, numbered;
  std::vector<std::string> bareMarked, bareNumbered, letters;

  static const Forms& Get() {
    static const Forms forms;
    return forms;
  }

 private:
  Forms() {
    const words::Tables& tables = words::Tables::Get();
    for (uint16_t s = 0; s < tables.SyllableCount(); ++s) {
      const words::SyllableCodes& codes = tables.Codes(s);
      marked.emplace_back();
      numbered.emplace_back();
      for (size_t tone = 0; tone < 5; ++tone) {
        marked.back()[tone] = platform::GbkToUtf8(codes.marked[tone]);
        numbered.back()[tone] = codes.numbered[tone];
      }
      bareMarked.push_back(marked.back()[0]);
      bareNumbered.push_back(numbered.back()[0].substr(0, numbered.back()[0].size() - 1));
      letters.push_back(codes.letters);
    }
  }
};

const std::string& SyllableForm(const Token& token, words::ToneStyle tones) {
  const Forms& forms = Forms::Get();
  const size_t s = token.syllable;
  const bool toned = token.tone >= 0 && token.tone <= 4;
  switch (tones) {
    case words::ToneStyle::kMarks:
      return toned ? forms.marked[s][static_cast<size_t>(token.tone)] : forms.bareMarked[s];
    case words::ToneStyle::kNumbers:
      return toned ? forms.numbered[s][static_cast<size_t>(token.tone)] : forms.bareNumbered[s];
    case words::ToneStyle::kNone:
      break;
  }
  return forms.letters[s];
}

}  // namespace

std::string Pinyin(const BackText& text, words::ToneStyle tones) {
  std::string out;
  bool syllableLast = false;
  for (const Token& token : text.tokens) {
    switch (token.kind) {
      case Token::Kind::kSyllable: {
        const std::string& form = SyllableForm(token, tones);
        // An apostrophe keeps a syllable that begins with a, o or e apart.
        if (syllableLast && !form.empty() &&
            (form[0] == 'a' || form[0] == 'e' || form[0] == 'o' ||
             static_cast<unsigned char>(form[0]) >= 0x80))
          out += '\'';
        out += form;
        break;
      }
      case Token::Kind::kSign:
        out += token.pinyin;
        break;
      case Token::Kind::kText:
        out += token.text;
        break;
      case Token::Kind::kBlank:
        out += ' ';
        break;
      case Token::Kind::kLineBreak:
        out += '\n';
        break;
      case Token::Kind::kUnread:
        out += fulltext::kPinyinPlaceholder;
        break;
    }
    syllableLast = token.kind == Token::Kind::kSyllable;
  }
  return out;
}

const std::vector<uint16_t>& SameCells(uint16_t syllable) {
  // By syllable: every syllable with its current braille cells, itself first.
  static const std::vector<std::vector<uint16_t>> same = [] {
    const words::Tables& tables = words::Tables::Get();
    std::map<std::string, std::vector<uint16_t>> byCells;
    for (uint16_t s = 0; s < tables.SyllableCount(); ++s)
      if (!tables.Codes(s).brailleDots.empty()) byCells[tables.Codes(s).brailleDots].push_back(s);
    std::vector<std::vector<uint16_t>> table(tables.SyllableCount());
    for (uint16_t s = 0; s < tables.SyllableCount(); ++s) {
      table[s].push_back(s);
      const auto found = byCells.find(tables.Codes(s).brailleDots);
      if (found == byCells.end()) continue;
      for (uint16_t other : found->second)
        if (other != s) table[s].push_back(other);
    }
    return table;
  }();
  return same[syllable];
}

}  // namespace molvane::back
