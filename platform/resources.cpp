// What windows are made with besides the tree: system metrics and colours,
// GDI objects with font metrics, cursors, menus and accelerator tables,
// the rich edit libraries, and the process calls of the Win32 subset.
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <set>

#include "platform/core.h"
#include "platform/platform.h"

namespace platform::core {
namespace {

template <typename Handle>
Handle MakeHandle(uintptr_t value) {
  return reinterpret_cast<Handle>(value);
}

// ---- GDI objects ----
enum class GdiKind { kBrush, kFont, kPen };
struct GdiObject {
  GdiKind kind;
  LOGBRUSH brush{};
  LOGFONTA font{};
  bool stock = false;
};
struct DeviceContext {
  HWND window;
  HGDIOBJ font;
  HGDIOBJ brush;
};
struct Gdi {
  std::map<HGDIOBJ, GdiObject> objects;
  std::map<HDC, DeviceContext> dcs;
  uintptr_t next = 0x20000;
};
Gdi& Objects() {
  static Gdi gdi;  // GDI handles are process-wide in Win32 too
  return gdi;
}

constexpr uintptr_t kStockBase = 0x19000;
constexpr uintptr_t kSysBrushBase = 0x19100;

LOGFONTA MakeFont(LONG height, const char* face, BYTE charSet) {
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = charSet;
  std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  return font;
}

void AddStock(int index, const GdiObject& object) {
  GdiObject stock = object;
  stock.stock = true;
  Objects().objects[MakeHandle<HGDIOBJ>(kStockBase + static_cast<uintptr_t>(index))] = stock;
}

void EnsureStock() {
  static bool made = false;  // stock objects exist once per process
  if (made) return;
  made = true;
  const COLORREF grays[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                            RGB(64, 64, 64), RGB(0, 0, 0)};
  for (int i = WHITE_BRUSH; i <= BLACK_BRUSH; ++i)
    AddStock(i, {GdiKind::kBrush, {BS_SOLID, grays[i], 0}, {}});
  AddStock(NULL_BRUSH, {GdiKind::kBrush, {BS_NULL, 0, 0}, {}});
  AddStock(WHITE_PEN, {GdiKind::kPen, {BS_SOLID, RGB(255, 255, 255), 0}, {}});
  AddStock(BLACK_PEN, {GdiKind::kPen, {BS_SOLID, 0, 0}, {}});
  AddStock(NULL_PEN, {GdiKind::kPen, {BS_NULL, 0, 0}, {}});
  GdiObject font{GdiKind::kFont, {}, MakeFont(16, "System", ANSI_CHARSET)};
  for (int i : {OEM_FIXED_FONT, ANSI_FIXED_FONT, SYSTEM_FONT, SYSTEM_FIXED_FONT}) AddStock(i, font);
  font.font = DefaultGuiFont();
  for (int i : {ANSI_VAR_FONT, DEVICE_DEFAULT_FONT, DEFAULT_GUI_FONT}) AddStock(i, font);
}

GdiObject* FindObject(HGDIOBJ handle) {
  EnsureStock();
  auto it = Objects().objects.find(handle);
  return it == Objects().objects.end() ? nullptr : &it->second;
}

HGDIOBJ AddObject(const GdiObject& object) {
  HGDIOBJ handle = MakeHandle<HGDIOBJ>(Objects().next);
  Objects().next += 4;
  Objects().objects[handle] = object;
  return handle;
}

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

// ---- Cursors and icons: the shared system ones ----
constexpr WORD kCursorIds[] = {32512, 32513, 32514, 32515, 32646, 32648, 32649};
constexpr uintptr_t kCursorBase = 0x40000;
constexpr uintptr_t kIconBase = 0x50000;

// ---- Libraries ----
struct Library {
  const char* name;
  const char* className;
  uintptr_t handle;
  int references = 0;
};
struct Libraries {
  Library known[2] = {{"RICHED20.DLL", "RichEdit20A", 0x7A000000},
                      {"RICHED32.DLL", "RICHEDIT", 0x7B000000}};
  std::set<std::string> failing;
};
Libraries& LibraryTable() {
  static Libraries libraries;  // loaded libraries are per process
  return libraries;
}

std::string LibraryKey(LPCSTR fileName) {
  std::string name = fileName ? fileName : "";
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (name.find('.') == std::string::npos) name += ".DLL";
  return name;
}

// Linux paths travel through the ANSI calls as GBK with "\" separators.
std::string ToWindowsPath(const std::string& utf8) {
  std::string gbk = Utf8ToGbk(utf8);
  std::replace(gbk.begin(), gbk.end(), '/', '\\');
  return gbk;
}

std::string ToLinuxPath(const std::string& gbk) {
  std::string utf8 = GbkToUtf8(gbk);
  std::replace(utf8.begin(), utf8.end(), '\\', '/');
  return utf8;
}

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  DWORD n = std::min(static_cast<DWORD>(text.size()), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  if (n < text.size()) {
    SetLastError(122);  // ERROR_INSUFFICIENT_BUFFER
    return size;
  }
  return n;
}

thread_local DWORD t_lastError = 0;     // Win32 keeps the last error per thread
thread_local int t_oleInitialized = 0;  // OLE is initialised per thread

}  // namespace

std::u16string ToWide(const std::string& gbk) {
  std::u16string wide(gbk.size(), u'\0');
  int n = MultiByteToWideChar(CP_GBK, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(),
                              static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(std::max(n, 0)));
  return wide;
}

std::string ToGbk(const std::u16string& wide) {
  std::string gbk(wide.size() * 2, '\0');
  int n = EncodeGbk(wide.data(), static_cast<int>(wide.size()), gbk.data());
  gbk.resize(static_cast<size_t>(n));
  return gbk;
}

LOGFONTA DefaultGuiFont() {
  return MakeFont(-12, "\xCB\xCE\xCC\xE5", GB2312_CHARSET);  // 宋体 in GBK
}

LOGFONTA FontOf(HFONT font) {
  GdiObject* object = FindObject(font);
  if (object == nullptr || object->kind != GdiKind::kFont) return DefaultGuiFont();
  return object->font;
}

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

// ---- Metrics and colours ----
int GetSystemMetrics(int index) {
  SIZE screen = core::Peers().ScreenSize();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
      return screen.cx;
    case SM_CYSCREEN:
      return screen.cy;
    case SM_CYFULLSCREEN:
      return screen.cy - GetSystemMetrics(SM_CYCAPTION);
    case SM_CXMAXIMIZED:
      return screen.cx + 2 * GetSystemMetrics(SM_CXFRAME);
    case SM_CYMAXIMIZED:
      return screen.cy + 2 * GetSystemMetrics(SM_CYFRAME);
  }
  // The classic 96 dpi values.
  static const std::map<int, int> kMetrics = {
      {SM_CXVSCROLL, 16},   {SM_CYHSCROLL, 16}, {SM_CYCAPTION, 19},   {SM_CXBORDER, 1},
      {SM_CYBORDER, 1},     {SM_CXDLGFRAME, 3}, {SM_CYDLGFRAME, 3},   {SM_CYVTHUMB, 16},
      {SM_CXHTHUMB, 16},    {SM_CXICON, 32},    {SM_CYICON, 32},      {SM_CXCURSOR, 32},
      {SM_CYCURSOR, 32},    {SM_CYMENU, 19},    {SM_CYVSCROLL, 16},   {SM_CXHSCROLL, 16},
      {SM_CXMIN, 112},      {SM_CYMIN, 27},     {SM_CXSIZE, 18},      {SM_CYSIZE, 18},
      {SM_CXFRAME, 4},      {SM_CYFRAME, 4},    {SM_CXMINTRACK, 112}, {SM_CYMINTRACK, 27},
      {SM_CXEDGE, 2},       {SM_CYEDGE, 2},     {SM_CXSMICON, 16},    {SM_CYSMICON, 16},
      {SM_CYSMCAPTION, 15}, {SM_CXSMSIZE, 12},  {SM_CYSMSIZE, 15},    {SM_CXPADDEDBORDER, 0}};
  auto it = kMetrics.find(index);
  return it == kMetrics.end() ? 0 : it->second;
}

