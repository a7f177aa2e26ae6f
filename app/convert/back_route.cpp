// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/convert/back_route.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string_view>

#include "back/back.h"
#include "back/decoder.h"

namespace molvane::convert {
namespace {

back::Notation BackNotation(settings::Notation notation) {
  switch (notation) {
    case settings::Notation::kDoubleBraille:
      return back::Notation::kDoubleBraille;
    case settings::Notation::kCommonBraille:
      return back::Notation::kCommonBraille;
    default:
      return back::Notation::kCurrentBraille;
  }
}

bool ReadAll(const std::string& name, std::string* bytes) {
  FILE* file = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, n);
  const bool ok = !std::ferror(file);
  if (file != stdin) std::fclose(file);
  return ok;
}

std::string Where(const std::string& name, size_t offset) {
  return (name == "-" ? std::string("standard input") : name) + " byte " + std::to_string(offset);
}

// The choices for each braille word, one line each: its place and the
// candidates best first.
std::string ChoiceLines(const back::Decoded& decoded) {
  std::string lines;
  for (const back::WordChoices& word : decoded.choices) {
    lines += "byte " + std::to_string(word.offset) + ":";
    for (const std::string& candidate : word.candidates) lines += " " + candidate;
    lines += '\n';
  }
  return lines;
}

// True for a page number line of laid-out braille: blanks, then the number
// sign and digits (BRF: spaces, "#" and A to J; Unicode: blank patterns, ⠼
// and the patterns of a to j).
bool IsPageNumberLine(std::string_view line) {
  constexpr size_t kLeastBlanks = 8;  // the narrowest page has 12 cells
  size_t blanks = 0;
  for (; !line.empty(); ++blanks) {
    if (line.starts_with(' '))
      line.remove_prefix(1);
    else if (line.starts_with("\xE2\xA0\x80"))
      line.remove_prefix(3);
    else
      break;
  }
  if (blanks < kLeastBlanks) return false;
  const bool brf = line.starts_with('#');
  if (!brf && !line.starts_with("\xE2\xA0\xBC")) return false;
  line.remove_prefix(brf ? 1 : 3);
  if (line.empty()) return false;
  static constexpr char32_t kDigits[] = {0x01, 0x03, 0x09, 0x19, 0x11,
                                         0x0B, 0x1B, 0x13, 0x0A, 0x1A};
  while (!line.empty()) {
    if (brf) {
      const char c = static_cast<char>(line[0] & ~0x20);  // either letter case
      if (c < 'A' || c > 'J') return false;
      line.remove_prefix(1);
      continue;
    }
    if (line.size() < 3 || line.substr(0, 2) != "\xE2\xA0") return false;
    const char32_t cell = static_cast<unsigned char>(line[2]) & 0x3F;
    if (std::find(std::begin(kDigits), std::end(kDigits), cell) == std::end(kDigits)) return false;
    line.remove_prefix(3);
  }
  return true;
}

// Laid-out braille read back: each page's number line, with the form feed
// before it and its line break, is not text. It becomes spaces, so every
// byte offset stays that of the file.
void BlankPageNumbers(std::string* bytes) {
  for (size_t start = 0; start < bytes->size();) {
    const size_t lineStart = (*bytes)[start] == '\f' ? start + 1 : start;
    const size_t end = std::min(bytes->find('\n', lineStart), bytes->size());
    std::string_view line = std::string_view(*bytes).substr(lineStart, end - lineStart);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (IsPageNumberLine(line))
      std::fill(bytes->begin() + static_cast<std::ptrdiff_t>(start),
                bytes->begin() + static_cast<std::ptrdiff_t>(std::min(end + 1, bytes->size())),
                ' ');
    const size_t feed = bytes->find('\f', end);
    if (feed == std::string::npos) break;
    start = feed;
  }
}

}  // namespace

int ConvertBack(const Options& options) {
  const std::vector<std::string> files =
      options.files.empty() ? std::vector<std::string>{"-"} : options.files;
  uint64_t problems = 0;
  std::string first;
  for (const std::string& name : files) {
    std::string bytes;
    if (!ReadAll(name, &bytes)) {
      std::fprintf(stderr, "%s: %s: %s\n", kProgramName, name.c_str(), std::strerror(errno));
      return kExitFailed;
    }
    BlankPageNumbers(&bytes);
    const back::BackText text = back::Read(bytes, BackNotation(options.settings.notation));
    for (const back::Problem& problem : text.problems) {
      if (problems++ == 0) first = problem.what + ", " + Where(name, problem.offset);
      if (options.given.strict) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, first.c_str());
        return kExitFailed;
      }
    }
    std::string out;
    if (options.backTo == BackTo::kPinyin) {
      out = back::Pinyin(text, options.given.tones.value_or(words::ToneStyle::kMarks));
    } else {
      back::DecodeOptions decode;
      decode.candidates = options.candidates;
      const back::Decoded decoded = back::Characters(text, decode);
      out = decoded.text + ChoiceLines(decoded);
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) {
      std::fprintf(stderr, "%s: standard output: %s\n", kProgramName, std::strerror(errno));
      return kExitFailed;
    }
  }
  if (std::fflush(stdout) != 0) return kExitFailed;
  if (problems > 0)
    std::fprintf(stderr, "%s: %llu cell sequence%s not read (first: %s)\n", kProgramName,
                 static_cast<unsigned long long>(problems), problems == 1 ? " was" : "s were",
                 first.c_str());
  return kExitDone;
}

}  // namespace molvane::convert
