// The desktop program: the program entry on the best display backend built
// in, then the runtime's shutdown with the entry's result as exit code.
#include <cstdio>
#include <string>

#include "app/convert/options.h"
#include "app/convert/word_route.h"
#include "platform/backend.h"
#include "ui/program.h"

namespace {

namespace words = molvane::words;

// A backend that shows windows, if the build has one.
bool UseDisplayBackend() {
  for (const std::string& name : platform::BackendNames())
    if (name != "headless" && platform::UseBackend(name)) return true;
  return false;
}

// --readings=chars|words routes the convert button to the word path; any
// other argument is an error (exit code 2).
bool ReadOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::string prefix = "--readings=";
    words::ReadingMode mode;
    if (arg.rfind(prefix, 0) != 0 ||
        !molvane::convert::ReadingModeNamed(arg.substr(prefix.size()), &mode)) {
      std::fprintf(stderr, "molvane: unknown option '%s' (known: --readings=chars|words)\n",
                   arg.c_str());
      return false;
    }
    molvane::convert::RouteConvertButton(mode, words::ToneStyle::kNone);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!ReadOptions(argc, argv)) return 2;
  if (!UseDisplayBackend())
    std::fprintf(stderr,
                 "molvane: this build has no display backend, so the window runs on the headless "
                 "backend and cannot be seen or used. Build with the Qt backend to get the "
                 "window; end this run with Ctrl+C.\n");
  const int result = molvane::ProgramEntry();
  molvane::ShutdownRuntime(result);
  return result;
}
