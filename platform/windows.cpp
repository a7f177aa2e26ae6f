// SPDX-License-Identifier: GPL-3.0-or-later
// The window tree: handles, classes, creation and destruction, z-order,
// geometry with non-client areas, visibility, window longs and the default
// window procedure. Everything callers observe is decided here; the backend
// only mirrors it on its peers.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <unordered_map>

#include "platform/core.h"

namespace platform::core {
namespace {

// Window coordinates stay within 16 bits, as WM_MOVE and WM_SIZE carry them;
// stored sizes may say anything, and rectangle sums must never overflow.
void ClampPlace(int& x, int& y, int& width, int& height) {
  x = std::clamp(x, -32768, 32767);
  y = std::clamp(y, -32768, 32767);
  width = std::clamp(width, 0, 32767);
  height = std::clamp(height, 0, 32767);
}

// Set by ShowWindow when minimising, maximising or restoring, so that the
// size message follows even when the rectangle stays the same.
constexpr UINT kStateChanged = 0x80000000;

// The GUI thread's window state; Win32 keeps it per thread, and Molvane has
// one GUI thread.
struct Tree {
  std::unordered_map<HWND, std::unique_ptr<Window>> windows;
  std::map<std::string, std::shared_ptr<ClassRecord>> classes;  // upper-case names
  std::vector<HWND> topLevel;                                   // z-order, topmost first
  uintptr_t nextHandle = 0x10010;
  ATOM nextAtom = 0xC000;
};
Tree& State() {
  static Tree tree;  // process-wide: one window tree per process, as one GUI thread has
  return tree;
}

std::string Upper(const char* name) {
  std::string key = name ? name : "";
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

std::shared_ptr<ClassRecord> FindClass(const char* name) {
  if (name == nullptr || IS_INTRESOURCE(name)) return nullptr;
  EnsureSystemClasses();
  auto it = State().classes.find(Upper(name));
  return it == State().classes.end() ? nullptr : it->second;
}

std::vector<HWND>& SiblingsOf(const Window& w) {
  if (w.parent != nullptr) return Find(w.parent)->children;
  return State().topLevel;
}

bool IsTopmost(HWND h) {
  Window* w = Find(h);
  return w != nullptr && w->parent == nullptr && (w->exStyle & WS_EX_TOPMOST) != 0;
}

// Where `insertAfter` puts a window among its siblings, keeping topmost
// top-level windows above the others.
size_t StackIndex(Window& w, std::vector<HWND>& list, HWND insertAfter) {
  bool topLevel = w.parent == nullptr;
  if (topLevel && insertAfter == HWND_TOPMOST) w.exStyle |= WS_EX_TOPMOST;
  if (topLevel && (insertAfter == HWND_NOTOPMOST || insertAfter == HWND_BOTTOM))
    w.exStyle &= ~WS_EX_TOPMOST;
  size_t topmostCount = 0;
  if (topLevel) topmostCount = std::count_if(list.begin(), list.end(), IsTopmost);
  size_t index = 0;
  if (insertAfter == HWND_BOTTOM) {
    index = list.size();
  } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST &&
             insertAfter != HWND_NOTOPMOST) {
    auto it = std::find(list.begin(), list.end(), insertAfter);
    if (it != list.end()) index = static_cast<size_t>(it - list.begin()) + 1;
  }
  bool topmost = topLevel && (w.exStyle & WS_EX_TOPMOST) != 0;
  if (topmost) index = std::min(index, topmostCount);
  if (topLevel && !topmost) index = std::max(index, topmostCount);
  return std::min(index, list.size());
}

void Restack(HWND h, HWND insertAfter) {
  Window* w = Find(h);
  std::vector<HWND>& list = SiblingsOf(*w);
  list.erase(std::find(list.begin(), list.end(), h));
  size_t index = StackIndex(*w, list, insertAfter);
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), h);
  if (w->peerMade) Peers().RestackPeer(h, index == 0 ? nullptr : list[index - 1]);
}

