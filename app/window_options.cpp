// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's command line, read the way GNU tools read theirs:
// short and long options, values attached or following. The help text is
// made from the same table the arguments are read with.
#include "app/window_options.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/convert/options.h"

namespace molvane::window {
namespace {

// What an option does with its value; -1 to go on, an exit code to stop,
// kBadValue when the value is not one the option takes.
using Apply = int (*)(const std::string& value, WindowOptions* options);
constexpr int kBadValue = -2;

struct OptionRow {
  char shortName;         // 0 when there is only the long one
  const char* longName;   // without "--"
  const char* valueName;  // null for an option without a value
  const char* help;       // lines after the first start with "\n"
  Apply apply;
};

int ShowHelp(const std::string&, WindowOptions*);
int ShowVersion(const std::string&, WindowOptions*);

// A value from `names` (false, true) sets `flag`.
int SetChoice(const std::string& value, const char* const (&names)[2], bool* flag) {
  for (bool choice : {false, true})
    if (value == names[choice]) {
      *flag = choice;
      return -1;
    }
  return kBadValue;
}

int SetText(const std::string& value, WindowOptions* options) {
  return SetChoice(value, {"han", "full"}, &options->fullText);
}

int SetSpacing(const std::string& value, WindowOptions* options) {
  return SetChoice(value, {"syllable", "word"}, &options->wordSpacing);
}

int SetReadings(const std::string& value, WindowOptions* options) {
  return convert::ReadingModeNamed(value, &options->readings) ? -1 : kBadValue;
}

constexpr OptionRow kOptions[] = {
    {'h', "help", nullptr, "show this help and exit", ShowHelp},
    {0, "version", nullptr, "show the version and exit", ShowVersion},
    {0, "readings", "MODE",
     "chars: each character's own reading (the default);\nwords: each character read in its word",
     SetReadings},
    {0, "text", "TEXT",
     "han: only the Chinese characters (the default);\nfull: punctuation, digits, letters and line "
     "breaks\ntoo, for the braille notations and pinyin",
     SetText},
    {0, "spacing", "SPACING",
     "with --text=full: syllable (the default) or word,\nthe syllables of a word written together",
     SetSpacing},
};

constexpr int kHelpColumn = 27;

std::string Spelling(const OptionRow& o) {
  std::string text = o.shortName != 0 ? std::string("  -") + o.shortName + ", " : "      ";
  text += "--" + std::string(o.longName);
  if (o.valueName != nullptr) text += "=" + std::string(o.valueName);
  return text;
}

int ShowHelp(const std::string&, WindowOptions*) {
  std::printf("usage: %s [OPTION]...\n", kProgramName);
  std::puts(
      "Opens the window that converts Chinese text into braille, shuangpin, pinyin or\n"
      "Wubi codes. molvane-convert converts without a window.\n");
  for (const OptionRow& o : kOptions) {
    std::string line = Spelling(o);
    line.resize(std::max<size_t>(line.size() + 1, kHelpColumn), ' ');
    for (const char* c = o.help; *c != 0; ++c)
      line += *c == '\n' ? "\n" + std::string(kHelpColumn, ' ') : std::string(1, *c);
    std::puts(line.c_str());
  }
  std::printf(
      "\nExit status: %d the window was closed, %d a wrong option, %d no display to\n"
      "show the window on, 255 a run-time error (shown in a message box first).\n",
      kExitClosed, kExitUsage, kExitNoDisplay);
  return kExitClosed;
}

int ShowVersion(const std::string&, WindowOptions*) {
  std::printf("%s (Molvane) %s\n", kProgramName, MOLVANE_VERSION);
  return kExitClosed;
}

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgramName,
               problem.c_str(), kProgramName);
  return kExitUsage;
}

// The row an argument names, with a value attached to it ("-xVALUE",
// "--name=VALUE"); null when it names none.
const OptionRow* Find(const std::string& arg, std::string* attached, bool* hasAttached) {
  *hasAttached = false;
  if (arg.rfind("--", 0) == 0) {
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    for (const OptionRow& o : kOptions)
      if (name == o.longName) {
        if (eq != std::string::npos) *attached = arg.substr(eq + 1), *hasAttached = true;
        return &o;
      }
    return nullptr;
  }
  for (const OptionRow& o : kOptions)
    if (o.shortName != 0 && arg[1] == o.shortName) {
      if (arg.size() > 2) *attached = arg.substr(2), *hasAttached = true;
      return &o;
    }
  return nullptr;
}

}  // namespace

int ParseWindowArguments(int argc, char** argv, WindowOptions* options) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--" && !optionsEnded) {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || arg.size() < 2 || arg[0] != '-')
      return UsageError("unexpected argument '" + arg + "'");
    std::string value;
    bool hasValue = false;
    const OptionRow* row = Find(arg, &value, &hasValue);
    if (row == nullptr) return UsageError("unknown option '" + arg + "'");
    if (row->valueName == nullptr && hasValue)
      return UsageError("option '--" + std::string(row->longName) + "' takes no value");
    if (row->valueName != nullptr && !hasValue) {
      if (i + 1 >= argc) return UsageError("option '" + arg + "' needs a value");
      value = argv[++i];
    }
    const int code = row->apply(value, options);
    if (code == kBadValue)
      return UsageError("unknown " + std::string(row->valueName) + " '" + value + "'");
    if (code >= 0) return code;
  }
  if (options->wordSpacing && !options->fullText) return UsageError("--spacing needs --text=full");
  if (options->fullText && options->readings != words::ReadingMode::kCharacters)
    return UsageError("--text=full and --readings=words cannot be combined");
  return -1;
}

std::string NoDisplayMessage(bool backendBuilt) {
  const std::string why = backendBuilt
                              ? "no display to show the window on (DISPLAY and WAYLAND_DISPLAY "
                                "name none that answers)"
                              : "this build has no window backend";
  return std::string(kProgramName) + ": " + why +
         "; molvane-convert converts text without a window";
}

}  // namespace molvane::window
