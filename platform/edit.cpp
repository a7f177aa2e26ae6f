// SPDX-License-Identifier: GPL-3.0-or-later
// The EDIT control: its text and selection live in the peer; the limit,
// password character, read-only flag and the notifications live here.
#include <algorithm>
#include <cctype>

#include "platform/core.h"

namespace platform::core {
namespace {

struct EditState final : ControlState {
  PeerKind Kind() const override { return PeerKind::kEdit; }
  LONG limit = 32767;  // what Windows allows before EM_LIMITTEXT
  char passwordChar = 0;
  bool modified = false;
  uint8_t pendingLead = 0;
  bool multiline = false;
  void Describe(PeerSpec& shape) const override {
    shape.textLimit = limit;
    shape.passwordChar = static_cast<char16_t>(static_cast<unsigned char>(passwordChar));
  }
};

EditState* StateOf(HWND window) {
  Window* w = Find(window);
  return w ? dynamic_cast<EditState*>(w->control.get()) : nullptr;
}

TextRules RulesOf(const EditState& state) {
  return TextRules{state.multiline, true, state.limit};
}

void Changed(HWND window, EditState& state) {
  state.modified = true;
  NotifyParent(window, EN_UPDATE);
  NotifyParent(window, EN_CHANGE);
}

void SetAll(HWND window, const char* text) {
  EditState& state = *StateOf(window);
  Peers().SetPeerText(window, ToPeerText(text ? text : "", state.multiline));
  Peers().SetPeerSelection(window, {0, 0});
  state.modified = false;
  NotifyParent(window, EN_UPDATE);
  NotifyParent(window, EN_CHANGE);
}

void Type(HWND window, WPARAM code) {
  Window* w = Find(window);
  EditState& state = *StateOf(window);
  char16_t c = TakeAnsiChar(state.pendingLead, code);
  if (c == 0 || (w->style & ES_READONLY)) return;
  TextRules rules = RulesOf(state);
  bool changed = false;
  if (c == u'\b') {
    changed = DeleteAtCaret(window, false, rules);
  } else if (c == u'\r' || c == u'\n') {
    if (!state.multiline) return;  // a single line has no room for a break
    bool cut = false;
    changed = ReplaceSelection(window, u"\n", rules, true, &cut);
    if (cut) NotifyParent(window, EN_MAXTEXT);
  } else {
    if (c < u' ' && !(c == u'\t' && state.multiline)) return;
    if ((w->style & ES_NUMBER) && (c < u'0' || c > u'9')) return;
    if (c < 0x80 && (w->style & ES_UPPERCASE)) c = static_cast<char16_t>(std::toupper(c));
    if (c < 0x80 && (w->style & ES_LOWERCASE)) c = static_cast<char16_t>(std::tolower(c));
    bool cut = false;
    changed = ReplaceSelection(window, std::u16string(1, c), rules, true, &cut);
    if (cut) NotifyParent(window, EN_MAXTEXT);
  }
  if (changed) Changed(window, state);
}

void Press(HWND window, WPARAM key) {
  Window* w = Find(window);
  EditState& state = *StateOf(window);
  if (key == VK_DELETE) {
    if (!(w->style & ES_READONLY) && DeleteAtCaret(window, true, RulesOf(state)))
      Changed(window, state);
    return;
  }
  MoveCaret(window, static_cast<int>(key), GetKeyState(VK_SHIFT) < 0);
}

LRESULT SetSelection(HWND window, LONG start, LONG end) {
  EditState& state = *StateOf(window);
  std::u16string text = Peers().PeerText(window);
  TextRules rules = RulesOf(state);
  if (start == -1) {
    // Deselects, leaving the caret where the selection ended.
    LONG caret = Peers().PeerSelection(window).cpMax;
    Peers().SetPeerSelection(window, {caret, caret});
    return 0;
  }
  LONG from = static_cast<LONG>(UnitOf(text, start, rules));
  LONG to = static_cast<LONG>(UnitOf(text, end, rules));
  Peers().SetPeerSelection(window, {std::min(from, to), std::max(from, to)});
  return 0;
}

LRESULT GetSelection(HWND window, WPARAM startOut, LPARAM endOut) {
  EditState& state = *StateOf(window);
  std::u16string text = Peers().PeerText(window);
  CHARRANGE sel = Peers().PeerSelection(window);
  DWORD start =
      static_cast<DWORD>(PositionOf(text, static_cast<size_t>(sel.cpMin), RulesOf(state)));
  DWORD end = static_cast<DWORD>(PositionOf(text, static_cast<size_t>(sel.cpMax), RulesOf(state)));
  if (startOut != 0) *reinterpret_cast<DWORD*>(startOut) = start;
  if (endOut != 0) *reinterpret_cast<DWORD*>(endOut) = end;
  return MAKELONG(static_cast<WORD>(std::min<DWORD>(start, 0xFFFF)),
                  static_cast<WORD>(std::min<DWORD>(end, 0xFFFF)));
}

void SetStyleBit(HWND window, DWORD bit, bool on) {
  Window* w = Find(window);
  w->style = on ? (w->style | bit) : (w->style & ~bit);
  RefreshPeer(window);
}

LRESULT LineCount(HWND window, const EditState& state) {
  if (!state.multiline) return 1;
  std::u16string text = Peers().PeerText(window);
  return 1 + std::count(text.begin(), text.end(), u'\n');
}

LRESULT Create(HWND window, EditState& state, WPARAM, LPARAM lParam) {
  auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  const char* text = cs != nullptr && cs->lpszName != nullptr ? cs->lpszName : "";
  Peers().SetPeerText(window, ToPeerText(text, state.multiline));
  Peers().SetPeerSelection(window, {0, 0});
  return 0;
}

LRESULT ReplaceSel(HWND window, EditState& state, WPARAM, LPARAM lParam) {
  std::string text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
  bool cut = false;
  if (ReplaceSelection(window, ToPeerText(text, state.multiline), RulesOf(state), true, &cut))
    Changed(window, state);
  if (cut) NotifyParent(window, EN_MAXTEXT);
  return 0;
}

LRESULT SetPasswordChar(HWND window, EditState& state, WPARAM wParam, LPARAM) {
  if (state.multiline) return 0;
  state.passwordChar = static_cast<char>(wParam);
  SetStyleBit(window, ES_PASSWORD, wParam != 0);
  return 0;
}

LRESULT Clear(HWND window, EditState& state, WPARAM, LPARAM) {
  if (!(Find(window)->style & ES_READONLY) && ReplaceSelection(window, u"", RulesOf(state), false))
    Changed(window, state);
  return 0;
}

std::string FullText(HWND window, const EditState& state) {
  return FromPeerText(Peers().PeerText(window), state.multiline);
}

using Handler = MessageHandler<EditState>;
const Handler kHandlers[] = {
    {WM_CREATE, Create},
    {WM_SETTEXT,
     [](HWND h, EditState&, WPARAM, LPARAM l) -> LRESULT {
       SetAll(h, reinterpret_cast<const char*>(l));
       return TRUE;
     }},
    {WM_GETTEXT,
     [](HWND h, EditState& s, WPARAM w, LPARAM l) { return CopyText(FullText(h, s), w, l); }},
    {WM_GETTEXTLENGTH, [](HWND h, EditState& s, WPARAM,
                          LPARAM) { return static_cast<LRESULT>(FullText(h, s).size()); }},
    {WM_CHAR,
     [](HWND h, EditState&, WPARAM w, LPARAM) -> LRESULT {
       Type(h, w);
       return 0;
     }},
    {WM_KEYDOWN,
     [](HWND h, EditState&, WPARAM w, LPARAM) -> LRESULT {
       Press(h, w);
       return 0;
     }},
    {WM_LBUTTONDOWN,
     [](HWND h, EditState&, WPARAM, LPARAM) -> LRESULT {
       SetFocus(h);
       return 0;
     }},
    {WM_SETFOCUS,
     [](HWND h, EditState&, WPARAM, LPARAM) -> LRESULT {
       NotifyParent(h, EN_SETFOCUS);
       return 0;
     }},
    {WM_KILLFOCUS,
     [](HWND h, EditState&, WPARAM, LPARAM) -> LRESULT {
       NotifyParent(h, EN_KILLFOCUS);
       return 0;
     }},
    {WM_GETDLGCODE,
     [](HWND, EditState& s, WPARAM, LPARAM) -> LRESULT {
       return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS |
              (s.multiline ? DLGC_WANTALLKEYS : 0);
     }},
    {EM_LIMITTEXT,
     [](HWND h, EditState& s, WPARAM w, LPARAM) -> LRESULT {
       s.limit = w != 0 ? static_cast<LONG>(std::min<WPARAM>(w, 0x7FFFFFFE)) : 0x7FFFFFFE;
       RefreshPeer(h);
       return 0;
     }},
    {EM_GETLIMITTEXT, [](HWND, EditState& s, WPARAM, LPARAM) -> LRESULT { return s.limit; }},
    {EM_SETSEL,
     [](HWND h, EditState&, WPARAM w, LPARAM l) {
       return SetSelection(h, static_cast<LONG>(w), static_cast<LONG>(l));
     }},
    {EM_GETSEL, [](HWND h, EditState&, WPARAM w, LPARAM l) { return GetSelection(h, w, l); }},
    {EM_REPLACESEL, ReplaceSel},
    // The peer keeps its caret in view.
    {EM_SCROLLCARET, [](HWND, EditState&, WPARAM, LPARAM) -> LRESULT { return TRUE; }},
    {EM_SETPASSWORDCHAR, SetPasswordChar},
    {EM_GETPASSWORDCHAR,
     [](HWND, EditState& s, WPARAM, LPARAM) -> LRESULT {
       return static_cast<unsigned char>(s.passwordChar);
     }},
    {EM_SETREADONLY,
     [](HWND h, EditState&, WPARAM w, LPARAM) -> LRESULT {
       SetStyleBit(h, ES_READONLY, w != 0);
       return TRUE;
     }},
    {EM_SETMODIFY,
     [](HWND, EditState& s, WPARAM w, LPARAM) -> LRESULT {
       s.modified = w != 0;
       return 0;
     }},
    {EM_GETMODIFY,
     [](HWND, EditState& s, WPARAM, LPARAM) -> LRESULT { return s.modified ? TRUE : FALSE; }},
    {EM_GETLINECOUNT, [](HWND h, EditState& s, WPARAM, LPARAM) { return LineCount(h, s); }},
    // Undo history belongs to the toolkit's peer.
    {EM_CANUNDO, [](HWND, EditState&, WPARAM, LPARAM) -> LRESULT { return FALSE; }},
    {EM_UNDO, [](HWND, EditState&, WPARAM, LPARAM) -> LRESULT { return FALSE; }},
    {WM_CLEAR, Clear},
    {kMsgPeerEdited,
     [](HWND h, EditState& s, WPARAM, LPARAM) -> LRESULT {
       Changed(h, s);
       return 0;
     }},
};

}  // namespace

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(window);
  if (message == WM_NCCREATE && w != nullptr) {
    auto state = std::make_unique<EditState>();
    state->multiline = (w->style & ES_MULTILINE) != 0;
    if ((w->style & ES_PASSWORD) && !state->multiline) state->passwordChar = '*';
    w->control = std::move(state);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  EditState* state = StateOf(window);
  const Handler* handler = state != nullptr ? FindHandler(kHandlers, message) : nullptr;
  if (handler != nullptr) return handler->handle(window, *state, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace platform::core