DWORD GetSysColor(int index) {
  static const COLORREF kColors[] = {
      RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
      RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
      RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
      RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
      RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
      RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
      RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
      RGB(215, 228, 242), RGB(0, 120, 215),   RGB(240, 240, 240)};
  if (index < 0 || index >= static_cast<int>(std::size(kColors))) return 0;
  return kColors[index];
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index > COLOR_MENUBAR) return nullptr;
  HGDIOBJ handle = core::MakeHandle<HGDIOBJ>(core::kSysBrushBase + static_cast<uintptr_t>(index));
  if (core::FindObject(handle) == nullptr) {
    core::GdiObject brush{core::GdiKind::kBrush, {BS_SOLID, GetSysColor(index), 0}, {}, true};
    core::Objects().objects[handle] = brush;
  }
  return handle;
}

// ---- GDI objects ----
HGDIOBJ GetStockObject(int index) {
  HGDIOBJ handle = core::MakeHandle<HGDIOBJ>(core::kStockBase + static_cast<uintptr_t>(index));
  return core::FindObject(handle) != nullptr ? handle : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  return core::AddObject({core::GdiKind::kBrush, {BS_SOLID, color, 0}, {}});
}

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (font == nullptr) return nullptr;
  core::GdiObject object{core::GdiKind::kFont, {}, *font};
  object.font.lfFaceName[LF_FACESIZE - 1] = '\0';
  return core::AddObject(object);
}

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
  core::GdiObject* o = core::FindObject(object);
  if (o == nullptr) return 0;
  const void* data = o->kind == core::GdiKind::kFont ? static_cast<const void*>(&o->font)
                                                     : static_cast<const void*>(&o->brush);
  int full = o->kind == core::GdiKind::kFont ? static_cast<int>(sizeof(LOGFONTA))
                                             : static_cast<int>(sizeof(LOGBRUSH));
  if (buffer == nullptr) return full;
  int n = std::min(size, full);
  if (n <= 0) return 0;
  std::memcpy(buffer, data, static_cast<size_t>(n));
  return n;
}

