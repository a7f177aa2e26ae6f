// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's command line: its table of options.
#include "app/window_options.h"

#include <cstdio>
#include <string>

#include "app/option_table.h"

namespace molvane::window {
namespace {

using Row = app::OptionRow<WindowOptions>;

int ShowHelp(const std::string&, WindowOptions*);
int ShowVersion(const std::string&, WindowOptions*);

// A named value, when the name is one, into `field`.
template <class Value>
int SetNamed(std::optional<Value> named, Value* field) {
  if (!named) return app::kBadValue;
  *field = *named;
  return app::kGoOn;
}

int SetText(const std::string& value, WindowOptions* options) {
  return SetNamed(settings::TextModeNamed(value), &options->settings.text);
}

int SetSpacing(const std::string& value, WindowOptions* options) {
  options->spacingGiven = true;
  return SetNamed(settings::SpacingNamed(value), &options->settings.spacing);
}

int SetReadings(const std::string& value, WindowOptions* options) {
  return SetNamed(settings::ReadingModeNamed(value), &options->settings.readings);
}

constexpr Row kOptions[] = {
    {'h', "help", nullptr, nullptr, "show this help and exit", ShowHelp},
    {0, "version", nullptr, nullptr, "show the version and exit", ShowVersion},
    {0, "readings", "MODE", "reading mode",
     "chars: each character's own reading (the default);\nwords: each character read in its word",
     SetReadings},
    {0, "text", "TEXT", "text",
     "han: only the Chinese characters (the default);\nfull: punctuation, digits, letters and line "
     "breaks\ntoo, for the braille notations and pinyin",
     SetText},
    {0, "spacing", "SPACING", "spacing",
     "with --text=full: syllable (the default) or word,\nthe syllables of a word written together",
     SetSpacing},
};

int ShowHelp(const std::string&, WindowOptions*) {
  std::printf("usage: %s [OPTION]...\n", kProgramName);
  std::puts(
      "Opens the window that converts Chinese text into braille, shuangpin, pinyin or\n"
      "Wubi codes. molvane-convert converts without a window.\n");
  std::fputs(app::HelpLines<WindowOptions>(kOptions).c_str(), stdout);
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
  return app::UsageError(kProgramName, problem, kExitUsage);
}

// The window takes no file: any argument that is not an option is a mistake.
int Unexpected(const std::string& arg, WindowOptions*) {
  return UsageError("unexpected argument '" + arg + "'");
}

}  // namespace

int ParseWindowArguments(int argc, char** argv, WindowOptions* options) {
  const app::CommandLine<WindowOptions> line{kProgramName, kOptions, kExitUsage, Unexpected};
  const int code = app::ReadCommandLine(line, argc, argv, options);
  if (code != app::kGoOn) return code;
  if (options->settings.spacing == settings::Spacing::kWord &&
      options->settings.text != settings::TextMode::kFull) {
    if (options->spacingGiven) return UsageError("--spacing needs --text=full");
    // Remembered word spacing goes with remembered full text, which an
    // option has turned off for this run.
    options->settings.spacing = settings::Spacing::kSyllable;
  }
  return app::kGoOn;
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
