// SPDX-License-Identifier: GPL-3.0-or-later
// What every unit shares: the link from a native window to its unit object,
// the procedure that turns focus messages and reflected notifications into
// events, and the small helpers for borders, fonts and colours.
#include <cstring>

#include "platform/platform.h"
#include "window/unit.h"

namespace molvane::window {

int32_t UnitObject::Raise(int32_t event, EventRecord* record) const {
  EventRecord local{};
  EventRecord* r = record != nullptr ? record : &local;
  r->windowId = windowId;
  r->unitId = unitId;
  r->event = event;
  r->argc = 0;
  r->hasResult = 0;
  r->result = 0;
  return static_cast<int32_t>(CallService(kServiceRaiseEvent, reinterpret_cast<intptr_t>(r)));
}

UnitObject* UnitOf(HWND window) {
  if (window == nullptr || !IsWindow(window)) return nullptr;
  return reinterpret_cast<UnitObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

WindowUnit* WindowOf(HWND window) {
  UnitObject* unit = UnitOf(GetAncestor(window, GA_ROOT));
  if (unit == nullptr || unit->behaviour->typeId != kWindowType) return nullptr;
  return static_cast<WindowUnit*>(unit);
}

void Attach(UnitObject* unit, WNDPROC procedure) {
  SetWindowLongPtrA(unit->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(unit));
  unit->previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(unit->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

namespace {

// A control's notification to its parent goes back to the control object.
void Reflect(HWND control, WORD code) {
  UnitObject* unit = UnitOf(control);
  if (unit == nullptr || unit->muted) return;
  if (unit->behaviour->typeId == kButtonType && code == BN_CLICKED) unit->Raise(0);
}

}  // namespace

LRESULT ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  UnitObject* unit = UnitOf(window);
  if (unit == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_COMMAND && lParam != 0 && reinterpret_cast<HWND>(lParam) != window) {
    Reflect(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
    return 0;
  }
  const LRESULT result = CallWindowProcA(unit->previous, window, message, wParam, lParam);
  switch (message) {
    case WM_SETFOCUS:
      if (WindowUnit* owner = WindowOf(window)) owner->lastFocus = window;
      unit->Raise(-7);
      break;
    case WM_KILLFOCUS:
      unit->Raise(-8);
      break;
    case WM_NCDESTROY:
      UnitWindowDestroyed(unit);
      break;
    default:
      break;
  }
  return result;
}

void DestroyUnit(UnitObject* unit) {
  if (unit->hwnd != nullptr && IsWindow(unit->hwnd)) {
    DestroyWindow(unit->hwnd);  // its last message frees the object
    return;
  }
  if (unit->background != nullptr) DeleteObject(unit->background);
  if (unit->font != nullptr) DeleteObject(unit->font);
  delete unit;
}

void ApplyBorderStyle(HWND window, int64_t style) {
  constexpr DWORD kExBits = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
  static constexpr DWORD kExStyles[] = {0,
                                        WS_EX_CLIENTEDGE,
                                        WS_EX_DLGMODALFRAME,
                                        WS_EX_STATICEDGE,
                                        WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME,
                                        0};
  auto ex = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)) & ~kExBits;
  auto plain = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & ~WS_BORDER;
  if (style >= 0 && style <= 5) ex |= kExStyles[style];
  if (style == 5) plain |= WS_BORDER;
  SetWindowLongPtrA(window, GWL_EXSTYLE, ex);
  SetWindowLongPtrA(window, GWL_STYLE, plain);
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

HFONT MakeFont(UnitObject* unit, const std::string& logFont) {
  if (logFont.size() < sizeof(LOGFONTA)) return nullptr;  // the default GUI font
  LOGFONTA font;
  std::memcpy(&font, logFont.data(), sizeof font);
  return CreateFontIndirectA(&font);
}

COLORREF ResolveColour(int64_t colour) {
  return colour == kButtonFace ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

}  // namespace molvane::window
