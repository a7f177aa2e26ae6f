// SPDX-License-Identifier: GPL-3.0-or-later
#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "runtime/core_commands.h"
#include "ui/program.h"

namespace molvane {

// The library table names the linked libraries by their descriptors, as an
// import would; program code sees nothing else of them. The door test holds
// each declaration to the one the library publishes.
namespace regex {
extern const LibraryDescriptor kRegexLibrary;
}  // namespace regex
namespace window {
extern const LibraryDescriptor kCoreLibrary;
extern const LibraryDescriptor kUserInterfaceLibrary;
}  // namespace window

namespace {

const LibraryDescriptor* const kLibraries[] = {
    &window::kCoreLibrary, &window::kUserInterfaceLibrary, &regex::kRegexLibrary};

}  // namespace

const ProgramHeader& Header() {
  static const ProgramHeader header = {
      3,        // mode word
      0,        // reserved
      0x10095,  // stored plus one by the runtime
      HandlerBase(),
      constants::AreaStart(),
      static_cast<uint32_t>(constants::kAreaLength),
      constants::kArea.windowTemplates,
      constants::kWindowTemplatesLength,
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
