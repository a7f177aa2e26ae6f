// The regex library's descriptor: its start and end notices and the command
// table through which program code reaches it by number.
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

}  // namespace

const LibraryDescriptor kRegexLibrary = {
    "regex", RegexLibraryNotify, {kCommands, kRegexCommandCount}};

}  // namespace molvane::regex
