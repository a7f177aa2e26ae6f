// SPDX-License-Identifier: GPL-3.0-or-later
// Menus (a window's system menu among them) and accelerator tables.
#include <algorithm>
#include <map>

#include "platform/core.h"
#include "platform/platform.h"

namespace platform::core {
namespace {

// ---- Menus and accelerator tables ----
struct MenuItem {
  UINT id;
  UINT flags;
  std::string text;
};

struct Menu {
  std::vector<MenuItem> items;
  HWND systemOf = nullptr;  // the window whose system menu this is
};

struct Menus {
  std::map<HMENU, Menu> menus;
  std::map<HACCEL, std::vector<ACCEL>> accelerators;
  uintptr_t next = 0x30000;
};

Menus& MenuTable() {
  static Menus menus;  // menu handles are process-wide, as in Win32
  return menus;
}

Menu* FindMenu(HMENU menu) {
  auto it = MenuTable().menus.find(menu);
  return it == MenuTable().menus.end() ? nullptr : &it->second;
}

HMENU AddMenu() {
  HMENU handle = MakeHandle<HMENU>(MenuTable().next);
  MenuTable().next += 4;
  MenuTable().menus[handle] = Menu{};
  return handle;
}

}  // namespace

HMENU NewSystemMenu() {
  HMENU menu = AddMenu();
  for (UINT id : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
    FindMenu(menu)->items.push_back({id, MF_STRING, ""});
  FindMenu(menu)->items.push_back({0, MF_SEPARATOR, ""});
  FindMenu(menu)->items.push_back({SC_CLOSE, MF_STRING, ""});
  return menu;
}

bool MenuHasCommand(HMENU menu, UINT command) {
  Menu* m = FindMenu(menu);
  if (m == nullptr) return false;
  return std::any_of(m->items.begin(), m->items.end(), [command](const MenuItem& item) {
    return item.id == command && !(item.flags & MF_SEPARATOR) &&
           !(item.flags & (MF_GRAYED | MF_DISABLED));
  });
}

void FreeMenu(HMENU menu) {
  MenuTable().menus.erase(menu);
}

}  // namespace platform::core

namespace core = platform::core;

// ---- Menus ----
HMENU GetSystemMenu(HWND window, BOOL revert) {
  core::Window* w = core::Find(window);
  if (w == nullptr) return nullptr;
  if (revert) {
    if (w->systemMenu != nullptr) core::FreeMenu(w->systemMenu);
    w->systemMenu = nullptr;
    core::RefreshPeer(window);
    return nullptr;
  }
  if (w->systemMenu == nullptr) {
    w->systemMenu = core::NewSystemMenu();
    core::FindMenu(w->systemMenu)->systemOf = window;
  }
  return w->systemMenu;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  core::Menu* m = core::FindMenu(menu);
  if (m == nullptr) return FALSE;
  auto& items = m->items;
  auto it = items.end();
  if (flags & MF_BYPOSITION) {
    if (position < items.size()) it = items.begin() + position;
  } else {
    it = std::find_if(items.begin(), items.end(),
                      [position](const core::MenuItem& item) { return item.id == position; });
  }
  if (it == items.end()) return FALSE;
  items.erase(it);
  if (m->systemOf != nullptr) core::RefreshPeer(m->systemOf);
  return TRUE;
}

int GetMenuItemCount(HMENU menu) {
  core::Menu* m = core::FindMenu(menu);
  return m == nullptr ? -1 : static_cast<int>(m->items.size());
}

HMENU CreateMenu() {
  return core::AddMenu();
}

HMENU CreatePopupMenu() {
  return core::AddMenu();
}

BOOL DestroyMenu(HMENU menu) {
  return core::MenuTable().menus.erase(menu) != 0 ? TRUE : FALSE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR item) {
  core::Menu* m = core::FindMenu(menu);
  if (m == nullptr) return FALSE;
  m->items.push_back({static_cast<UINT>(idNewItem), flags,
                      (item != nullptr && !(flags & MF_SEPARATOR)) ? item : ""});
  return TRUE;
}

HMENU GetMenu(HWND window) {
  core::Window* w = core::Find(window);
  return w != nullptr && w->parent == nullptr ? w->menu : nullptr;
}

BOOL SetMenu(HWND window, HMENU menu) {
  core::Window* w = core::Find(window);
  if (w == nullptr || w->parent != nullptr || (menu != nullptr && !core::FindMenu(menu)))
    return FALSE;
  w->menu = menu;
  if (w->peerMade) core::Peers().PlacePeer(window, w->rect, core::ClientRectIn(*w));
  return TRUE;
}

HACCEL CreateAcceleratorTableA(LPACCEL accelerators, int count) {
  if (accelerators == nullptr || count <= 0) return nullptr;
  HACCEL handle = core::MakeHandle<HACCEL>(core::MenuTable().next);
  core::MenuTable().next += 4;
  core::MenuTable().accelerators[handle].assign(accelerators, accelerators + count);
  return handle;
}

BOOL DestroyAcceleratorTable(HACCEL table) {
  return core::MenuTable().accelerators.erase(table) != 0 ? TRUE : FALSE;
}

int TranslateAcceleratorA(HWND window, HACCEL table, LPMSG msg) {
  auto it = core::MenuTable().accelerators.find(table);
  if (it == core::MenuTable().accelerators.end() || msg == nullptr || !IsWindow(window)) return 0;
  bool key = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  bool character = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
  if (!key && !character) return 0;
  BYTE held = static_cast<BYTE>((GetKeyState(VK_SHIFT) < 0 ? FSHIFT : 0) |
                                (GetKeyState(VK_CONTROL) < 0 ? FCONTROL : 0) |
                                (GetKeyState(VK_MENU) < 0 ? FALT : 0));
  for (const ACCEL& accel : it->second) {
    bool virtualKey = (accel.fVirt & FVIRTKEY) != 0;
    if (virtualKey != key || accel.key != (msg->wParam & 0xFFFF)) continue;
    BYTE wanted = accel.fVirt & (FSHIFT | FCONTROL | FALT);
    if (virtualKey ? wanted != held : ((accel.fVirt & FALT) != 0) != ((held & FALT) != 0)) continue;
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(accel.cmd, 1), 0);
    return 1;
  }
  return 0;
}
