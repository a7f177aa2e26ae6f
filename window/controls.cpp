// SPDX-License-Identifier: GPL-3.0-or-later
// The five control types: each turns its stored settings into a system
// control (class, style words, set-up messages in a fixed order) and keeps
// the few properties that live in the control rather than in the record.
#include <algorithm>
#include <memory>

#include "platform/platform.h"
#include "window/unit.h"
#include "window/unit_properties.h"

namespace molvane::window {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;

// Makes the native window of a new control, or fails leaving nothing behind.
UnitObject* Make(std::unique_ptr<UnitObject> unit, const CreateRequest& r, const char* className,
                 const char* text, DWORD style, int height) {
  unit->hwnd =
      CreateWindowExA(0, className, text, style | r.baseStyle | kChild, r.left, r.top, r.width,
                      height, r.parent, reinterpret_cast<HMENU>(r.childIdOrMenu), nullptr, nullptr);
  if (unit->hwnd == nullptr) {
    if (unit->background != nullptr) DeleteObject(unit->background);
    return nullptr;
  }
  Attach(unit.get(), ControlProcedure);
  return unit.release();
}

// The settings of a new unit, or null when its TypeData cannot be read.
std::unique_ptr<UnitObject> Start(const CreateRequest& r, const TypeBehaviour& behaviour) {
  auto unit = std::make_unique<UnitObject>();
  unit->windowId = r.windowId;
  unit->unitId = r.unitId;
  unit->behaviour = &behaviour;
  if (!ReadSettings(*behaviour.layout, *r.typeData, &unit->settings)) return nullptr;
  return unit;
}

void SetFont(UnitObject* unit, int32_t fontIndex) {
  unit->font = MakeFont(unit, unit->Bytes(fontIndex));
  HGDIOBJ font = unit->font != nullptr ? unit->font : GetStockObject(DEFAULT_GUI_FONT);
  SendMessageA(unit->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// Choice settings pick one style word from a short list.
DWORD Pick(int64_t choice, std::initializer_list<DWORD> styles) {
  if (choice < 0 || static_cast<size_t>(choice) >= styles.size()) return 0;
  return styles.begin()[choice];
}

// ---- EditBox ----
void GetWindowText(UnitObject* unit, PropertyValue* out) {
  int length = GetWindowTextLengthA(unit->hwnd);
  unit->scratch.assign(static_cast<size_t>(length) + 1, '\0');
  length = GetWindowTextA(unit->hwnd, unit->scratch.data(), length + 1);
  unit->scratch.resize(static_cast<size_t>(std::max(length, 0)));
  out->first = reinterpret_cast<uintptr_t>(unit->scratch.c_str());
  out->second = unit->scratch.size();
}

void SetEditContent(UnitObject* unit, const PropertyValue& in) {
  unit->muted = true;
  SetWindowTextA(unit->hwnd, reinterpret_cast<const char*>(in.first));
  unit->muted = false;
  const auto id = static_cast<WORD>(GetWindowLongPtrA(unit->hwnd, GWLP_ID));
  SendMessageA(unit->hwnd, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE),
               reinterpret_cast<LPARAM>(unit->hwnd));
}

const LiveProperty kEditLive[] = {{kEditContent, GetWindowText, SetEditContent}};
const TypeBehaviour kEditBehaviour = {kEditBoxType, &kEditBoxLayout, kEditLive, 1};

DWORD EditStyle(const UnitObject& u) {
  DWORD style = u.Word(kEditHideSelection) == 0 ? ES_NOHIDESEL : 0;
  if (u.Word(kEditMultiLine) != 0) {
    style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    style |= Pick(u.Word(kEditScrollBars), {0, WS_HSCROLL | ES_AUTOHSCROLL, WS_VSCROLL,
                                            WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL});
  } else {
    style |= ES_AUTOHSCROLL;
  }
  style |= Pick(u.Word(kEditAlign), {ES_LEFT, ES_CENTER, ES_RIGHT});
  style |= Pick(u.Word(kEditInputMode), {0, ES_READONLY, ES_PASSWORD});
  style |= Pick(u.Word(kEditCase), {0, ES_LOWERCASE, ES_UPPERCASE});
  return style;
}

// A single-line box is made tall enough for its font.
void FitEditHeight(UnitObject* unit) {
  HDC dc = GetDC(unit->hwnd);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(unit->hwnd, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(unit->hwnd, dc);
  RECT rect;
  GetWindowRect(unit->hwnd, &rect);
  const int needed = metrics.tmHeight + 2 * GetSystemMetrics(SM_CYEDGE);
  if (rect.bottom - rect.top < needed)
    SetWindowPos(unit->hwnd, nullptr, 0, 0, rect.right - rect.left, needed,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

UnitObject* CreateEditBox(const CreateRequest& r) {
  auto unit = Start(r, kEditBehaviour);
  if (unit == nullptr) return nullptr;
  unit->background = CreateSolidBrush(ResolveColour(unit->Word(kEditBackground)));
  const DWORD style = EditStyle(*unit);
  const std::string content = unit->Bytes(kEditContent);
  UnitObject* u = Make(std::move(unit), r, "EDIT", content.c_str(), style, r.height);
  if (u == nullptr) return nullptr;
  SetFont(u, kEditFont);
  if (u->Word(kEditMultiLine) == 0) FitEditHeight(u);
  SendMessageA(u->hwnd, EM_LIMITTEXT, static_cast<WPARAM>(u->Word(kEditMaxLength)), 0);
  if (u->Word(kEditInputMode) == 2 && !u->Bytes(kEditPassword).empty())
    SendMessageA(u->hwnd, EM_SETPASSWORDCHAR,
                 static_cast<unsigned char>(u->Bytes(kEditPassword)[0]), 0);
  const int64_t start = u->Word(kEditSelStart);
  SendMessageA(u->hwnd, EM_SETSEL, static_cast<WPARAM>(start),
               static_cast<LPARAM>(start + u->Word(kEditSelLength)));
  SendMessageA(u->hwnd, EM_SCROLLCARET, 0, 0);
  ApplyBorderStyle(u->hwnd, u->Word(kEditBorder));
  return u;
}

bool EditKeepsKey(UnitObject* unit, UINT key) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(unit->hwnd, GWL_STYLE));
  return key == VK_RETURN && (style & ES_MULTILINE) != 0 && (style & ES_READONLY) == 0;
}

// ---- GroupBox ----
namespace {
void SetCaption(UnitObject* unit, const PropertyValue& in) {
  SetWindowTextA(unit->hwnd, reinterpret_cast<const char*>(in.first));
}

const LiveProperty kGroupLive[] = {{kGroupCaption, nullptr, SetCaption}};
const TypeBehaviour kGroupBehaviour = {kGroupBoxType, &kGroupBoxLayout, kGroupLive, 1};
}  // namespace

UnitObject* CreateGroupBox(const CreateRequest& r) {
  auto unit = Start(r, kGroupBehaviour);
  if (unit == nullptr) return nullptr;
  const DWORD style = BS_GROUPBOX | Pick(unit->Word(kGroupAlign), {BS_LEFT, BS_CENTER, BS_RIGHT});
  unit->background = CreateSolidBrush(ResolveColour(unit->Word(kGroupBackground)));
  const std::string caption = unit->Bytes(kGroupCaption);
  UnitObject* u = Make(std::move(unit), r, "BUTTON", caption.c_str(), style, r.height);
  if (u != nullptr) SetFont(u, kGroupFont);
  return u;
}

// ---- Button ----
namespace {
const LiveProperty kButtonLive[] = {{kButtonCaption, nullptr, SetCaption}};
const TypeBehaviour kButtonBehaviour = {kButtonType, &kButtonLayout, kButtonLive, 1};
}  // namespace

UnitObject* CreateButton(const CreateRequest& r) {
  auto unit = Start(r, kButtonBehaviour);
  if (unit == nullptr) return nullptr;
  // No picture decoder is built in: a picture counts as undecodable and is
  // dropped, so the button shows its caption.
  DWORD style = BS_MULTILINE | (unit->Word(kButtonKind) == 1 ? BS_DEFPUSHBUTTON : 0);
  style |= Pick(unit->Word(kButtonHAlign), {BS_LEFT, BS_CENTER, BS_RIGHT});
  style |= Pick(unit->Word(kButtonVAlign), {BS_TOP, BS_VCENTER, BS_BOTTOM});
  const std::string caption = unit->Bytes(kButtonCaption);
  UnitObject* u = Make(std::move(unit), r, "BUTTON", caption.c_str(), style, r.height);
  if (u != nullptr) SetFont(u, kButtonFont);
  return u;
}

bool ButtonIsDefault(UnitObject* unit) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(unit->hwnd, GWL_STYLE));
  return (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// ---- ComboBox ----
namespace {
void GetSelection(UnitObject* unit, PropertyValue* out) {
  out->first = static_cast<uint32_t>(SendMessageA(unit->hwnd, CB_GETCURSEL, 0, 0));
  out->second = 0;
}

// Clamped to -1 .. item count - 1.
int32_t ClampSelection(HWND combo, int64_t wanted) {
  const auto count = static_cast<int64_t>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  return static_cast<int32_t>(std::clamp<int64_t>(wanted, -1, count - 1));
}

void SetSelection(UnitObject* unit, const PropertyValue& in) {
  const int32_t index = ClampSelection(unit->hwnd, static_cast<int32_t>(in.first));
  unit->settings[kComboSelection].word = index;
  SendMessageA(unit->hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

const LiveProperty kComboLive[] = {{kComboSelection, GetSelection, SetSelection}};
const TypeBehaviour kComboBehaviour = {kComboBoxType, &kComboBoxLayout, kComboLive, 1};

void AddItems(UnitObject* u) {
  const std::string& items = u->Bytes(kComboItems);
  const std::string& values = u->Bytes(kComboItemValues);
  if (items.size() < 2) return;
  size_t at = 2;
  const size_t count = static_cast<uint8_t>(items[0]) | static_cast<uint8_t>(items[1]) << 8;
  for (size_t i = 0; i < count && at + 4 <= items.size(); ++i) {
    uint32_t length = 0;
    for (int k = 3; k >= 0; --k) length = length << 8 | static_cast<uint8_t>(items[at + k]);
    const std::string text = items.substr(at + 4, length);
    at += 4 + length;
    const LRESULT index =
        SendMessageA(u->hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (4 * i + 4 <= values.size()) {
      uint32_t value = 0;
      for (int k = 3; k >= 0; --k) value = value << 8 | static_cast<uint8_t>(values[4 * i + k]);
      SendMessageA(u->hwnd, CB_SETITEMDATA, static_cast<WPARAM>(index), value);
    }
  }
}
}  // namespace

UnitObject* CreateComboBox(const CreateRequest& r) {
  auto unit = Start(r, kComboBehaviour);
  if (unit == nullptr) return nullptr;
  const int64_t kind = unit->Word(kComboKind);
  DWORD style = WS_VSCROLL | CBS_AUTOHSCROLL |
                Pick(kind, {CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST}) |
                (unit->Word(kComboSorted) != 0 ? CBS_SORT : 0);
  // The platform's height of a drop-down kind includes the dropped list.
  const int height = kind == 1 || kind == 2 ? std::max(r.height, 160) : r.height;
  UnitObject* u = Make(std::move(unit), r, "COMBOBOX", nullptr, style, height);
  if (u == nullptr) return nullptr;
  SetFont(u, kComboFont);
  const LRESULT itemHeight = SendMessageA(u->hwnd, CB_GETITEMHEIGHT, 0, 0);
  SendMessageA(u->hwnd, CB_SETITEMHEIGHT, 0,
               static_cast<LPARAM>(itemHeight + u->Word(kComboRowSpacing)));
  SendMessageA(u->hwnd, CB_LIMITTEXT, static_cast<WPARAM>(u->Word(kComboMaxLength)), 0);
  AddItems(u);
  PropertyValue selection{static_cast<uint32_t>(u->Word(kComboSelection)), 0};
  SetSelection(u, selection);
  if (kind != 2) {
    SetWindowTextA(u->hwnd, u->Bytes(kComboContent).c_str());
    const int64_t start = u->Word(kComboSelStart);
    SendMessageA(
        u->hwnd, CB_SETEDITSEL, 0,
        MAKELPARAM(static_cast<WORD>(start), static_cast<WORD>(start + u->Word(kComboSelLength))));
  }
  return u;
}

// ---- RichEdit ----
namespace {
struct StreamCursor {
  const char* text;
  size_t left;
};

DWORD StreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer),
                                                 static_cast<size_t>(bytes));
  *done = bytes;
  return 0;
}

DWORD StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG bytes, LONG* done) {
  auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
  const size_t n = std::min(cursor->left, static_cast<size_t>(std::max<LONG>(bytes, 0)));
  std::copy(cursor->text, cursor->text + n, buffer);
  cursor->text += n;
  cursor->left -= n;
  *done = static_cast<LONG>(n);
  return 0;
}

WPARAM Format(const UnitObject* unit) {
  return unit->Word(kRichFormat) == 1 ? SF_RTF : SF_TEXT;
}

void GetRichContent(UnitObject* unit, PropertyValue* out) {
  unit->scratch.clear();
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&unit->scratch), 0, StreamOut};
  SendMessageA(unit->hwnd, EM_STREAMOUT, Format(unit), reinterpret_cast<LPARAM>(&stream));
  out->first = reinterpret_cast<uintptr_t>(unit->scratch.c_str());
  out->second = unit->scratch.size();
}

void SetRichContent(UnitObject* unit, const PropertyValue& in) {
  StreamCursor cursor{reinterpret_cast<const char*>(in.first), in.second};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cursor), 0, StreamIn};
  SendMessageA(unit->hwnd, EM_STREAMIN, Format(unit), reinterpret_cast<LPARAM>(&stream));
  unit->settings[kRichContent].bytes.clear();  // the control holds it now
}

