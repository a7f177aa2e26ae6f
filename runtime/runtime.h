// The runtime entries: the only way program code reaches commands, control
// properties, memory, the error report and the program frame.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"
#include "runtime/value.h"

namespace molvane {

// A command routine fills *result from `argc` contiguous argument records.
using CommandRoutine = void (*)(ArgRecord* result, int32_t argc, ArgRecord* args);

// ---- Runtime entries ----
[[noreturn]] void ReportRuntimeError(int32_t code);
// The entry zeroes the result record, calls the routine and returns the
// record; the library number is carried but not needed to find the routine.
inline ArgRecord CallCoreCommand(CommandRoutine routine, int32_t argc, ArgRecord* args) {
  ArgRecord result{0, 0, 0};
  routine(&result, argc, args);
  return result;
}
// Library commands are found by number: the library number (0 core, 1 user
// interface, 2 regex) selects the library's command table, so program code
// needs none of a library's headers.
struct CommandTable {
  const CommandRoutine* commands;
  int32_t count;
};
constexpr int32_t kMaxLibraries = 8;
namespace detail {
// The command tables of the libraries that service 6 started; entries are
// free functions, so the link between program and libraries is the process's.
extern CommandTable g_commandTables[kMaxLibraries];
[[noreturn]] void ReportUnknownCommand(int32_t library, int32_t command);
}  // namespace detail
inline ArgRecord CallLibraryCommand(int32_t library, int32_t command, int32_t argc,
                                    ArgRecord* args) {
  const CommandTable* table =
      static_cast<uint32_t>(library) < kMaxLibraries ? &detail::g_commandTables[library] : nullptr;
  if (table == nullptr || static_cast<uint32_t>(command) >= static_cast<uint32_t>(table->count))
    detail::ReportUnknownCommand(library, command);
  return CallCoreCommand(table->commands[command], argc, args);
}
int64_t ReadProperty(uint32_t windowId, uint32_t controlId, int32_t index, int32_t extra);
void WriteProperty(uint32_t windowId, uint32_t controlId, int32_t index, int32_t extra,
                   uint32_t low, uint32_t high);
void* AllocMemory(size_t size);
void* ReallocMemory(void* block, size_t size);
void FreeMemory(void* block);
[[noreturn]] void ExitProgram(int32_t exitCode);
// The normal end (the framework's instance exit): the shutdown without ending
// the process, so the caller can return its exit code.
void ShutdownRuntime(int32_t exitCode);
void RunMessageLoop();
void LoadStartWindow(uint32_t windowId);
intptr_t CallService(int32_t number, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0);

// Numbered services.
enum Service : int32_t {
  kServiceMakeArrayWritable = 2,  // (address of the array variable, element width)
  kServiceRegisterCleanup = 3,    // (routine of type CleanupRoutine)
  kServiceInitialize = 6,         // (address of the ProgramHeader)
  kServiceWindowGone = 2000,      // (window id)
  kServiceLookupControl = 2007,   // (window id, control id) -> native window
  kServiceLibraryAlloc = 2024,    // (size) -> block from the runtime's allocator
  kServiceLibraryRealloc = 2025,  // (block, size) -> the block resized
};
using CleanupRoutine = void (*)(int32_t position);

// The service entry handed to every library when it starts.
using RuntimeServiceEntry = intptr_t (*)(int32_t number, intptr_t a, intptr_t b, intptr_t c);
intptr_t RuntimeService(int32_t number, intptr_t a, intptr_t b, intptr_t c);

// Library notification codes: 1 start (arg1 = RuntimeServiceEntry), 6 end.
using LibraryNotify = intptr_t (*)(int32_t code, intptr_t arg1, intptr_t arg2);
struct LibraryDescriptor {
  const char* name;
  LibraryNotify notify;
  CommandTable commands;  // what CallLibraryCommand reaches by number
};

// An event handler of program code, as the window template binds it: it takes
// the event's argument words (argument 1 first) and returns true when it
// returned a value, which it then stores in *returned.
using EventHandler = bool (*)(const int32_t* args, int32_t argc, int32_t* returned);

// The fixed record through which the runtime learns about the program.
// Stored handler offsets count in bytes from handlerBase, the program's table
// of EventHandler slots: offset 0 is the first routine, sizeof(EventHandler)
// the second.
struct ProgramHeader {
  uint32_t mode;
  uint32_t reserved;
  uint32_t word8;
  const void* handlerBase;
  const void* constantStart;
  uint32_t constantLength;
  const void* templateStart;
  uint32_t templateLength;
  uint32_t libraryCount;
  const LibraryDescriptor* const* libraries;  // core, user-interface, regex
  uint32_t externalCount;
};

// The runtime's own failures: code 0 (or a code) with a GBK message.
[[noreturn]] void ReportRuntimeFailure(int32_t code, const char* gbkMessage);
// The message of run-time error codes 1 to 11 (UTF-8); empty for others.
const char* RuntimeErrorMessage(int32_t code);

// The runtime's and libraries' speed-ups (caches, in-place growth, search
// shortcuts) can be switched off to compare against the plain behaviour;
// results are the same either way.
void SetShortcutsEnabled(bool enabled);
bool ShortcutsEnabled();

// True when p points into the program's constant area.
bool IsConstantPointer(const void* p);

// What the window engine provides to the runtime: property access, the
// control lookup of service 2007, window loading and the message loop.
// Until one is installed, property access reports that no window is loaded.
class WindowEngine {
 public:
  virtual ~WindowEngine() = default;
  virtual int64_t ReadProperty(uint32_t windowId, uint32_t controlId, int32_t index,
                               int32_t extra) = 0;
  virtual void WriteProperty(uint32_t windowId, uint32_t controlId, int32_t index, int32_t extra,
                             uint64_t value) = 0;
  virtual HWND LookupControl(uint32_t windowId, uint32_t controlId) = 0;
  // Loads a window; false when it cannot be loaded.
  virtual bool LoadWindow(uint32_t windowId) = 0;
  virtual void RunMessageLoop() = 0;
};
void InstallWindowEngine(WindowEngine* engine);

}  // namespace molvane