// Frame thickness and caption height that the style bits ask for.
RECT NonClient(DWORD style, DWORD exStyle, bool menu, bool scrollBars) {
  if (style & WS_MINIMIZE) return {};
  int adjust = 0;
  if ((exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
    adjust = 1;
  else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
    adjust = 2;
  if (style & WS_THICKFRAME)
    adjust += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) adjust++;
  RECT nc{adjust, adjust, adjust, adjust};
  if ((style & WS_CAPTION) == WS_CAPTION)
    nc.top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  if (menu) nc.top += GetSystemMetrics(SM_CYMENU);
  if (exStyle & WS_EX_CLIENTEDGE) {
    nc.left += GetSystemMetrics(SM_CXEDGE);
    nc.right += GetSystemMetrics(SM_CXEDGE);
    nc.top += GetSystemMetrics(SM_CYEDGE);
    nc.bottom += GetSystemMetrics(SM_CYEDGE);
  }
  if (scrollBars && (style & WS_VSCROLL)) nc.right += GetSystemMetrics(SM_CXVSCROLL);
  if (scrollBars && (style & WS_HSCROLL)) nc.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return nc;
}

void Link(Window& w) {
  if (w.parent != nullptr) {
    Find(w.parent)->children.push_back(w.handle);  // a new child goes to the bottom
  } else {
    std::vector<HWND>& list = State().topLevel;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(StackIndex(w, list, HWND_TOP)),
                w.handle);
  }
}

void Unlink(const Window& w) {
  std::vector<HWND>& list = w.parent != nullptr ? Find(w.parent)->children : State().topLevel;
  list.erase(std::remove(list.begin(), list.end(), w.handle), list.end());
}

void MarkDestroying(HWND h) {
  Window* w = Find(h);
  w->destroying = true;
  for (HWND child : w->children) MarkDestroying(child);
}

void SendDestroy(HWND h) {
  Send(h, WM_DESTROY);
  Window* w = Find(h);
  if (w == nullptr) return;
  std::vector<HWND> children = w->children;
  for (HWND child : children)
    if (Find(child) != nullptr) SendDestroy(child);
}

void FreeWindow(HWND h) {
  Window* w = Find(h);
  if (w == nullptr) return;
  std::vector<HWND> children = w->children;
  for (HWND child : children) FreeWindow(child);
  Send(h, WM_NCDESTROY);
  w = Find(h);
  if (w == nullptr) return;
  PurgeMessages(h);
  MarkLive(h, false);
  if (w->peerMade) Peers().DestroyPeer(h);
  Unlink(*w);
  if (w->systemMenu) FreeMenu(w->systemMenu);
  if (w->menu && w->parent == nullptr) FreeMenu(w->menu);
  State().windows.erase(h);
}

WPARAM SizeKind(DWORD style) {
  if (style & WS_MINIMIZE) return SIZE_MINIMIZED;
  if (style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
  return SIZE_RESTORED;
}

void SendSizeAndMove(HWND h) {
  Window* w = Find(h);
  RECT client = ClientRectIn(*w);
  WPARAM kind = SizeKind(w->style);
  Send(h, WM_SIZE, kind, MAKELPARAM(client.right - client.left, client.bottom - client.top));
  if ((w = Find(h)) == nullptr) return;
  client = ClientRectIn(*w);
  Send(h, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
}

// Alt+letter: the first enabled, visible button under `root` whose caption
// marks that letter with "&" is clicked.
bool ClickMnemonic(HWND root, char letter) {
  Window* w = Find(root);
  if (w == nullptr) return false;
  std::vector<HWND> children = w->children;
  for (HWND child : children) {
    Window* c = Find(child);
    if (c == nullptr || !ShownWithAncestors(child) || !EnabledWithAncestors(child)) continue;
    if (c->control && c->control->Kind() == PeerKind::kButton &&
        (c->style & BS_TYPEMASK) != BS_GROUPBOX) {
      const std::string& text = c->text;
      for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
          ++i;
          continue;
        }
        if (std::toupper(static_cast<unsigned char>(text[i + 1])) ==
            std::toupper(static_cast<unsigned char>(letter))) {
          Send(child, BM_CLICK);
          return true;
        }
        break;
      }
    }
    if (ClickMnemonic(child, letter)) return true;
  }
  return false;
}

