// SPDX-License-Identifier: GPL-3.0-or-later
// The rich edit control ("RichEdit20A", "RICHEDIT"), available once its
// library is loaded. The text and selection live in the peer; positions
// count characters and a line break as one. Streams move the text in and
// out in chunks through the caller's EDITSTREAM callback.
#include <algorithm>
#include <cstring>

#include "platform/core.h"

namespace platform::core {
namespace {

constexpr LONG kStreamChunk = 4096;
constexpr DWORD kOptionStyles = ECO_AUTOVSCROLL | ECO_AUTOHSCROLL | ECO_NOHIDESEL | ECO_READONLY |
                                ECO_WANTRETURN | ECO_SAVESEL | ECO_SELECTIONBAR;

struct RichState final : ControlState {
  PeerKind Kind() const override { return PeerKind::kRichEdit; }
  LONG limit = 32767;  // until EM_EXLIMITTEXT, as Windows has it
  DWORD eventMask = 0;
  DWORD options = 0;
  bool modified = false;
  bool multiline = false;
  uint8_t pendingLead = 0;
  COLORREF background = 0;
  CHARFORMATA format{};
  int zoomNumerator = 0;  // 0/0: no zoom
  int zoomDenominator = 0;
  void Describe(PeerSpec& shape) const override { shape.textLimit = limit; }
};

// A ratio strictly between 1/64 and 64, or 0/0 for none.
bool ValidZoom(int numerator, int denominator) {
  if (numerator == 0 && denominator == 0) return true;
  if (numerator <= 0 || denominator <= 0) return false;
  return static_cast<int64_t>(numerator) * 64 > denominator &&
         numerator < static_cast<int64_t>(denominator) * 64;
}

RichState* StateOf(HWND window) {
  Window* w = Find(window);
  return w ? dynamic_cast<RichState*>(w->control.get()) : nullptr;
}

TextRules RulesOf(const RichState& state) {
  return TextRules{state.multiline, false, state.limit};
}

bool ReadOnly(HWND window) {
  return (Find(window)->style & ES_READONLY) != 0;
}

void Changed(HWND window, RichState& state) {
  state.modified = true;
  if (state.eventMask & ENM_UPDATE) NotifyParent(window, EN_UPDATE);
  if (StateOf(window) != nullptr && (state.eventMask & ENM_CHANGE)) NotifyParent(window, EN_CHANGE);
}

void SelectionChanged(HWND window, const RichState& state) {
  Window* w = Find(window);
  if (!(state.eventMask & ENM_SELCHANGE) || w->parent == nullptr) return;
  SELCHANGE change{};
  change.nmhdr = {window, static_cast<UINT_PTR>(w->id), EN_SELCHANGE};
  change.chrg = Peers().PeerSelection(window);
  change.seltyp = change.chrg.cpMin == change.chrg.cpMax ? SEL_EMPTY : SEL_TEXT;
  Send(w->parent, WM_NOTIFY, static_cast<WPARAM>(w->id), reinterpret_cast<LPARAM>(&change));
}

LONG Select(HWND window, const RichState& state, LONG start, LONG end) {
  LONG size = static_cast<LONG>(Peers().PeerTextLength(window));
  CHARRANGE range;
  if (start == -1) {
    LONG caret = Peers().PeerSelection(window).cpMax;
    range = {caret, caret};
  } else {
    if (end == -1 || end > size) end = size;
    start = std::clamp<LONG>(start, 0, size);
    end = std::max<LONG>(end, 0);
    range = {std::min(start, end), std::max(start, end)};
  }
  CHARRANGE before = Peers().PeerSelection(window);
  Peers().SetPeerSelection(window, range);
  if (before.cpMin != range.cpMin || before.cpMax != range.cpMax) SelectionChanged(window, state);
  return range.cpMax;
}

// Replaces the whole text; returns its length in characters.
size_t SetAll(HWND window, RichState& state, const std::string& gbk) {
  size_t units = 0;
  std::string text = CanonicalBoxText(gbk, &units);
  Peers().SetPeerBoxText(window, std::move(text), units);
  Peers().SetPeerSelection(window, {0, 0});
  Changed(window, state);
  return units;
}

void Type(HWND window, RichState& state, WPARAM code) {
  char16_t c = TakeAnsiChar(state.pendingLead, code);
  if (c == 0 || ReadOnly(window)) return;
  bool changed = false;
  if (c == u'\b') {
    changed = DeleteAtCaret(window, false, RulesOf(state));
  } else if (c == u'\r' || c == u'\n') {
    // A multi-line box takes Enter as a line break.
    changed = state.multiline && ReplaceSelection(window, u"\n", RulesOf(state), true);
  } else if (c >= u' ' || c == u'\t') {
    changed = ReplaceSelection(window, std::u16string(1, c), RulesOf(state), true);
  }
  if (changed) Changed(window, state);
}

std::string SelectedOrAll(HWND window, bool selection) {
  if (!selection) return Peers().PeerBoxText(window);
  std::u16string text = Peers().PeerText(window);
  CHARRANGE sel = Peers().PeerSelection(window);
  size_t from = std::min(static_cast<size_t>(sel.cpMin), text.size());
  size_t to = std::min(static_cast<size_t>(sel.cpMax), text.size());
  return FromPeerText(text.substr(from, to - from), true);
}

LRESULT StreamIn(HWND window, RichState& state, WPARAM format, EDITSTREAM* stream) {
  if (stream == nullptr || stream->pfnCallback == nullptr) return 0;
  stream->dwError = 0;
  std::string data;
  std::vector<BYTE> chunk(kStreamChunk);
  for (;;) {
    LONG got = 0;
    DWORD error = stream->pfnCallback(stream->dwCookie, chunk.data(), kStreamChunk, &got);
    if (error != 0) {
      stream->dwError = error;
      break;
    }
    if (got <= 0) break;
    data.append(reinterpret_cast<const char*>(chunk.data()),
                static_cast<size_t>(std::min(got, kStreamChunk)));  // never past the buffer
  }
  bool rtf = (format & 0xFF) == SF_RTF && data.compare(0, 5, "{\\rtf") == 0;
  if (rtf) data = RtfToText(data);
  if (!(format & SFF_SELECTION)) return static_cast<LRESULT>(SetAll(window, state, data));
  std::u16string text = ToPeerText(data, true);
  ReplaceSelection(window, text, RulesOf(state), false);
  Changed(window, state);
  return static_cast<LRESULT>(text.size());
}

LRESULT StreamOut(HWND window, const RichState& state, WPARAM format, EDITSTREAM* stream) {
  if (stream == nullptr || stream->pfnCallback == nullptr) return 0;
  stream->dwError = 0;
  std::string text = SelectedOrAll(window, (format & SFF_SELECTION) != 0);
  if ((format & 0xFF) == SF_RTF) text = TextToRtf(text, state.format);
  // The reader is given the chunks in place: the text is this call's own copy.
  size_t at = 0;
  while (at < text.size()) {
    LONG offer = static_cast<LONG>(std::min<size_t>(kStreamChunk, text.size() - at));
    LONG taken = 0;
    DWORD error = stream->pfnCallback(stream->dwCookie, reinterpret_cast<LPBYTE>(text.data() + at),
                                      offer, &taken);
    if (error != 0) {
      stream->dwError = error;
      break;
    }
    if (taken <= 0) break;  // the reader wants no more
    at += static_cast<size_t>(std::min(taken, offer));
  }
  return static_cast<LRESULT>(at);
}

LRESULT SetCharFormat(HWND window, RichState& state, const CHARFORMATA* format) {
  if (format == nullptr || format->cbSize < sizeof(CHARFORMATA)) return 0;
  // Plain text has one format: every kind of change sets the default.
  CHARFORMATA& f = state.format;
  DWORD mask = format->dwMask;
  DWORD effects = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED;
  f.dwEffects = (f.dwEffects & ~(mask & effects)) | (format->dwEffects & mask & effects);
  if (mask & CFM_COLOR)
    f.dwEffects = (f.dwEffects & ~CFE_AUTOCOLOR) | (format->dwEffects & CFE_AUTOCOLOR);
  if (mask & CFM_SIZE) f.yHeight = format->yHeight;
  if (mask & CFM_OFFSET) f.yOffset = format->yOffset;
  if (mask & CFM_COLOR) f.crTextColor = format->crTextColor;
  if (mask & CFM_CHARSET) f.bCharSet = format->bCharSet;
  if (mask & CFM_FACE) {
    std::memcpy(f.szFaceName, format->szFaceName, LF_FACESIZE);
    f.szFaceName[LF_FACESIZE - 1] = '\0';
    f.bPitchAndFamily = format->bPitchAndFamily;
  }
  f.dwMask |= mask;
  LOGFONTA font{};
  font.lfHeight = -(f.yHeight * 96 + 720) / 1440;  // twips to pixels at 96 dpi
  font.lfWeight = (f.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (f.dwEffects & CFE_ITALIC) ? 1 : 0;
  font.lfUnderline = (f.dwEffects & CFE_UNDERLINE) ? 1 : 0;
  font.lfStrikeOut = (f.dwEffects & CFE_STRIKEOUT) ? 1 : 0;
  font.lfCharSet = f.bCharSet;
  std::memcpy(font.lfFaceName, f.szFaceName, LF_FACESIZE);
  Peers().SetPeerFont(window, font);
  return TRUE;
}

LRESULT SetOptions(HWND window, RichState& state, WPARAM operation, DWORD options) {
  switch (operation) {
    case ECOOP_SET:
      state.options = options;
      break;
    case ECOOP_OR:
      state.options |= options;
      break;
    case ECOOP_AND:
      state.options &= options;
      break;
    case ECOOP_XOR:
      state.options ^= options;
      break;
    default:
      return 0;
  }
  Window* w = Find(window);
  w->style = (w->style & ~kOptionStyles) | (state.options & kOptionStyles);
  RefreshPeer(window);
  return state.options;
}

LRESULT Create(HWND window, RichState&, WPARAM, LPARAM lParam) {
  auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  const char* text = cs != nullptr && cs->lpszName != nullptr ? cs->lpszName : "";
  Peers().SetPeerText(window, ToPeerText(text, true));
  Peers().SetPeerSelection(window, {0, 0});
  return 0;
}

LRESULT KeyDown(HWND window, RichState& state, WPARAM key, LPARAM) {
  if (key == VK_DELETE) {
    if (!ReadOnly(window) && DeleteAtCaret(window, true, RulesOf(state))) Changed(window, state);
  } else if (MoveCaret(window, static_cast<int>(key), GetKeyState(VK_SHIFT) < 0)) {
    SelectionChanged(window, state);
  }
  return 0;
}

LRESULT Limit(HWND window, RichState& state, LPARAM limit) {
  state.limit = limit > 0 ? static_cast<LONG>(std::min<LPARAM>(limit, 0x7FFFFFFF)) : 65536;
  RefreshPeer(window);
  return 0;
}

LRESULT GetSel(HWND window, RichState&, WPARAM wParam, LPARAM lParam) {
  CHARRANGE sel = Peers().PeerSelection(window);
  if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(sel.cpMin);
  if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(sel.cpMax);
  return MAKELONG(static_cast<WORD>(std::min<LONG>(sel.cpMin, 0xFFFF)),
                  static_cast<WORD>(std::min<LONG>(sel.cpMax, 0xFFFF)));
}

LRESULT ReplaceSel(HWND window, RichState& state, WPARAM, LPARAM lParam) {
  std::string text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
  if (ReplaceSelection(window, ToPeerText(text, true), RulesOf(state), true))
    Changed(window, state);
  return 0;
}

LRESULT GetCharFormat(HWND, RichState& state, WPARAM, LPARAM lParam) {
  auto* out = reinterpret_cast<CHARFORMATA*>(lParam);
  if (out == nullptr || out->cbSize < sizeof(CHARFORMATA)) return 0;
  UINT size = out->cbSize;
  *out = state.format;
  out->cbSize = size;
  return state.format.dwMask;
}

LRESULT SetBackground(HWND window, RichState& state, WPARAM useSystem, LPARAM color) {
  COLORREF old = state.background;
  state.background = useSystem ? GetSysColor(COLOR_WINDOW) : static_cast<COLORREF>(color);
  Peers().SetPeerBackground(window, state.background);
  return old;
}

using Handler = MessageHandler<RichState>;
const Handler kHandlers[] = {
    {WM_CREATE, Create},
    {WM_SETTEXT,
     [](HWND h, RichState& s, WPARAM, LPARAM l) -> LRESULT {
       SetAll(h, s, l != 0 ? reinterpret_cast<const char*>(l) : "");
       s.modified = false;
       return TRUE;
     }},
    {WM_GETTEXT, [](HWND h, RichState&, WPARAM w,
                    LPARAM l) { return CopyText(SelectedOrAll(h, false), w, l); }},
    {WM_GETTEXTLENGTH, [](HWND h, RichState&, WPARAM,
                          LPARAM) { return static_cast<LRESULT>(SelectedOrAll(h, false).size()); }},
    {WM_CHAR,
     [](HWND h, RichState& s, WPARAM w, LPARAM) -> LRESULT {
       Type(h, s, w);
       return 0;
     }},
    {WM_KEYDOWN, KeyDown},
    {WM_LBUTTONDOWN,
     [](HWND h, RichState&, WPARAM, LPARAM) -> LRESULT {
       SetFocus(h);
       return 0;
     }},
    {WM_GETDLGCODE,
     [](HWND, RichState& s, WPARAM, LPARAM) -> LRESULT {
       return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL |
              (s.multiline ? DLGC_WANTALLKEYS : 0);
     }},
    {WM_SETFOCUS,
     [](HWND h, RichState&, WPARAM, LPARAM) -> LRESULT {
       NotifyParent(h, EN_SETFOCUS);
       return 0;
     }},
    {WM_KILLFOCUS,
     [](HWND h, RichState&, WPARAM, LPARAM) -> LRESULT {
       NotifyParent(h, EN_KILLFOCUS);
       return 0;
     }},
    {EM_EXLIMITTEXT, [](HWND h, RichState& s, WPARAM, LPARAM l) { return Limit(h, s, l); }},
    {EM_LIMITTEXT,
     [](HWND h, RichState& s, WPARAM w, LPARAM) { return Limit(h, s, static_cast<LPARAM>(w)); }},
    {EM_GETLIMITTEXT, [](HWND, RichState& s, WPARAM, LPARAM) -> LRESULT { return s.limit; }},
    {EM_EXSETSEL,
     [](HWND h, RichState& s, WPARAM, LPARAM l) -> LRESULT {
       auto* range = reinterpret_cast<const CHARRANGE*>(l);
       return range ? Select(h, s, range->cpMin, range->cpMax) : 0;
     }},
    {EM_EXGETSEL,
     [](HWND h, RichState&, WPARAM, LPARAM l) -> LRESULT {
       if (l != 0) *reinterpret_cast<CHARRANGE*>(l) = Peers().PeerSelection(h);
       return 0;
     }},
    {EM_SETSEL,
     [](HWND h, RichState& s, WPARAM w, LPARAM l) -> LRESULT {
       Select(h, s, static_cast<LONG>(w), static_cast<LONG>(l));
       return 0;
     }},
    {EM_GETSEL, GetSel},
    {EM_REPLACESEL, ReplaceSel},
    {EM_SETCHARFORMAT,
     [](HWND h, RichState& s, WPARAM, LPARAM l) {
       return SetCharFormat(h, s, reinterpret_cast<const CHARFORMATA*>(l));
     }},
    {EM_GETCHARFORMAT, GetCharFormat},
    {EM_SETBKGNDCOLOR, SetBackground},
    {EM_SETEVENTMASK,
     [](HWND, RichState& s, WPARAM, LPARAM l) -> LRESULT {
       DWORD old = s.eventMask;
       s.eventMask = static_cast<DWORD>(l);
       return old;
     }},
    {EM_GETEVENTMASK, [](HWND, RichState& s, WPARAM, LPARAM) -> LRESULT { return s.eventMask; }},
    {EM_SETOPTIONS, [](HWND h, RichState& s, WPARAM w,
                       LPARAM l) { return SetOptions(h, s, w, static_cast<DWORD>(l)); }},
    {EM_GETOPTIONS, [](HWND, RichState& s, WPARAM, LPARAM) -> LRESULT { return s.options; }},
    {EM_SETREADONLY,
     [](HWND h, RichState& s, WPARAM w, LPARAM) -> LRESULT {
       SetOptions(h, s, w ? ECOOP_OR : ECOOP_AND, w ? ECO_READONLY : ~ECO_READONLY);
       return TRUE;
     }},
    {EM_SETMODIFY,
     [](HWND, RichState& s, WPARAM w, LPARAM) -> LRESULT {
       s.modified = w != 0;
       return 0;
     }},
    {EM_GETMODIFY,
     [](HWND, RichState& s, WPARAM, LPARAM) -> LRESULT { return s.modified ? TRUE : FALSE; }},
    {EM_STREAMIN, [](HWND h, RichState& s, WPARAM w,
                     LPARAM l) { return StreamIn(h, s, w, reinterpret_cast<EDITSTREAM*>(l)); }},
    {EM_STREAMOUT, [](HWND h, RichState& s, WPARAM w,
                      LPARAM l) { return StreamOut(h, s, w, reinterpret_cast<EDITSTREAM*>(l)); }},
    {EM_GETTEXTLENGTHEX, [](HWND h, RichState&, WPARAM,
                            LPARAM) { return static_cast<LRESULT>(Peers().PeerTextLength(h)); }},
    {EM_SETZOOM,
     [](HWND h, RichState& s, WPARAM w, LPARAM l) -> LRESULT {
       int numerator = static_cast<int>(w), denominator = static_cast<int>(l);
       if (!ValidZoom(numerator, denominator)) return FALSE;
       s.zoomNumerator = numerator;
       s.zoomDenominator = denominator;
       Peers().SetPeerZoom(h, numerator, denominator);
       return TRUE;
     }},
    {EM_GETZOOM,
     [](HWND, RichState& s, WPARAM w, LPARAM l) -> LRESULT {
       if (w == 0 || l == 0) return FALSE;
       *reinterpret_cast<int*>(w) = s.zoomNumerator;
       *reinterpret_cast<int*>(l) = s.zoomDenominator;
       return TRUE;
     }},
    // The peer keeps its caret in view.
    {EM_SCROLLCARET, [](HWND, RichState&, WPARAM, LPARAM) -> LRESULT { return TRUE; }},
    {kMsgPeerEdited,
     [](HWND h, RichState& s, WPARAM, LPARAM) -> LRESULT {
       Changed(h, s);
       return 0;
     }},
};

std::unique_ptr<RichState> NewState(DWORD style) {
  auto state = std::make_unique<RichState>();
  state->multiline = (style & ES_MULTILINE) != 0;
  state->options = style & kOptionStyles;
  state->background = GetSysColor(COLOR_WINDOW);
  state->format.cbSize = sizeof(CHARFORMATA);
  state->format.dwMask = CFM_SIZE | CFM_FACE | CFM_CHARSET | CFM_COLOR;
  state->format.dwEffects = CFE_AUTOCOLOR;
  state->format.yHeight = 180;
  state->format.bCharSet = GB2312_CHARSET;
  std::strcpy(state->format.szFaceName, DefaultGuiFont().lfFaceName);
  return state;
}

}  // namespace

LRESULT RichEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(window);
  if (message == WM_NCCREATE && w != nullptr) {
    w->control = NewState(w->style);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  RichState* state = StateOf(window);
  const Handler* handler = state != nullptr ? FindHandler(kHandlers, message) : nullptr;
  if (handler != nullptr) return handler->handle(window, *state, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace platform::core

namespace platform {

void PeerZoomed(HWND window, int numerator, int denominator) {
  core::RichState* state = core::StateOf(window);
  if (state == nullptr || !core::ValidZoom(numerator, denominator)) return;
  state->zoomNumerator = numerator;
  state->zoomDenominator = denominator;
}

}  // namespace platform
