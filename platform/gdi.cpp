// SPDX-License-Identifier: GPL-3.0-or-later
// What windows are drawn with: system metrics and colours, GDI objects with
// font metrics, and the shared system cursors and icons.
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/core.h"
#include "platform/platform.h"

namespace platform::core {
namespace {

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

// ---- Cursors and icons: the shared system ones ----
constexpr WORD kCursorIds[] = {32512, 32513, 32514, 32515, 32646, 32648, 32649};
constexpr uintptr_t kCursorBase = 0x40000;
constexpr uintptr_t kIconBase = 0x50000;

}  // namespace

LOGFONTA DefaultGuiFont() {
  return MakeFont(-12, "\xCB\xCE\xCC\xE5", GB2312_CHARSET);  // 宋体 in GBK
}

LOGFONTA FontOf(HFONT font) {
  GdiObject* object = FindObject(font);
  if (object == nullptr || object->kind != GdiKind::kFont) return DefaultGuiFont();
  return object->font;
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
  return nullptr;
}

BOOL DestroyCursor(HCURSOR cursor) {
  uintptr_t value = reinterpret_cast<uintptr_t>(cursor);
  return value > core::kCursorBase && value <= core::kCursorBase + 0xFFFF ? TRUE : FALSE;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (instance == nullptr && name == IDI_APPLICATION)
    return core::MakeHandle<HICON>(core::kIconBase + 32512);
  return nullptr;
}
