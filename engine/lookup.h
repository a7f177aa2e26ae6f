// SPDX-License-Identifier: GPL-3.0-or-later
// What every converter shares: cutting the input into its Chinese characters
// and looking one character up by compiling a pattern around it and searching
// a constant table from its start.
#pragma once

namespace molvane {

// Every character of U+4E00..U+9FA5 in the input, in order, one per element
// of a new text array; a null input counts as the empty text.
void* SplitHanCharacters(const char* input);

// Compiles head + character + tail into the converter's regex and searches
// the table from its start; the new result replaces the one in *result.
void LookUp(const char* head, const char* character, const char* tail, const char* table,
            void** regex, void*** result);

// "(?<=c)[a-z]+" over the dictionary: the match is the letters of the
// character's entry.
void ReadingLookup(const char* character, void** regex, void*** result);

// "(?<=c)([a-z]+)(\d)" over the dictionary: group 1 is the letters, group 2
// the first tone digit.
void ToneLookup(const char* character, void** regex, void*** result);

// The non-empty text of a finished result variable, copied; null when empty.
char* ReturnedCopy(const char* result);

// Every converter's exit: the returned copy of its result, with the result,
// the search result, the regex and the character array released.
char* FinishConversion(char* result, void** found, void** regex, void* chars);

}  // namespace molvane
