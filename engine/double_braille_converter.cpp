// SPDX-License-Identifier: GPL-3.0-or-later
// Notation 1, 新盲文: two cells per character, the initial cell as in the
// table and the final cell with its tone marked by raised or moved dots;
// each group followed by the separator.
#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "engine/lookup.h"
#include "engine/program_variables.h"
#include "engine/regex_calls.h"
#include "runtime/core_commands.h"

namespace molvane {

using constants::kArea;

namespace {

int32_t Length(const char* text) {
  ArgRecord args[1] = {TextArg(OrEmpty(text))};
  return ArgInt(CallCoreCommand(TextLength, 1, args));
}

char* Mid(const char* text, int32_t start, int32_t count) {
  ArgRecord args[3] = {TextArg(OrEmpty(text)), IntArg(start), IntArg(count)};
  return ArgText(CallCoreCommand(TextMid, 3, args));
}

int32_t TextToInteger(const char* text) {
  ArgRecord args[1] = {TextArg(OrEmpty(text))};
  return ArgInt(CallCoreCommand(ToInteger, 1, args));
}

char* IntegerToText(int32_t value) {
  ArgRecord args[1] = {IntArg(value)};
  return ArgText(CallCoreCommand(ToText, 1, args));
}

// Dot indexes computed with a floating constant (k + 1.0) and truncated.
int32_t Dot(double index) {
  return static_cast<int32_t>(TruncateToInteger(index));
}

}  // namespace

char* DoubleSpellBrailleConverter(char** input, char** separator) {
  void* chars = SplitHanCharacters(*input);
  char* result = nullptr;
  void** regex = NewRegexVariable();
  void** found = NewResultVariable();
  void* dotFlags = NewEmptyArray();

  const int32_t n = ArrayElementCount(chars);
  for (int32_t i = 1; i <= n; ++i) {
    ToneLookup(TextElement(chars, i), regex, &found);
    if (ResultIsEmpty(found)) continue;
    char* syllable = GroupText(found, 1);
    char* tone = GroupText(found, 2);

    // The loop variable keeps the row it stopped at; past the end means the
    // syllable has no row.
    const int32_t rows = ArrayElementCount(DoubleSyllables);
    int32_t j = 1;
    for (; j <= rows; ++j)
      if (CompareTexts(TextElement(DoubleSyllables, j), syllable) == 0) break;

    if (j <= rows) {
      FreeArray(dotFlags);
      dotFlags = NewArray(6, sizeof(int32_t));
      const char* finalCell = TextElement(DoubleFinalCells, j);
      const int32_t digits = Length(finalCell);
      for (int32_t k = 1; k <= digits; ++k) {
        char* digit = Mid(finalCell, k, 1);
        IntElement(dotFlags, TextToInteger(digit)) = 1;
        FreeMemory(digit);
      }

      // Cell 34 (ei) takes its tone marks on other dots than every other cell.
      if (CompareTexts(tone, kArea.toneNeutral) == 0) {
        if (CompareTexts(finalCell, kArea.cellEi) == 0) {
          IntElement(dotFlags, 4) = 0;
          IntElement(dotFlags, 3) = 1;
        } else {
          // Lower the cell one row: 2 to 3 and 5 to 6 before 1 to 2 and 4 to 5.
          for (int32_t k = 2; k >= 1; --k) {
            if (IntElement(dotFlags, k) != 0) {
              IntElement(dotFlags, Dot(k + 1.0)) = 1;
              IntElement(dotFlags, k) = 0;
            }
            if (IntElement(dotFlags, Dot(k + 3.0)) != 0) {
              IntElement(dotFlags, Dot(k + 3.0)) = 0;
              IntElement(dotFlags, Dot(k + 4.0)) = 1;
            }
          }
        }
      } else if (CompareTexts(tone, kArea.toneFirst) == 0) {
        IntElement(dotFlags, CompareTexts(finalCell, kArea.cellEi) == 0 ? 5 : 3) = 1;
      } else if (CompareTexts(tone, kArea.toneSecond) == 0) {
        IntElement(dotFlags, 6) = 1;
      } else if (CompareTexts(tone, kArea.toneThird) == 0) {
        IntElement(dotFlags, CompareTexts(finalCell, kArea.cellEi) == 0 ? 5 : 3) = 1;
        IntElement(dotFlags, 6) = 1;
      }

      AssignConcatOf(&result, result, TextElement(DoubleInitialCells, j), kArea.cellJoiner);
      for (int32_t k = 1; k <= 6; ++k) {
        if (IntElement(dotFlags, k) == 0) continue;
        char* dot = IntegerToText(k);
        AssignConcatOf(&result, result, dot);
        FreeMemory(dot);
      }
      AssignConcatOf(&result, result, *separator);
    }
    FreeMemory(tone);
    FreeMemory(syllable);
  }

  FreeArray(dotFlags);
  return FinishConversion(result, found, regex, chars);
}

}  // namespace molvane
