// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/convert/back_route.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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