void GetModified(UnitObject* unit, PropertyValue* out) {
  out->first = SendMessageA(unit->hwnd, EM_GETMODIFY, 0, 0) != 0 ? 1 : 0;
}

void SetModified(UnitObject* unit, const PropertyValue& in) {
  SendMessageA(unit->hwnd, EM_SETMODIFY, in.first, 0);
}

const LiveProperty kRichLive[] = {{kRichContent, GetRichContent, SetRichContent},
                                  {kRichModified, GetModified, SetModified}};
const TypeBehaviour kRichBehaviour = {kRichEditType, &kRichEditLayout, kRichLive, 2};

// The rich edit library is loaded once for the process and kept.
bool RichEditLoaded() {
  static const bool loaded =
      LoadLibraryA("RICHED20.DLL") != nullptr || LoadLibraryA("RICHED32.DLL") != nullptr;
  return loaded;
}

DWORD RichStyle(const UnitObject& u) {
  DWORD style = u.Word(kRichHideSelection) == 0 ? ES_NOHIDESEL : 0;
  if (u.Word(kRichMultiLine) != 0) {
    style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
    if (u.Word(kRichWrap) == 0) style |= ES_AUTOHSCROLL | WS_HSCROLL;
  } else {
    style |= ES_AUTOHSCROLL;
  }
  if (u.Word(kRichReadOnly) != 0) style |= ES_READONLY;
  return style;
}

