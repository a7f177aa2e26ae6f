// SPDX-License-Identifier: GPL-3.0-or-later
// What a backend reports of what its toolkit did on its own, turned into the
// messages Windows would send, and keyboard input queued for the focus.
#include "platform/core.h"
#include "platform/platform.h"

namespace platform {
namespace {

// The lParam of a key message: one repeat, Alt's context bit, and the
// previous-state and transition bits of a release.
LPARAM KeyData(bool down, bool alt) {
  LPARAM data = 1;
  if (alt) data |= 1 << 29;
  if (!down) data |= static_cast<LPARAM>(3u << 30);
  return data;
}

}  // namespace

void PeerTextEdited(HWND window) {
  core::Send(window, core::kMsgPeerEdited);
}

void PeerItemChosen(HWND comboBox, int index) {
  core::Send(comboBox, core::kMsgChooseItem, static_cast<WPARAM>(index));
}

void PeerListClosed(HWND comboBox) {
  SendMessageA(comboBox, CB_SHOWDROPDOWN, FALSE, 0);
}

void PeerFocused(HWND window) {
  if (GetFocus() != window) SetFocus(window);
}

void PeerActivated(HWND window) {
  if (GetActiveWindow() != core::Root(window)) SetActiveWindow(window);
}

void PeerPlaced(HWND window, const RECT& windowRect) {
  core::Window* w = core::Find(window);
  if (w == nullptr) return;
  RECT r = w->rect;
  if (r.left == windowRect.left && r.top == windowRect.top && r.right == windowRect.right &&
      r.bottom == windowRect.bottom)
    return;
  SetWindowPos(window, nullptr, windowRect.left, windowRect.top, windowRect.right - windowRect.left,
               windowRect.bottom - windowRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PeerCloseRequested(HWND window) {
  HWND root = core::Root(window);
  core::Window* w = core::Find(root);
  if (w == nullptr || !core::SpecOf(*w).canClose || !(w->style & WS_SYSMENU)) return;
  PostMessageA(root, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void PostKeyInput(UINT message, WPARAM wParam, LPARAM lParam) {
  core::QueueInput(message, wParam, lParam);
}

void PostKeyStroke(int virtualKey, unsigned modifiers) {
  // Alt on its own is a system key too, down and up.
  bool alt = (modifiers & kAltModifier) != 0 || virtualKey == VK_MENU;
  std::vector<int> held;
  if (modifiers & MK_CONTROL) held.push_back(VK_CONTROL);
  if (modifiers & MK_SHIFT) held.push_back(VK_SHIFT);
  if (alt) held.push_back(VK_MENU);
  UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
  UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
  for (int key : held)
    PostKeyInput(key == VK_MENU ? WM_SYSKEYDOWN : down, static_cast<WPARAM>(key),
                 KeyData(true, alt));
  PostKeyInput(down, static_cast<WPARAM>(virtualKey), KeyData(true, alt));
  PostKeyInput(up, static_cast<WPARAM>(virtualKey), KeyData(false, alt));
  for (auto it = held.rbegin(); it != held.rend(); ++it)
    PostKeyInput(*it == VK_MENU ? WM_KEYUP : up, static_cast<WPARAM>(*it),
                 KeyData(false, alt && *it != VK_MENU));
}

void PostItemChosen(HWND comboBox, int index) {
  PostMessageA(comboBox, core::kMsgChooseItem, static_cast<WPARAM>(index), 0);
}

}  // namespace platform
