#include <unistd.h>

#include <cstdio>

#include "platform/platform.h"

// Ends the process at once; standard streams are flushed first so that what
// the program wrote is not lost.
void ExitProcess(UINT exitCode) {
  std::fflush(nullptr);
  _exit(static_cast<int>(exitCode));
}
