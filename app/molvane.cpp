// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program: the remembered choices with its options over them,
// then the program on the best display backend built in, its main window
// given the menu bar, the message loop, and the runtime's shutdown.
#include <cstdio>
#include <string>

#include "app/settings/convert_route.h"
#include "app/window/choices_file.h"
#include "app/window/window_menus.h"
#include "app/window_options.h"
#include "engine/conversion.h"
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
  namespace window = molvane::window;
  const std::string choicesPath = window::ChoicesPath();
  const window::Choices remembered = window::ReadChoices(choicesPath);
  window::WindowOptions options;
  options.settings = remembered.settings;
  const int code = window::ParseWindowArguments(argc, argv, &options);
  if (code >= 0) return code;
  bool built = false;
  if (!UseDisplayBackend(&built)) {
    std::fprintf(stderr, "%s\n", window::NoDisplayMessage(built).c_str());
    return window::kExitNoDisplay;
  }
  molvane::StartProgram();
  molvane::LoadStartWindow(molvane::kMainWindowId);
  molvane::settings::ConvertButton button{options.settings, {}};
  window::WindowMenus menus;
  menus.button = &button;
  menus.remembered = remembered;
  menus.choicesPath = choicesPath;
  menus.version = MOLVANE_VERSION;
  window::AttachWindowMenus(&menus);
  molvane::RunMessageLoop();
  molvane::settings::RouteConvertButton(nullptr);
  molvane::ShutdownRuntime(window::kExitClosed);
  return window::kExitClosed;
}
