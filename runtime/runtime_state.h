// State the runtime keeps for the whole process (internal to runtime/).
#pragma once

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
  int eventSuppression = 0;
  bool loopEntered = false;
  bool shutdownBegun = false;
};

// Constant-initialised, so it is usable from the first call on.
extern RuntimeState g_state;
inline RuntimeState& State() {
  return g_state;
}
// Makes the out-of-memory report's text, once, while memory is plentiful.
void PrepareOutOfMemoryReport();
// The process heap, taken on first use, with the report made ready.
HANDLE OpenHeap();
// Memory may be needed before initialisation (tests, the batch front end).
inline HANDLE Heap() {
  if (g_state.heap == nullptr) return OpenHeap();
  return g_state.heap;
}
// Runs the shutdown: suppression, clean-up routines, library end notices.
void Shutdown(int32_t exitCode);

}  // namespace molvane::detail
