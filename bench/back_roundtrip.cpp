// SPDX-License-Identifier: GPL-3.0-or-later
// Round trip of a text through braille and back: text -> braille (current
// braille without tones, double-spell braille, common braille; words
// written together, a blank between them) -> characters, compared one by
// one with the text's Chinese characters, line by line (an edit distance
// where a line's lengths differ). Also compares any decoded text with its
// original (--compare ORIGINAL DECODED), for liblouis's back-translation.
//
//   back_roundtrip FILE            the table for the three notations
//   back_roundtrip --han FILE      the Chinese characters of each line that has any
//   back_roundtrip --compare A B   characters of B right against A, line by line
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "back/back.h"
#include "back/decoder.h"
#include "cbs/cbs.h"
#include "platform/platform.h"
#include "tests/support/wide.h"
#include "words/tables.h"

namespace {

using namespace molvane;

using test::Wide;

std::u16string HanOnly(std::u16string_view text) {
  std::u16string han;
  for (char16_t unit : text)
    if (words::IsHan(unit)) han += unit;
  return han;
}

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Characters of `got` in their place in `want`: position by position when
// the lengths agree, else the length less the edit distance.
size_t Right(const std::u16string& want, const std::u16string& got) {
  if (want.size() == got.size()) {
    size_t right = 0;
    for (size_t i = 0; i < want.size(); ++i) right += want[i] == got[i];
    return right;
  }
  std::vector<size_t> row(got.size() + 1), next(got.size() + 1);
  for (size_t j = 0; j <= got.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= want.size(); ++i) {
    next[0] = i;
    for (size_t j = 1; j <= got.size(); ++j)
      next[j] = std::min({row[j] + 1, next[j - 1] + 1, row[j - 1] + (want[i - 1] != got[j - 1])});
    row.swap(next);
  }
  return want.size() > row[got.size()] ? want.size() - row[got.size()] : 0;
}

std::string Unicode(const std::string& cells) {
  std::string out;
  for (char cell : cells) {
    char buffer[4];
    const char* end = platform::EncodeUtf8(static_cast<char16_t>(0x2800 + cell), buffer);
    out.append(buffer, static_cast<size_t>(end - buffer));
  }
  return out;
}

// A line's Chinese characters in current or double-spell braille, a braille
// word per print word, in Unicode patterns.
std::string Spaced(std::u16string_view line, words::Notation notation) {
  std::string out;
  const std::u16string han = HanOnly(line);
  const std::vector<words::Reading> readings = words::ReadText(han, words::ReadingMode::kWords);
  size_t at = 0;
  for (int length : words::SegmentRun(han)) {
    std::vector<words::Reading> word(readings.begin() + static_cast<std::ptrdiff_t>(at),
                                     readings.begin() + static_cast<std::ptrdiff_t>(at) + length);
    at += static_cast<size_t>(length);
    const std::string dots = words::Render(word, notation, "-", words::ToneStyle::kNone);
    if (!out.empty()) out += "\u2800";
    out += Unicode(fulltext::CellsFromDots(dots.substr(0, dots.empty() ? 0 : dots.size() - 1)));
  }
  return out;
}

struct Result {
  size_t characters = 0, right = 0, brailleBytes = 0;
  double seconds = 0;
};

Result RoundTrip(const std::vector<std::string>& lines, back::Notation notation) {
  Result result;
  std::vector<std::pair<std::u16string, std::string>> braille;
  for (const std::string& line : lines) {
    const std::u16string wide = Wide(line);
    const std::u16string han = HanOnly(wide);
    if (han.empty()) continue;
    std::string cells = notation == back::Notation::kCommonBraille ? cbs::UnicodeText(han)
                        : notation == back::Notation::kDoubleBraille
                            ? Spaced(han, words::Notation::kDoubleBraille)
                            : Spaced(han, words::Notation::kCurrentBraille);
    braille.emplace_back(han, std::move(cells));
  }
  // Processor time: the machine may be shared, and the decoder is one thread.
  const std::clock_t start = std::clock();
  std::vector<std::string> decoded;
  for (const auto& [han, cells] : braille) {
    decoded.push_back(back::Characters(back::Read(cells, notation)).text);
    result.brailleBytes += cells.size();
  }
  result.seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  for (size_t i = 0; i < braille.size(); ++i) {
    const std::u16string got = HanOnly(Wide(decoded[i]));
    result.characters += braille[i].first.size();
    result.right += Right(braille[i].first, got);
  }
  return result;
}

int Compare(const std::string& wantPath, const std::string& gotPath) {
  const std::vector<std::string> want = Lines(wantPath), got = Lines(gotPath);
  size_t characters = 0, right = 0;
  for (size_t i = 0; i < want.size(); ++i) {
    const std::u16string w = HanOnly(Wide(want[i]));
    characters += w.size();
    if (i < got.size()) right += Right(w, HanOnly(Wide(got[i])));
  }
  std::printf(
      "%zu of %zu characters right (%.2f%%)\n", right, characters,
      characters ? 100.0 * static_cast<double>(right) / static_cast<double>(characters) : 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--compare") return Compare(argv[2], argv[3]);
  if (argc == 3 && std::string(argv[1]) == "--han") {
    for (const std::string& line : Lines(argv[2])) {
      const std::u16string han = HanOnly(Wide(line));
      if (han.empty()) continue;
      std::string utf8;
      for (char16_t unit : han) {
        char buffer[4];
        utf8.append(buffer, static_cast<size_t>(platform::EncodeUtf8(unit, buffer) - buffer));
      }
      std::printf("%s\n", utf8.c_str());
    }
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: back_roundtrip FILE | --han FILE | --compare ORIGINAL DECODED\n");
    return 2;
  }
  const std::vector<std::string> lines = Lines(argv[1]);
  // Tables and models are read before the clock starts.
  back::Characters(back::Read("⠌⠲⠁", back::Notation::kCommonBraille));
  const std::pair<const char*, back::Notation> notations[] = {
      {"current braille (no tones)", back::Notation::kCurrentBraille},
      {"double-spell braille", back::Notation::kDoubleBraille},
      {"common braille", back::Notation::kCommonBraille},
  };
  std::printf("| braille | characters | right | braille MB/s |\n|---|---:|---:|---:|\n");
  for (const auto& [name, notation] : notations) {
    const Result r = RoundTrip(lines, notation);
    std::printf("| %s | %zu | %.2f%% | %.2f |\n", name, r.characters,
                100.0 * static_cast<double>(r.right) / static_cast<double>(r.characters),
                static_cast<double>(r.brailleBytes) / 1e6 / r.seconds);
  }
  return 0;
}
