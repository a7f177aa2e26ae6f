// SPDX-License-Identifier: GPL-3.0-or-later
// The national common braille (国家通用盲文, 2018): the current braille's
// initials and finals, a tone cell after most syllables (each initial leaves
// one tone unmarked), six abbreviated characters, and words written together
// with a blank between them. The rules are the readable table cbs/rules.txt.
//
// Cells are one byte each, dot k as bit k - 1, as in fulltext/. The tables
// are read once, on first use; every function may be called from any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fulltext/fulltext.h"
#include "words/words.h"

namespace molvane::cbs {

using fulltext::Cells;

// One syllable of a word: its reading and, where known, its character (an
// abbreviated character is written short; 0 when unknown).
struct Syllable {
  words::Reading reading;
  char16_t han = 0;
};

// The tone a syllable leaves unmarked (1 to 4), 0 when it marks every tone.
// `letters` as the dictionary spells them.
int OmittedTone(std::string_view letters);

// The cell of a tone (1 to 4); 0 for the neutral tone, which has none.
char ToneCell(int tone);

// The cells of one word. A syllable the current braille's table lacks is
// written as the placeholder, so it is never lost.
Cells WordCells(const std::vector<Syllable>& word);

// Sink for a whole text: words, signs, numbers and letters through the
// full-text spacer, so punctuation and blanks follow the reader's rules.
// Runs of Chinese characters are cut into words by the word path.
void WriteText(std::u16string_view text, fulltext::Sink* sink);

// The whole text as Unicode braille patterns (UTF-8), a blank as U+2800 and
// line breaks kept: for tests, benchmarks and previews.
std::string UnicodeText(std::u16string_view text);

// One abbreviated character: its print form, cells and reading.
struct Short {
  char16_t han;
  Cells cells;
  std::string letters;
  int tone;
};
const std::vector<Short>& Shorts();

}  // namespace molvane::cbs