// A new window's record, linked into the tree but not yet told it exists.
HWND AddWindow(std::shared_ptr<ClassRecord> cls, DWORD exStyle, DWORD style, RECT rect, HWND parent,
               HWND owner, HMENU menu, HINSTANCE instance) {
  auto record = std::make_unique<Window>();
  Window& w = *record;
  w.handle = reinterpret_cast<HWND>(State().nextHandle);
  State().nextHandle += 4;  // handles are never reused
  w.proc = cls->info.lpfnWndProc;
  w.extra.resize(static_cast<size_t>(std::max(cls->info.cbWndExtra, 0)));
  w.cls = std::move(cls);
  w.style = style & ~WS_VISIBLE;
  w.exStyle = exStyle;
  w.parent = parent;
  w.owner = owner;
  w.rect = rect;
  w.restore = rect;
  w.instance = instance;
  if (parent != nullptr)
    w.id = static_cast<LONG_PTR>(reinterpret_cast<uintptr_t>(menu));
  else
    w.menu = menu;
  HWND h = w.handle;
  State().windows[h] = std::move(record);
  Link(w);
  MarkLive(h, true);
  return h;
}

LRESULT SystemCommand(HWND window, WPARAM command, LPARAM lParam) {
  switch (command & 0xFFF0) {
    case SC_CLOSE:
      return Send(window, WM_CLOSE);
    case SC_KEYMENU:
      MenuKey(window, static_cast<char>(lParam & 0xFF));
      break;
    case SC_MINIMIZE:
      ShowWindow(window, SW_MINIMIZE);
      break;
    case SC_MAXIMIZE:
      ShowWindow(window, SW_MAXIMIZE);
      break;
    case SC_RESTORE:
      ShowWindow(window, SW_RESTORE);
      break;
  }
  return 0;
}

// What changed position tells the window: its new client size and origin.
void ReportPosition(HWND window, const WINDOWPOS* pos) {
  Window* w = Find(window);
  if (pos == nullptr) return;
  RECT client = ClientRectIn(*w);
  if (!(pos->flags & SWP_NOSIZE))
    Send(window, WM_SIZE, SizeKind(w->style),
         MAKELPARAM(client.right - client.left, client.bottom - client.top));
  if (!(pos->flags & SWP_NOMOVE) && (w = Find(window)) != nullptr) {
    client = ClientRectIn(*w);
    Send(window, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
  }
}

LRESULT GetText(Window& w, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (size == 0 || out == nullptr) return 0;
  size_t n = std::min(w.text.size(), static_cast<size_t>(size - 1));
  std::memcpy(out, w.text.data(), n);
  out[n] = '\0';
  return static_cast<LRESULT>(n);
}

}  // namespace

Window* Find(HWND window) {
  auto it = State().windows.find(window);
  return it == State().windows.end() ? nullptr : it->second.get();
}

std::vector<HWND> TopLevelWindows() {
  return State().topLevel;
}

RECT ClientRectIn(const Window& w) {
  if (w.style & WS_MINIMIZE) return {w.rect.left, w.rect.top, w.rect.left, w.rect.top};
  bool menu = w.parent == nullptr && w.menu != nullptr;
  RECT nc = NonClient(w.style, w.exStyle, menu, true);
  RECT r{w.rect.left + nc.left, w.rect.top + nc.top, w.rect.right - nc.right,
         w.rect.bottom - nc.bottom};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

POINT ClientOriginOnScreen(HWND h) {
  Window* w = Find(h);
  if (w == nullptr) return {0, 0};
  RECT client = ClientRectIn(*w);
  POINT origin{client.left, client.top};
  if (w->parent != nullptr) {
    POINT parent = ClientOriginOnScreen(w->parent);
    origin.x += parent.x;
    origin.y += parent.y;
  }
  return origin;
}

HWND Root(HWND h) {
  Window* w = Find(h);
  while (w != nullptr && w->parent != nullptr) {
    h = w->parent;
    w = Find(h);
  }
  return w != nullptr ? h : nullptr;
}

bool IsInTree(HWND root, HWND h) {
  for (Window* w = Find(h); w != nullptr; w = Find(w->parent)) {
    if (h == root) return true;
    h = w->parent;
  }
  return false;
}

bool ShownWithAncestors(HWND h) {
  for (Window* w = Find(h); w != nullptr; w = Find(w->parent))
    if ((w->style & WS_VISIBLE) == 0) return false;
  return Find(h) != nullptr;
}

bool EnabledWithAncestors(HWND h) {
  for (Window* w = Find(h); w != nullptr; w = Find(w->parent))
    if (w->style & WS_DISABLED) return false;
  return Find(h) != nullptr;
}

PeerSpec SpecOf(const Window& w) {
  PeerSpec shape;
  shape.kind = w.control ? w.control->Kind() : w.cls->kind;
  shape.parent = w.parent;
  shape.owner = w.owner;
  shape.style = w.style;
  shape.exStyle = w.exStyle;
  shape.window = w.rect;
  shape.client = ClientRectIn(w);
  if (shape.kind != PeerKind::kEdit && shape.kind != PeerKind::kRichEdit)
    shape.caption = ToWide(w.text);
  shape.canClose = (w.cls->info.style & CS_NOCLOSE) == 0 &&
                   (w.systemMenu == nullptr || MenuHasCommand(w.systemMenu, SC_CLOSE));
  if (w.control) w.control->Describe(shape);
  return shape;
}

void RefreshPeer(HWND h) {
  Window* w = Find(h);
  if (w != nullptr && w->peerMade) Peers().UpdatePeer(h, SpecOf(*w));
}

LRESULT Send(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(h);
  if (w == nullptr) return 0;
  return CallWindowProcA(w->proc, h, message, wParam, lParam);
}

void NotifyParent(HWND control, WORD code) {
  Window* w = Find(control);
  if (w == nullptr || w->parent == nullptr) return;
  Send(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), code),
       reinterpret_cast<LPARAM>(control));
}