BOOL DeleteObject(HGDIOBJ object) {
  core::GdiObject* o = core::FindObject(object);
  if (o == nullptr) return FALSE;
  if (!o->stock) core::Objects().objects.erase(object);  // stock objects stay
  return TRUE;
}

HDC GetDC(HWND window) {
  if (window != nullptr && !IsWindow(window)) return nullptr;
  HDC dc = core::MakeHandle<HDC>(core::Objects().next);
  core::Objects().next += 4;
  core::Objects().dcs[dc] = {window, GetStockObject(SYSTEM_FONT), GetStockObject(WHITE_BRUSH)};
  return dc;
}

int ReleaseDC(HWND, HDC dc) {
  return core::Objects().dcs.erase(dc) != 0 ? 1 : 0;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  auto it = core::Objects().dcs.find(dc);
  core::GdiObject* o = core::FindObject(object);
  if (it == core::Objects().dcs.end() || o == nullptr) return nullptr;
  HGDIOBJ& slot = o->kind == core::GdiKind::kFont ? it->second.font : it->second.brush;
  HGDIOBJ previous = slot;
  slot = object;
  return previous;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  auto it = core::Objects().dcs.find(dc);
  if (it == core::Objects().dcs.end() || metrics == nullptr) return FALSE;
  *metrics = core::Peers().MeasureFont(core::FontOf(it->second.font));
  return TRUE;
}

// ---- Cursors and icons ----
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (instance == nullptr && IS_INTRESOURCE(name)) {
    WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
    for (WORD known : core::kCursorIds)
      if (known == id) return core::MakeHandle<HCURSOR>(core::kCursorBase + id);
  }
  SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
  return nullptr;
}

