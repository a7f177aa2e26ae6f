// SPDX-License-Identifier: GPL-3.0-or-later
// Notation 4, 五笔: each character's Wubi code from the code list, with the
// separator between codes.
#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "engine/lookup.h"
#include "engine/regex_calls.h"

namespace molvane {

using constants::kArea;

char* WubiConverter(char** input, char** separator) {
  void* chars = SplitHanCharacters(*input);
  const int32_t n = ArrayElementCount(chars);
  char* result = nullptr;
  void** regex = NewRegexVariable();
  void** found = NewResultVariable();

  for (int32_t i = 1; i <= n; ++i) {
    // The letters directly before "|" and the character: its own line's code.
    LookUp(kArea.wubiHead, TextElement(chars, i), kArea.wubiTail, kArea.wubiTable, regex, &found);
    if (ResultIsEmpty(found)) continue;
    char* code = MatchText(found);
    const char* separatorPart = i == n ? kArea.emptyText : *separator;
    AssignConcatOf(&result, result, code, separatorPart);
    FreeMemory(code);
  }

  return FinishConversion(result, found, regex, chars);
}

}  // namespace molvane
