// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu bar and what comes with it, added from outside the
// program once it has loaded its window: the notation list's sixth item
// (通用盲文), the menus drive the convert button's settings and its way
// (反向: braille back into characters), the choices and the boxes' zoom are remembered, the
// window grows so that every stored control is whole, and the title tells
// how many characters the last conversion could not write.
#pragma once

#include <cstdint>
#include <string>

#include "app/settings/convert_route.h"
#include "app/window/choices_file.h"
#include "platform/win32.h"

namespace molvane::window {

// The menu items' command ids.
enum MenuCommand : UINT {
  kCommandOpen = 101,
  kCommandSave = 102,
  kCommandExit = 103,
  kCommandWordReadings = 201,
  kCommandFullText = 202,
  kCommandWordSpacing = 203,
  kCommandBack = 204,
  kCommandTonesNone = 211,
  kCommandTonesMarks = 212,
  kCommandTonesNumbers = 213,
  kCommandAbout = 301,
};

struct WindowMenus {
  // The route's context: what the button converts with in this run (the
  // remembered choices with the command line over them).
  settings::ConvertButton* button = nullptr;
  // What the next run starts with: the menus' choices, without the command
  // line's, and the zoom.
  Choices remembered;
  std::string choicesPath;  // empty: nothing is written
  std::string version;      // shown by 关于 Molvane

  HWND frame = nullptr;
  HMENU bar = nullptr;
  HMENU options = nullptr;
  HACCEL accelerators = nullptr;  // Ctrl+O, Ctrl+S
  WNDPROC previous = nullptr;
  std::string title;  // the stored title (GBK)
};

// Gives the loaded main window its menu bar and routes the convert button
// through `menus->button`; `menus` must outlive the window. False when the
// main window is not loaded.
bool AttachWindowMenus(WindowMenus* menus);

// The loaded main window, or null.
HWND MainWindow();

}  // namespace molvane::window
