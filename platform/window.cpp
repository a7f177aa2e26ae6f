// Headless windows: their state lives in memory; focus is a pointer.
#include <map>
#include <memory>

#include "platform/platform.h"

struct HWND__ {
  platform::WindowState state;
};

namespace {
std::map<HWND, std::unique_ptr<HWND__>>& Windows() {
  static std::map<HWND, std::unique_ptr<HWND__>> windows;
  return windows;
}
HWND g_focus = nullptr;
}  // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU, HINSTANCE, LPVOID) {
  if (parent != nullptr && !IsWindow(parent)) return nullptr;
  auto window = std::make_unique<HWND__>();
  window->state = {className ? className : "",
                   windowName ? windowName : "",
                   style,
                   exStyle,
                   x,
                   y,
                   width,
                   height,
                   parent};
  HWND handle = window.get();
  Windows()[handle] = std::move(window);
  return handle;
}

BOOL DestroyWindow(HWND window) {
  auto& windows = Windows();
  if (windows.find(window) == windows.end()) return FALSE;
  // Children go with their parent.
  for (bool again = true; again;) {
    again = false;
    for (auto& [handle, w] : windows) {
      if (w->state.parent == window) {
        DestroyWindow(handle);
        again = true;
        break;
      }
    }
  }
  if (g_focus == window) g_focus = nullptr;
  windows.erase(window);
  return TRUE;
}

BOOL IsWindow(HWND window) {
  return Windows().count(window) != 0 ? TRUE : FALSE;
}

HWND SetFocus(HWND window) {
  HWND previous = g_focus;
  if (window != nullptr && !IsWindow(window)) return nullptr;
  g_focus = window;
  return previous;
}

HWND GetFocus() {
  return g_focus;
}

namespace platform {
const WindowState* GetWindowState(HWND window) {
  auto it = Windows().find(window);
  return it == Windows().end() ? nullptr : &it->second->state;
}
}  // namespace platform
