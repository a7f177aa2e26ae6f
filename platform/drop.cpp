// SPDX-License-Identifier: GPL-3.0-or-later
// Files dropped on a window: DragAcceptFiles marks the window, a drop posts
// WM_DROPFILES with a handle that lists the paths until DragFinish.
#include <algorithm>
#include <map>

#include "platform/core.h"
#include "platform/platform.h"

namespace platform::core {
namespace {

struct Drop {
  std::vector<std::string> paths;         // GBK, as the ANSI calls give them
  std::vector<std::u16string> widePaths;  // every path whole, whatever GBK holds
  POINT at{};                             // client coordinates of the receiving window
  bool inClient = true;
};

struct Drops {
  std::map<HDROP, Drop> drops;
  uintptr_t next = 0x50000;
};
Drops& DropTable() {
  static Drops drops;  // drop handles are process-wide, as in Win32
  return drops;
}

Drop* FindDrop(HDROP drop) {
  auto it = DropTable().drops.find(drop);
  return it == DropTable().drops.end() ? nullptr : &it->second;
}

}  // namespace
}  // namespace platform::core

namespace core = platform::core;

namespace platform {

void PeerFilesDropped(HWND window, const std::vector<std::string>& paths, POINT at) {
  // The window under the pointer, or the nearest ancestor, that accepts files.
  HWND target = window;
  core::Window* w = core::Find(target);
  while (w != nullptr && !(w->exStyle & WS_EX_ACCEPTFILES) && w->parent != nullptr) {
    POINT offset = core::ClientOriginOnScreen(target);
    target = w->parent;
    w = core::Find(target);
    POINT parent = core::ClientOriginOnScreen(target);
    at = {at.x + offset.x - parent.x, at.y + offset.y - parent.y};
  }
  if (w == nullptr || !(w->exStyle & WS_EX_ACCEPTFILES) || paths.empty()) return;
  core::Drop drop;
  for (const std::string& path : paths) {
    drop.paths.push_back(Utf8ToGbk(path));
    drop.widePaths.push_back(Utf8ToUtf16(path));
  }
  RECT client = core::ClientRectIn(*w);
  drop.at = at;
  drop.inClient = at.x >= 0 && at.y >= 0 && at.x < client.right - client.left &&
                  at.y < client.bottom - client.top;
  HDROP handle = core::MakeHandle<HDROP>(core::DropTable().next);
  core::DropTable().next += 4;
  core::DropTable().drops[handle] = std::move(drop);
  if (!PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0))
    core::DropTable().drops.erase(handle);
}

}  // namespace platform

void DragAcceptFiles(HWND window, BOOL accept) {
  core::Window* w = core::Find(window);
  if (w == nullptr) return;
  DWORD exStyle = accept ? (w->exStyle | WS_EX_ACCEPTFILES) : (w->exStyle & ~WS_EX_ACCEPTFILES);
  if (exStyle == w->exStyle) return;
  w->exStyle = exStyle;
  core::RefreshPeer(window);
}

namespace {
// The count, a path's length without the terminator, or the path copied
// (cut to the buffer), as DragQueryFile answers in either character set.
template <class Text, class Char>
UINT QueryFile(const std::vector<Text>& paths, UINT file, Char* path, UINT size) {
  if (file == 0xFFFFFFFF) return static_cast<UINT>(paths.size());
  if (file >= paths.size()) return 0;
  const Text& name = paths[file];
  if (path == nullptr) return static_cast<UINT>(name.size());
  if (size == 0) return 0;
  size_t n = std::min(name.size(), static_cast<size_t>(size - 1));
  name.copy(path, n);
  path[n] = '\0';
  return static_cast<UINT>(n);
}
}  // namespace

UINT DragQueryFileA(HDROP drop, UINT file, LPSTR path, UINT size) {
  core::Drop* d = core::FindDrop(drop);
  return d == nullptr ? 0 : QueryFile(d->paths, file, path, size);
}

UINT DragQueryFileW(HDROP drop, UINT file, LPWSTR path, UINT size) {
  core::Drop* d = core::FindDrop(drop);
  return d == nullptr ? 0 : QueryFile(d->widePaths, file, path, size);
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
  core::Drop* d = core::FindDrop(drop);
  if (d == nullptr || point == nullptr) return FALSE;
  *point = d->at;
  return d->inClient ? TRUE : FALSE;
}

void DragFinish(HDROP drop) {
  core::DropTable().drops.erase(drop);
}
