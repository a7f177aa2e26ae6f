// SPDX-License-Identifier: GPL-3.0-or-later
// The window type: its class, its style words from the stored settings, and
// the window object's message handling (close, destroy, activation, moves,
// focus) that becomes the window's events.
#include <memory>

#include "window/unit.h"
#include "window/unit_properties.h"

namespace molvane::window {

namespace {

constexpr char kDefaultClass[] = "WTWindow";

void SetCaption(UnitObject* unit, const PropertyValue& in) {
  SetWindowTextA(unit->hwnd, reinterpret_cast<const char*>(in.first));
}

const LiveProperty kWindowLive[] = {{kWindowCaption, nullptr, SetCaption}};

bool RegisterWindowClass(const char* name) {
  WNDCLASSA known;
  if (GetClassInfoA(nullptr, name, &known)) return true;
  WNDCLASSA windowClass{};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass) != 0;
}

// Style words from the settings; the position for a centred window.
DWORD WindowStyle(const UnitObject& u, const CreateRequest& r, DWORD* exStyle) {
  DWORD style = r.baseStyle | WS_CLIPCHILDREN;
  const int64_t border = u.Word(kWindowBorder);
  if (border != 0 && (!u.Bytes(kWindowCaption).empty() || u.Word(kWindowControlBox) != 0)) {
    style |= WS_CAPTION;
    if (u.Word(kWindowControlBox) != 0) style |= WS_SYSMENU;
    if (r.parent == nullptr) style |= WS_DLGFRAME;
  }
  static constexpr DWORD kFrame[] = {0, WS_THICKFRAME, 0, WS_THICKFRAME, 0, WS_THICKFRAME, 0};
  static constexpr DWORD kFrameEx[] = {
      0, 0, 0, WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW, WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE};
  if (border >= 0 && border <= 6) {
    style |= kFrame[border];
    *exStyle |= kFrameEx[border];
  }
  if (u.Word(kWindowMaximiseBox) != 0) style |= WS_MAXIMIZEBOX;
  if (u.Word(kWindowMinimiseBox) != 0) style |= WS_MINIMIZEBOX;
  if (r.parent == nullptr) {
    if (u.Word(kWindowStartPosition) == 2) style |= WS_MINIMIZE;
    if (u.Word(kWindowStartPosition) == 3 && (style & WS_THICKFRAME) != 0) style |= WS_MAXIMIZE;
  }
  if (r.parent != nullptr) style = (style & ~(WS_CHILD | WS_POPUP)) | WS_POPUP;
  return style;
}

void SetUp(UnitObject* u, int width, int height) {
  RECT rect;
  GetWindowRect(u->hwnd, &rect);
  if (rect.right - rect.left != width || rect.bottom - rect.top != height)
    SetWindowPos(u->hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // No icon is stored: the program's default icon.
  HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
  SendMessageA(u->hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(u->hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SendMessageA(u->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  if (u->Word(kWindowTopmost) != 0)
    SetWindowPos(u->hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (u->Word(kWindowCloseBox) == 0)
    DeleteMenu(GetSystemMenu(u->hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
}

// A raised event's recorded 0 cancels (close, end of session).
bool Refused(const UnitObject& unit, int32_t event) {
  EventRecord record{};
  unit.Raise(event, &record);
  return record.hasResult != 0 && record.result == 0;
}

void OnClose(WindowUnit* unit) {
  HWND hwnd = unit->hwnd;
  if (Refused(*unit, 12) && IsWindow(hwnd)) return;
  if (!IsWindow(hwnd)) return;
  if (Refused(*unit, 1) && IsWindow(hwnd)) return;
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
}

void OnSetFocus(WindowUnit* unit) {
  unit->Raise(-7);
  HWND back = unit->lastFocus;
  if (back == nullptr || !IsWindow(back) || !IsChild(unit->hwnd, back))
    back = FirstFocusControl(unit);
  if (back != nullptr) SetFocus(back);
}

LRESULT WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* unit = static_cast<WindowUnit*>(UnitOf(window));
  if (unit == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  auto platform = [&] { return CallWindowProcA(unit->previous, window, message, wParam, lParam); };
  switch (message) {
    case WM_CLOSE:
      OnClose(unit);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        if (!unit->activated) unit->Raise(8);
        unit->activated = true;
        unit->Raise(5);
      } else {
        unit->Raise(6);
      }
      return platform();
    case WM_SHOWWINDOW:
      unit->Raise(wParam != 0 ? 10 : 11);
      return platform();
    case WM_QUERYENDSESSION:
      platform();
      return Refused(*unit, 1) ? FALSE : TRUE;
    case WM_COMMAND:
    case WM_NCDESTROY:
      return ControlProcedure(window, message, wParam, lParam);
    default:
      break;
  }
  const LRESULT result = platform();
  static constexpr struct {
    UINT message;
    int32_t event;
  } kAfter[] = {{WM_MOVE, 3}, {WM_SIZE, 4}, {WM_KILLFOCUS, -8}, {WM_DESTROY, 2}};
  for (const auto& after : kAfter)
    if (after.message == message) unit->Raise(after.event);
  if (message == WM_DESTROY && GetMenu(window) != nullptr) SetMenu(window, nullptr);
  if (message == WM_SETFOCUS) OnSetFocus(unit);
  return result;
}

}  // namespace

const TypeBehaviour kWindowBehaviour = {kWindowType, &kWindowLayout, kWindowLive, 1};

UnitObject* CreateWindowUnit(const CreateRequest& r) {
  auto unit = std::make_unique<WindowUnit>();
  unit->windowId = r.windowId;
  unit->unitId = r.unitId;
  unit->behaviour = &kWindowBehaviour;
  if (!ReadSettings(kWindowLayout, *r.typeData, &unit->settings)) return nullptr;
  const std::string className =
      unit->Bytes(kWindowClassName).empty() ? kDefaultClass : unit->Bytes(kWindowClassName);
  if (!RegisterWindowClass(className.c_str())) return nullptr;
  DWORD exStyle = 0;
  const DWORD style = WindowStyle(*unit, r, &exStyle);
  int x = r.left;
  int y = r.top;
  if (r.parent == nullptr && unit->Word(kWindowStartPosition) == 1) {
    // In 64 bits: a stored size may be anything, and half the difference of
    // two ints always fits an int.
    x = static_cast<int>((int64_t{GetSystemMetrics(SM_CXSCREEN)} - r.width) / 2);
    y = static_cast<int>((int64_t{GetSystemMetrics(SM_CYSCREEN)} - r.height) / 2);
  }
  HWND owner = r.parent;
  if (r.parent == nullptr && (unit->Word(kWindowInTaskbar) == 0 || r.modal))
    owner = HiddenOwnerWindow();
  unit->hwnd = CreateWindowExA(exStyle, className.c_str(), unit->Bytes(kWindowCaption).c_str(),
                               style, x, y, r.width, r.height, owner,
                               reinterpret_cast<HMENU>(r.childIdOrMenu), nullptr, nullptr);
  if (unit->hwnd == nullptr) return nullptr;
  Attach(unit.get(), WindowProcedure);
  SetUp(unit.get(), r.width, r.height);
  return unit.release();
}

// How a loaded window is shown: by its start position.
int ShowCommand(const UnitObject& window) {
  const int64_t start = window.Word(kWindowStartPosition);
  return start == 3 ? SW_MAXIMIZE : start == 2 ? SW_SHOWMINIMIZED : SW_SHOW;
}

bool EnterMovesFocus(const UnitObject& window) {
  return window.Word(kWindowEnterMovesFocus) != 0;
}
bool EscCloses(const UnitObject& window) {
  return window.Word(kWindowEscCloses) != 0;
}

}  // namespace molvane::window
