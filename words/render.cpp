// The notations of readings, written from the program's constant tables with
// its separator rules: after every character for full pinyin and braille,
// between characters for shuangpin; a character without a code adds nothing.
#include "words/tables.h"
#include "words/words.h"

namespace molvane::words {
namespace {

// Double-spell braille marks the tone in the final cell's dots; the cell
// "34" (ei) takes dot 5 where the others take dot 3, and the neutral tone
// lowers the cell by one row.
std::string TonedFinal(const std::string& cell, int tone) {
  bool dots[7] = {};
  for (char d : cell)
    if (d >= '1' && d <= '6') dots[d - '0'] = true;
  const bool ei = cell == "34";
  switch (tone) {
    case 0:
      if (ei) {
        dots[4] = false, dots[3] = true;
      } else {
        for (int k = 2; k >= 1; --k) {
          if (dots[k]) dots[k + 1] = true, dots[k] = false;
          if (dots[k + 3]) dots[k + 3] = false, dots[k + 4] = true;
        }
      }
      break;
    case 1:
      dots[ei ? 5 : 3] = true;
      break;
    case 2:
      dots[6] = true;
      break;
    case 3:
      dots[ei ? 5 : 3] = true, dots[6] = true;
      break;
    default:
      break;
  }
  std::string out;
  for (int k = 1; k <= 6; ++k)
    if (dots[k]) out += static_cast<char>('0' + k);
  return out;
}

// Appends one character's code; false when the notation has none for it.
bool AppendCode(const Reading& reading, Notation notation, ToneStyle tones, std::string* out) {
  if (reading.syllable == kNoSyllable) return false;
  const SyllableCodes& codes = Tables::Get().Codes(reading.syllable);
  const size_t tone = static_cast<size_t>(reading.tone) % 5;
  switch (notation) {
    case Notation::kCurrentBraille:
      if (codes.brailleDots.empty()) return false;
      *out += codes.brailleDots;
      return true;
    case Notation::kDoubleBraille:
      if (codes.doubleInitial.empty()) return false;
      *out += codes.doubleInitial;
      *out += '-';
      *out += TonedFinal(codes.doubleFinal, reading.tone);
      return true;
    case Notation::kShuangpin:
      *out += codes.shuangpinInitial;
      *out += codes.shuangpinFinal;
      return true;
    case Notation::kFullPinyin:
      *out += tones == ToneStyle::kMarks     ? codes.marked[tone]
              : tones == ToneStyle::kNumbers ? codes.numbered[tone]
                                             : codes.letters;
      return true;
  }
  return false;
}

}  // namespace

std::string Render(const std::vector<Reading>& readings, Notation notation,
                   std::string_view separator, ToneStyle tones) {
  std::string out;
  const bool between = notation == Notation::kShuangpin;
  for (size_t i = 0; i < readings.size(); ++i) {
    if (!AppendCode(readings[i], notation, tones, &out)) continue;
    if (!between || i + 1 < readings.size()) out += separator;
  }
  return out;
}

std::string ConvertGbk(std::string_view input, Notation notation, std::string_view separator,
                       ReadingMode mode, ToneStyle tones) {
  return Render(ReadText(DecodeGbk(input), mode), notation, separator, tones);
}

}  // namespace molvane::words
