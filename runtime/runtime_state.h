// SPDX-License-Identifier: GPL-3.0-or-later
// State the runtime keeps for the whole process (internal to runtime/).
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

#include "runtime/runtime.h"

namespace molvane::detail {

// The text most recently grown by AssignConcat: its length and the size of
// its block, so the next append to it needs neither strlen nor a copy.
struct GrowingText {
  char* buffer = nullptr;
  size_t length = 0;
  size_t capacity = 0;
};

struct IdleCallback {
  HWND window;
  IdleRoutine routine;
  intptr_t argument;
};

// The runtime's application object: one per process.
struct RuntimeState {
  GrowingText growing;
  bool shortcuts = true;
  HANDLE heap = nullptr;
  uint32_t headerWords[3] = {0, 0, 0};
  const char* constantStart = nullptr;
  const char* constantEnd = nullptr;
  std::vector<const LibraryDescriptor*> libraries;
  std::vector<intptr_t> libraryData;
  std::vector<CleanupRoutine> cleanupList;
  WindowEngine* windowEngine = nullptr;
  MessageFilter messageFilter = nullptr;  // the desktop program's accelerators
  void* messageFilterContext = nullptr;
  std::string programFolder;
  std::string programFile;
  HWND hiddenOwner = nullptr;
  DWORD guiThread = 0;
  std::vector<IdleCallback> idleCallbacks;
  EventSource eventSource{0, 0};
  int eventSuppression = 0;
  bool oleInitialized = false;
  bool loopEntered = false;
  bool shutdownBegun = false;
};

// Constant-initialised, so it is usable from the first call on.
extern RuntimeState g_state;
inline RuntimeState& State() {
  return g_state;
}
// The process heap, taken on first use, with the report made ready.
HANDLE OpenHeap();
// Memory may be needed before initialisation (tests, the batch front end).
inline HANDLE Heap() {
  if (g_state.heap == nullptr) return OpenHeap();
  return g_state.heap;
}
// Runs the shutdown: suppression, clean-up routines, library end notices,
// release of the hidden owner window and OLE.
void Shutdown(int32_t exitCode);
// Service 6.
void Initialize(const ProgramHeader* header);
// Dispatches what waits in the queue (a quit message is put back).
void ProcessPendingMessages();

}  // namespace molvane::detail
