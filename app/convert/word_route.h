// SPDX-License-Identifier: GPL-3.0-or-later
// Word readings and tone forms in the window: the convert button's click is
// routed (an event route of the runtime) to a command that does what the
// program's conversion command does (the empty-input warning, the separator
// rule, the output box and the focus) with the word path's readings for the
// four reading notations, and hands Wubi back to the program.
#pragma once

#include "words/words.h"

namespace molvane::convert {

// Routes the click when the mode or the tone style differs from the
// program's own; otherwise removes the route, so the program converts.
void RouteConvertButton(words::ReadingMode mode, words::ToneStyle tones);

}  // namespace molvane::convert
