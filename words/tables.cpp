// SPDX-License-Identifier: GPL-3.0-or-later
#include "words/tables.h"

#include <algorithm>
#include <cmath>

#include "constants/constant_area.h"
#include "platform/platform.h"

namespace molvane::words {
namespace {

using constants::kArea;

bool IsLetter(char16_t unit) {
  return unit >= u'a' && unit <= u'z';
}
bool IsDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

std::string Narrow(std::u16string_view ascii) {
  return std::string(ascii.begin(), ascii.end());
}

// Every maximal run of units that `accept` takes, in order: what the
// program's start-up gets from SearchAllTexts with a one-set pattern.
template <typename Accept>
std::vector<std::string> Runs(std::u16string_view text, Accept accept) {
  std::vector<std::string> runs;
  for (size_t at = 0; at < text.size();) {
    if (!accept(text[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < text.size() && accept(text[end])) ++end;
    runs.push_back(Narrow(text.substr(at, end - at)));
    at = end;
  }
  return runs;
}

std::vector<std::u16string_view> Split(std::u16string_view text, std::u16string_view by) {
  std::vector<std::u16string_view> parts;
  for (size_t at = 0;;) {
    const size_t end = text.find(by, at);
    parts.push_back(text.substr(at, end == std::u16string_view::npos ? end : end - at));
    if (end == std::u16string_view::npos) return parts;
    at = end + by.size();
  }
}

// Tone marks by vowel, tones 1 to 4, UTF-8.
struct MarkedVowel {
  char vowel;  // 'v' for ü
  const char* marked[4];
};
constexpr MarkedVowel kMarkedVowels[] = {
    {'a', {"ā", "á", "ǎ", "à"}}, {'e', {"ē", "é", "ě", "è"}}, {'i', {"ī", "í", "ǐ", "ì"}},
    {'o', {"ō", "ó", "ǒ", "ò"}}, {'u', {"ū", "ú", "ǔ", "ù"}}, {'v', {"ǖ", "ǘ", "ǚ", "ǜ"}},
};

// The dictionary writes üe after l and n as "ue"; the tone forms show the ü.
std::string UmlautSpelled(const std::string& letters) {
  if ((letters == "lue" || letters == "nue")) return letters.substr(0, 1) + "ve";
  return letters;
}

// The vowel that carries the mark: a or e, else the o of ou, else the last vowel.
size_t MarkedPosition(const std::string& letters) {
  for (char first : {'a', 'e'})
    if (const size_t at = letters.find(first); at != std::string::npos) return at;
  if (const size_t at = letters.find("ou"); at != std::string::npos) return at;
  return letters.find_last_of("iouv");
}

std::string WithMark(const std::string& letters, int tone) {
  const std::string spelled = UmlautSpelled(letters);
  const size_t marked = tone == 0 ? std::string::npos : MarkedPosition(spelled);
  std::string utf8;
  for (size_t i = 0; i < spelled.size(); ++i) {
    const char c = spelled[i];
    if (i == marked) {
      for (const MarkedVowel& v : kMarkedVowels)
        if (v.vowel == c) utf8 += v.marked[tone - 1];
    } else {
      utf8 += c == 'v' ? "ü" : std::string(1, c);
    }
  }
  return platform::Utf8ToGbk(utf8);
}

std::string WithNumber(const std::string& letters, int tone) {
  return UmlautSpelled(letters) + static_cast<char>('0' + (tone == 0 ? 5 : tone));
}

// The shuangpin key of a part: the first text of the last row holding it.
std::string KeyFor(const std::vector<std::vector<std::string>>& rows, const std::string& part) {
  for (auto row = rows.rbegin(); row != rows.rend(); ++row)
    for (const std::string& text : *row)
      if (text == part) return row->front();
  return std::string();
}

uint32_t PairKey(char16_t first, char16_t second, int place) {
  return (static_cast<uint32_t>(first - kFirstHan) << 16 |
          static_cast<uint32_t>(second - kFirstHan))
             << 1 |
         static_cast<uint32_t>(place);
}

}  // namespace

std::u16string Utf16Of(std::string_view utf8) {
  std::u16string wide;
  for (size_t at = 0; at < utf8.size();) {
    char32_t code = 0;
    const int n = platform::DecodeUtf8Character(utf8.data() + at, utf8.size() - at, &code);
    if (n <= 0 || code > 0xFFFF) return {};
    wide += static_cast<char16_t>(code);
    at += static_cast<size_t>(n);
  }
  return wide;
}

std::vector<std::string_view> SplitFields(std::string_view line, char by) {
  std::vector<std::string_view> fields;
  for (size_t at = 0;;) {
    const size_t end = line.find(by, at);
    fields.push_back(line.substr(at, end == std::string_view::npos ? end : end - at));
    if (end == std::string_view::npos) return fields;
    at = end + 1;
  }
}

std::u16string DecodeGbk(std::string_view gbk) {
  std::u16string units;
  units.reserve(gbk.size());
  for (size_t at = 0; at < gbk.size();) {
    char16_t unit;
    const int length = platform::DecodeGbkCharacter(gbk.data() + at, gbk.size() - at, &unit);
    if (length <= 0) {
      ++at;
      continue;
    }
    units.push_back(unit);
    at += static_cast<size_t>(length);
  }
  return units;
}

const Tables& Tables::Get() {
  static const Tables tables;
  return tables;
}

Tables::Tables() : characters_(kLastHan - kFirstHan + 1) {
  ReadDictionary();
  ReadNotations();
  ReadWords();
  ReadModifiers();
  ReadContext();
}

uint16_t Tables::SyllableNumber(std::string_view letters) const {
  const auto found = syllableNumbers_.find(std::string(letters));
  return found == syllableNumbers_.end() ? kNoSyllable : found->second;
}

// One pass over the sorted words: those with the same first two characters
// are consecutive, and their second characters come in order.
void Tables::IndexSecondUnits() {
  secondUnitRanges_.assign(kLastHan - kFirstHan + 1, {0, 0});
  for (size_t i = 0; i < words_.size();) {
    const std::u16string_view text = words_[i].text;
    size_t end = i + 1;
    if (text.size() < 2 || !IsHan(text[0])) {
      i = end;
      continue;
    }
    while (end < words_.size() && words_[end].text.size() >= 2 && words_[end].text[0] == text[0] &&
           words_[end].text[1] == text[1])
      ++end;
    auto& range = secondUnitRanges_[text[0] - kFirstHan];
    if (range.first == range.second)
      range = {static_cast<uint32_t>(secondUnits_.size()),
               static_cast<uint32_t>(secondUnits_.size())};
    secondUnits_.push_back({text[1], static_cast<uint32_t>(i), static_cast<uint32_t>(end)});
    ++range.second;
    i = end;
  }
}

std::pair<size_t, size_t> Tables::StartingWith(char16_t first, char16_t second) const {
  const auto [from, to] = secondUnitRanges_[first - kFirstHan];
  const auto begin = secondUnits_.begin() + from, end = secondUnits_.begin() + to;
  const auto found = std::lower_bound(
      begin, end, second, [](const SecondUnit& s, char16_t unit) { return s.unit < unit; });
  if (found == end || found->unit != second) return {0, 0};
  return {found->from, found->to};
}

const WordEntry* Tables::Find(std::u16string_view word) const {
  const auto found = std::lower_bound(
      words_.begin(), words_.end(), word,
      [](const WordEntry& entry, std::u16string_view text) { return entry.text < text; });
  return found != words_.end() && found->text == word ? &*found : nullptr;
}

// "吖a1,阿a1,...": the letters and the first tone digit after each character.
void Tables::ReadDictionary() {
  const std::u16string text = DecodeGbk(kArea.pinyinDictionary);
  for (std::u16string_view entry : Split(text, u",")) {
    if (entry.size() < 3 || !IsHan(entry[0])) continue;
    size_t end = 1;
    while (end < entry.size() && IsLetter(entry[end])) ++end;
    if (end == 1 || end == entry.size() || !IsDigit(entry[end])) continue;
    const std::string letters = Narrow(entry.substr(1, end - 1));
    auto [number, added] =
        syllableNumbers_.emplace(letters, static_cast<uint16_t>(syllables_.size()));
    if (added) syllables_.push_back(SyllableCodes{letters, {}, {}, {}, {}, {}, {}, {}});
    characters_[entry[0] - kFirstHan] = {number->second, static_cast<uint8_t>(entry[end] - u'0')};
  }
}

void Tables::ReadNotations() {
  const std::u16string braille = DecodeGbk(kArea.currentBrailleTable);
  const auto brailleSyllables = Runs(braille, IsLetter);
  const auto brailleDots = Runs(braille, [](char16_t u) { return IsDigit(u) || u == u'-'; });

  const std::u16string doubles = DecodeGbk(kArea.doubleBrailleTable);
  std::vector<std::string> doubleSyllables, initials, finals;
  for (std::u16string_view line : Split(doubles, u"\r\n")) {
    const size_t joiner = line.find(u'-');
    const size_t equals = line.find(u'=');
    if (joiner == std::u16string_view::npos || equals == std::u16string_view::npos) continue;
    initials.push_back(Narrow(line.substr(0, joiner)));
    finals.push_back(Narrow(line.substr(joiner + 1, equals - joiner - 1)));
    doubleSyllables.push_back(Narrow(line.substr(equals + 1)));
  }

  std::vector<std::vector<std::string>> rows;
  const std::u16string shuangpin = DecodeGbk(kArea.shuangpinTable);
  for (std::u16string_view line : Split(shuangpin, u"\r\n")) {
    rows.emplace_back();
    for (std::u16string_view part : Split(line, u"|")) rows.back().push_back(Narrow(part));
  }

  for (SyllableCodes& s : syllables_) {
    for (size_t j = 0; j < brailleSyllables.size() && j < brailleDots.size(); ++j)
      if (brailleSyllables[j] == s.letters) {
        s.brailleDots = brailleDots[j];
        break;
      }
    for (size_t j = 0; j < doubleSyllables.size(); ++j)
      if (doubleSyllables[j] == s.letters) {
        s.doubleInitial = initials[j];
        s.doubleFinal = finals[j];
        break;
      }
    const size_t vowel = s.letters.find_first_of("aoeiuv");
    s.shuangpinInitial =
        vowel == 0 ? std::string(kArea.vowelInitialKey) : KeyFor(rows, s.letters.substr(0, vowel));
    s.shuangpinFinal =
        vowel == std::string::npos ? std::string() : KeyFor(rows, s.letters.substr(vowel));
    for (int tone = 0; tone < 5; ++tone) {
      s.marked[static_cast<size_t>(tone)] = WithMark(s.letters, tone);
      s.numbered[static_cast<size_t>(tone)] = WithNumber(s.letters, tone);
    }
  }
}

// "word count" lines, then "word syllable+tone ..." lines.
void Tables::ReadWords() {
  wordText_ = DecodeGbk(kArea.wordFrequencies);
  double total = 0;
  for (std::u16string_view line : Split(wordText_, u"\n")) {
    const size_t space = line.find(u' ');
    if (space == std::u16string_view::npos || space == 0) continue;
    double count = 0;
    for (char16_t digit : line.substr(space + 1))
      if (IsDigit(digit)) count = count * 10 + (digit - u'0');
    total += count;
    words_.push_back({line.substr(0, space), std::log(std::max(count, 1.0)), -1});
  }
  logTotal_ = std::log(std::max(total, 1.0));
  const auto byText = [](const WordEntry& a, const WordEntry& b) { return a.text < b.text; };
  if (!std::is_sorted(words_.begin(), words_.end(), byText))
    std::sort(words_.begin(), words_.end(), byText);
  firstUnitRanges_.assign(kLastHan - kFirstHan + 1, {0, 0});
  for (size_t i = 0; i < words_.size();) {
    const char16_t first = words_[i].text[0];
    size_t end = i;
    while (end < words_.size() && words_[end].text[0] == first) ++end;
    if (IsHan(first)) firstUnitRanges_[first - kFirstHan] = {i, end};
    i = end;
  }
  IndexSecondUnits();

  // Tables of one form, kept apart for their sources' licences. A line of one
  // character is its reading where no longer word holds it.
  lone_ = characters_;
  const std::string_view tables[] = {kArea.wordReadings, kArea.phraseReadings,
                                     kArea.characterReadings};
  for (const std::string_view& table : tables) {
    const bool alone = &table == &tables[2];
    const std::u16string readings = DecodeGbk(table);
    for (std::u16string_view line : Split(readings, u"\n")) {
      const std::vector<std::u16string_view> parts = Split(line, u" ");
      const WordEntry* found = Find(parts[0]);
      if (parts.size() < 2 || found == nullptr) continue;
      words_[static_cast<size_t>(found - words_.data())].reading =
          static_cast<int32_t>(pool_.size());
      for (size_t i = 1; i < parts.size(); ++i) {
        const std::u16string_view syllable = parts[i];
        const uint16_t number = SyllableNumber(Narrow(syllable.substr(0, syllable.size() - 1)));
        pool_.push_back({number, static_cast<uint8_t>(syllable.back() - u'0')});
      }
      if (alone && parts[0].size() == 1 && IsHan(parts[0][0]))
        lone_[parts[0][0] - kFirstHan] = pool_.back();
    }
  }
}

// One line of characters.
void Tables::ReadModifiers() {
  modifiers_.assign(kLastHan - kFirstHan + 1, false);
  for (char16_t han : DecodeGbk(kArea.wordModifiers))
    if (IsHan(han)) modifiers_[han - kFirstHan] = true;
}

// "<pair> <place 1|2> <syllable+tone> <weight>" lines.
void Tables::ReadContext() {
  const std::u16string text = DecodeGbk(kArea.readingContext);
  paired_.assign(kLastHan - kFirstHan + 1, false);
  for (std::u16string_view line : Split(text, u"\n")) {
    const std::vector<std::u16string_view> parts = Split(line, u" ");
    if (parts.size() != 4 || parts[0].size() != 2 || !IsHan(parts[0][0]) || !IsHan(parts[0][1]) ||
        (parts[1] != u"1" && parts[1] != u"2") || parts[2].size() < 2 ||
        !IsDigit(parts[2].back())) {
      continue;
    }
    const uint16_t number = SyllableNumber(Narrow(parts[2].substr(0, parts[2].size() - 1)));
    if (number == kNoSyllable) continue;
    unsigned weight = 0;
    for (char16_t digit : parts[3])
      if (IsDigit(digit)) weight = weight * 10 + (digit - u'0');
    paired_[parts[0][parts[1][0] - u'1'] - kFirstHan] = true;
    context_.push_back({PairKey(parts[0][0], parts[0][1], parts[1][0] - u'1'),
                        {number, static_cast<uint8_t>(parts[2].back() - u'0')},
                        static_cast<uint8_t>(std::min(weight, 255u))});
  }
  const auto byKey = [](const ContextReading& a, const ContextReading& b) { return a.key < b.key; };
  std::sort(context_.begin(), context_.end(), byKey);
}

const ContextReading* Tables::InPair(char16_t first, char16_t second, int place) const {
  if (!IsHan(first) || !IsHan(second)) return nullptr;
  const uint32_t key = PairKey(first, second, place);
  const auto found =
      std::lower_bound(context_.begin(), context_.end(), key,
                       [](const ContextReading& entry, uint32_t k) { return entry.key < k; });
  return found != context_.end() && found->key == key ? &*found : nullptr;
}

}  // namespace molvane::words
