// SPDX-License-Identifier: GPL-3.0-or-later
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

// Writes codes one character at a time, so a long text never needs all its
// readings at once. Shuangpin owes the separator after a converted character
// until another character of the range follows, converted or not.
class Writer {
 public:
  Writer(Notation notation, std::string_view separator, ToneStyle tones)
      : notation_(notation), separator_(separator), tones_(tones) {}

  void Add(const Reading& reading) {
    if (owed_) out_ += separator_, owed_ = false;
    if (!AppendCode(reading, notation_, tones_, &out_)) return;
    if (notation_ == Notation::kShuangpin) {
      owed_ = true;
    } else {
      out_ += separator_;
    }
  }
  std::string Take() { return std::move(out_); }

 private:
  Notation notation_;
  std::string_view separator_;
  ToneStyle tones_;
  bool owed_ = false;
  std::string out_;
};

}  // namespace

std::string Render(const std::vector<Reading>& readings, Notation notation,
                   std::string_view separator, ToneStyle tones) {
  Writer writer(notation, separator, tones);
  for (const Reading& reading : readings) writer.Add(reading);
  return writer.Take();
}

std::string ConvertGbk(std::string_view input, Notation notation, std::string_view separator,
                       ReadingMode mode, ToneStyle tones) {
  return ConvertGbk(input, notation, separator, ConvertOptions{mode, tones, false});
}

std::string ConvertGbk(std::string_view input, Notation notation, std::string_view separator,
                       const ConvertOptions& options) {
  const std::u16string text = DecodeGbk(input);
  Writer writer(notation, separator, options.tones);
  // Run by run: words never cross a character outside the range.
  for (size_t at = 0; at < text.size();) {
    size_t end = at;
    while (end < text.size() && IsHan(text[end])) ++end;
    if (end == at) {
      ++at;
      continue;
    }
    const std::u16string_view run = std::u16string_view(text).substr(at, end - at);
    std::vector<Reading> readings = ReadText(run, options.mode);
    if (options.sandhi) ApplySandhi(run, &readings);
    for (const Reading& reading : readings) writer.Add(reading);
    at = end;
  }
  return writer.Take();
}

}  // namespace molvane::words
