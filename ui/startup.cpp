// SPDX-License-Identifier: GPL-3.0-or-later
#include "constants/constant_area.h"
#include "engine/program_variables.h"
#include "engine/regex_calls.h"
#include "runtime/core_commands.h"
#include "ui/program.h"

namespace molvane {

using constants::kArea;

namespace {

// SplitText(text, separator) without a maximum: a new text array.
void* Split(const char* text, const char* separator) {
  ArgRecord args[3] = {TextArg(OrEmpty(text)), TextArg(separator), OmittedArg()};
  return ArgPointer(CallCoreCommand(SplitText, 3, args));
}

// A row that owns copies of the texts of `parts`.
void* CopyRow(void* parts) {
  const int32_t n = ArrayElementCount(parts);
  void* row = NewArray(n, sizeof(char*));
  for (int32_t k = 1; k <= n; ++k) TextElement(row, k) = CopyText(TextElement(parts, k));
  return row;
}

void ReleaseRegex(void*** variable) {
  DeleteRegexVariable(*variable);
  *variable = nullptr;
}

void ReleaseTextArray(void** variable) {
  FreeTextArray(*variable);
  *variable = nullptr;
}

}  // namespace

void CreateProgramVariables() {
  HanRegex = NewRegexVariable();
  InitialRegex = NewRegexVariable();
  FinalRegex = NewRegexVariable();
  ShuangpinRows = NewEmptyArray();
  BrailleSyllables = NewEmptyArray();
  DoubleSyllables = NewEmptyArray();
  BrailleDots = NewEmptyArray();
  DoubleInitialCells = NewEmptyArray();
  DoubleFinalCells = NewEmptyArray();
}

void StartUp() {
  // 1. The three regexes every conversion shares.
  CompilePattern(HanRegex, kArea.hanPattern);
  CompilePattern(InitialRegex, kArea.initialPattern);
  CompilePattern(FinalRegex, kArea.finalPattern);

  // 2. The shuangpin rows. The table's lines are held in DoubleSyllables'
  // slot until step 4 replaces them.
  AssignTextArray(&DoubleSyllables, Split(kArea.shuangpinTable, kArea.lineBreak));
  void* parts = NewEmptyArray();
  const int32_t lines = ArrayElementCount(DoubleSyllables);
  for (int32_t i = 1; i <= lines; ++i) {
    AssignTextArray(&parts, Split(TextElement(DoubleSyllables, i), kArea.partSeparator));
    void* row = CopyRow(parts);
    AppendArrayElement(&ShuangpinRows, &row, sizeof(void*));
  }

  // 3. Current-braille syllables.
  void** local = NewRegexVariable();
  CompilePattern(local, kArea.syllablePattern);
  AssignTextArray(&BrailleSyllables, SearchAll(local, kArea.currentBrailleTable));

  // 4. Double-spell syllables; storing them releases the shuangpin lines.
  AssignTextArray(&DoubleSyllables, SearchAll(local, kArea.doubleBrailleTable));

  // 5. Current-braille cells, parallel to the syllables.
  CompilePattern(local, kArea.dotsPattern);
  AssignTextArray(&BrailleDots, SearchAll(local, kArea.currentBrailleTable));

  // 6. and 7. Double-spell initial and final cells, on each side of "-".
  CompilePattern(local, kArea.initialCellPattern);
  AssignTextArray(&DoubleInitialCells, SearchAll(local, kArea.doubleBrailleTable));
  CompilePattern(local, kArea.finalCellPattern);
  AssignTextArray(&DoubleFinalCells, SearchAll(local, kArea.doubleBrailleTable));

  // 8.
  DeleteRegexVariable(local);
  FreeTextArray(parts);
}

void ReleaseProgramVariables(int32_t) {
  ReleaseRegex(&HanRegex);
  ReleaseRegex(&InitialRegex);
  ReleaseRegex(&FinalRegex);
  ReleaseTextArray(&DoubleSyllables);
  const int32_t rows = ArrayElementCount(ShuangpinRows);
  for (int32_t r = 1; r <= rows; ++r) FreeTextArray(PointerElement(ShuangpinRows, r));
  FreeArray(ShuangpinRows);
  ShuangpinRows = nullptr;
  ReleaseTextArray(&BrailleSyllables);
  ReleaseTextArray(&BrailleDots);
  ReleaseTextArray(&DoubleInitialCells);
  ReleaseTextArray(&DoubleFinalCells);
}

}  // namespace molvane
