// SPDX-License-Identifier: GPL-3.0-or-later
// The regex library's descriptor: its start and end notices and the command
// table through which program code reaches it by number.
#include <array>

#include "regex/regex_library.h"

namespace molvane::regex {

namespace {

// The object operations in command form: (variable) -> nothing.
template <void (*Operation)(void** cell)>
void ObjectCommand(ArgRecord* result, int32_t argc, ArgRecord* args) {
  if (argc >= 1) Operation(static_cast<void**>(ArgPointer(args[0])));
}

const CommandRoutine kCommands[kRegexCommandCount] = {
    Compile,
    Search,
    SearchAllTexts,
    IsEmpty,
    GetMatchText,
    GetGroupText,
    ObjectCommand<ConstructRegex>,
    ObjectCommand<DestroyRegex>,
    ObjectCommand<ConstructSearchResult>,
    ObjectCommand<DestroySearchResult>,
};

// The library's data types: the two object types program code uses, the
// other entries unused.
constexpr auto MakeRegexTypes() {
  std::array<UnitTypeDescriptor, 6> types{};
  types[0].name = "Regex";
  types[0].englishName = "Regex";
  types[1].name = "SearchResult";
  types[1].englishName = "SearchResult";
  return types;
}
const std::array<UnitTypeDescriptor, 6> kRegexTypes = MakeRegexTypes();

}  // namespace

const LibraryDescriptor kRegexLibrary = {
    .signature = kLibrarySignature,
    .identifier = "6d6f6c76616e652d72656765782d6c69",
    .displayName = "regex",
    .unitTypeCount = 6,
    .unitTypes = kRegexTypes.data(),
    .notify = RegexLibraryNotify,
    .commands = {kCommands, kRegexCommandCount},
};

}  // namespace molvane::regex
