// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's command line: one table of options, so each option's
// spellings, help line and effect stay together. A new option is a field in
// WindowOptions and a row in the table of window_options.cpp.
#pragma once

#include <string>

#include "app/settings/settings.h"

namespace molvane::window {

struct WindowOptions {
  // What the convert button does beyond the window's own choices; the
  // stored program's conversion unless an option says otherwise.
  // The remembered choices go in first; an option given wins for this run.
  settings::Settings settings = settings::StoredProgram();
  bool spacingGiven = false;  // --spacing was on the command line
};

// Exit codes, also listed in the manual page and the README. A run-time
// error ends the program with 255.
constexpr int kExitClosed = 0;
constexpr int kExitUsage = 2;
constexpr int kExitNoDisplay = 3;

constexpr const char* kProgramName = "molvane";

// Reads the arguments into `options`. Returns -1 to go on, or the exit code
// after printing help, the version or a usage error.
int ParseWindowArguments(int argc, char** argv, WindowOptions* options);

// The one line said when no window can be shown: no display answers, or
// the build has no backend that shows windows.
std::string NoDisplayMessage(bool backendBuilt);

}  // namespace molvane::window