void SetDefaultFormat(HWND window) {
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_SIZE |
                  CFM_COLOR | CFM_FACE | CFM_OFFSET | CFM_CHARSET;
  format.dwEffects = CFE_AUTOCOLOR;
  format.yHeight = 180;
  format.bCharSet = DEFAULT_CHARSET;
  const std::string face = platform::Utf8ToGbk("宋体");
  std::copy(face.begin(), face.end(), format.szFaceName);
  SendMessageA(window, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}
}  // namespace

UnitObject* CreateRichEdit(const CreateRequest& r) {
  if (!RichEditLoaded()) return nullptr;
  auto unit = Start(r, kRichBehaviour);
  if (unit == nullptr) return nullptr;
  const DWORD style = RichStyle(*unit);
  HWND made = CreateWindowExA(0, "RichEdit20A", "", style | r.baseStyle | kChild, r.left, r.top,
                              r.width, r.height, r.parent, reinterpret_cast<HMENU>(r.childIdOrMenu),
                              nullptr, nullptr);
  if (made == nullptr)
    made = CreateWindowExA(0, "RICHEDIT", "", style | r.baseStyle | kChild, r.left, r.top, r.width,
                           r.height, r.parent, reinterpret_cast<HMENU>(r.childIdOrMenu), nullptr,
                           nullptr);
  if (made == nullptr) return nullptr;
  UnitObject* u = unit.release();
  u->hwnd = made;
  Attach(u, ControlProcedure);
  SetDefaultFormat(made);
  const std::string content = u->Bytes(kRichContent);
  SetRichContent(u, PropertyValue{reinterpret_cast<uintptr_t>(content.c_str()), content.size()});
  const int64_t limit = u->Word(kRichMaxLength);
  SendMessageA(made, EM_EXLIMITTEXT, 0, limit == 0 ? 0x7FFFFFFF : static_cast<LPARAM>(limit));
  CHARRANGE range{static_cast<LONG>(u->Word(kRichSelStart)),
                  static_cast<LONG>(u->Word(kRichSelStart) + u->Word(kRichSelLength))};
  SendMessageA(made, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  const int64_t background = u->Word(kRichBackground);
  SendMessageA(made, EM_SETBKGNDCOLOR, background == kButtonFace ? 1 : 0,
               static_cast<LPARAM>(ResolveColour(background)));
  ApplyBorderStyle(made, u->Word(kRichBorder));
  SendMessageA(made, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SCROLL | ENM_SELCHANGE | ENM_PROTECTED);
  SendMessageA(made, EM_SETOPTIONS, ECOOP_OR, ECO_AUTOWORDSELECTION);
  SendMessageA(made, EM_SETMODIFY, 0, 0);
  return u;
}

bool RichEditKeepsKey(UnitObject* unit, UINT key) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(unit->hwnd, GWL_STYLE));
  return key == VK_RETURN && (style & ES_MULTILINE) != 0;
}

}  // namespace molvane::window
