// SPDX-License-Identifier: GPL-3.0-or-later
// The window's remembered choices: a plain INI file in the user's
// configuration folder, read at start and written when a choice changes, so
// the next run starts as the last one was left.
#pragma once

#include <string>

#include "app/settings/settings.h"

namespace molvane::window {

// A rich edit box's zoom as EM_SETZOOM takes it; 0/0 is the box's own size.
struct Zoom {
  int numerator = 0;
  int denominator = 0;
  bool operator==(const Zoom&) const = default;
};

struct Choices {
  // Readings, text, spacing and tones; the rest stays the stored program's.
  settings::Settings settings = settings::StoredProgram();
  Zoom inputZoom;
  Zoom outputZoom;
  bool back = false;  // 反向: braille in the input box back into characters
};

// $XDG_CONFIG_HOME/molvane/molvane.ini, or ~/.config/molvane/molvane.ini when
// XDG_CONFIG_HOME is unset or not absolute; empty when neither can be found.
std::string ChoicesPath();

// The choices in the file; a missing file, a line that names nothing and a
// value out of range leave the stored defaults in place.
Choices ReadChoices(const std::string& path);

// Writes the file (and its folder); false when it cannot be written.
bool WriteChoices(const std::string& path, const Choices& choices);

}  // namespace molvane::window
