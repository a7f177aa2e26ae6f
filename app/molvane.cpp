// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program: its options, then the program entry on the best
// display backend built in, then the runtime's shutdown with the entry's
// result as exit code.
#include <cstdio>
#include <string>

#include "app/settings/convert_route.h"
#include "app/window_options.h"
#include "platform/backend.h"
#include "ui/program.h"

namespace {

// A backend that shows windows, if the build has one and a display answers.
// Sets `built` when the build has one at all.
bool UseDisplayBackend(bool* built) {
  *built = false;
  for (const std::string& name : platform::BackendNames()) {
    if (name == "headless") continue;
    *built = true;
    if (platform::UseBackend(name)) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  molvane::window::WindowOptions options;
  const int code = molvane::window::ParseWindowArguments(argc, argv, &options);
  if (code >= 0) return code;
  bool built = false;
  if (!UseDisplayBackend(&built)) {
    std::fprintf(stderr, "%s\n", molvane::window::NoDisplayMessage(built).c_str());
    return molvane::window::kExitNoDisplay;
  }
  molvane::settings::ConvertButton button{options.settings, {}};
  molvane::settings::RouteConvertButton(&button);
  const int result = molvane::ProgramEntry();
  molvane::ShutdownRuntime(result);
  return result;
}
