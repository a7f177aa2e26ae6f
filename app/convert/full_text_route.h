// SPDX-License-Identifier: GPL-3.0-or-later
// Full text in the window: the convert button's click is routed (an event
// route of the runtime) to a command that writes the input box's whole text,
// punctuation, digits, letters and line breaks included, in the chosen
// braille notation (as dot numbers) or in pinyin; the Chinese characters are
// converted by the program's own converter, or read in their words by the
// word path. Shuangpin, Wubi and the empty-input warning stay the program's.
#pragma once

#include "words/words.h"

namespace molvane::convert {

// Routes the click to full text, with word spacing or a blank after every
// syllable, the Chinese characters read as `readings` says; the separator
// box, when not empty, holds the blank.
void RouteConvertButtonToFullText(bool wordSpacing, words::ReadingMode readings);

}  // namespace molvane::convert
