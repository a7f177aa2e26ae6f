// SPDX-License-Identifier: GPL-3.0-or-later
// The message queue, focus and activation. Posting is the one call other
// threads may make, so the queue has its own lock; everything else runs on
// the GUI thread.
#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>
#include <unordered_set>

#include "platform/core.h"

namespace platform::core {
namespace {

struct Queue {
  std::mutex mutex;
  std::deque<MSG> posted;
  std::unordered_set<HWND> live;
  bool quit = false;
  int quitCode = 0;
};
Queue& Posted() {
  static Queue queue;  // process-wide: PostMessageA reaches it from any thread
  return queue;
}

struct InputState {
  HWND focus = nullptr;
  HWND active = nullptr;
  SHORT keys[256] = {};
};
InputState& Input() {
  static InputState state;  // the GUI thread's focus, activation and key state
  return state;
}

bool IsMouseMessage(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

bool Matches(const MSG& m, HWND window, UINT low, UINT high) {
  if (window == reinterpret_cast<HWND>(-1)) {
    if (m.hwnd != nullptr) return false;
  } else if (window != nullptr && m.hwnd != window) {
    return false;
  }
  return (low == 0 && high == 0) || (m.message >= low && m.message <= high);
}

void NoteKey(const MSG& m) {
  SHORT& key = Input().keys[m.wParam & 0xFF];
  if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
    if (!(key & 0x8000)) key ^= 1;  // toggle on each new press
    key |= static_cast<SHORT>(0x8000);
  } else if (m.message == WM_KEYUP || m.message == WM_SYSKEYUP) {
    key &= 1;
  }
}

// What a retrieved message does before the application sees it.
void OnRetrieved(const MSG& m) {
  if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) NoteKey(m);
  if (m.message == WM_LBUTTONDOWN || m.message == WM_RBUTTONDOWN) ActivateOnClick(m.hwnd);
}

// Mouse input never reaches a hidden or disabled window.
bool Deliverable(const MSG& m) {
  if (!IsMouseMessage(m.message)) return true;
  return ShownWithAncestors(m.hwnd) && EnabledWithAncestors(m.hwnd);
}

void ChangeFocus(HWND window) {
  HWND old = Input().focus;
  if (old == window) return;
  Input().focus = window;
  Peers().FocusPeer(window);
  if (Find(old) != nullptr) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window));
  if (Input().focus != window || window == nullptr) return;
  Send(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(Find(old) ? old : nullptr));
}

HWND Activate(HWND window, WORD how) {
  HWND old = Input().active;
  if (old == window) return old;
  Input().active = window;
  if (Find(old) != nullptr) {
    Send(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(window));
    Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, static_cast<WORD>(IsIconic(old))),
         reinterpret_cast<LPARAM>(window));
  }
  HWND previous = Find(old) != nullptr ? old : nullptr;
  if (window != nullptr && Input().active == window && Find(window) != nullptr) {
    Peers().ActivatePeer(window);
    Send(window, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(previous));
    Send(window, WM_ACTIVATE, MAKEWPARAM(how, static_cast<WORD>(IsIconic(window))),
         reinterpret_cast<LPARAM>(previous));
  }
  // The focus follows the activation unless the window placed it inside.
  if (Input().active == window) {
    HWND focus = Input().focus;
    if (window == nullptr || focus == nullptr || Root(focus) != window)
      ChangeFocus(Find(window) != nullptr ? window : nullptr);
  }
  return previous;
}

bool CanActivate(HWND window, HWND leaving) {
  Window* w = Find(window);
  return w != nullptr && window != leaving && !w->destroying && (w->style & WS_VISIBLE) &&
         !(w->style & WS_DISABLED) && (leaving == nullptr || w->owner != leaving);
}

}  // namespace

void MarkLive(HWND window, bool live) {
  std::lock_guard<std::mutex> lock(Posted().mutex);
  if (live)
    Posted().live.insert(window);
  else
    Posted().live.erase(window);
}

