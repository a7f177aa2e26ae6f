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
  void Describe(PeerSpec& spec) const override {
    spec.textLimit = limit;
    spec.passwordChar = static_cast<char16_t>(static_cast<unsigned char>(passwordChar));
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
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      const char* text = cs != nullptr && cs->lpszName != nullptr ? cs->lpszName : "";
      Peers().SetPeerText(window, ToPeerText(text, state->multiline));
      Peers().SetPeerSelection(window, {0, 0});
      return 0;
    }
    case WM_SETTEXT:
      SetAll(window, reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_GETTEXT:
      return CopyText(FromPeerText(Peers().PeerText(window), state->multiline), wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(FromPeerText(Peers().PeerText(window), state->multiline).size());
    case WM_CHAR:
      Type(window, wParam);
      return 0;
    case WM_KEYDOWN:
      Press(window, wParam);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    case WM_SETFOCUS:
      NotifyParent(window, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      NotifyParent(window, EN_KILLFOCUS);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS |
             (state->multiline ? DLGC_WANTALLKEYS : 0);
    case EM_LIMITTEXT:
      state->limit =
          wParam != 0 ? static_cast<LONG>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE;
      RefreshPeer(window);
      return 0;
    case EM_GETLIMITTEXT:
      return state->limit;
    case EM_SETSEL:
      return SetSelection(window, static_cast<LONG>(wParam), static_cast<LONG>(lParam));
    case EM_GETSEL:
      return GetSelection(window, wParam, lParam);
    case EM_REPLACESEL: {
      std::string text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
      bool cut = false;
      if (ReplaceSelection(window, ToPeerText(text, state->multiline), RulesOf(*state), true, &cut))
        Changed(window, *state);
      if (cut) NotifyParent(window, EN_MAXTEXT);
      return 0;
    }
    case EM_SCROLLCARET:
      return TRUE;  // the peer keeps its caret in view
    case EM_SETPASSWORDCHAR:
      if (state->multiline) return 0;
      state->passwordChar = static_cast<char>(wParam);
      SetStyleBit(window, ES_PASSWORD, wParam != 0);
      return 0;
    case EM_GETPASSWORDCHAR:
      return static_cast<unsigned char>(state->passwordChar);
    case EM_SETREADONLY:
      SetStyleBit(window, ES_READONLY, wParam != 0);
      return TRUE;
    case EM_SETMODIFY:
      state->modified = wParam != 0;
      return 0;
    case EM_GETMODIFY:
      return state->modified ? TRUE : FALSE;
    case EM_GETLINECOUNT:
      return LineCount(window, *state);
    case EM_CANUNDO:
    case EM_UNDO:
      return FALSE;  // undo history belongs to the toolkit's peer
    case WM_CLEAR:
      if (!(w->style & ES_READONLY) && ReplaceSelection(window, u"", RulesOf(*state), false))
        Changed(window, *state);
      return 0;
    case kMsgPeerEdited:
      Changed(window, *state);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace platform::core
