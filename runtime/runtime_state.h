// State the runtime keeps for the whole process (internal to runtime/).
#pragma once

#include <vector>

#include "runtime/runtime.h"

namespace molvane::detail {

struct RuntimeState {
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

RuntimeState& State();
HANDLE Heap();
// Runs the shutdown: suppression, clean-up routines, library end notices.
void Shutdown(int32_t exitCode);

}  // namespace molvane::detail
