// Thin wrappers around the regex library's commands as program code calls
// them: object variables live in heap cells, optional arguments are passed as
// omitted records, and every text argument is a real (possibly empty) text.
#pragma once

#include "constants/constant_area.h"
#include "regex/regex_library.h"
#include "runtime/runtime.h"
#include "runtime/support.h"

namespace molvane {

// Text arguments are never null: the empty text is the constant "".
inline const char* OrEmpty(const char* text) {
  return text == nullptr ? constants::kArea.emptyText : text;
}

// A Regex variable: a zeroed cell holding a freshly constructed object.
inline void** NewRegexVariable() {
  void** cell = static_cast<void**>(AllocMemory(sizeof(void*)));
  *cell = nullptr;
  regex::ConstructRegex(cell);
  return cell;
}
inline void DeleteRegexVariable(void** cell) {
  if (cell == nullptr) return;
  regex::DestroyRegex(cell);
  FreeMemory(cell);
}

inline void** NewResultVariable() {
  void** cell = static_cast<void**>(AllocMemory(sizeof(void*)));
  *cell = nullptr;
  regex::ConstructSearchResult(cell);
  return cell;
}
inline void DeleteResultVariable(void** cell) {
  if (cell == nullptr) return;
  regex::DestroySearchResult(cell);
  FreeMemory(cell);
}

// Compile(regex, pattern), flags and name substitution left out.
inline void CompilePattern(void** regex, const char* pattern) {
  ArgRecord args[4] = {ObjectArg(regex, kTypeRegex), TextArg(OrEmpty(pattern)), OmittedArg(),
                       OmittedArg()};
  CallLibraryCommand(regex::kRegexLibraryNumber, regex::Compile, 4, args);
}

// Search(regex, subject) from the start. The new result cell replaces the one
// the variable held, whose object is destroyed and cell freed.
inline void SearchInto(void*** result, void** regex, const char* subject) {
  ArgRecord args[3] = {ObjectArg(regex, kTypeRegex), TextArg(OrEmpty(subject)), OmittedArg()};
  ArgRecord found = CallLibraryCommand(regex::kRegexLibraryNumber, regex::Search, 3, args);
  DeleteResultVariable(*result);
  *result = static_cast<void**>(ArgPointer(found));
}

// SearchAllTexts(regex, subject) without a limit: a new text array.
inline void* SearchAll(void** regex, const char* subject) {
  ArgRecord args[3] = {ObjectArg(regex, kTypeRegex), TextArg(OrEmpty(subject)), OmittedArg()};
  return ArgPointer(CallLibraryCommand(regex::kRegexLibraryNumber, regex::SearchAllTexts, 3, args));
}

inline bool ResultIsEmpty(void** result) {
  ArgRecord args[1] = {ObjectArg(result, kTypeSearchResult)};
  return ArgInt(CallLibraryCommand(regex::kRegexLibraryNumber, regex::IsEmpty, 1, args)) != 0;
}

// The whole match, a fresh text or null.
inline char* MatchText(void** result) {
  ArgRecord args[1] = {ObjectArg(result, kTypeSearchResult)};
  return ArgText(CallLibraryCommand(regex::kRegexLibraryNumber, regex::GetMatchText, 1, args));
}

// One group of the match, a fresh text or null.
inline char* GroupText(void** result, int32_t group) {
  ArgRecord args[2] = {ObjectArg(result, kTypeSearchResult), IntArg(group)};
  return ArgText(CallLibraryCommand(regex::kRegexLibraryNumber, regex::GetGroupText, 2, args));
}

}  // namespace molvane
