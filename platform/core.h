// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to platform/: the window records the Win32 calls share, so the
// queue, focus, non-client and control code all see one window tree, and
// the core's internal calls, grouped by the file that defines them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"

namespace platform::core {

struct ClassRecord {
  std::string name;
  WNDCLASSA info{};
  PeerKind kind = PeerKind::kWindow;  // what a window of this class shows as
};

// Behaviour state a system control keeps beside its peer (limits, flags).
struct ControlState {
  virtual ~ControlState() = default;
  virtual PeerKind Kind() const = 0;         // a superclass shows as its base control
  virtual void Describe(PeerSpec&) const {}  // limit, password character
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<ClassRecord> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;       // children only
  HWND owner = nullptr;        // top-level windows only
  std::vector<HWND> children;  // z-order, topmost first
  RECT rect{};                 // parent's client coordinates (screen for top-level)
  RECT restore{};              // rectangle before minimising or maximising
  std::string text;            // GBK window text (edit controls keep theirs in the peer)
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  HINSTANCE instance = nullptr;
  HFONT font = nullptr;
  HMENU menu = nullptr;
  HMENU systemMenu = nullptr;
  std::vector<uint8_t> extra;  // cbWndExtra bytes
  std::unique_ptr<ControlState> control;
  bool peerMade = false;
  bool destroying = false;
};

// A handle the core numbers itself (GDI objects, menus, modules).
template <typename Handle>
Handle MakeHandle(uintptr_t value) {
  return reinterpret_cast<Handle>(value);
}

// ---- windows.cpp ----
// The live window of a handle, or null; never keep the pointer across a
// message send, which may destroy the window.
Window* Find(HWND window);
PeerSpec SpecOf(const Window& window);
void RefreshPeer(HWND window);  // after a style or caption change
// Tree queries.
HWND Root(HWND window);                 // top-level ancestor
bool IsInTree(HWND root, HWND window);  // window is root or below it
bool ShownWithAncestors(HWND window);
bool EnabledWithAncestors(HWND window);
std::vector<HWND> TopLevelWindows();      // z-order, topmost first
RECT ClientRectIn(const Window& window);  // client area, same coordinates as rect
POINT ClientOriginOnScreen(HWND window);
// Messages that only the core sends.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void NotifyParent(HWND control, WORD code);  // WM_COMMAND to the parent
// System classes.
void RegisterSystemClass(const char* name, WNDPROC proc, PeerKind kind, UINT style = 0);
void UnregisterSystemClass(const char* name);
void EnsureSystemClasses();
void DestroyAllWindows();
// The non-client area changed (a menu bar came or went): the outer
// rectangle stays and the window hears its new client size.
void FrameChanged(HWND window);

// ---- queue.cpp ----
// Private messages in the range Windows reserves for itself: an item chosen
// in a combo box's list, and text edited inside a peer by the toolkit.
constexpr UINT kMsgChooseItem = 0x03FF;
constexpr UINT kMsgPeerEdited = 0x03FE;
// Marks queued keyboard input that goes to the focus when it is read.
inline const HWND kToFocus = reinterpret_cast<HWND>(-4);
void QueueInput(UINT message, WPARAM wParam, LPARAM lParam);
void PurgeMessages(HWND window);
void DropFocusAndActivation(HWND window);  // before a window goes
void ResetQueue();
void MarkLive(HWND window, bool live);  // the handles PostMessageA accepts from any thread
void ActivateOnClick(HWND window);
// The first queued message for PeekMessageA's filter, taken off with `remove`.
bool TakeMessage(HWND window, UINT filterMin, UINT filterMax, bool remove, MSG& found);

// ---- backend.cpp ----
Backend& Peers();

// ---- button.cpp, combobox.cpp, edit.cpp, richedit.cpp ----
LRESULT ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT RichEditProc(HWND, UINT, WPARAM, LPARAM);
// A control's window procedure as a table: message, then what handles it.
template <typename State>
struct MessageHandler {
  UINT message;
  LRESULT (*handle)(HWND window, State& state, WPARAM wParam, LPARAM lParam);
};
template <typename State, size_t N>
const MessageHandler<State>* FindHandler(const MessageHandler<State> (&table)[N], UINT message) {
  for (const auto& entry : table)
    if (entry.message == message) return &entry;
  return nullptr;
}

// ---- text_box.cpp ----
// Text as an edit box measures it: an EDIT counts GBK bytes and a line
// break as CR LF; a rich edit counts characters and a break as one. Peers
// keep a multi-line text with "\n" breaks.
struct TextRules {
  bool multiline = false;
  bool bytes = true;
  LONG limit = 0x7FFFFFFE;
};
std::u16string ToPeerText(const std::string& gbk, bool multiline);
std::string FromPeerText(const std::u16string& text, bool multiline);
LONG PositionOf(const std::u16string& text, size_t unit, const TextRules& rules);
size_t UnitOf(const std::u16string& text, LONG position, const TextRules& rules);
// Replaces the peer's selection; `limited` cuts the insertion to the limit
// (setting *truncated). False when the text did not change.
bool ReplaceSelection(HWND window, std::u16string insert, const TextRules& rules, bool limited,
                      bool* truncated = nullptr);
bool DeleteAtCaret(HWND window, bool forward, const TextRules& rules);  // Backspace, Delete
bool MoveCaret(HWND window, int key, bool extend);                      // arrows, Home, End
// Joins the two WM_CHAR bytes of a GBK character; 0 while a lead byte waits.
char16_t TakeAnsiChar(uint8_t& pendingLead, WPARAM byte);
LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer);  // WM_GETTEXT answer

// ---- rtf.cpp ----
// Rich text for the rich edit streams: plain GBK text with CR LF breaks to
// RTF (in the given default format) and back.
std::string TextToRtf(const std::string& gbk, const CHARFORMATA& format);
std::string RtfToText(const std::string& rtf);

// ---- codepage.cpp ----
// GBK helpers the controls share.
std::u16string ToWide(const std::string& gbk);
std::string ToGbk(const std::u16string& wide);
// FromPeerText(ToPeerText(gbk, true), true) of text_box.cpp in one pass over
// the bytes: each character decoded and encoded again (a byte that does not
// decode as "?"), every break (CR LF, a lone CR or LF) as CR LF; `units` gets
// the length of the peer's text.
std::string CanonicalBoxText(const std::string& gbk, size_t* units);

// ---- gdi.cpp ----
LOGFONTA DefaultGuiFont();
LOGFONTA FontOf(HFONT font);  // the default GUI font for null or unknown handles

// ---- menus.cpp ----
HMENU NewSystemMenu();
bool MenuHasCommand(HMENU menu, UINT command);
void FreeMenu(HMENU menu);  // with its popups
// WM_SYSCOMMAND SC_KEYMENU: Alt alone (letter 0) makes the bar's first item
// hot; Alt with a letter opens the popup it marks.
void MenuKey(HWND window, char letter);
// While a menu bar is walked, keyboard input goes to the walk: true when
// `msg` was taken (a click ends the walk and is not taken).
bool MenuWalkTakes(const MSG& msg);

}  // namespace platform::core
