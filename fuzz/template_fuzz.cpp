// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: window templates from arbitrary bytes. The reader and the
// unit-record access must never touch memory outside the blob; a template
// the engine accepts is then loaded on the headless backend, driven with
// keys, typing and clicks, and closed, which must end without a report, a
// crash or a leak. Handler offsets are not fuzzed (they index the program's
// own table of routines), so bindings are read and cleared but no handler
// is called.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz/require.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "runtime/runtime.h"
#include "window/libraries.h"
#include "window/template.h"

namespace {

using namespace molvane;
using namespace molvane::window;

void CheckRecords(std::vector<WindowTemplate>& windows) {
  for (WindowTemplate& window : windows) {
    UnitList units(&window.units, window.unitCount);
    if (!units.Valid()) continue;
    for (uint32_t k = 0; k < units.Count(); ++k) {
      RecordLayout layout;
      if (!units.Layout(k, &layout)) continue;
      (void)units.Find(units.IdAt(k));
      (void)units.Name(k);
      (void)units.TypeData(k);
      (void)units.CursorData(k);
      // A rewrite shifts the later records; they must stay reachable.
      units.SetTag(k, units.Tag(k) + "x");
      for (uint32_t later = k; later < units.Count(); ++later) units.Layout(later, &layout);
    }
  }
}

void Pump() {
  platform::Input().PumpUntilIdle([](MSG& m) { return PreTranslateRuntimeMessage(&m); });
}

// What a person does to a window: keys that the keyboard rules handle,
// typing, a click, and closing it from its frame.
void Drive(HWND window) {
  platform::InputModule& input = platform::Input();
  input.PressKey(VK_TAB);
  input.TypeText("a中");
  input.PressKey(VK_TAB, MK_SHIFT);
  input.PressKey(VK_RETURN);
  input.PressKey('Z', platform::kAltModifier);
  input.PressKey(VK_ESCAPE);
  Pump();
  if (IsWindow(window)) input.Click(window);
  if (IsWindow(window)) input.CloseFromFrame(window);
  Pump();
}

void LoadAndDrive(const uint8_t* data, size_t size, std::vector<WindowTemplate>& windows) {
  platform::SetBackend(platform::CreateHeadlessBackend());
  static const LibraryDescriptor* const kLibraries[] = {&kCoreLibrary, &kUserInterfaceLibrary};
  ProgramHeader header = {3, 0, 0x10095, nullptr, nullptr, 0, nullptr, 0, 2, kLibraries, 0};
  CallService(kServiceInitialize, reinterpret_cast<intptr_t>(&header));
  WindowEngine* engine = InstalledWindowEngine();
  if (engine->ReadTemplates(data, static_cast<uint32_t>(size), nullptr)) {
    // The engine accepted every window, so each unit list is valid.
    for (WindowTemplate& window : windows) {
      if (!engine->LoadWindow(window.windowId)) continue;
      Pump();
      const UnitList units(&window.units, window.unitCount);
      Drive(engine->LookupControl(window.windowId, units.IdAt(0)));
    }
  }
  ShutdownRuntime(0);
  // The engine must not lose track of a window it made: the shutdown
  // destroys every one it knows, so none may be left.
  fuzz::Require(GetTopWindow(nullptr) == nullptr, "a window outlived the shutdown");
}

// A report ends the program through its own exit, which libFuzzer would not
// keep as a finding: abort at the message box instead, so the input is saved.
int AbortOnReport(const platform::MessageBoxCall& call) {
  std::fprintf(stderr, "template_fuzz: report: %s\n", platform::GbkToUtf8(call.text).c_str());
  std::abort();
}

// A unit whose id is invalid is never found, so the first event it raises
// ends the program with "未找到引发事件的窗口组件", as it must; such
// templates are only read.
bool AllUnitsFindable(std::vector<WindowTemplate>& windows) {
  for (WindowTemplate& window : windows) {
    UnitList units(&window.units, window.unitCount);
    if (!units.Valid()) continue;
    for (uint32_t k = 0; k < units.Count(); ++k)
      if (units.Find(units.IdAt(k)) < 0) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::SetMessageBoxResponder(AbortOnReport);
  std::vector<WindowTemplate> windows;
  if (!ReadTemplates(data, size, &windows)) return 0;
  std::vector<WindowTemplate> copies = windows;
  CheckRecords(copies);
  if (!AllUnitsFindable(windows)) return 0;
  LoadAndDrive(data, size, windows);
  return 0;
}
