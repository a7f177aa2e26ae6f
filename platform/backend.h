// SPDX-License-Identifier: GPL-3.0-or-later
// The seam between the Win32 core and the toolkit that shows its windows.
//
// The core (platform/*.cpp) owns everything Win32 callers can observe: the
// handle table, classes, the window tree with parent, owner and z-order,
// styles, positions and non-client metrics, visibility and enabled state,
// focus and activation, the message queue, and the window procedures of the
// system controls (EDIT, BUTTON, COMBOBOX, rich edit). Every message a window
// receives is decided there, once, whatever the backend.
//
// A backend owns the native peers: one per window, created, placed, shown,
// enabled, restacked and destroyed when the core says so. A peer keeps the
// state a toolkit widget naturally keeps: the text of an edit box (so input
// methods, undo, clipboard and accessibility come from the toolkit), its
// selection, and a combo box's items and current item. The core reads and
// writes that state only through this interface.
//
// Native user actions come back into the core, never straight to program
// code: keys and clicks are posted as ordinary messages (PostMessageA) so a
// message loop's pre-translation sees them before any widget does; changes
// the toolkit made on its own (text typed through an input method, an item
// picked in a popup, focus moved by the mouse, the frame closed, moved or
// resized, the window activated) are reported through the Peer* calls below,
// which turn them into the messages Windows would send.
//
// All calls happen on the GUI thread, except Backend::Wake.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32.h"

namespace platform {

// Which native widget stands for a window; the style bits say the rest
// (push button or group box, drop-down list or simple combo box, ...).
enum class PeerKind { kWindow, kEdit, kButton, kComboBox, kRichEdit };

// What a backend needs to make or refresh a peer. Rectangles are in the
// parent's client coordinates, or the screen's for a window without parent.
struct PeerSpec {
  PeerKind kind = PeerKind::kWindow;
  HWND parent = nullptr;
  HWND owner = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;          // WS_EX_ACCEPTFILES: files may be dropped on it
  RECT window{};              // outer rectangle, frame included
  RECT client{};              // client area, same coordinates as `window`
  std::u16string caption;     // window text of a frame, button or group box
  int textLimit = 0;          // edit boxes: most characters a user may enter
  char16_t passwordChar = 0;  // edit boxes: 0 shows the text
  bool canClose = true;       // frames: the close box works (system menu has SC_CLOSE)
};

// One item of a window's menu bar as its peer shows it.
struct PeerMenuItem {
  UINT id = 0;     // command id; none for separators and popups
  UINT state = 0;  // MF_POPUP, MF_SEPARATOR, MF_CHECKED, MF_GRAYED, MF_DISABLED, MFT_RADIOCHECK
  std::u16string text;              // "&" marks the mnemonic
  std::vector<PeerMenuItem> items;  // a popup's own items
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;

  // Display facts the core's metrics depend on.
  virtual SIZE ScreenSize() const = 0;
  virtual TEXTMETRICA MeasureFont(const LOGFONTA& font) const = 0;

  // Peer lifetime and placement.
  virtual void CreatePeer(HWND window, const PeerSpec& shape) = 0;
  virtual void UpdatePeer(HWND window, const PeerSpec& shape) = 0;  // style, limit, caption
  virtual void DestroyPeer(HWND window) = 0;
  virtual void PlacePeer(HWND window, const RECT& windowRect, const RECT& clientRect) = 0;
  virtual void ShowPeer(HWND window, bool visible) = 0;
  virtual void EnablePeer(HWND window, bool enabled) = 0;
  // Puts `window` just below `above` among its siblings; null puts it on top.
  virtual void RestackPeer(HWND window, HWND above) = 0;
  virtual void ReparentPeer(HWND window, HWND parent) = 0;
  virtual void FocusPeer(HWND window) = 0;     // null: no window has the focus
  virtual void ActivatePeer(HWND window) = 0;  // a top-level window
  virtual void SetPeerFont(HWND window, const LOGFONTA& font) = 0;
  virtual void SetPeerBackground(HWND window, COLORREF color) = 0;

