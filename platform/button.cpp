// SPDX-License-Identifier: GPL-3.0-or-later
// The BUTTON control for push buttons, default push buttons and group
// boxes: a click (mouse, BM_CLICK, Space or a mnemonic) becomes BN_CLICKED
// to the parent; a group box only shows a caption.
#include "platform/core.h"

namespace platform::core {
namespace {

struct ButtonState final : ControlState {
  PeerKind Kind() const override { return PeerKind::kButton; }
  bool pushed = false;
  WPARAM imageType = IMAGE_BITMAP;
  HANDLE image = nullptr;
};

ButtonState* StateOf(HWND window) {
  Window* w = Find(window);
  return w ? dynamic_cast<ButtonState*>(w->control.get()) : nullptr;
}

bool IsGroupBox(HWND window) {
  return (Find(window)->style & BS_TYPEMASK) == BS_GROUPBOX;
}

void Release(HWND window, ButtonState& state) {
  if (!state.pushed) return;
  state.pushed = false;
  NotifyParent(window, BN_CLICKED);
}

LRESULT DialogCode(HWND window) {
  DWORD type = Find(window)->style & BS_TYPEMASK;
  if (type == BS_GROUPBOX) return DLGC_STATIC;
  return DLGC_BUTTON | (type == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

}  // namespace

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(window);
  if (message == WM_NCCREATE && w != nullptr) {
    w->control = std::make_unique<ButtonState>();
    return DefWindowProcA(window, message, wParam, lParam);
  }
  ButtonState* state = StateOf(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  bool groupBox = IsGroupBox(window);
  switch (message) {
    case WM_LBUTTONDOWN:
      if (groupBox) return 0;
      SetFocus(window);
      state->pushed = true;
      return 0;
    case WM_LBUTTONUP:
      if (!groupBox) Release(window, *state);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && !groupBox) state->pushed = true;
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && !groupBox) Release(window, *state);
      return 0;
    case WM_CHAR:
      return 0;
    case BM_CLICK:
      if (groupBox || !EnabledWithAncestors(window)) return 0;
      Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      Send(window, WM_LBUTTONUP, 0, 0);
      return 0;
    case BM_SETIMAGE: {
      HANDLE old = state->image;
      state->imageType = wParam;
      state->image = reinterpret_cast<HANDLE>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case BM_GETIMAGE:
      return wParam == state->imageType ? reinterpret_cast<LRESULT>(state->image) : 0;
    case BM_GETSTATE:
      return (state->pushed ? BST_PUSHED : 0) | (GetFocus() == window ? BST_FOCUS : 0);
    case BM_SETSTATE:
      state->pushed = wParam != 0;
      return 0;
    case BM_SETSTYLE:
      w->style = (w->style & 0xFFFF0000) | static_cast<DWORD>(wParam & 0xFFFF);
      RefreshPeer(window);
      return 0;
    case WM_GETDLGCODE:
      return DialogCode(window);
    case WM_NCHITTEST:
      return groupBox ? -1 : HTCLIENT;  // HTTRANSPARENT: clicks fall through a group box
    case WM_SETFOCUS:
      if (w->style & BS_NOTIFY) NotifyParent(window, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      state->pushed = false;
      if (w->style & BS_NOTIFY) NotifyParent(window, BN_KILLFOCUS);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace platform::core