void RegisterSystemClass(const char* name, WNDPROC proc, PeerKind kind, UINT style) {
  auto record = std::make_shared<ClassRecord>();
  record->name = name;
  record->info.style = style | CS_GLOBALCLASS;
  record->info.lpfnWndProc = proc;
  record->info.hCursor = LoadCursorA(nullptr, kind == PeerKind::kButton ? IDC_ARROW : IDC_IBEAM);
  record->info.lpszClassName = record->name.c_str();
  record->kind = kind;
  State().classes[Upper(name)] = record;
}

void UnregisterSystemClass(const char* name) {
  State().classes.erase(Upper(name));
}

void EnsureSystemClasses() {
  static bool registered = false;  // the system classes exist once per process
  if (registered) return;
  registered = true;
  RegisterSystemClass("EDIT", EditProc, PeerKind::kEdit, CS_DBLCLKS | CS_PARENTDC);
  RegisterSystemClass("BUTTON", ButtonProc, PeerKind::kButton,
                      CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW);
  RegisterSystemClass("COMBOBOX", ComboBoxProc, PeerKind::kComboBox,
                      CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW);
}

void DestroyAllWindows() {
  while (!State().topLevel.empty()) {
    HWND h = State().topLevel.front();
    if (!DestroyWindow(h)) FreeWindow(h);
  }
  ResetQueue();
}

}  // namespace platform::core

using platform::core::Find;
using platform::core::Window;
namespace core = platform::core;

ATOM RegisterClassA(const WNDCLASSA* wndClass) {
  if (wndClass == nullptr || wndClass->lpszClassName == nullptr ||
      IS_INTRESOURCE(wndClass->lpszClassName) || wndClass->lpfnWndProc == nullptr)
    return 0;
  core::EnsureSystemClasses();
  auto& classes = core::State().classes;
  std::string key = core::Upper(wndClass->lpszClassName);
  if (classes.count(key) != 0) return 0;
  auto record = std::make_shared<core::ClassRecord>();
  record->name = wndClass->lpszClassName;
  record->info = *wndClass;
  record->info.lpszClassName = record->name.c_str();
  record->info.lpszMenuName = nullptr;
  classes[key] = record;
  return core::State().nextAtom++;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  auto record = core::FindClass(className);
  if (record == nullptr) return FALSE;
  for (auto& [handle, window] : core::State().windows) {
    if (window->cls == record) return FALSE;
  }
  core::State().classes.erase(core::Upper(className));
  return TRUE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR className, WNDCLASSA* wndClass) {
  auto record = core::FindClass(className);
  if (record == nullptr) return FALSE;
  if (wndClass != nullptr) *wndClass = record->info;
  return TRUE;
}

