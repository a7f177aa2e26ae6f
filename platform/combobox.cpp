// SPDX-License-Identifier: GPL-3.0-or-later
// The COMBOBOX control: items, the current item and the edit part's text
// live in the peer; item data, heights, the edit limit and the
// notifications live here. A drop-down kind keeps its closed height as its
// window height and remembers the height asked for as the dropped list's.
#include <algorithm>
#include <cctype>

#include "platform/core.h"

namespace platform::core {
namespace {

struct ComboState final : ControlState {
  PeerKind Kind() const override { return PeerKind::kComboBox; }
  std::vector<LONG_PTR> itemData;
  int itemHeight = 0;
  int fieldHeight = 0;
  int droppedHeight = 0;
  LONG limit = 0x7FFFFFFE;
  bool dropped = false;
  uint8_t pendingLead = 0;
  DWORD kind = CBS_DROPDOWN;
  void Describe(PeerSpec& shape) const override { shape.textLimit = limit; }
};

ComboState* StateOf(HWND window) {
  Window* w = Find(window);
  return w ? dynamic_cast<ComboState*>(w->control.get()) : nullptr;
}

bool HasEdit(const ComboState& state) {
  return state.kind != CBS_DROPDOWNLIST;
}

int ClosedHeight(const ComboState& state) {
  return state.fieldHeight + 2 * GetSystemMetrics(SM_CYEDGE);
}

void MeasureItems(HWND window, ComboState& state) {
  TEXTMETRICA tm = Peers().MeasureFont(FontOf(Find(window)->font));
  state.itemHeight = tm.tmHeight + 2;
  state.fieldHeight = state.itemHeight + 4;
}

// Keeps a drop-down kind at its closed height.
void FitClosedHeight(HWND window, ComboState& state) {
  Window* w = Find(window);
  if (state.kind == CBS_SIMPLE || w->rect.bottom - w->rect.top == ClosedHeight(state)) return;
  SetWindowPos(window, nullptr, 0, 0, w->rect.right - w->rect.left, ClosedHeight(state),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string ItemText(HWND window, int index) {
  return ToGbk(Peers().ListItem(window, index));
}

bool ValidIndex(HWND window, WPARAM index) {
  return static_cast<int>(index) >= 0 && static_cast<int>(index) < Peers().ListCount(window);
}

// Case-insensitive search after `start`, wrapping round; exact or prefix.
LRESULT FindItem(HWND window, WPARAM start, LPARAM text, bool exact) {
  if (text == 0) return CB_ERR;
  std::string wanted = Upper(reinterpret_cast<const char*>(text));
  int count = Peers().ListCount(window);
  int first = static_cast<int>(start);
  if (first < -1 || first >= count) first = -1;
  for (int n = 1; n <= count; ++n) {
    int i = (first + n) % count;
    std::string item = Upper(ItemText(window, i));
    if (exact ? item == wanted : item.compare(0, wanted.size(), wanted) == 0) return i;
  }
  return CB_ERR;
}

void ShowSelectionInEdit(HWND window, const ComboState& state, int index) {
  if (!HasEdit(state)) return;
  std::u16string text = index >= 0 ? Peers().ListItem(window, index) : u"";
  Peers().SetPeerText(window, text);
  LONG end = static_cast<LONG>(text.size());
  Peers().SetPeerSelection(window, {0, end});
}

void Select(HWND window, const ComboState& state, int index) {
  Peers().SetListSelection(window, index);
  ShowSelectionInEdit(window, state, index);
}

void SetDropped(HWND window, ComboState& state, bool dropped) {
  if (state.kind == CBS_SIMPLE || state.dropped == dropped) return;
  state.dropped = dropped;
  NotifyParent(window, dropped ? CBN_DROPDOWN : CBN_CLOSEUP);
}

// A person picked `index`, in the list or with the keyboard.
void Choose(HWND window, ComboState& state, int index) {
  bool changed =
      ValidIndex(window, static_cast<WPARAM>(index)) && index != Peers().ListSelection(window);
  if (changed) {
    Select(window, state, index);
    NotifyParent(window, CBN_SELCHANGE);
  }
  if (state.dropped) {
    NotifyParent(window, CBN_SELENDOK);
    SetDropped(window, state, false);
  }
}

LRESULT Insert(HWND window, ComboState& state, int index, LPARAM text) {
  if (text == 0) return CB_ERR;
  int count = Peers().ListCount(window);
  std::string item = reinterpret_cast<const char*>(text);
  if (index == -1) index = count;
  if (index < 0 || index > count) return CB_ERR;
  Peers().InsertListItem(window, index, ToWide(item));
  state.itemData.insert(state.itemData.begin() + index, 0);
  return index;
}

int SortedPlace(HWND window, LPARAM text) {
  std::string item = Upper(text != 0 ? reinterpret_cast<const char*>(text) : "");
  int count = Peers().ListCount(window);
  int at = 0;
  while (at < count && Upper(ItemText(window, at)) <= item) ++at;
  return at;
}

void TypeInEdit(HWND window, ComboState& state, WPARAM code) {
  char16_t c = TakeAnsiChar(state.pendingLead, code);
  if (c == 0) return;
  TextRules rules{false, true, state.limit};
  bool changed = c == u'\b'
                     ? DeleteAtCaret(window, false, rules)
                     : (c >= u' ' && ReplaceSelection(window, std::u16string(1, c), rules, true));
  if (!changed) return;
  NotifyParent(window, CBN_EDITUPDATE);
  NotifyParent(window, CBN_EDITCHANGE);
}

// A drop-down list has no edit part: a typed letter picks the next item
// that starts with it.
void TypeInList(HWND window, ComboState& state, WPARAM code) {
  if (code < ' ' || code >= 0x80) return;
  char prefix[2] = {static_cast<char>(code), '\0'};
  LRESULT found = FindItem(window, static_cast<WPARAM>(Peers().ListSelection(window)),
                           reinterpret_cast<LPARAM>(prefix), false);
  if (found != CB_ERR) Choose(window, state, static_cast<int>(found));
}

void Press(HWND window, ComboState& state, WPARAM key) {
  int count = Peers().ListCount(window);
  int current = Peers().ListSelection(window);
  int target = current;
  switch (key) {
    case VK_DOWN:
      target = current < 0 ? 0 : current + 1;
      break;
    case VK_UP:
      target = current < 0 ? 0 : current - 1;
      break;
    case VK_PRIOR:
    case VK_HOME:
      if (HasEdit(state) && key == VK_HOME) break;
      target = 0;
      break;
    case VK_NEXT:
    case VK_END:
      if (HasEdit(state) && key == VK_END) break;
      target = count - 1;
      break;
    case VK_F4:
      SetDropped(window, state, !state.dropped);
      return;
  }
  if (HasEdit(state) && MoveCaret(window, static_cast<int>(key), GetKeyState(VK_SHIFT) < 0)) return;
  if (count == 0 || target == current) return;
  Choose(window, state, std::clamp(target, 0, count - 1));
}

LRESULT SetText(HWND window, ComboState& state, LPARAM text) {
  if (!HasEdit(state)) {
    LRESULT found = FindItem(window, static_cast<WPARAM>(-1), text, true);
    if (found == CB_ERR) return CB_ERR;
    Select(window, state, static_cast<int>(found));
    return TRUE;
  }
  Peers().SetPeerText(window, ToWide(text != 0 ? reinterpret_cast<const char*>(text) : ""));
  Peers().SetPeerSelection(window, {0, 0});
  return TRUE;
}

std::string CurrentText(HWND window, const ComboState& state) {
  if (HasEdit(state)) return ToGbk(Peers().PeerText(window));
  int current = Peers().ListSelection(window);
  return current >= 0 ? ItemText(window, current) : std::string();
}

LRESULT ListMessage(HWND window, ComboState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(window);
  switch (message) {
    case CB_ADDSTRING:
      return Insert(window, state, (w->style & CBS_SORT) ? SortedPlace(window, lParam) : -1,
                    lParam);
    case CB_INSERTSTRING:
      return Insert(window, state, static_cast<int>(wParam), lParam);
    case CB_DELETESTRING:
      if (!ValidIndex(window, wParam)) return CB_ERR;
      Peers().DeleteListItem(window, static_cast<int>(wParam));
      state.itemData.erase(state.itemData.begin() + static_cast<std::ptrdiff_t>(wParam));
      return Peers().ListCount(window);
    case CB_RESETCONTENT:
      while (Peers().ListCount(window) > 0) Peers().DeleteListItem(window, 0);
      state.itemData.clear();
      Select(window, state, -1);
      return CB_OKAY;
    case CB_GETCOUNT:
      return Peers().ListCount(window);
    case CB_SETCURSEL:
      if (!ValidIndex(window, wParam)) {
        Select(window, state, -1);
        return CB_ERR;
      }
      Select(window, state, static_cast<int>(wParam));
      return static_cast<LRESULT>(wParam);
    case CB_GETCURSEL:
      return Peers().ListSelection(window);
    case CB_GETLBTEXT:
      if (!ValidIndex(window, wParam) || lParam == 0) return CB_ERR;
      return CopyText(ItemText(window, static_cast<int>(wParam)), static_cast<WPARAM>(-1), lParam);
    case CB_GETLBTEXTLEN:
      if (!ValidIndex(window, wParam)) return CB_ERR;
      return static_cast<LRESULT>(ItemText(window, static_cast<int>(wParam)).size());
    case CB_SETITEMDATA:
      if (!ValidIndex(window, wParam)) return CB_ERR;
      state.itemData[wParam] = lParam;
      return TRUE;
    case CB_GETITEMDATA:
      if (!ValidIndex(window, wParam)) return CB_ERR;
      return state.itemData[wParam];
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
      return FindItem(window, wParam, lParam, message == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
      LRESULT found = FindItem(window, wParam, lParam, false);
      if (found != CB_ERR) Select(window, state, static_cast<int>(found));
      return found;
    }
  }
  return CB_ERR;
}

LRESULT ShapeMessage(HWND window, ComboState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case CB_SETITEMHEIGHT:
      if (lParam <= 0 || lParam > 32767) return CB_ERR;
      if (static_cast<int>(wParam) == -1) {
        state.fieldHeight = static_cast<int>(lParam);
        FitClosedHeight(window, state);
      } else {
        state.itemHeight = static_cast<int>(lParam);
      }
      return 0;
    case CB_GETITEMHEIGHT:
      return static_cast<int>(wParam) == -1 ? state.fieldHeight : state.itemHeight;
    case CB_LIMITTEXT:
      state.limit =
          wParam != 0 ? static_cast<LONG>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE;
      RefreshPeer(window);
      return TRUE;
    case CB_SHOWDROPDOWN:
      SetDropped(window, state, wParam != 0);
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return state.dropped ? TRUE : FALSE;
    case CB_GETEDITSEL: {
      if (!HasEdit(state)) return CB_ERR;
      std::u16string text = Peers().PeerText(window);
      CHARRANGE sel = Peers().PeerSelection(window);
      TextRules rules{false, true, state.limit};
      DWORD start = static_cast<DWORD>(PositionOf(text, static_cast<size_t>(sel.cpMin), rules));
      DWORD end = static_cast<DWORD>(PositionOf(text, static_cast<size_t>(sel.cpMax), rules));
      if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = start;
      if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = end;
      return MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end));
    }
    case CB_SETEDITSEL: {
      if (!HasEdit(state)) return CB_ERR;
      std::u16string text = Peers().PeerText(window);
      TextRules rules{false, true, state.limit};
      auto start = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
      auto end = static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lParam)));
      LONG from = start < 0 ? static_cast<LONG>(text.size())
                            : static_cast<LONG>(UnitOf(text, start, rules));
      LONG to =
          end < 0 ? static_cast<LONG>(text.size()) : static_cast<LONG>(UnitOf(text, end, rules));
      Peers().SetPeerSelection(window, {std::min(from, to), std::max(from, to)});
      return TRUE;
    }
  }
  return ListMessage(window, state, message, wParam, lParam);
}

