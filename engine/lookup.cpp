// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/lookup.h"

#include "constants/constant_area.h"
#include "engine/program_variables.h"
#include "engine/regex_calls.h"

namespace molvane {

using constants::kArea;

void* SplitHanCharacters(const char* input) {
  return SearchAll(HanRegex, OrEmpty(input));
}

void LookUp(const char* head, const char* character, const char* tail, const char* table,
            void** regex, void*** result) {
  char* pattern = Concat(head, character, tail);
  CompilePattern(regex, pattern);
  FreeMemory(pattern);
  SearchInto(result, regex, table);
}

void ReadingLookup(const char* character, void** regex, void*** result) {
  LookUp(kArea.readingHead, character, kArea.readingTail, kArea.pinyinDictionary, regex, result);
}

void ToneLookup(const char* character, void** regex, void*** result) {
  LookUp(kArea.readingHead, character, kArea.toneTail, kArea.pinyinDictionary, regex, result);
}

char* ReturnedCopy(const char* result) {
  return TextByteLength(result) == 0 ? nullptr : CopyText(result);
}

char* FinishConversion(char* result, void** found, void** regex, void* chars) {
  char* copy = ReturnedCopy(result);
  FreeMemory(result);
  DeleteResultVariable(found);
  DeleteRegexVariable(regex);
  FreeTextArray(chars);
  return copy;
}

}  // namespace molvane
