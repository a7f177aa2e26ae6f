// SPDX-License-Identifier: GPL-3.0-or-later
// Syllables back into characters, as an input method does it: every listed
// word whose readings fit a stretch of syllables is a candidate, weighed by
// its frequency; the braille's blanks count as strong hints of word ends;
// the most likely sentence is found by dynamic programming. A syllable that
// no character fits is written as its pinyin, never dropped.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "back/back.h"

namespace molvane::back {

struct DecodeOptions {
  // Blanks as word ends: by themselves when braille words of several
  // syllables occur (braille written a character at a time has none), or
  // always, or never.
  enum class Hints { kAuto, kOn, kOff };
  Hints hints = Hints::kAuto;
  size_t candidates = 0;  // how many choices to list per braille word (0: none)
};

// The choices for one braille word, best first, UTF-8.
struct WordChoices {
  size_t offset = 0;  // of the word's first cell in the braille
  std::vector<std::string> candidates;
};

struct Decoded {
  std::string text;  // UTF-8
  std::vector<WordChoices> choices;
};

Decoded Characters(const BackText& text, const DecodeOptions& options = {});

}  // namespace molvane::back
