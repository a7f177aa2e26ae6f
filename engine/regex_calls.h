// SPDX-License-Identifier: GPL-3.0-or-later
// Thin wrappers around the regex library's commands as program code calls
// them: object variables live in heap cells, optional arguments are passed as
// omitted records, and every text argument is a real (possibly empty) text.
#pragma once

#include "constants/constant_area.h"
#include "constants/regex_commands.h"
#include "runtime/runtime.h"
#include "runtime/support.h"

namespace molvane {

// Object operations take the variable's cell as their one argument.
inline void ObjectOperation(int32_t command, void** cell, uint32_t type) {
  ArgRecord args[1] = {ObjectArg(cell, type)};
  CallLibraryCommand(kRegexLibraryNumber, command, 1, args);
}

// Text arguments are never null: the empty text is the constant "".
inline const char* OrEmpty(const char* text) {
  return text == nullptr ? constants::kArea.emptyText : text;
}

// A Regex variable: a zeroed cell holding a freshly constructed object.
inline void** NewRegexVariable() {
  void** cell = static_cast<void**>(AllocMemory(sizeof(void*)));
  *cell = nullptr;
  ObjectOperation(kConstructRegexCommand, cell, kTypeRegex);
  return cell;
}
inline void DeleteRegexVariable(void** cell) {
  if (cell == nullptr) return;
  ObjectOperation(kDestroyRegexCommand, cell, kTypeRegex);
  FreeMemory(cell);
}

inline void** NewResultVariable() {
  void** cell = static_cast<void**>(AllocMemory(sizeof(void*)));
  *cell = nullptr;
  ObjectOperation(kConstructSearchResultCommand, cell, kTypeSearchResult);
  return cell;
}
inline void DeleteResultVariable(void** cell) {
  if (cell == nullptr) return;
  ObjectOperation(kDestroySearchResultCommand, cell, kTypeSearchResult);
  FreeMemory(cell);
}

// Compile(regex, pattern), flags and name substitution left out.
inline void CompilePattern(void** regex, const char* pattern) {
  ArgRecord args[4] = {ObjectArg(regex, kTypeRegex), TextArg(OrEmpty(pattern)), OmittedArg(),
                       OmittedArg()};
  CallLibraryCommand(kRegexLibraryNumber, kCompileCommand, 4, args);
}

// Search(regex, subject) from the start. The new result cell replaces the one
// the variable held, whose object is destroyed and cell freed.
inline void SearchInto(void*** result, void** regex, const char* subject) {
  ArgRecord args[3] = {ObjectArg(regex, kTypeRegex), TextArg(OrEmpty(subject)), OmittedArg()};
  ArgRecord found = CallLibraryCommand(kRegexLibraryNumber, kSearchCommand, 3, args);
  DeleteResultVariable(*result);
  *result = static_cast<void**>(ArgPointer(found));
}

// SearchAllTexts(regex, subject) without a limit: a new text array.
inline void* SearchAll(void** regex, const char* subject) {
  ArgRecord args[3] = {ObjectArg(regex, kTypeRegex), TextArg(OrEmpty(subject)), OmittedArg()};
  return ArgPointer(CallLibraryCommand(kRegexLibraryNumber, kSearchAllTextsCommand, 3, args));
}

inline bool ResultIsEmpty(void** result) {
  ArgRecord args[1] = {ObjectArg(result, kTypeSearchResult)};
  return ArgInt(CallLibraryCommand(kRegexLibraryNumber, kIsEmptyCommand, 1, args)) != 0;
}

// The whole match, a fresh text or null.
inline char* MatchText(void** result) {
  ArgRecord args[1] = {ObjectArg(result, kTypeSearchResult)};
  return ArgText(CallLibraryCommand(kRegexLibraryNumber, kGetMatchTextCommand, 1, args));
}

// One group of the match, a fresh text or null.
inline char* GroupText(void** result, int32_t group) {
  ArgRecord args[2] = {ObjectArg(result, kTypeSearchResult), IntArg(group)};
  return ArgText(CallLibraryCommand(kRegexLibraryNumber, kGetGroupTextCommand, 2, args));
}

}  // namespace molvane