  // Text state of edit and rich edit peers (and the edit part of a combo
  // box), in UTF-16 units; the core converts to and from GBK. Line breaks
  // are kept as the peer likes (CR LF or LF); the core normalises.
  virtual std::u16string PeerText(HWND window) const = 0;
  virtual void SetPeerText(HWND window, const std::u16string& text) = 0;  // raises no Peer* call
  virtual CHARRANGE PeerSelection(HWND window) const = 0;
  virtual void SetPeerSelection(HWND window, CHARRANGE range) = 0;
  // Replaces units [start, end) of the peer's text with `insert` (raises no
  // Peer* call). The default writes the whole text; a backend may edit the
  // range alone, so that a key typed into a book-length box costs what it
  // changes, not the book.
  virtual void ReplacePeerText(HWND window, size_t start, size_t end, const std::u16string& insert);
  // The whole text of a rich edit peer in the form the core reads and writes
  // it: GBK with CR LF breaks, as FromPeerText gives it. A backend may keep
  // a text in this form, so a whole-text read or write is one copy; the
  // defaults convert from and to the UTF-16 text. `text` comes already in
  // that form (CanonicalBoxText), `units` is its UTF-16 length.
  virtual std::string PeerBoxText(HWND window) const;
  virtual void SetPeerBoxText(HWND window, std::string text, size_t units);
  virtual size_t PeerTextLength(HWND window) const { return PeerText(window).size(); }
  // The core's form of a peer's UTF-16 text and back, for a backend that
  // keeps a text in either.
  static std::string BoxTextOf(const std::u16string& text);
  static std::u16string PeerTextOf(const std::string& box);
  // A caret key (arrows, Home, End) that reached an edit control: a peer that
  // lays its text out moves the caret by its own lines and returns true;
  // false leaves the move to the core.
  virtual bool MovePeerCaret(HWND window, int virtualKey, bool extend) { return false; }

  // List state of combo box peers.
  virtual int ListCount(HWND window) const = 0;
  virtual std::u16string ListItem(HWND window, int index) const = 0;
  // Inserting and deleting keep the current item where it is in the list;
  // deleting the current item leaves none current.
  virtual void InsertListItem(HWND window, int index, const std::u16string& text) = 0;
  virtual void DeleteListItem(HWND window, int index) = 0;
  virtual int ListSelection(HWND window) const = 0;  // -1: none
  virtual void SetListSelection(HWND window, int index) = 0;

  // Menus. A top-level window's menu bar, sent again whenever an item in it
  // changes; empty: no bar. A peer shows it above the client area, in the
  // menu bar's height of the non-client area.
  virtual void SetPeerMenu(HWND window, const std::vector<PeerMenuItem>& bar) = 0;
  // The core walks the bar by keyboard: `path` holds the hot item of the
  // bar, then of each open popup (-1: none yet); empty ends the walk.
  virtual void ShowPeerMenuWalk(HWND window, const std::vector<int>& path) = 0;

  // Zoom of a rich edit peer: numerator / denominator, 0/0 for none.
  virtual void SetPeerZoom(HWND window, int numerator, int denominator) = 0;

  // A modal message box (texts in GBK); returns the IDOK.. answer.
  virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                             UINT style) = 0;

  // A modal file dialog; nothing when it was cancelled. The backend's own
  // dialog confirms an overwrite and insists on an existing file as asked.
  virtual std::optional<FileDialogAnswer> ShowFileDialog(const FileDialogCall& call) = 0;

  // The loop: deliver pending native input without waiting; block until
  // native input arrives or Wake is called (a Wake before the wait counts).
  virtual void PollInput() = 0;
  virtual void WaitForInput() = 0;
  virtual void Wake() = 0;  // any thread
};

