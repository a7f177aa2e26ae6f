// SPDX-License-Identifier: GPL-3.0-or-later
// Notation 3, 全拼: each character's pinyin letters without tone, each
// followed by the separator.
#include "engine/conversion.h"
#include "engine/lookup.h"
#include "engine/regex_calls.h"

namespace molvane {

char* FullPinyinConverter(char** input, char** separator) {
  void* chars = SplitHanCharacters(*input);
  char* result = nullptr;
  void** regex = NewRegexVariable();
  void** found = NewResultVariable();

  const int32_t n = ArrayElementCount(chars);
  for (int32_t i = 1; i <= n; ++i) {
    ReadingLookup(TextElement(chars, i), regex, &found);
    if (ResultIsEmpty(found)) continue;
    char* letters = MatchText(found);
    AssignConcatOf(&result, result, letters, *separator);
    FreeMemory(letters);
  }

  return FinishConversion(result, found, regex, chars);
}

}  // namespace molvane
