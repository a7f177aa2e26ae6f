// SPDX-License-Identifier: GPL-3.0-or-later
// The runtime entries: the only way program code reaches commands, control
// properties, memory, the error report and the program frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "platform/win32.h"
#include "runtime/value.h"

namespace molvane {

// A command routine fills *result from `argc` contiguous argument records.
using CommandRoutine = void (*)(ArgRecord* result, int32_t argc, ArgRecord* args);

// ---- Runtime entries ----
[[noreturn]] void ReportRuntimeError(int32_t code);
// Ends the program with the report "分配 %d 字节内存失败!" for `size` bytes
// (0 when a library container could not say how much it asked for). Its text
// is made when memory is first used, so showing it needs no memory.
[[noreturn]] void ReportAllocationFailure(size_t size);
// Runs `work` so that no exception leaves an entry, a command or a service:
// running out of memory inside it ends the program with the out-of-memory
// report. Inlined into each caller, so that a command called for every
// character costs no extra call.
template <class Work>
[[gnu::always_inline]] inline decltype(auto) ReportingExhaustion(Work&& work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    ReportAllocationFailure(0);
  }
}
// The entry zeroes the result record, calls the routine and returns the
// record; the library number is carried but not needed to find the routine.
// Always inlined: a command called for every character is then one direct
// call, not a call through an out-of-line copy of the entry.
[[gnu::always_inline]] inline ArgRecord CallCoreCommand(CommandRoutine routine, int32_t argc,
                                                        ArgRecord* args) {
  ArgRecord result{0, 0, 0};
  ReportingExhaustion([&] { routine(&result, argc, args); });
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
[[gnu::always_inline]] inline ArgRecord CallLibraryCommand(int32_t library, int32_t command,
                                                           int32_t argc, ArgRecord* args) {
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
  kServiceRaiseEvent = 2008,      // (EventRecord*) -> 1 when a handler ran
  kServiceSuppressEvents = 2009,  // pending messages first, then one level up
  kServiceAllowEvents = 2010,     // pending messages first, then one level down
  kServiceLibraryAlloc = 2024,    // (size) -> block from the runtime's allocator
  kServiceLibraryRealloc = 2025,  // (block, size) -> the block resized
};
using CleanupRoutine = void (*)(int32_t position);

// The service entry handed to every library when it starts.
using RuntimeServiceEntry = intptr_t (*)(int32_t number, intptr_t a, intptr_t b, intptr_t c);
intptr_t RuntimeService(int32_t number, intptr_t a, intptr_t b, intptr_t c);

// Library notification codes: 1 start (arg1 = RuntimeServiceEntry), 6 end
// (arg1 = the library's data word).
using LibraryNotify = intptr_t (*)(int32_t code, intptr_t arg1, intptr_t arg2);

// Any routine, as a unit type's interface routine hands it out by number.
using AnyRoutine = void (*)();
using UnitInterface = AnyRoutine (*)(int32_t number);

// One property of a unit type: entry i describes property i; 0 to 7 are the
// properties every window and control shares.
struct PropertyDescriptor {
  const char* names[3];
  uint16_t dataType;
  uint16_t state;
  const void* pickList;
};

// One data type of a library (window and control types, object types). The
// layouts are the 32-bit ones with the pointer slots widened.
struct UnitTypeDescriptor {
  const char* name;
  const char* englishName;
  const char* description;
  uint32_t reserved12[2];
  uint32_t flags;
  uint32_t reserved24[3];
  uint32_t propertyCount;
  const PropertyDescriptor* properties;
  UnitInterface interface;
  uint32_t reserved48[2];
};

constexpr uint32_t kLibrarySignature = 0x01312D65;

struct LibraryDescriptor {
  uint32_t signature;
  const char* identifier;
  uint32_t versions[3] = {};
  uint32_t reserved20[4] = {};
  const char* displayName;
  uint32_t reserved40[11] = {};
  uint32_t unitTypeCount;
  const UnitTypeDescriptor* unitTypes;
  uint32_t reserved92[7] = {};
  LibraryNotify notify;
  CommandTable commands;  // what CallLibraryCommand reaches by number
};

// An event handler of program code, as the window template binds it: it takes
// the event's argument words (argument 1 first) and returns true when it
// returned a value, which it then stores in *returned.
using EventHandler = bool (*)(const int32_t* args, int32_t argc, int32_t* returned);

// Event routes: a front end can give one control's event to a routine of its
// own in place of the routine the template binds, to offer a way of working
// beyond the program's (a reading mode, a layout) without touching program
// code or the template. The route gets the bound handler, so it can hand the
// cases it does not change back to the program. A route carries a context of
// its front end's (its settings), handed back on every call, so no front end
// keeps its choices in process-wide state. Routes are set before the window
// runs and survive the runtime's shutdown and restart (a batch front end
// restarts it for every piece); a null route removes one.
using EventRoute = bool (*)(void* context, EventHandler bound, const int32_t* args, int32_t argc,
                            int32_t* returned);
struct RoutedEvent {
  EventRoute route = nullptr;
  void* context = nullptr;
};
void SetEventRoute(uint32_t windowId, uint32_t unitId, int32_t event, EventRoute route,
                   void* context = nullptr);
// The route of an event; its route is null when the bound handler runs.
RoutedEvent FindEventRoute(uint32_t windowId, uint32_t unitId, int32_t event);

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

// The runtime's copy of the program's library table (0 core, 1 user
// interface, 2 regex); null beyond its end.
const LibraryDescriptor* RuntimeLibrary(int32_t index);
// The message loop's treatment of one message before dispatch (the window
// objects' keyboard rules), for loops other than RunMessageLoop's own, such
// as a test's pump; true when the message was consumed.
bool PreTranslateRuntimeMessage(MSG* message);
// A filter that sees every message of the loop before the window objects'
// keyboard rules (a program's accelerator table); true consumes it. Null
// removes it.
using MessageFilter = bool (*)(void* context, MSG* message);
void SetMessageFilter(MessageFilter filter, void* context);

// True when p points into the program's constant area.
bool IsConstantPointer(const void* p);
// A shared, read-only copy of a short text: one byte other than zero, one
// GBK character of two bytes or two printable ASCII characters; null for
// anything else. Results that short (a
// digit, a tone, one character of a split) then cost no heap block, and
// FreeMemory and ReallocMemory treat them as they treat constants. Program
// code never writes into a text it is given, so one copy serves every caller.
char* SharedShortText(const char* bytes, size_t length);
bool IsSharedShortText(const void* p);

// One raised event (service 2008), 32-bit words as the raiser fills them.
struct EventRecord {
  uint32_t windowId;
  uint32_t unitId;  // 0 stands for the window's own unit
  int32_t event;
  int32_t argc;     // 0 to 5
  int32_t args[5];  // argument 1 first
  int32_t hasResult;
  int32_t result;
};
static_assert(sizeof(EventRecord) == 44);

// The event whose handler runs; the window id is cleared when it returns.
struct EventSource {
  uint32_t windowId;
  uint32_t unitId;
};
EventSource CurrentEventSource();
void SetCurrentEventSource(EventSource source);
// No event handler runs while the suppression count is above zero.
bool EventsSuppressed();

// A routine called in the message loop's idle phase while `window` exists.
using IdleRoutine = void (*)(intptr_t argument);
void AddIdleCallback(HWND window, IdleRoutine routine, intptr_t argument);

// The runtime's invisible owner of windows kept out of the taskbar, and the
// target of the exit message from other threads.
HWND HiddenOwnerWindow();
constexpr UINT kExitMessage = 0x83E7;

// What the window engine provides to the runtime: the templates, property
// access, the control lookup of service 2007, window loading, the events and
// the window objects' part of the message loop. Until one is installed,
// property access reports that no window is loaded.
class WindowEngine {
 public:
  virtual ~WindowEngine() = default;
  // Reads the template data, makes the stored handler offsets absolute
  // against handlerBase and registers the windows; false when unreadable.
  virtual bool ReadTemplates(const void* data, uint32_t length, const void* handlerBase) = 0;
  virtual int64_t ReadProperty(uint32_t windowId, uint32_t controlId, int32_t index,
                               int32_t extra) = 0;
  virtual void WriteProperty(uint32_t windowId, uint32_t controlId, int32_t index, int32_t extra,
                             uint64_t value) = 0;
  // The native window of a live control (service 2007), or null.
  virtual HWND LookupControl(uint32_t windowId, uint32_t controlId) = 0;
  // Loads a registered window as a top-level, non-modal window; false when it
  // is not registered or cannot be loaded.
  virtual bool LoadWindow(uint32_t windowId) = 0;
  // True while some registered window has a live native window.
  virtual bool AnyWindowAlive() = 0;
  // Offered each message before dispatch (keyboard rules); true = consumed.
  virtual bool PreTranslateMessage(MSG* message) = 0;
  // An idle turn for the loaded windows; true when one wants another.
  virtual bool Idle(int32_t count, uint32_t elapsedMs) = 0;
  // Service 2000: a window's native window is gone; its template is put back.
  virtual void WindowGone(uint32_t windowId) = 0;
  // Service 2008: 1 when a handler was found and called.
  virtual int32_t RaiseEvent(EventRecord* record) = 0;
  // Shutdown: destroys every live window and clears the window registry.
  virtual void ReleaseWindows() = 0;
};
void InstallWindowEngine(WindowEngine* engine);
// The installed engine, or null: for harnesses that load windows themselves
// and must see a failed load rather than the start-up report.
WindowEngine* InstalledWindowEngine();

}  // namespace molvane
