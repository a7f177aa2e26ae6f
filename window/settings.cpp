// SPDX-License-Identifier: GPL-3.0-or-later
// The stored settings of the six unit types: their TypeData layouts as
// tables (stored order, first version, default), read and written by one
// routine each, and the property routines every type shares.
#include <cstring>

#include "window/template.h"
#include "window/unit.h"
#include "window/unit_properties.h"

namespace molvane::window {

namespace {

constexpr int64_t kWhite = 0xFFFFFF;

using C = Coding;

// Each type's settings in stored order: what the property is, how it is
// coded, the first version that stores it, and its default.
constexpr SettingField kWindowFields[] = {
    {kWindowBorder, C::kWord, 0, 2, nullptr},
    {kWindowPictureLayout, C::kWord, 0, 1, nullptr},
    {kWindowBackground, C::kWord, 0, kButtonFace, nullptr},
    {kWindowMaximiseBox, C::kWord, 0, 0, nullptr},
    {kWindowMinimiseBox, C::kWord, 0, 1, nullptr},
    {kWindowControlBox, C::kWord, 0, 1, nullptr},
    {kWindowStartPosition, C::kWord, 0, 1, nullptr},
    {kWindowCloseBox, C::kWord, 0, 1, nullptr},
    {kWindowSoundMode, C::kWord, 0, 0, nullptr},
    {kWindowEnterMovesFocus, C::kWord, 0, 0, nullptr},
    {kWindowEscCloses, C::kWord, 0, 1, nullptr},
    {kWindowF1Help, C::kWord, 0, 0, nullptr},
    {kWindowHelpContext, C::kWord, 0, 0, nullptr},
    {kWindowInTaskbar, C::kWord, 2, 1, nullptr},
    {kWindowWord27, C::kWord, 3, 0, nullptr},
    {kWindowWord28, C::kWord, 3, 0, nullptr},
    {kWindowTopmost, C::kWord, 4, 0, nullptr},
    {kWindowWord30, C::kWord, 5, 0, nullptr},
    {kWindowClassName, C::kCounted, 6, 0, ""},
    {kWindowPicture, C::kCounted, 0, 0, ""},
    {kWindowIcon, C::kCounted, 0, 0, ""},
    {kWindowSound, C::kCounted, 0, 0, ""},
    {kWindowCaption, C::kCounted, 0, 0, ""},
    {kWindowHelpFile, C::kCounted, 0, 0, ""},
};

// No program stores an edit box's settings: the layout is ours, in property
// order (the selected text and the last two are not stored).
constexpr SettingField kEditBoxFields[] = {
    {kEditContent, C::kCounted, 0, 0, ""},      {kEditBorder, C::kWord, 0, 1, nullptr},
    {kEditTextColour, C::kWord, 0, 0, nullptr}, {kEditBackground, C::kWord, 0, kWhite, nullptr},
    {kEditFont, C::kCounted, 0, 0, ""},         {kEditHideSelection, C::kWord, 0, 1, nullptr},
    {kEditMaxLength, C::kWord, 0, 0, nullptr},  {kEditMultiLine, C::kWord, 0, 0, nullptr},
    {kEditScrollBars, C::kWord, 0, 0, nullptr}, {kEditAlign, C::kWord, 0, 0, nullptr},
    {kEditInputMode, C::kWord, 0, 0, nullptr},  {kEditPassword, C::kCounted, 0, 0, "*"},
    {kEditCase, C::kWord, 0, 0, nullptr},       {kEditSpin, C::kWord, 0, 0, nullptr},
    {kEditSpinMin, C::kWord, 0, 0, nullptr},    {kEditSpinMax, C::kWord, 0, 100, nullptr},
    {kEditSelStart, C::kWord, 0, 0, nullptr},   {kEditSelLength, C::kWord, 0, 0, nullptr},
};

constexpr SettingField kGroupBoxFields[] = {
    {kGroupAlign, C::kWord, 0, 0, nullptr},
    {kGroupTextColour, C::kWord, 0, 0, nullptr},
    {kGroupBackground, C::kWord, 0, kButtonFace, nullptr},
    {kGroupFont, C::kCounted, 0, 0, ""},
    {kGroupCaption, C::kCounted, 0, 0, ""},
};

constexpr SettingField kButtonFields[] = {
    {kButtonKind, C::kWord, 0, 0, nullptr},   {kButtonHAlign, C::kWord, 0, 1, nullptr},
    {kButtonVAlign, C::kWord, 0, 1, nullptr}, {kButtonPicture, C::kCounted, 0, 0, ""},
    {kButtonFont, C::kCounted, 0, 0, ""},     {kButtonCaption, C::kCounted, 0, 0, ""},
};

constexpr SettingField kComboBoxFields[] = {
    {kComboKind, C::kWord, 0, 1, nullptr},       {kComboMaxLength, C::kWord, 0, 0, nullptr},
    {kComboSelStart, C::kWord, 0, 0, nullptr},   {kComboSelLength, C::kWord, 0, 0, nullptr},
    {kComboSorted, C::kWord, 0, 0, nullptr},     {kComboRowSpacing, C::kWord, 0, 1, nullptr},
    {kComboTextColour, C::kWord, 0, 0, nullptr}, {kComboBackground, C::kWord, 0, kWhite, nullptr},
    {kComboSelection, C::kWord, 0, -1, nullptr}, {kComboFont, C::kCounted, 0, 0, ""},
    {kComboItemValues, C::kCounted, 0, 0, ""},   {kComboContent, C::kCounted, 0, 0, ""},
    {kComboItems, C::kItemList, 0, 0, ""},       {kComboText22, C::kCounted, 2, 0, ""},
    {kComboText23, C::kCounted, 2, 0, ""},       {kComboWord24, C::kWord, 3, 0, nullptr},
};

// Ours as well, in property order.
constexpr SettingField kRichEditFields[] = {
    {kRichFormat, C::kWord, 0, 0, nullptr},    {kRichContent, C::kCounted, 0, 0, ""},
    {kRichBorder, C::kWord, 0, 1, nullptr},    {kRichBackground, C::kWord, 0, kButtonFace, nullptr},
    {kRichMultiLine, C::kWord, 0, 1, nullptr}, {kRichWrap, C::kWord, 0, 1, nullptr},
    {kRichReadOnly, C::kWord, 0, 0, nullptr},  {kRichHideSelection, C::kWord, 0, 1, nullptr},
    {kRichMaxLength, C::kWord, 0, 0, nullptr}, {kRichSelStart, C::kWord, 0, 0, nullptr},
    {kRichSelLength, C::kWord, 0, 0, nullptr},
};

// A type's layout holds a setting for each of its own properties.
template <size_t N, size_t M>
constexpr TypeLayout Layout(uint32_t version, const SettingField (&fields)[N],
                            const OwnProperty (&properties)[M]) {
  return TypeLayout{version, fields, N, static_cast<int32_t>(M)};
}

// Reads a ListItems value: a 16-bit count, then that many counted texts.
bool ReadItemList(ByteReader* reader, std::string* out) {
  uint16_t count;
  if (!reader->Short(&count)) return false;
  out->assign({static_cast<char>(count), static_cast<char>(count >> 8)});
  std::string item;
  for (uint16_t i = 0; i < count; ++i) {
    if (!reader->Counted(&item)) return false;
    PutCounted(out, item);
  }
  return true;
}

const SettingField* FieldOf(const TypeLayout& layout, int32_t own) {
  for (size_t i = 0; i < layout.fieldCount; ++i)
    if (layout.fields[i].ownIndex == own) return &layout.fields[i];
  return nullptr;
}

}  // namespace

extern const TypeLayout kWindowLayout, kEditBoxLayout, kGroupBoxLayout, kButtonLayout,
    kComboBoxLayout, kRichEditLayout;  // shared with the unit types
const TypeLayout kWindowLayout = Layout(6, kWindowFields, kWindowProperties);
const TypeLayout kEditBoxLayout = Layout(1, kEditBoxFields, kEditBoxProperties);
const TypeLayout kGroupBoxLayout = Layout(1, kGroupBoxFields, kGroupBoxProperties);
const TypeLayout kButtonLayout = Layout(1, kButtonFields, kButtonProperties);
const TypeLayout kComboBoxLayout = Layout(3, kComboBoxFields, kComboBoxProperties);
const TypeLayout kRichEditLayout = Layout(1, kRichEditFields, kRichEditProperties);

bool ReadSettings(const TypeLayout& layout, const std::string& typeData,
                  std::vector<Setting>* out) {
  out->assign(static_cast<size_t>(layout.ownCount), Setting{});
  for (size_t i = 0; i < layout.fieldCount; ++i) {
    const SettingField& f = layout.fields[i];
    Setting& s = (*out)[static_cast<size_t>(f.ownIndex)];
    s.word = f.defaultWord;
    if (f.defaultBytes != nullptr) s.bytes = f.defaultBytes;
  }
  if (typeData.empty()) return true;
  ByteReader reader(reinterpret_cast<const uint8_t*>(typeData.data()), typeData.size());
  uint32_t version;
  if (!reader.Word(&version) || version > layout.knownVersion) return false;
  for (size_t i = 0; i < layout.fieldCount; ++i) {
    const SettingField& f = layout.fields[i];
    if (f.fromVersion > version) continue;
    Setting& s = (*out)[static_cast<size_t>(f.ownIndex)];
    uint32_t word;
    bool ok = f.coding == Coding::kWord      ? reader.Word(&word)
              : f.coding == Coding::kCounted ? reader.Counted(&s.bytes)
                                             : ReadItemList(&reader, &s.bytes);
    if (!ok) return false;
    if (f.coding == Coding::kWord) s.word = static_cast<int32_t>(word);
  }
  return true;
}

std::string WriteSettings(const TypeLayout& layout, const std::vector<Setting>& settings) {
  std::string out;
  PutWord(&out, layout.knownVersion);
  for (size_t i = 0; i < layout.fieldCount; ++i) {
    const SettingField& f = layout.fields[i];
    const Setting& s = settings[static_cast<size_t>(f.ownIndex)];
    if (f.coding == Coding::kWord)
      PutWord(&out, static_cast<uint32_t>(s.word));
    else if (f.coding == Coding::kCounted)
      PutCounted(&out, s.bytes);
    else
      out += s.bytes.empty() ? std::string(2, '\0') : s.bytes;
  }
  return out;
}

int32_t GetUnitProperty(UnitObject* unit, int32_t own, PropertyValue* out) {
  const TypeBehaviour& b = *unit->behaviour;
  if (own < 0 || own >= b.layout->ownCount) return 0;
  for (size_t i = 0; i < b.liveCount; ++i)
    if (b.live[i].ownIndex == own && b.live[i].get != nullptr) {
      b.live[i].get(unit, out);
      return 1;
    }
  const Setting& s = unit->settings[static_cast<size_t>(own)];
  const SettingField* field = FieldOf(*b.layout, own);
  if (field != nullptr && field->coding != Coding::kWord) {
    out->first = reinterpret_cast<uintptr_t>(s.bytes.c_str());
    out->second = s.bytes.size();
  } else {
    out->first = static_cast<uint32_t>(s.word);
    out->second = static_cast<uint32_t>(static_cast<uint64_t>(s.word) >> 32);
  }
  return 1;
}

int32_t SetUnitProperty(UnitObject* unit, int32_t own, const PropertyValue& in, uint32_t* out) {
  const TypeBehaviour& b = *unit->behaviour;
  if (own < 0 || own >= b.layout->ownCount) return 0;
  const SettingField* field = FieldOf(*b.layout, own);
  Setting& s = unit->settings[static_cast<size_t>(own)];
  if (field != nullptr && field->coding != Coding::kWord)
    s.bytes.assign(reinterpret_cast<const char*>(in.first), in.second);
  else if (in.second == 0)
    s.word = static_cast<int32_t>(in.first);  // one signed word
  else
    s.word = static_cast<int64_t>(static_cast<uint64_t>(in.second) << 32 | (in.first & 0xFFFFFFFF));
  for (size_t i = 0; i < b.liveCount; ++i)
    if (b.live[i].ownIndex == own && b.live[i].set != nullptr) {
      b.live[i].set(unit, in);
      return 0;
    }
  // A stored setting that only creation applies shows after re-creation.
  return field != nullptr ? 1 : 0;
}

std::string WriteTypeData(UnitObject* unit) {
  // Live values go into the settings first, so the new control shows them.
  const TypeBehaviour& b = *unit->behaviour;
  for (size_t i = 0; i < b.liveCount; ++i) {
    const SettingField* field = FieldOf(*b.layout, b.live[i].ownIndex);
    if (field == nullptr || b.live[i].get == nullptr) continue;
    PropertyValue value;
    b.live[i].get(unit, &value);
    Setting& s = unit->settings[static_cast<size_t>(b.live[i].ownIndex)];
    if (field->coding == Coding::kWord)
      s.word = static_cast<int32_t>(value.first);
    else
      s.bytes.assign(reinterpret_cast<const char*>(value.first), value.second);
  }
  return WriteSettings(*b.layout, unit->settings);
}

}  // namespace molvane::window