void PurgeMessages(HWND window) {
  std::lock_guard<std::mutex> lock(Posted().mutex);
  auto& q = Posted().posted;
  q.erase(std::remove_if(q.begin(), q.end(), [window](const MSG& m) { return m.hwnd == window; }),
          q.end());
}

void QueueInput(UINT message, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard<std::mutex> lock(Posted().mutex);
    Posted().posted.push_back(MSG{kToFocus, message, wParam, lParam, GetTickCount(), {}});
  }
  Peers().Wake();
}

void ResetQueue() {
  {
    std::lock_guard<std::mutex> lock(Posted().mutex);
    Posted().posted.clear();
    Posted().quit = false;
    Posted().quitCode = 0;
  }
  Input() = InputState{};
}

void DropFocusAndActivation(HWND window) {
  Window* w = Find(window);
  if (w == nullptr) return;
  HWND active = Input().active;
  if (active != nullptr && IsInTree(window, active)) {
    // The owner comes back first, as when a dialog closes; else the next in z-order.
    HWND next = nullptr;
    if (CanActivate(w->owner, window)) next = w->owner;
    for (HWND other : TopLevelWindows())
      if (next == nullptr && CanActivate(other, window)) next = other;
    Activate(next, WA_ACTIVE);
  }
  if ((w = Find(window)) == nullptr) return;
  HWND focus = Input().focus;
  if (focus == nullptr || !IsInTree(window, focus)) return;
  Window* parent = Find(w->parent);
  if (parent != nullptr && !parent->destroying && ShownWithAncestors(w->parent))
    SetFocus(w->parent);
  else
    ChangeFocus(nullptr);
}

void ActivateOnClick(HWND window) {
  HWND root = Root(window);
  if (root != nullptr && root != Input().active && CanActivate(root, nullptr))
    Activate(root, WA_CLICKACTIVE);
}

}  // namespace platform::core

namespace core = platform::core;

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard<std::mutex> lock(core::Posted().mutex);
    if (window != nullptr && core::Posted().live.count(window) == 0) return FALSE;
    core::Posted().posted.push_back(MSG{window, message, wParam, lParam, GetTickCount(), {}});
  }
  platform::CurrentBackend().Wake();
  return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (core::Find(window) == nullptr) return 0;
  return core::Send(window, message, wParam, lParam);
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  core::Peers().PollInput();
  bool remove = (removeFlags & PM_REMOVE) != 0;
  MSG found{};
  bool have = false;
  for (;;) {
    have = core::TakeMessage(window, filterMin, filterMax, remove, found);
    // While a menu bar is walked, the walk reads the keyboard first.
    if (!have || !remove || !core::MenuWalkTakes(found)) break;
    core::OnRetrieved(found);
  }
  if (!have) return FALSE;
  if (msg != nullptr) *msg = found;
  if (remove) core::OnRetrieved(found);
  return TRUE;
}

namespace platform::core {
bool TakeMessage(HWND window, UINT filterMin, UINT filterMax, bool remove, MSG& found) {
  bool have = false;
  {
    std::lock_guard<std::mutex> lock(core::Posted().mutex);
    auto& q = core::Posted().posted;
    for (auto it = q.begin(); it != q.end();) {
      if (it->hwnd == core::kToFocus) {
        it->hwnd = core::Input().focus != nullptr ? core::Input().focus : core::Input().active;
        if (it->hwnd == nullptr) {
          it = q.erase(it);
          continue;
        }
      }
      if (!core::Deliverable(*it)) {
        it = q.erase(it);
        continue;
      }
      if (core::Matches(*it, window, filterMin, filterMax)) {
        found = *it;
        have = true;
        if (remove) q.erase(it);
        break;
      }
      ++it;
    }
    if (!have && core::Posted().quit) {
      found = MSG{nullptr, WM_QUIT,        static_cast<WPARAM>(core::Posted().quitCode),
                  0,       GetTickCount(), {}};
      have = true;
      if (remove) core::Posted().quit = false;
    }
  }
  return have;
}
}  // namespace platform::core

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  MSG local{};
  if (msg == nullptr) msg = &local;
  while (!PeekMessageA(msg, window, filterMin, filterMax, PM_REMOVE)) core::Peers().WaitForInput();
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

