// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert's command line, read the way GNU tools read theirs: short
// and long options, values attached or following, "--" ending the options.
#pragma once

#include <string>
#include <vector>

#include "words/words.h"

namespace molvane::convert {

// How the cells of the two braille notations are written.
enum class BrailleForm { kDots, kUnicode, kBrf };

struct Options {
  int notation = 0;
  std::string separator;  // UTF-8, as given
  bool gbk = false;
  bool exact = false;  // the output box's bytes: CR LF breaks, nothing added at the end
  bool plain = false;  // every cache and shortcut off, for comparisons
  BrailleForm braille = BrailleForm::kDots;
  bool brailleGiven = false;
  bool fullText = false;     // punctuation, digits, letters, spaces and line breaks too
  bool strict = false;       // full text: a character without a written form is an error
  bool wordSpacing = false;  // full text: a blank between words, not between syllables
  bool spacingGiven = false;
  words::ReadingMode readings = words::ReadingMode::kCharacters;
  words::ToneStyle tones = words::ToneStyle::kNone;
  int jobs = 0;  // pieces converted at once; 0: as many as processors, at most kMostJobs
  std::vector<std::string> files;
};

// Exit codes, also listed in the manual page.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;  // empty or malformed input, unreadable file, write error
constexpr int kExitUsage = 2;
constexpr int kExitOutOfMemory = 3;

constexpr const char* kProgramName = "molvane-convert";

// Workers started without --jobs: more hardly helps, as reading the input and
// writing the results stay in one process, and each holds its own tables.
constexpr int kMostJobs = 4;

// Reads the arguments into `options`. Returns -1 to go on, or the exit code
// after printing help, the version or a usage error.
int ParseArguments(int argc, char** argv, Options* options);

// Prints "molvane-convert: problem" and the hint to --help; returns kExitUsage.
int UsageError(const std::string& problem);

// The reading mode for "chars" or "words", the tone style for "none",
// "marks" or "numbers" (any letter case); false for other names.
bool ReadingModeNamed(const std::string& name, words::ReadingMode* mode);
bool ToneStyleNamed(const std::string& name, words::ToneStyle* tones);

// The notation's list index for a number, a list item or an English name
// (any letter case); -1 when there is none.
int NotationIndex(const std::string& name);

}  // namespace molvane::convert