int GetClassNameA(HWND window, LPSTR className, int maxCount) {
  Window* w = Find(window);
  if (w == nullptr || className == nullptr || maxCount <= 0) return 0;
  int n = std::min(static_cast<int>(w->cls->name.size()), maxCount - 1);
  std::memcpy(className, w->cls->name.data(), static_cast<size_t>(n));
  className[n] = '\0';
  return n;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  auto cls = core::FindClass(className);
  if (cls == nullptr) return nullptr;
  bool child = (style & WS_CHILD) != 0;
  if (parent != nullptr && Find(parent) == nullptr) return nullptr;
  if (child && parent == nullptr) return nullptr;
  // Overlapped windows always have a caption and clip their siblings.
  if (!child && !(style & WS_POPUP)) style |= WS_CAPTION | WS_CLIPSIBLINGS;
  SIZE screen = core::Peers().ScreenSize();
  if (x == CW_USEDEFAULT) x = y = child ? 0 : screen.cx / 8;
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : screen.cx * 3 / 4;
    height = child ? 0 : screen.cy * 3 / 4;
  }
  core::ClampPlace(x, y, width, height);
  HWND h =
      core::AddWindow(cls, exStyle, style, {x, y, x + width, y + height}, child ? parent : nullptr,
                      child ? nullptr : core::Root(parent), menu, instance);
  Window& w = *Find(h);

  CREATESTRUCTA cs{param,     instance, menu, child ? parent : w.owner, height,
                   width,     y,        x,    static_cast<LONG>(style), windowName,
                   className, exStyle};
  if (!core::Send(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    core::FreeWindow(h);
    return nullptr;
  }
  Window* made = Find(h);
  if (made == nullptr) return nullptr;
  core::Peers().CreatePeer(h, core::SpecOf(*made));
  made->peerMade = true;
  if (made->parent == nullptr && made->menu != nullptr) DrawMenuBar(h);
  if (core::Send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(h);
    return nullptr;
  }
  if (Find(h) == nullptr) return nullptr;
  core::SendSizeAndMove(h);
  if (Find(h) == nullptr) return nullptr;
  if (style & WS_VISIBLE) {
    int command = (style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                  : (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                          : SW_SHOW;
    ShowWindow(h, command);
  }
  return Find(h) != nullptr ? h : nullptr;
}

BOOL DestroyWindow(HWND window) {
  Window* w = Find(window);
  if (w == nullptr) return FALSE;
  if (w->destroying) return FALSE;
  bool child = w->parent != nullptr;
  core::MarkDestroying(window);
  if (w->style & WS_VISIBLE) {
    // Only a child hears of its hiding; a top-level window just disappears.
    if (child)
      ShowWindow(window, SW_HIDE);
    else
      SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
  }
  if (Find(window) == nullptr) return TRUE;
  if (!child) {
    for (HWND other : core::TopLevelWindows()) {
      Window* o = Find(other);
      if (o != nullptr && o->owner == window) DestroyWindow(other);
    }
  }
  core::DropFocusAndActivation(window);
  if (Find(window) == nullptr) return TRUE;
  core::SendDestroy(window);
  core::FreeWindow(window);
  return TRUE;
}

BOOL IsWindow(HWND window) {
  return Find(window) != nullptr ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND window) {
  Window* w = Find(window);
  while (w != nullptr && w->parent != nullptr) {
    if (w->parent == parent) return TRUE;
    w = Find(w->parent);
  }
  return FALSE;
}

HWND SetParent(HWND window, HWND newParent) {
  Window* w = Find(window);
  if (w == nullptr || (newParent != nullptr && Find(newParent) == nullptr) ||
      (newParent != nullptr && core::IsInTree(window, newParent)))
    return nullptr;
  HWND old = w->parent;
  core::Unlink(*w);
  w->parent = newParent;
  if (newParent == nullptr) {
    core::State().topLevel.insert(core::State().topLevel.begin(), window);
  } else {
    auto& kids = Find(newParent)->children;
    kids.insert(kids.begin(), window);  // a new child lands on top
  }
  core::Peers().ReparentPeer(window, newParent);
  core::RefreshPeer(window);
  return old;
}

HWND GetParent(HWND window) {
  Window* w = Find(window);
  if (w == nullptr) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND GetAncestor(HWND window, UINT flags) {
  Window* w = Find(window);
  if (w == nullptr) return nullptr;
  if (flags == GA_PARENT) return w->parent;
  HWND root = core::Root(window);
  if (flags == GA_ROOTOWNER)
    while (Find(root) != nullptr && Find(root)->owner != nullptr) root = Find(root)->owner;
  return root;
}

HWND GetWindow(HWND window, UINT command) {
  Window* w = Find(window);
  if (w == nullptr) return nullptr;
  if (command == GW_OWNER) return w->owner;
  if (command == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  std::vector<HWND>& list = core::SiblingsOf(*w);
  auto it = std::find(list.begin(), list.end(), window);
  switch (command) {
    case GW_HWNDFIRST:
      return list.front();
    case GW_HWNDLAST:
      return list.back();
    case GW_HWNDNEXT:
      return it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
      return it == list.begin() ? nullptr : *(it - 1);
    default:
      return nullptr;
  }
}

HWND GetTopWindow(HWND window) {
  if (window == nullptr)
    return core::State().topLevel.empty() ? nullptr : core::State().topLevel.front();
  return GetWindow(window, GW_CHILD);
}

HWND GetDlgItem(HWND dialog, int id) {
  Window* w = Find(dialog);
  if (w == nullptr) return nullptr;
  for (HWND child : w->children)
    if (Find(child)->id == id) return child;
  return nullptr;
}

int GetDlgCtrlID(HWND window) {
  Window* w = Find(window);
  return w == nullptr ? 0 : static_cast<int>(w->id);
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Window* w = Find(window);
  if (w == nullptr) return FALSE;
  if (w->parent != nullptr) flags |= SWP_NOACTIVATE;
  bool stateChanged = (flags & core::kStateChanged) != 0;
  flags &= ~core::kStateChanged;
  if (flags & SWP_NOMOVE) x = w->rect.left, y = w->rect.top;
  if (flags & SWP_NOSIZE) cx = w->rect.right - w->rect.left, cy = w->rect.bottom - w->rect.top;
  core::ClampPlace(x, y, cx, cy);
  if (x == w->rect.left && y == w->rect.top) flags |= SWP_NOMOVE;
  if (cx == w->rect.right - w->rect.left && cy == w->rect.bottom - w->rect.top && !stateChanged)
    flags |= SWP_NOSIZE;
  bool visible = (w->style & WS_VISIBLE) != 0;
  if (visible) flags &= ~SWP_SHOWWINDOW;
  if (!visible) flags &= ~SWP_HIDEWINDOW;
  WINDOWPOS pos{window, insertAfter, x, y, cx, cy, flags};
  if (!(flags & SWP_NOSENDCHANGING)) {
    core::Send(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if ((w = Find(window)) == nullptr) return FALSE;
  }
  if (!(pos.flags & SWP_NOMOVE) || !(pos.flags & SWP_NOSIZE)) {
    core::ClampPlace(pos.x, pos.y, pos.cx, pos.cy);
    w->rect = {pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    if (w->peerMade) core::Peers().PlacePeer(window, w->rect, core::ClientRectIn(*w));
  }
  if (!(pos.flags & SWP_NOZORDER)) {
    DWORD exStyle = w->exStyle;
    core::Restack(window, pos.hwndInsertAfter);
    if (w->exStyle != exStyle) core::RefreshPeer(window);
  }
  if (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
    bool show = (pos.flags & SWP_SHOWWINDOW) != 0;
    w->style = show ? (w->style | WS_VISIBLE) : (w->style & ~WS_VISIBLE);
    if (w->peerMade) core::Peers().ShowPeer(window, show);
  }
  // A window being shown is active before it hears that it moved; a hidden
  // one gives up the focus afterwards, as Windows orders it.
  if (!(pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && (w->style & WS_VISIBLE) &&
      !w->destroying && (w->style & WS_DISABLED) == 0) {
    SetActiveWindow(window);
    if ((w = Find(window)) == nullptr) return TRUE;
  }
  core::Send(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if ((w = Find(window)) == nullptr) return TRUE;
  if (pos.flags & SWP_HIDEWINDOW) {
    HWND focus = GetFocus();
    if (w->parent != nullptr && focus != nullptr && core::IsInTree(window, focus))
      SetFocus(w->parent);
    else if (w->parent == nullptr)
      core::DropFocusAndActivation(window);
  }
  return TRUE;
}

namespace platform::core {
void FrameChanged(HWND window) {
  Window* w = Find(window);
  if (w == nullptr) return;
  SetWindowPos(window, nullptr, 0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | kStateChanged);
}
}  // namespace platform::core

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL ShowWindow(HWND window, int command) {
  Window* w = Find(window);
  if (w == nullptr) return FALSE;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  UINT flags = SWP_NOZORDER;
  RECT target = w->rect;
  DWORD state = w->style & (WS_MINIMIZE | WS_MAXIMIZE);
  switch (command) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      flags |= SWP_HIDEWINDOW | SWP_NOACTIVATE;
      break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
      flags |= SWP_NOACTIVATE;
      [[fallthrough]];
    case SW_SHOWMINIMIZED:
      state = WS_MINIMIZE;
      flags |= SWP_SHOWWINDOW;
      break;
    case SW_SHOWMAXIMIZED: {
      state = WS_MAXIMIZE;
      flags |= SWP_SHOWWINDOW;
      SIZE screen = core::Peers().ScreenSize();
      // The frame goes just off screen; the caption stays on it.
      RECT nc = core::NonClient(w->style, w->exStyle & ~WS_EX_CLIENTEDGE, false, false);
      target = {-nc.left, -nc.left, screen.cx + nc.right, screen.cy + nc.bottom};
      break;
    }
    case SW_SHOWNA:
      flags |= SWP_NOACTIVATE;
      [[fallthrough]];
    case SW_SHOW:
      if (wasVisible) return TRUE;
      flags |= SWP_SHOWWINDOW;
      break;
    case SW_SHOWNOACTIVATE:
      flags |= SWP_NOACTIVATE;
      [[fallthrough]];
    default:  // SW_SHOWNORMAL, SW_RESTORE, SW_SHOWDEFAULT
      if (state != 0) target = w->restore;
      state = 0;
      flags |= SWP_SHOWWINDOW;
      break;
  }
  if (command != SW_HIDE && !wasVisible) {
    core::Send(window, WM_SHOWWINDOW, TRUE, 0);
    if ((w = Find(window)) == nullptr) return FALSE;
  } else if (command == SW_HIDE) {
    core::Send(window, WM_SHOWWINDOW, FALSE, 0);
    if ((w = Find(window)) == nullptr) return TRUE;
  }
  if ((w->style & (WS_MINIMIZE | WS_MAXIMIZE)) == 0 && state != 0) w->restore = w->rect;
  bool stateChanged = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) != state;
  w->style = (w->style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | state;
  if (stateChanged) core::RefreshPeer(window);
  if (stateChanged) flags |= core::kStateChanged;
  SetWindowPos(window, nullptr, target.left, target.top, target.right - target.left,
               target.bottom - target.top, flags);
  return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
  return core::ShownWithAncestors(window) ? TRUE : FALSE;
}

BOOL IsIconic(HWND window) {
  Window* w = Find(window);
  return w != nullptr && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND window) {
  Window* w = Find(window);
  return w != nullptr && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  Window* w = Find(window);
  if (w == nullptr) return FALSE;
  bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    if (w->peerMade) core::Peers().EnablePeer(window, true);
    core::Send(window, WM_ENABLE, TRUE, 0);
  } else if (!enable && !wasDisabled) {
    core::Send(window, WM_CANCELMODE);
    if ((w = Find(window)) == nullptr) return FALSE;
    w->style |= WS_DISABLED;
    if (w->peerMade) core::Peers().EnablePeer(window, false);
    HWND focus = GetFocus();
    if (focus != nullptr && core::IsInTree(window, focus)) SetFocus(nullptr);
    core::Send(window, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
  Window* w = Find(window);
  return w != nullptr && (w->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
  Window* w = Find(window);
  if (w == nullptr || rect == nullptr) return FALSE;
  POINT origin{0, 0};
  if (w->parent != nullptr) origin = core::ClientOriginOnScreen(w->parent);
  *rect = {w->rect.left + origin.x, w->rect.top + origin.y, w->rect.right + origin.x,
           w->rect.bottom + origin.y};
  return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
  Window* w = Find(window);
  if (w == nullptr || rect == nullptr) return FALSE;
  RECT client = core::ClientRectIn(*w);
  *rect = {0, 0, client.right - client.left, client.bottom - client.top};
  return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (rect == nullptr) return FALSE;
  RECT nc = core::NonClient(style, exStyle, menu != FALSE, false);
  rect->left -= nc.left;
  rect->top -= nc.top;
  rect->right += nc.right;
  rect->bottom += nc.bottom;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  if ((from != nullptr && Find(from) == nullptr) || (to != nullptr && Find(to) == nullptr))
    return 0;
  POINT a = from ? core::ClientOriginOnScreen(from) : POINT{0, 0};
  POINT b = to ? core::ClientOriginOnScreen(to) : POINT{0, 0};
  LONG dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points != nullptr && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL ScreenToClient(HWND window, LPPOINT point) {
  if (Find(window) == nullptr || point == nullptr) return FALSE;
  MapWindowPoints(nullptr, window, point, 1);
  return TRUE;
}

BOOL ClientToScreen(HWND window, LPPOINT point) {
  if (Find(window) == nullptr || point == nullptr) return FALSE;
  MapWindowPoints(window, nullptr, point, 1);
  return TRUE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  if (Find(window) == nullptr) return FALSE;
  return static_cast<BOOL>(core::Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextA(HWND window, LPSTR text, int maxCount) {
  if (Find(window) == nullptr || text == nullptr || maxCount <= 0) return 0;
  return static_cast<int>(core::Send(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                     reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthA(HWND window) {
  return static_cast<int>(core::Send(window, WM_GETTEXTLENGTH));
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
  Window* w = Find(window);
  if (w == nullptr) return 0;
  switch (index) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(w->parent != nullptr ? w->parent : w->owner);
    case GWLP_ID:
      return w->id;
    case GWL_STYLE:
      return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA:
      return w->userData;
  }
  if (index < 0 || static_cast<size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) return 0;
  LONG_PTR value;
  std::memcpy(&value, w->extra.data() + index, sizeof value);
  return value;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  Window* w = Find(window);
  if (w == nullptr) return 0;
  LONG_PTR old = GetWindowLongPtrA(window, index);
  switch (index) {
    case GWLP_WNDPROC:
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_HINSTANCE:
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    case GWLP_HWNDPARENT:
      if (w->parent == nullptr) w->owner = core::Root(reinterpret_cast<HWND>(value));
      core::RefreshPeer(window);
      return old;
    case GWLP_ID:
      w->id = value;
      return old;
    case GWLP_USERDATA:
      w->userData = value;
      return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      DWORD& slot = index == GWL_STYLE ? w->style : w->exStyle;
      bool enabledBefore = (w->style & WS_DISABLED) == 0;
      slot = static_cast<DWORD>(value);
      bool enabledNow = (w->style & WS_DISABLED) == 0;
      if (w->peerMade && enabledBefore != enabledNow) core::Peers().EnablePeer(window, enabledNow);
      core::RefreshPeer(window);
      return old;
    }
  }
  if (index < 0 || static_cast<size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) return 0;
  std::memcpy(w->extra.data() + index, &value, sizeof value);
  return old;
}

LONG GetWindowLongA(HWND window, int index) {
  return static_cast<LONG>(GetWindowLongPtrA(window, index));
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
  return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(window);
  if (w == nullptr) return 0;
  switch (message) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName))
        w->text = cs->lpszName;
      return TRUE;
    }
    case WM_SETTEXT:
      w->text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
      core::RefreshPeer(window);
      return TRUE;
    case WM_GETTEXT:
      return core::GetText(*w, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_SETFONT:
      w->font = reinterpret_cast<HFONT>(wParam);
      if (w->peerMade) core::Peers().SetPeerFont(window, core::FontOf(w->font));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(w->font);
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      return core::SystemCommand(window, wParam, lParam);
    case WM_WINDOWPOSCHANGED:
      core::ReportPosition(window, reinterpret_cast<const WINDOWPOS*>(lParam));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) SetFocus(window);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == static_cast<WPARAM>(VK_F4) && (lParam & (1 << 29))) {
        HWND root = core::Root(window);
        if (core::SpecOf(*Find(root)).canClose) PostMessageA(root, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SYSKEYUP:
      // Alt pressed and let go alone (Alt after another key comes up as
      // WM_KEYUP) walks the menu bar.
      if (wParam == static_cast<WPARAM>(VK_MENU)) core::Send(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
      return 0;
    case WM_SYSCHAR:
      // A button's mnemonic first, as the stored windows rely on; then the menu bar's.
      if (wParam > ' ' && wParam < 0x80 &&
          !core::ClickMnemonic(core::Root(window), static_cast<char>(wParam)))
        core::Send(window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
      return 0;
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_MOUSEACTIVATE:
      return 1;  // MA_ACTIVATE
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_NCACTIVATE:
      return TRUE;
  }
  return 0;
}
