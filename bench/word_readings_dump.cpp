// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the reading of every character of U+4E00 to U+9FA5 in the UTF-8
// text on standard input, one a line ("hang2", "-" for none), in the mode
// named by the argument (chars or words; cuts prints the word lengths of
// each run instead); bench/word_accuracy.sh scores them.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "platform/platform.h"
#include "words/words.h"

int main(int argc, char** argv) {
  using namespace molvane::words;
  const std::string mode = argc > 1 ? argv[1] : "words";
  std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  std::u16string wide;
  for (size_t at = 0; at < text.size();) {
    char32_t code;
    const int length = platform::DecodeUtf8Character(text.data() + at, text.size() - at, &code);
    if (length <= 0) {
      ++at;
      continue;
    }
    if (code < 0x10000) wide.push_back(static_cast<char16_t>(code));
    at += static_cast<size_t>(length);
  }
  if (mode == "cuts") {  // the word lengths of each run, a line each
    std::string out;
    for (size_t at = 0; at < wide.size();) {
      size_t end = at;
      while (end < wide.size() && wide[end] >= 0x4E00 && wide[end] <= 0x9FA5) ++end;
      if (end == at) {
        ++at;
        continue;
      }
      for (int length : SegmentRun(std::u16string_view(wide).substr(at, end - at)))
        out += std::to_string(length) + ' ';
      out += '\n';
      at = end;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
  }
  const auto readings =
      ReadText(wide, mode == "chars" ? ReadingMode::kCharacters : ReadingMode::kWords);
  std::string out;
  for (const Reading& r : readings) {
    if (r.letters.empty()) {
      out += "-\n";
    } else {
      out.append(r.letters.data(), r.letters.size());
      out += static_cast<char>('0' + r.tone);
      out += '\n';
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