BOOL DestroyCursor(HCURSOR cursor) {
  uintptr_t value = reinterpret_cast<uintptr_t>(cursor);
  return value > core::kCursorBase && value <= core::kCursorBase + 0xFFFF ? TRUE : FALSE;
}

HCURSOR SetCursor(HCURSOR cursor) {
  static HCURSOR current = nullptr;  // the one cursor the pointer shows
  HCURSOR previous = current;
  current = cursor;
  return previous;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (instance == nullptr && name == IDI_APPLICATION)
    return core::MakeHandle<HICON>(core::kIconBase + 32512);
  SetLastError(1814);
  return nullptr;
}

BOOL DestroyIcon(HICON icon) {
  return icon != nullptr ? TRUE : FALSE;
}

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

// ---- Libraries ----
HMODULE LoadLibraryA(LPCSTR fileName) {
  std::string key = core::LibraryKey(fileName);
  for (core::Library& library : core::LibraryTable().known) {
    if (key != library.name) continue;
    if (core::LibraryTable().failing.count(key) != 0) break;
    if (library.references++ == 0) {
      core::EnsureSystemClasses();
      core::RegisterSystemClass(library.className, core::RichEditProc,
                                platform::PeerKind::kRichEdit, CS_DBLCLKS);
    }
    return core::MakeHandle<HMODULE>(library.handle);
  }
  SetLastError(126);  // ERROR_MOD_NOT_FOUND
  return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
  for (core::Library& library : core::LibraryTable().known) {
    if (core::MakeHandle<HMODULE>(library.handle) != module || library.references == 0) continue;
    // Windows already made keep their class; new ones cannot be made.
    if (--library.references == 0) core::UnregisterSystemClass(library.className);
    return TRUE;
  }
  return FALSE;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return core::MakeHandle<HMODULE>(0x00400000);
  std::string key = core::LibraryKey(moduleName);
  for (core::Library& library : core::LibraryTable().known)
    if (key == library.name && library.references > 0)
      return core::MakeHandle<HMODULE>(library.handle);
  return nullptr;
}

namespace platform {
void SetLibraryLoadFails(const std::string& fileName, bool fails) {
  std::string key = core::LibraryKey(fileName.c_str());
  if (fails)
    core::LibraryTable().failing.insert(key);
  else
    core::LibraryTable().failing.erase(key);
}
}  // namespace platform

// ---- Process ----
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  if (module != nullptr && module != GetModuleHandleA(nullptr)) {
    for (core::Library& library : core::LibraryTable().known)
      if (core::MakeHandle<HMODULE>(library.handle) == module && library.references > 0)
        return core::CopyOut(library.name, fileName, size);
    SetLastError(126);
    return 0;
  }
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return 0;
  return core::CopyOut(core::ToWindowsPath(std::string(path, static_cast<size_t>(n))), fileName,
                       size);
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
  std::string target = core::ToLinuxPath(path ? path : "");
  if (target.empty() || chdir(target.c_str()) != 0) {
    SetLastError(3);  // ERROR_PATH_NOT_FOUND
    return FALSE;
  }
  return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  char path[PATH_MAX];
  if (getcwd(path, sizeof path) == nullptr) return 0;
  std::string windowsPath = core::ToWindowsPath(path);
  if (size <= windowsPath.size()) return static_cast<DWORD>(windowsPath.size() + 1);
  return core::CopyOut(windowsPath, buffer, size);
}

// A thread keeps its id for life, and a forked child's thread keeps the id of
// the thread that forked it (the kernel's thread id would change), so "is
// this the GUI thread" answers the same in a child that tests fork.
DWORD GetCurrentThreadId() {
  thread_local const DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
  return id;
}

DWORD GetLastError() {
  return core::t_lastError;
}

void SetLastError(DWORD error) {
  core::t_lastError = error;
}

HRESULT OleInitialize(LPVOID) {
  return core::t_oleInitialized++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize() {
  if (core::t_oleInitialized > 0) --core::t_oleInitialized;
}