// Acts as a person at the keyboard and mouse would, through the queue only.
class InputModule {
 public:
  virtual ~InputModule() = default;
  virtual void Click(HWND window) = 0;
  virtual void TypeText(const std::string& utf8) = 0;  // into the focused window
  // Key-down and key-up of `virtualKey`, wrapped in those of the modifiers
  // (MK_SHIFT, MK_CONTROL, kAltModifier).
  virtual void PressKey(int virtualKey, unsigned modifiers = 0) = 0;
  virtual void ChooseItem(HWND comboBox, int index) = 0;
  virtual void CloseFromFrame(HWND window) = 0;
  // Opens a menu of the window's bar with the pointer and clicks the item
  // at `path` (positions from the bar down).
  virtual void ClickMenuItem(HWND window, const std::vector<int>& path) = 0;
  // Drops files (UTF-8 paths) on the window at a point of its client area.
  virtual void DropFiles(HWND window, const std::vector<std::string>& paths, POINT at) = 0;
  // Dispatches until the queue is empty; `preTranslate` may swallow a
  // message (return true) as a loop's pre-translation does.
  virtual void PumpUntilIdle(const std::function<bool(MSG&)>& preTranslate = {}) = 0;
};
constexpr unsigned kAltModifier = 0x0100;

// ---- Choosing the backend ----
// The headless backend is used unless another is set. Setting a backend
// first destroys every window and empties the queue, so a test starts clean.
// A factory returns null when its backend cannot run here (no display).
using BackendFactory = std::function<std::unique_ptr<Backend>()>;
void SetBackend(std::unique_ptr<Backend> backend);
Backend& CurrentBackend();
void RegisterBackend(const std::string& name, BackendFactory factory);
std::vector<std::string> BackendNames();
// False when no such backend is registered or it cannot run here.
bool UseBackend(const std::string& name);

std::unique_ptr<Backend> CreateHeadlessBackend(SIZE screen = {1280, 1024});
// Clicks, keys and text posted through the queue: the headless backend's.
std::unique_ptr<InputModule> CreateQueueInput();
// The input module of the current backend.
InputModule& Input();
// A backend other than the headless one installs its own input module.
void SetInputModule(std::unique_ptr<InputModule> input);

// ---- What a backend reports back (GUI thread) ----
void PeerTextEdited(HWND window);                      // EN_CHANGE under the control's rules
void PeerItemChosen(HWND comboBox, int index);         // CBN_SELCHANGE
void PeerListClosed(HWND comboBox);                    // CBN_CLOSEUP unless already closed
void PeerFocused(HWND window);                         // WM_KILLFOCUS / WM_SETFOCUS
void PeerActivated(HWND window);                       // WM_ACTIVATE pair
void PeerPlaced(HWND window, const RECT& windowRect);  // WM_MOVE / WM_SIZE
void PeerCloseRequested(HWND window);                  // posts WM_SYSCOMMAND SC_CLOSE
// Menus used with the pointer: a popup opened (positions from the bar down
// to the item that opens it), an item clicked, the menus closed unused.
void PeerMenuOpened(HWND window, const std::vector<int>& at);
void PeerMenuChosen(HWND window, UINT id);
void PeerMenuClosed(HWND window);
// A rich edit zoomed by the user (Ctrl+wheel, Ctrl+plus, minus, 0).
void PeerZoomed(HWND window, int numerator, int denominator);
// Files dropped on a window that accepts them (UTF-8 paths), at a point of
// its client area: WM_DROPFILES is posted to it.
void PeerFilesDropped(HWND window, const std::vector<std::string>& paths, POINT at);
// Keyboard input (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR):
// queued like posted messages and delivered to the window that has the focus
// when it is read, as Windows does with hardware input.
void PostKeyInput(UINT message, WPARAM wParam, LPARAM lParam);
// Key-down and key-up of `virtualKey` as keyboard input, wrapped in those of
// the held modifiers (MK_SHIFT, MK_CONTROL, kAltModifier) so the core's key
// state matches; with Alt held the keys are system keys.
void PostKeyStroke(int virtualKey, unsigned modifiers);
// An item chosen in a combo box's open list, queued behind the input before
// it (CBN_SELCHANGE when read).
void PostItemChosen(HWND comboBox, int index);

}  // namespace platform
