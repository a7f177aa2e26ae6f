// SPDX-License-Identifier: GPL-3.0-or-later
// Notation 0, 老盲文: each character's current-braille cells as dot numbers,
// each group followed by the separator. Tones are not written.
#include "engine/conversion.h"
#include "engine/lookup.h"
#include "engine/program_variables.h"
#include "engine/regex_calls.h"

namespace molvane {

char* CurrentBrailleConverter(char** input, char** separator) {
  void* chars = SplitHanCharacters(*input);
  char* result = nullptr;
  void** regex = NewRegexVariable();
  void** found = NewResultVariable();

  const int32_t n = ArrayElementCount(chars);
  for (int32_t i = 1; i <= n; ++i) {
    ReadingLookup(TextElement(chars, i), regex, &found);
    if (ResultIsEmpty(found)) continue;
    char* syllable = MatchText(found);

    const int32_t rows = ArrayElementCount(BrailleSyllables);
    for (int32_t j = 1; j <= rows; ++j) {
      if (CompareTexts(TextElement(BrailleSyllables, j), syllable) == 0) {
        AssignConcatOf(&result, result, TextElement(BrailleDots, j), *separator);
        break;
      }
    }
    FreeMemory(syllable);
  }

  return FinishConversion(result, found, regex, chars);
}

}  // namespace molvane
