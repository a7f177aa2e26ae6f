#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "regex/regex_library.h"
#include "runtime/core_commands.h"
#include "ui/program.h"
#include "window/libraries.h"

namespace molvane {

namespace {

const LibraryDescriptor* const kLibraries[] = {&window::kCoreLibrary,
                                               &window::kUserInterfaceLibrary,
                                               &regex::kRegexLibrary};

}  // namespace

const ProgramHeader& Header() {
  static const ProgramHeader header = {
      3,        // mode word
      0,        // reserved
      0x10095,  // stored plus one by the runtime
      nullptr,  // handler base: no window template yet binds handlers
      constants::AreaStart(),
      static_cast<uint32_t>(constants::kAreaLength),
      nullptr,  // window template data
      0,
      sizeof kLibraries / sizeof kLibraries[0],
      kLibraries,
      0,  // external routines
  };
  return header;
}

void StartProgram() {
  CallService(kServiceInitialize, reinterpret_cast<intptr_t>(&Header()));
  CreateProgramVariables();
  CallService(kServiceRegisterCleanup, reinterpret_cast<intptr_t>(&ReleaseProgramVariables));
  StartUp();
}

int ProgramEntry() {
  StartProgram();
  LoadStartWindow(kMainWindowId);
  RunMessageLoop();
  return 0;
}

}  // namespace molvane
