// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert's command line, read the way GNU tools read theirs: short
// and long options, values attached or following, "--" ending the options.
// What is given is laid over the defaults for readers (or, with --exact,
// over the stored program's conversion) into one settings value.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/convert/book.h"
#include "app/settings/settings.h"
#include "platform/text_encodings.h"

namespace molvane::convert {

// The choices a command line made; what it leaves out comes from the defaults.
struct Given {
  std::optional<settings::Notation> notation;
  std::optional<std::string> separator;
  std::optional<words::ReadingMode> readings;
  std::optional<words::ToneStyle> tones;
  std::optional<settings::TextMode> text;
  std::optional<settings::Spacing> spacing;
  std::optional<settings::BrailleForm> form;
  bool exact = false;  // the stored program's conversion and the output box's bytes
  bool strict = false;
  bool sandhi = false;
  std::optional<settings::OutputFormat> format;
  bool allReadings = false;
  std::optional<settings::WubiCodes> wubi;
  // Braille pages.
  std::optional<int> cells;
  std::optional<int> lines;
  std::optional<layout::LineMode> paragraphs;
  std::optional<InputFormat> inputFormat;
};

// What --back writes.
enum class BackTo { kCharacters, kPinyin };

struct Options {
  Given given;
  bool back = false;  // braille read back into print
  BackTo backTo = BackTo::kCharacters;
  size_t candidates = 0;        // --back to characters: choices listed per word
  settings::Settings settings;  // made from `given` once the line is read
  // Without an input encoding, each file's is found from its bytes.
  std::optional<platform::Encoding> inputEncoding;
  platform::Encoding outputEncoding = platform::Encoding::kUtf8;
  bool plain = false;  // every cache and shortcut off, for comparisons
  int jobs = 0;        // pieces converted at once; 0: as many as processors, at most kMostJobs
  std::vector<std::string> files;
  // Full-text braille laid out in pages (BRF and PEF always, Unicode
  // patterns when a page option asks for it): the input read as blocks.
  bool layOut = false;
  layout::LineMode paragraphs = layout::LineMode::kParagraphs;
  InputFormat inputFormat = InputFormat::kAuto;
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

// The settings a command line's choices make: the defaults for readers of
// the notation, or the stored program's with --exact, and what was given.
settings::Settings SettingsOf(const Given& given);

// Prints "molvane-convert: problem" and the hint to --help; returns kExitUsage.
int UsageError(const std::string& problem);

}  // namespace molvane::convert