namespace {

struct KeyChar {
  char plain;
  char shifted;
};

// The characters a US keyboard gives for the keys that are not letters.
KeyChar CharOfKey(int key) {
  static const char kShiftedDigits[] = ")!@#$%^&*(";
  if (key >= '0' && key <= '9') return {static_cast<char>(key), kShiftedDigits[key - '0']};
  switch (key) {
    case VK_SPACE:
      return {' ', ' '};
    case VK_RETURN:
      return {'\r', '\r'};
    case VK_BACK:
      return {'\b', '\b'};
    case VK_TAB:
      return {'\t', '\t'};
    case VK_ESCAPE:
      return {'\x1b', '\x1b'};
    case 0xBA:
      return {';', ':'};
    case 0xBB:
      return {'=', '+'};
    case 0xBC:
      return {',', '<'};
    case 0xBD:
      return {'-', '_'};
    case 0xBE:
      return {'.', '>'};
    case 0xBF:
      return {'/', '?'};
    case 0xC0:
      return {'`', '~'};
    case 0xDB:
      return {'[', '{'};
    case 0xDC:
      return {'\\', '|'};
    case 0xDD:
      return {']', '}'};
    case 0xDE:
      return {'\'', '"'};
  }
  return {0, 0};
}

}  // namespace

BOOL TranslateMessage(const MSG* msg) {
  if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  int key = static_cast<int>(msg->wParam & 0xFF);
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool control = GetKeyState(VK_CONTROL) < 0;
  char c = 0;
  if (key >= 'A' && key <= 'Z') {
    bool upper = shift != ((GetKeyState(VK_CAPITAL) & 1) != 0);
    c = control ? static_cast<char>(key - 'A' + 1) : static_cast<char>(upper ? key : key + 32);
  } else {
    KeyChar kc = CharOfKey(key);
    c = shift ? kc.shifted : kc.plain;
    if (control && key == VK_RETURN) c = '\n';
  }
  if (c == 0) return FALSE;
  UINT message = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  // The character is read next, before any later key, as Windows does.
  std::lock_guard<std::mutex> lock(core::Posted().mutex);
  core::Posted().posted.push_front(MSG{msg->hwnd, message,
                                       static_cast<WPARAM>(static_cast<unsigned char>(c)),
                                       msg->lParam, msg->time, msg->pt});
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr) return 0;
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
  {
    std::lock_guard<std::mutex> lock(core::Posted().mutex);
    core::Posted().quit = true;
    core::Posted().quitCode = exitCode;
  }
  platform::CurrentBackend().Wake();
}

DWORD GetTickCount() {
  using namespace std::chrono;
  return static_cast<DWORD>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

HWND SetFocus(HWND window) {
  HWND previous = core::Input().focus;
  if (window == nullptr) {
    core::ChangeFocus(nullptr);
    return previous;
  }
  core::Window* w = core::Find(window);
  if (w == nullptr) return nullptr;
  // Hidden, disabled and minimised windows (or those inside one) cannot take it.
  for (core::Window* a = w; a != nullptr; a = core::Find(a->parent))
    if (!(a->style & WS_VISIBLE) || (a->style & (WS_DISABLED | WS_MINIMIZE)) || a->destroying)
      return nullptr;
  if (window == previous) return previous;
  HWND root = core::Root(window);
  if (root != core::Input().active) {
    core::Activate(root, WA_ACTIVE);
    if (core::Input().active != root || core::Find(window) == nullptr) return nullptr;
  }
  core::ChangeFocus(window);
  return core::Find(previous) != nullptr ? previous : nullptr;
}

HWND GetFocus() {
  return core::Input().focus;
}

HWND SetActiveWindow(HWND window) {
  if (window != nullptr) {
    window = core::Root(window);
    if (window == nullptr || !core::CanActivate(window, nullptr)) return nullptr;
  }
  return core::Activate(window, WA_ACTIVE);
}

HWND GetActiveWindow() {
  return core::Input().active;
}

SHORT GetKeyState(int virtualKey) {
  return core::Input().keys[virtualKey & 0xFF];
}
