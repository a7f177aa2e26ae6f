// SPDX-License-Identifier: GPL-3.0-or-later
// Menus (a window's system menu and menu bar among them), the keyboard walk
// through a menu bar, and accelerator tables.
#include <algorithm>
#include <cctype>
#include <map>

#include "platform/core.h"
#include "platform/platform.h"

namespace platform::core {
namespace {

// ---- Menus and accelerator tables ----
struct MenuItem {
  UINT id = 0;
  UINT flags = 0;  // type and state bits: MF_POPUP, MF_SEPARATOR, MF_CHECKED, ...
  std::string text;
  HMENU sub = nullptr;  // MF_POPUP items
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

// Popups nest no deeper than this, which also ends a menu made its own descendant.
constexpr int kMaxDepth = 16;

struct Found {
  HMENU menu = nullptr;
  size_t index = 0;
  MenuItem* item = nullptr;
};

// An item by position, or by command anywhere in the menu and its popups.
Found FindItem(HMENU menu, UINT item, UINT flags, int depth = 0) {
  Menu* m = FindMenu(menu);
  if (m == nullptr || depth > kMaxDepth) return {};
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return {};
    return {menu, item, &m->items[item]};
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    MenuItem& it = m->items[i];
    if (it.sub != nullptr) {
      Found inner = FindItem(it.sub, item, flags, depth + 1);
      if (inner.item != nullptr) return inner;
    } else if (it.id == item && !(it.flags & MF_SEPARATOR)) {
      return {menu, i, &it};
    }
  }
  return {};
}

bool Contains(HMENU root, HMENU target, int depth = 0) {
  if (root == target) return true;
  Menu* m = FindMenu(root);
  if (m == nullptr || depth > kMaxDepth) return false;
  return std::any_of(m->items.begin(), m->items.end(), [&](const MenuItem& it) {
    return it.sub != nullptr && Contains(it.sub, target, depth + 1);
  });
}

std::vector<PeerMenuItem> PeerItemsOf(HMENU menu, int depth = 0) {
  std::vector<PeerMenuItem> items;
  Menu* m = FindMenu(menu);
  if (m == nullptr || depth > kMaxDepth) return items;
  for (const MenuItem& it : m->items) {
    PeerMenuItem peer;
    peer.id = it.sub != nullptr ? 0 : it.id;
    peer.state = (it.flags & ~MF_HILITE) | (it.sub != nullptr ? MF_POPUP : 0);
    peer.text = ToWide(it.text);
    if (it.sub != nullptr) peer.items = PeerItemsOf(it.sub, depth + 1);
    items.push_back(std::move(peer));
  }
  return items;
}

// The bar of every window that shows `menu` is sent to its peer again.
void MenuChanged(HMENU menu) {
  for (HWND top : TopLevelWindows()) {
    Window* w = Find(top);
    if (w != nullptr && w->menu != nullptr && w->peerMade && Contains(w->menu, menu))
      Peers().SetPeerMenu(top, PeerItemsOf(w->menu));
  }
}

// The letter "&" marks in a caption, upper case; 0 when none.
char MnemonicOf(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

bool Selectable(const MenuItem& item) {
  return !(item.flags & MF_SEPARATOR);
}

bool Enabled(const MenuItem& item) {
  return !(item.flags & (MF_GRAYED | MF_DISABLED));
}

// ---- The walk through a menu bar ----
// One bar is walked at a time, by keyboard or after the pointer opened a
// popup: while it lasts, keyboard input goes to the walk, not to the focus,
// as in the modal loop Windows runs for a menu.
struct Level {
  HMENU menu;
  int hot;  // -1: no item hot yet
};
struct Walk {
  HWND window = nullptr;
  std::vector<Level> levels;  // the bar, then each open popup
};
Walk& TheWalk() {
  static Walk walk;  // the GUI thread's one menu walk
  return walk;
}

MenuItem* HotItem(const Level& level) {
  Menu* m = FindMenu(level.menu);
  if (m == nullptr || level.hot < 0 || static_cast<size_t>(level.hot) >= m->items.size())
    return nullptr;
  return &m->items[static_cast<size_t>(level.hot)];
}

void ShowWalk() {
  Walk& walk = TheWalk();
  std::vector<int> path;
  for (const Level& level : walk.levels) path.push_back(level.hot);
  if (Find(walk.window) != nullptr) Peers().ShowPeerMenuWalk(walk.window, path);
}

// Makes item `index` of the deepest level hot and says so with WM_MENUSELECT.
void SetHot(int index) {
  Walk& walk = TheWalk();
  Level& level = walk.levels.back();
  if (MenuItem* old = HotItem(level)) old->flags &= ~MF_HILITE;
  level.hot = index;
  HMENU menu = level.menu;
  MenuItem* item = HotItem(level);
  if (item == nullptr) return;
  item->flags |= MF_HILITE;
  UINT flags = (item->flags & 0xFFFF) | (item->sub != nullptr ? MF_POPUP : 0);
  WORD id = static_cast<WORD>(item->sub != nullptr ? static_cast<UINT>(index) : item->id);
  Send(walk.window, WM_MENUSELECT, MAKEWPARAM(id, static_cast<WORD>(flags)),
       reinterpret_cast<LPARAM>(menu));
}

// The next selectable item of the deepest level from `from` in `step`, round the end.
int NextItem(int from, int step) {
  Menu* m = FindMenu(TheWalk().levels.back().menu);
  int count = m == nullptr ? 0 : static_cast<int>(m->items.size());
  for (int i = 1; i <= count; ++i) {
    int at = ((from + step * i) % count + count) % count;
    if (Selectable(m->items[static_cast<size_t>(at)])) return at;
  }
  return -1;
}

// Opens the popup of the deepest level's hot item; by keyboard its first item is hot.
void OpenPopup(bool firstHot) {
  Walk& walk = TheWalk();
  const Level& level = walk.levels.back();
  MenuItem* item = HotItem(level);
  if (item == nullptr || item->sub == nullptr || !Enabled(*item)) return;
  HMENU sub = item->sub;
  Send(walk.window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub),
       MAKELPARAM(static_cast<WORD>(level.hot), FALSE));
  if (walk.window == nullptr || FindMenu(sub) == nullptr) return;
  walk.levels.push_back({sub, -1});
  if (firstHot) SetHot(NextItem(-1, 1));
}

void ClosePopup() {
  Walk& walk = TheWalk();
  if (walk.levels.size() < 2) return;
  Level level = walk.levels.back();
  walk.levels.pop_back();
  if (MenuItem* hot = HotItem(level)) hot->flags &= ~MF_HILITE;
  Send(walk.window, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(level.menu), 0);
}

void StartWalk(HWND window) {
  Walk& walk = TheWalk();
  if (walk.window == window) return;
  Window* w = Find(window);
  if (w == nullptr || w->menu == nullptr || walk.window != nullptr) return;
  walk.window = window;
  walk.levels = {{w->menu, -1}};
  Send(window, WM_ENTERMENULOOP, FALSE, 0);
  Send(window, WM_INITMENU, reinterpret_cast<WPARAM>(walk.levels.front().menu), 0);
}

// Ends the walk; a chosen command reaches the window as WM_COMMAND after it.
void EndWalk(UINT command) {
  Walk& walk = TheWalk();
  HWND window = walk.window;
  if (window == nullptr) return;
  while (walk.levels.size() > 1) ClosePopup();
  if (MenuItem* hot = walk.levels.empty() ? nullptr : HotItem(walk.levels.front()))
    hot->flags &= ~MF_HILITE;
  walk = Walk{};
  if (Find(window) == nullptr) return;
  Peers().ShowPeerMenuWalk(window, {});
  Send(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  Send(window, WM_EXITMENULOOP, FALSE, 0);
  if (command != 0) PostMessageA(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// Enter, or a mnemonic: a popup opens, a command ends the walk with it.
void Choose() {
  Walk& walk = TheWalk();
  MenuItem* item = HotItem(walk.levels.back());
  if (item == nullptr) return;
  if (item->sub != nullptr) {
    OpenPopup(true);
  } else {
    EndWalk(Enabled(*item) ? item->id : 0);
  }
}

// Moves along the bar, reopening the popup if one was open.
void MoveOnBar(int step) {
  Walk& walk = TheWalk();
  bool open = walk.levels.size() > 1;
  while (walk.levels.size() > 1) ClosePopup();
  SetHot(NextItem(walk.levels.front().hot, step));
  if (open) OpenPopup(true);
}

void WalkLetter(char letter) {
  Walk& walk = TheWalk();
  Menu* m = FindMenu(walk.levels.back().menu);
  if (m == nullptr) return;
  for (size_t i = 0; i < m->items.size(); ++i) {
    if (MnemonicOf(m->items[i].text) != letter) continue;
    SetHot(static_cast<int>(i));
    // A grayed command is only made hot, so the keyboard user sees it.
    if (TheWalk().window != nullptr && (m->items[i].sub != nullptr || Enabled(m->items[i])))
      Choose();
    return;
  }
}

void WalkKey(int key) {
  Walk& walk = TheWalk();
  size_t depth = walk.levels.size();
  MenuItem* hot = HotItem(walk.levels.back());
  switch (key) {
    case VK_MENU:
      EndWalk(0);
      break;
    case VK_ESCAPE:
      if (depth > 1) {
        ClosePopup();
      } else {
        EndWalk(0);
      }
      break;
    case VK_LEFT:
      if (depth > 2) {
        ClosePopup();
      } else {
        MoveOnBar(-1);
      }
      break;
    case VK_RIGHT:
      if (depth > 1 && hot != nullptr && hot->sub != nullptr) {
        OpenPopup(true);
      } else {
        MoveOnBar(1);
      }
      break;
    case VK_UP:
    case VK_DOWN:
      if (depth == 1) {
        OpenPopup(true);
      } else {
        SetHot(NextItem(walk.levels.back().hot, key == VK_DOWN ? 1 : -1));
      }
      break;
    case VK_RETURN:
      Choose();
      break;
    default:
      if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        WalkLetter(static_cast<char>(key));
  }
}

}  // namespace

HMENU NewSystemMenu() {
  HMENU menu = AddMenu();
  for (UINT id : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
    FindMenu(menu)->items.push_back({id, MF_STRING, "", nullptr});
  FindMenu(menu)->items.push_back({0, MF_SEPARATOR, "", nullptr});
  FindMenu(menu)->items.push_back({SC_CLOSE, MF_STRING, "", nullptr});
  return menu;
}

bool MenuHasCommand(HMENU menu, UINT command) {
  Found found = FindItem(menu, command, MF_BYCOMMAND);
  return found.item != nullptr && Enabled(*found.item);
}

void FreeMenu(HMENU menu) {
  Menu* m = FindMenu(menu);
  if (m == nullptr) return;
  std::vector<HMENU> subs;
  for (const MenuItem& item : m->items)
    if (item.sub != nullptr) subs.push_back(item.sub);
  MenuTable().menus.erase(menu);
  for (HMENU sub : subs) FreeMenu(sub);
}

void MenuKey(HWND window, char letter) {
  HWND root = Root(window);
  Window* w = Find(root);
  if (w == nullptr || w->menu == nullptr) return;
  if (TheWalk().window != nullptr && TheWalk().window != root) EndWalk(0);
  StartWalk(root);
  if (TheWalk().window != root) return;
  if (letter == 0) {
    SetHot(NextItem(-1, 1));
  } else {
    WalkLetter(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    if (TheWalk().window == root && TheWalk().levels.size() == 1) EndWalk(0);  // no such item
  }
  ShowWalk();
}

bool MenuWalkTakes(const MSG& msg) {
  Walk& walk = TheWalk();
  if (walk.window == nullptr) return false;
  if (Find(walk.window) == nullptr || Find(walk.window)->menu == nullptr) {
    walk = Walk{};
    return false;
  }
  bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
  if (!key) {
    // A click anywhere ends the walk and is then delivered.
    if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN) EndWalk(0);
    return false;
  }
  bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  // A character typed straight in (as an input method gives it) is a mnemonic too.
  bool letter = (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) && msg.wParam < 0x80 &&
                std::isalnum(static_cast<int>(msg.wParam));
  if (down) WalkKey(static_cast<int>(msg.wParam & 0xFF));
  if (letter) WalkLetter(static_cast<char>(std::toupper(static_cast<int>(msg.wParam))));
  if ((down || letter) && TheWalk().window != nullptr) ShowWalk();
  return true;
}

}  // namespace platform::core

namespace core = platform::core;

// ---- What the pointer does in a peer's menus ----
namespace platform {

void PeerMenuOpened(HWND window, const std::vector<int>& at) {
  core::Window* w = core::Find(window);
  if (w == nullptr || w->menu == nullptr || at.empty()) return;
  core::Walk& walk = core::TheWalk();
  if (walk.window != window) {
    core::EndWalk(0);
    core::StartWalk(window);
  }
  if (walk.window != window) return;
  // Popups that are not on the way to the new one close first.
  size_t keep = 1;
  while (keep < walk.levels.size() && keep <= at.size() &&
         walk.levels[keep - 1].hot == at[keep - 1])
    ++keep;
  while (walk.levels.size() > keep) core::ClosePopup();
  for (size_t i = walk.levels.size() - 1; i < at.size() && walk.window == window; ++i) {
    if (walk.levels.back().hot != at[i]) core::SetHot(at[i]);
    if (walk.window == window) core::OpenPopup(false);
    if (walk.levels.size() != i + 2) break;  // not a popup, or refused
  }
}

void PeerMenuChosen(HWND window, UINT id) {
  core::Window* w = core::Find(window);
  if (w == nullptr || w->menu == nullptr) return;
  bool enabled = core::MenuHasCommand(w->menu, id);
  if (core::TheWalk().window == window) {
    core::EndWalk(enabled ? id : 0);
  } else if (enabled) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  }
}

void PeerMenuClosed(HWND window) {
  if (core::TheWalk().window == window) core::EndWalk(0);
}

}  // namespace platform

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
  core::Found found = core::FindItem(menu, position, flags);
  if (found.item == nullptr) return FALSE;
  core::Menu* m = core::FindMenu(found.menu);
  HMENU sub = found.item->sub;
  m->items.erase(m->items.begin() + static_cast<std::ptrdiff_t>(found.index));
  if (sub != nullptr) core::FreeMenu(sub);  // DeleteMenu destroys a popup it removes
  if (m->systemOf != nullptr) core::RefreshPeer(m->systemOf);
  core::MenuChanged(found.menu);
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
  if (core::FindMenu(menu) == nullptr) return FALSE;
  core::FreeMenu(menu);
  return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR item) {
  core::Menu* m = core::FindMenu(menu);
  if (m == nullptr) return FALSE;
  core::MenuItem added;
  added.flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MFT_RADIOCHECK | MF_SEPARATOR);
  if (flags & MF_POPUP) {
    added.sub = reinterpret_cast<HMENU>(idNewItem);
    // A popup must exist and may not hold the menu it is added to.
    if (core::FindMenu(added.sub) == nullptr || core::Contains(added.sub, menu)) return FALSE;
  } else {
    added.id = static_cast<UINT>(idNewItem);
  }
  if (item != nullptr && !(flags & MF_SEPARATOR)) added.text = item;
  core::FindMenu(menu)->items.push_back(std::move(added));
  core::MenuChanged(menu);
  return TRUE;
}

HMENU GetSubMenu(HMENU menu, int position) {
  core::Found found = core::FindItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  return found.item != nullptr ? found.item->sub : nullptr;
}

UINT GetMenuItemID(HMENU menu, int position) {
  core::Found found = core::FindItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  if (found.item == nullptr || found.item->sub != nullptr) return static_cast<UINT>(-1);
  return found.item->id;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  core::Found found = core::FindItem(menu, item, flags);
  if (found.item == nullptr) return static_cast<UINT>(-1);
  if (found.item->sub != nullptr) {
    // A popup: its item count in the high byte, its flags in the low one.
    UINT count = static_cast<UINT>(core::FindMenu(found.item->sub)->items.size());
    return (count << 8) | ((found.item->flags | MF_POPUP) & 0xFF);
  }
  return found.item->flags;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  core::Found found = core::FindItem(menu, item, check);
  if (found.item == nullptr) return static_cast<DWORD>(-1);
  DWORD previous = found.item->flags & MF_CHECKED;
  found.item->flags = (found.item->flags & ~MF_CHECKED) | (check & MF_CHECKED);
  core::MenuChanged(found.menu);
  return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  core::Found from = core::FindItem(menu, first, flags);
  core::Found to = core::FindItem(menu, last, flags);
  if (from.item == nullptr || to.item == nullptr || from.menu != to.menu) return FALSE;
  core::Menu* m = core::FindMenu(from.menu);
  bool checked = false;
  for (size_t i = std::min(from.index, to.index); i <= std::max(from.index, to.index); ++i) {
    core::MenuItem& it = m->items[i];
    bool chosen = (flags & MF_BYPOSITION) ? i == check : (it.sub == nullptr && it.id == check);
    // The chosen item shows a bullet; the others lose their mark but keep
    // their type, as Windows leaves it.
    if (chosen) {
      it.flags |= MFT_RADIOCHECK | MF_CHECKED;
      checked = true;
    } else {
      it.flags &= ~MF_CHECKED;
    }
  }
  core::MenuChanged(from.menu);
  return checked ? TRUE : FALSE;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  core::Found found = core::FindItem(menu, item, enable);
  if (found.item == nullptr) return -1;
  UINT previous = found.item->flags & (MF_GRAYED | MF_DISABLED);
  found.item->flags =
      (found.item->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  core::Menu* m = core::FindMenu(found.menu);
  if (m->systemOf != nullptr) core::RefreshPeer(m->systemOf);
  core::MenuChanged(found.menu);
  return static_cast<BOOL>(previous);
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int size, UINT flags) {
  core::Found found = core::FindItem(menu, item, flags);
  if (found.item == nullptr) return 0;
  const std::string& caption = found.item->text;
  if (text == nullptr || size <= 0) return static_cast<int>(caption.size());
  size_t n = std::min(caption.size(), static_cast<size_t>(size - 1));
  caption.copy(text, n);
  text[n] = '\0';
  return static_cast<int>(n);
}

BOOL DrawMenuBar(HWND window) {
  core::Window* w = core::Find(window);
  if (w == nullptr || w->parent != nullptr || w->menu == nullptr) return FALSE;
  core::MenuChanged(w->menu);
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
  if (w->menu == menu) return DrawMenuBar(window) || menu == nullptr;
  if (core::TheWalk().window == window) core::EndWalk(0);
  if ((w = core::Find(window)) == nullptr) return FALSE;
  w->menu = menu;
  if (w->peerMade) core::Peers().SetPeerMenu(window, core::PeerItemsOf(menu));
  // The outer rectangle stays; the bar takes its height from the client area.
  core::FrameChanged(window);
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
    // A command of the window's menu that is grayed does nothing, as on Windows.
    core::Window* w = core::Find(window);
    core::Found item = w != nullptr && w->menu != nullptr
                           ? core::FindItem(w->menu, accel.cmd, MF_BYCOMMAND)
                           : core::Found{};
    if (item.item != nullptr) {
      // The window may bring its menu up to date first, as before a menu opens.
      SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(w->menu), 0);
      item = core::FindItem(GetMenu(window), accel.cmd, MF_BYCOMMAND);
      if (item.item != nullptr && !core::Enabled(*item.item)) return 1;
    }
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(accel.cmd, 1), 0);
    return 1;
  }
  return 0;
}
