// SPDX-License-Identifier: GPL-3.0-or-later
// The window's convert button with settings beyond the stored program's: the
// click is routed (an event route of the runtime, the settings as its
// context) to a command that does what the program's conversion command
// does (the empty-input warning, the output box cleared and written, the
// focus) with the shared conversion. The notation and the separator are the
// window's own, read from its controls at every click.
#pragma once

#include "app/settings/full_text.h"
#include "app/settings/settings.h"

namespace molvane::settings {

// The route's context: the settings the button converts with, and what its
// last click could not write, for the window to show.
struct ConvertButton {
  Settings settings;
  Lost lost;
  // 反向: the input box holds braille of the chosen braille notation (dot
  // numbers or Braille ASCII), written back into characters.
  bool back = false;
};

// Routes the convert button's click through `button` (which must outlive
// the window). Whenever its settings, with the window's notation, ask for
// nothing beyond the stored program, its own command runs. The list's sixth
// item, where the window has one, is the common braille. Null removes the
// route.
void RouteConvertButton(ConvertButton* button);

}  // namespace molvane::settings
