// The desktop program: the program entry on the best display backend built
// in, then the runtime's shutdown with the entry's result as exit code.
#include <cstdio>
#include <string>

#include "platform/backend.h"
#include "ui/program.h"

namespace {

// A backend that shows windows, if the build has one.
bool UseDisplayBackend() {
  for (const std::string& name : platform::BackendNames())
    if (name != "headless" && platform::UseBackend(name)) return true;
  return false;
}

}  // namespace

int main() {
  if (!UseDisplayBackend())
    std::fprintf(stderr,
                 "molvane: this build has no display backend, so the window runs on the headless "
                 "backend and cannot be seen or used. Build with the Qt backend to get the "
                 "window; end this run with Ctrl+C.\n");
  const int result = molvane::ProgramEntry();
  molvane::ShutdownRuntime(result);
  return result;
}