LRESULT Create(HWND window, ComboState& state, WPARAM, LPARAM) {
  MeasureItems(window, state);
  RECT rect = Find(window)->rect;
  state.droppedHeight = static_cast<int>(rect.bottom - rect.top);
  FitClosedHeight(window, state);
  return 0;
}

// The height asked for is the dropped list's; the window keeps its closed one.
LRESULT PositionChanging(HWND, ComboState& state, WPARAM, LPARAM lParam) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
  if (state.kind != CBS_SIMPLE && !(pos->flags & SWP_NOSIZE) && pos->cy != ClosedHeight(state)) {
    state.droppedHeight = pos->cy;
    pos->cy = ClosedHeight(state);
  }
  return 0;
}

LRESULT SetFont(HWND window, ComboState& state, WPARAM wParam, LPARAM lParam) {
  DefWindowProcA(window, WM_SETFONT, wParam, lParam);
  MeasureItems(window, state);
  FitClosedHeight(window, state);
  return 0;
}

using Handler = MessageHandler<ComboState>;
const Handler kHandlers[] = {
    {WM_CREATE, Create},
    {WM_WINDOWPOSCHANGING, PositionChanging},
    {WM_SETFONT, SetFont},
    {WM_SETTEXT, [](HWND h, ComboState& s, WPARAM, LPARAM l) { return SetText(h, s, l); }},
    {WM_GETTEXT,
     [](HWND h, ComboState& s, WPARAM w, LPARAM l) { return CopyText(CurrentText(h, s), w, l); }},
    {WM_GETTEXTLENGTH, [](HWND h, ComboState& s, WPARAM,
                          LPARAM) { return static_cast<LRESULT>(CurrentText(h, s).size()); }},
    {WM_LBUTTONDOWN,
     [](HWND h, ComboState& s, WPARAM, LPARAM) -> LRESULT {
       SetFocus(h);
       SetDropped(h, s, !s.dropped);
       return 0;
     }},
    {WM_CHAR,
     [](HWND h, ComboState& s, WPARAM w, LPARAM) -> LRESULT {
       if (HasEdit(s))
         TypeInEdit(h, s, w);
       else
         TypeInList(h, s, w);
       return 0;
     }},
    {WM_KEYDOWN,
     [](HWND h, ComboState& s, WPARAM w, LPARAM) -> LRESULT {
       Press(h, s, w);
       return 0;
     }},
    {WM_SETFOCUS,
     [](HWND h, ComboState&, WPARAM, LPARAM) -> LRESULT {
       NotifyParent(h, CBN_SETFOCUS);
       return 0;
     }},
    {WM_KILLFOCUS,
     [](HWND h, ComboState& s, WPARAM, LPARAM) -> LRESULT {
       SetDropped(h, s, false);
       NotifyParent(h, CBN_KILLFOCUS);
       return 0;
     }},
    {WM_GETDLGCODE,
     [](HWND, ComboState&, WPARAM, LPARAM) -> LRESULT { return DLGC_WANTARROWS | DLGC_WANTCHARS; }},
    {kMsgChooseItem,
     [](HWND h, ComboState& s, WPARAM w, LPARAM) -> LRESULT {
       Choose(h, s, static_cast<int>(w));
       return 0;
     }},
    {kMsgPeerEdited,
     [](HWND h, ComboState&, WPARAM, LPARAM) -> LRESULT {
       NotifyParent(h, CBN_EDITUPDATE);
       NotifyParent(h, CBN_EDITCHANGE);
       return 0;
     }},
};

}  // namespace

LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(window);
  if (message == WM_NCCREATE && w != nullptr) {
    auto state = std::make_unique<ComboState>();
    state->kind = (w->style & 3) != 0 ? (w->style & 3) : CBS_SIMPLE;
    w->control = std::move(state);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  ComboState* state = StateOf(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (const Handler* handler = FindHandler(kHandlers, message))
    return handler->handle(window, *state, wParam, lParam);
  if (message >= CB_GETEDITSEL && message <= CB_FINDSTRINGEXACT)
    return ShapeMessage(window, *state, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace platform::core
