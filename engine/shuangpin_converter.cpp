// SPDX-License-Identifier: GPL-3.0-or-later
// Notation 2, 双拼字根: two keys per character, one for the initial and one
// for the final, with the separator between characters.
#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "engine/lookup.h"
#include "engine/program_variables.h"
#include "engine/regex_calls.h"
#include "engine/shuangpin.h"

namespace molvane {

using constants::kArea;

char* ShuangpinKeyFor(const char* part) {
  const int32_t rows = ArrayElementCount(ShuangpinRows);
  for (int32_t r = rows; r >= 1; --r) {
    void* row = PointerElement(ShuangpinRows, r);
    const int32_t texts = ArrayElementCount(row);
    for (int32_t t = 1; t <= texts; ++t)
      if (CompareTexts(TextElement(row, t), part) == 0) return CopyText(TextElement(row, 1));
  }
  return nullptr;
}

char* ShuangpinConverter(char** input, char** separator) {
  void* chars = SplitHanCharacters(*input);
  const int32_t n = ArrayElementCount(chars);
  char* result = nullptr;
  void** regex = NewRegexVariable();
  void** found = NewResultVariable();

  for (int32_t i = 1; i <= n; ++i) {
    ReadingLookup(TextElement(chars, i), regex, &found);
    if (ResultIsEmpty(found)) continue;
    char* syllable = MatchText(found);

    char* initialKey = nullptr;
    SearchInto(&found, InitialRegex, syllable);
    if (ResultIsEmpty(found)) {
      // A syllable that starts with a vowel is typed with "o" first.
      AssignText(&initialKey, const_cast<char*>(kArea.vowelInitialKey));
    } else {
      char* initial = MatchText(found);
      AssignText(&initialKey, ShuangpinKeyFor(initial));
      FreeMemory(initial);
    }

    SearchInto(&found, FinalRegex, syllable);
    char* finalPart = MatchText(found);
    char* finalKey = ShuangpinKeyFor(finalPart);

    const char* separatorPart = i == n ? kArea.emptyText : *separator;
    AssignConcatOf(&result, result, initialKey, finalKey, separatorPart);

    FreeMemory(finalKey);
    FreeMemory(finalPart);
    FreeMemory(initialKey);
    FreeMemory(syllable);
  }

  return FinishConversion(result, found, regex, chars);
}

}  // namespace molvane
