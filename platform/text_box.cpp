// SPDX-License-Identifier: GPL-3.0-or-later
// Editing a peer's text the way Win32 edit controls do, shared by EDIT, the
// edit part of COMBOBOX and rich edit: positions, limits, typing, deletion.
#include <algorithm>
#include <cstring>

#include "platform/core.h"

namespace platform::core {
namespace {

LONG Width(char16_t unit, const TextRules& rules) {
  if (!rules.bytes) return 1;
  if (unit == u'\n' && rules.multiline) return 2;  // CR LF
  return unit < 0x80 ? 1 : 2;
}

bool IsLead(uint8_t byte) {
  return byte >= 0x81 && byte <= 0xFE;
}

}  // namespace

std::u16string ToPeerText(const std::string& gbk, bool multiline) {
  std::u16string wide = ToWide(gbk);
  if (!multiline) return wide;
  std::u16string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == u'\r') {
      if (i + 1 < wide.size() && wide[i + 1] == u'\n') ++i;
      out.push_back(u'\n');
    } else {
      out.push_back(wide[i]);
    }
  }
  return out;
}

std::string FromPeerText(const std::u16string& text, bool multiline) {
  if (!multiline) return ToGbk(text);
  std::u16string withBreaks;
  withBreaks.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    // A peer may keep CR LF itself; either way one break leaves as CR LF.
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    if (text[i] == u'\n' || text[i] == u'\r')
      withBreaks += u"\r\n";
    else
      withBreaks.push_back(text[i]);
  }
  return ToGbk(withBreaks);
}

}  // namespace platform::core

namespace platform {

std::string Backend::PeerBoxText(HWND window) const {
  return BoxTextOf(PeerText(window));
}

std::string Backend::BoxTextOf(const std::u16string& text) {
  return core::FromPeerText(text, true);
}

std::u16string Backend::PeerTextOf(const std::string& box) {
  return core::ToPeerText(box, true);
}

void Backend::SetPeerBoxText(HWND window, std::string text, size_t) {
  SetPeerText(window, PeerTextOf(text));
}

void Backend::ReplacePeerText(HWND window, size_t start, size_t end, const std::u16string& insert) {
  std::u16string text = PeerText(window);
  start = std::min(start, text.size());
  text.replace(start, std::min(end, text.size()) - start, insert);
  SetPeerText(window, text);
}

}  // namespace platform

namespace platform::core {

LONG PositionOf(const std::u16string& text, size_t unit, const TextRules& rules) {
  unit = std::min(unit, text.size());
  if (!rules.bytes) return static_cast<LONG>(unit);
  LONG position = 0;
  for (size_t i = 0; i < unit; ++i) position += Width(text[i], rules);
  return position;
}

size_t UnitOf(const std::u16string& text, LONG position, const TextRules& rules) {
  if (position < 0) return text.size();
  if (!rules.bytes) return std::min(static_cast<size_t>(position), text.size());
  size_t unit = 0;
  for (LONG at = 0; unit < text.size(); ++unit) {
    at += Width(text[unit], rules);
    if (at > position) break;  // a position inside a character falls to its start
  }
  return unit;
}

bool ReplaceSelection(HWND window, std::u16string insert, const TextRules& rules, bool limited,
                      bool* truncated) {
  Backend& peers = Peers();
  std::u16string text = peers.PeerText(window);
  CHARRANGE sel = peers.PeerSelection(window);
  size_t start = std::min(static_cast<size_t>(std::min(sel.cpMin, sel.cpMax)), text.size());
  size_t end = std::min(static_cast<size_t>(std::max(sel.cpMin, sel.cpMax)), text.size());
  if (!rules.multiline) {
    // A single line keeps only what comes before the first break.
    size_t cut = insert.find_first_of(u"\r\n");
    if (cut != std::u16string::npos && limited) insert.resize(cut);
  }
  if (limited) {
    LONG kept = PositionOf(text, text.size(), rules) -
                (PositionOf(text, end, rules) - PositionOf(text, start, rules));
    LONG room = std::max<LONG>(rules.limit - kept, 0);
    size_t fits = UnitOf(insert, room, rules);
    if (fits < insert.size()) {
      insert.resize(fits);
      if (truncated != nullptr) *truncated = true;
    }
  }
  if (insert.empty() && start == end) return false;
  LONG caret = static_cast<LONG>(start + insert.size());
  peers.ReplacePeerText(window, start, end, insert);
  peers.SetPeerSelection(window, {caret, caret});
  return true;
}

bool DeleteAtCaret(HWND window, bool forward, const TextRules& rules) {
  Backend& peers = Peers();
  CHARRANGE sel = peers.PeerSelection(window);
  if (sel.cpMin == sel.cpMax) {
    LONG size = static_cast<LONG>(peers.PeerText(window).size());
    if (forward ? sel.cpMax >= size : sel.cpMin <= 0) return false;
    if (forward)
      ++sel.cpMax;
    else
      --sel.cpMin;
    peers.SetPeerSelection(window, sel);
  }
  return ReplaceSelection(window, u"", rules, false);
}

bool MoveCaret(HWND window, int key, bool extend) {
  Backend& peers = Peers();
  if (peers.MovePeerCaret(window, key, extend)) return true;
  LONG size = static_cast<LONG>(peers.PeerText(window).size());
  CHARRANGE sel = peers.PeerSelection(window);
  LONG caret = sel.cpMax;
  switch (key) {
    case VK_LEFT:
      caret = (sel.cpMin != sel.cpMax && !extend) ? sel.cpMin : std::max<LONG>(caret - 1, 0);
      break;
    case VK_RIGHT:
      caret = (sel.cpMin != sel.cpMax && !extend) ? sel.cpMax : std::min(caret + 1, size);
      break;
    case VK_HOME:
      caret = 0;
      break;
    case VK_END:
      caret = size;
      break;
    default:
      return false;
  }
  peers.SetPeerSelection(window, {extend ? sel.cpMin : caret, caret});
  return true;
}

char16_t TakeAnsiChar(uint8_t& pendingLead, WPARAM byte) {
  uint8_t b = static_cast<uint8_t>(byte & 0xFF);
  if (pendingLead != 0) {
    char pair[2] = {static_cast<char>(pendingLead), static_cast<char>(b)};
    pendingLead = 0;
    std::u16string wide = ToWide(std::string(pair, 2));
    return wide.size() == 1 ? wide[0] : u'?';
  }
  if (IsLead(b)) {
    pendingLead = b;
    return 0;
  }
  return static_cast<char16_t>(b);
}

LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (size == 0 || out == nullptr) return 0;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<LRESULT>(n);
}

}  // namespace platform::core
