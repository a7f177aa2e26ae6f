// SPDX-License-Identifier: GPL-3.0-or-later
// The program-level variables: made once by the start-up routine, read by the
// converters, released by the clean-up routine.
#pragma once

namespace molvane {

// Object variables: heap cells holding a Regex object.
extern void** HanRegex;      // one Chinese character of U+4E00..U+9FA5
extern void** InitialRegex;  // the initial consonants of a syllable
extern void** FinalRegex;    // the final of a syllable

// Shuangpin key table: an array of rows, each row a text array whose first
// text is the key and the rest the syllable parts that key types.
extern void* ShuangpinRows;

// Current braille: syllables and their cells, entry i belongs to entry i.
extern void* BrailleSyllables;
extern void* BrailleDots;

// Double-spell braille: syllables, initial cells and final cells, parallel.
extern void* DoubleSyllables;
extern void* DoubleInitialCells;
extern void* DoubleFinalCells;

}  // namespace molvane
