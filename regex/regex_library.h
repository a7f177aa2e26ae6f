// SPDX-License-Identifier: GPL-3.0-or-later
// The regex library as program code sees it: the Regex and SearchResult
// object types with their construct and destroy operations, and the six
// commands, called through CallLibraryCommand with ArgRecords. Texts cross
// this boundary in GBK; positions inside count 16-bit units.
#pragma once

#include <cstdint>

#include "runtime/runtime.h"
#include "runtime/value.h"

namespace molvane::regex {

// The library's number in the program's library table.
constexpr int32_t kRegexLibraryNumber = 2;

// The command table's numbers, as program code calls them. The object
// operations take the object variable as their one argument.
enum RegexCommand : int32_t {
  kCompileCommand,
  kSearchCommand,
  kSearchAllTextsCommand,
  kIsEmptyCommand,
  kGetMatchTextCommand,
  kGetGroupTextCommand,
  kConstructRegexCommand,
  kDestroyRegexCommand,
  kConstructSearchResultCommand,
  kDestroySearchResultCommand,
  kRegexCommandCount,
};

// Object cells: one pointer-sized heap cell holding the object pointer.
void ConstructRegex(void** cell);
void DestroyRegex(void** cell);
void ConstructSearchResult(void** cell);
void DestroySearchResult(void** cell);

// Commands (result, argument count, arguments).
//   Compile(regex, pattern text, [flags int], [substitute names bool]) -> bool
//   Search(regex, [subject text], [start int]) -> new SearchResult cell (type 0x30002)
//   SearchAllTexts(regex, [subject text], [most int]) -> text array
//   IsEmpty(result) -> bool
//   GetMatchText(result) -> text
//   GetGroupText(result, group int) -> text
void Compile(ArgRecord* result, int32_t argc, ArgRecord* args);
void Search(ArgRecord* result, int32_t argc, ArgRecord* args);
void SearchAllTexts(ArgRecord* result, int32_t argc, ArgRecord* args);
void IsEmpty(ArgRecord* result, int32_t argc, ArgRecord* args);
void GetMatchText(ArgRecord* result, int32_t argc, ArgRecord* args);
void GetGroupText(ArgRecord* result, int32_t argc, ArgRecord* args);

// Library notification: code 1 hands over the runtime's service entry
// (arg1), through which the library obtains the memory it returns.
intptr_t RegexLibraryNotify(int32_t code, intptr_t arg1, intptr_t arg2);
extern const LibraryDescriptor kRegexLibrary;

}  // namespace molvane::regex
