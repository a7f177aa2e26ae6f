// The stored settings of the six unit types: their TypeData layouts as
// tables (stored order, first version, default), read and written by one
// routine each, and the property routines every type shares.
#include <cstring>

#include "window/template.h"
#include "window/unit.h"

namespace molvane::window {

namespace {

constexpr int64_t kButtonFace = 0xFF000000;
constexpr int64_t kWhite = 0xFFFFFF;

using C = Coding;

// Own indexes are property index - 8.
constexpr SettingField kWindowFields[] = {
    {1, C::kWord, 0, 2, nullptr},            // border style
    {4, C::kWord, 0, 1, nullptr},            // picture layout
    {2, C::kWord, 0, kButtonFace, nullptr},  // background colour
    {8, C::kWord, 0, 0, nullptr},            // maximise box
    {9, C::kWord, 0, 1, nullptr},            // minimise box
    {7, C::kWord, 0, 1, nullptr},            // control box
    {10, C::kWord, 0, 1, nullptr},           // start position
    {11, C::kWord, 0, 1, nullptr},           // close box
    {6, C::kWord, 0, 0, nullptr},            // sound play mode
    {13, C::kWord, 0, 0, nullptr},           // Enter moves the focus
    {14, C::kWord, 0, 1, nullptr},           // Esc closes the window
    {15, C::kWord, 0, 0, nullptr},           // F1 opens help
    {17, C::kWord, 0, 0, nullptr},           // help context
    {18, C::kWord, 2, 1, nullptr},           // shown in the taskbar
    {19, C::kWord, 3, 0, nullptr},
    {20, C::kWord, 3, 0, nullptr},
    {21, C::kWord, 4, 0, nullptr},  // always on top
    {22, C::kWord, 5, 0, nullptr},
    {23, C::kCounted, 6, 0, ""},  // window class name
    {3, C::kCounted, 0, 0, ""},   // background picture
    {12, C::kCounted, 0, 0, ""},  // icon
    {5, C::kCounted, 0, 0, ""},   // background sound
    {0, C::kCounted, 0, 0, ""},   // caption
    {16, C::kCounted, 0, 0, ""},  // help file
};

constexpr SettingField kEditBoxFields[] = {
    {0, C::kCounted, 0, 0, ""},                                        // Content
    {1, C::kWord, 0, 1, nullptr},                                      // border style
    {2, C::kWord, 0, 0, nullptr},                                      // text colour
    {3, C::kWord, 0, kWhite, nullptr}, {4, C::kCounted, 0, 0, ""},     // font
    {5, C::kWord, 0, 1, nullptr},                                      // hide selection
    {6, C::kWord, 0, 0, nullptr},                                      // maximum length
    {7, C::kWord, 0, 0, nullptr},                                      // multi-line
    {8, C::kWord, 0, 0, nullptr},                                      // scroll bars
    {9, C::kWord, 0, 0, nullptr},                                      // alignment
    {10, C::kWord, 0, 0, nullptr},                                     // input mode
    {11, C::kCounted, 0, 0, "*"},                                      // password character
    {12, C::kWord, 0, 0, nullptr},                                     // case conversion
    {13, C::kWord, 0, 0, nullptr},                                     // spin buttons
    {14, C::kWord, 0, 0, nullptr},                                     // spin range
    {15, C::kWord, 0, 100, nullptr},   {16, C::kWord, 0, 0, nullptr},  // selection start
    {17, C::kWord, 0, 0, nullptr},                                     // selection length
};

constexpr SettingField kGroupBoxFields[] = {
    {1, C::kWord, 0, 0, nullptr},            // alignment
    {2, C::kWord, 0, 0, nullptr},            // text colour
    {3, C::kWord, 0, kButtonFace, nullptr},  // background colour
    {4, C::kCounted, 0, 0, ""},              // font
    {0, C::kCounted, 0, 0, ""},              // caption
};

constexpr SettingField kButtonFields[] = {
    {1, C::kWord, 0, 0, nullptr},  // kind
    {3, C::kWord, 0, 1, nullptr},  // horizontal alignment
    {4, C::kWord, 0, 1, nullptr},  // vertical alignment
    {0, C::kCounted, 0, 0, ""},    // picture
    {5, C::kCounted, 0, 0, ""},    // font
    {2, C::kCounted, 0, 0, ""},    // caption
};

constexpr SettingField kComboBoxFields[] = {
    {0, C::kWord, 0, 1, nullptr},       // kind
    {2, C::kWord, 0, 0, nullptr},       // maximum length
    {3, C::kWord, 0, 0, nullptr},       // selection start
    {4, C::kWord, 0, 0, nullptr},       // selection length
    {6, C::kWord, 0, 0, nullptr},       // sorted
    {7, C::kWord, 0, 1, nullptr},       // row spacing
    {8, C::kWord, 0, 0, nullptr},       // text colour
    {9, C::kWord, 0, kWhite, nullptr},  // background colour
    {11, C::kWord, 0, -1, nullptr},     // CurrentSelection
    {10, C::kCounted, 0, 0, ""},        // font
    {13, C::kCounted, 0, 0, ""},        // item values
    {1, C::kCounted, 0, 0, ""},         // Content
    {12, C::kItemList, 0, 0, ""},       // ListItems
    {14, C::kCounted, 2, 0, ""},       {15, C::kCounted, 2, 0, ""}, {16, C::kWord, 3, 0, nullptr},
};

constexpr SettingField kRichEditFields[] = {
    {0, C::kWord, 0, 0, nullptr},            // ContentFormat
    {1, C::kCounted, 0, 0, ""},              // Content
    {2, C::kWord, 0, 1, nullptr},            // border style
    {3, C::kWord, 0, kButtonFace, nullptr},  // background colour
    {4, C::kWord, 0, 1, nullptr},            // multi-line
    {5, C::kWord, 0, 1, nullptr},            // wrap
    {6, C::kWord, 0, 0, nullptr},            // read-only
    {7, C::kWord, 0, 1, nullptr},            // hide selection
    {8, C::kWord, 0, 0, nullptr},            // maximum length
    {9, C::kWord, 0, 0, nullptr},            // selection start
    {10, C::kWord, 0, 0, nullptr},           // selection length
};

template <size_t N>
constexpr TypeLayout Layout(uint32_t version, const SettingField (&fields)[N], int32_t ownCount) {
  return TypeLayout{version, fields, N, ownCount};
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
const TypeLayout kWindowLayout = Layout(6, kWindowFields, 24);
const TypeLayout kEditBoxLayout = Layout(1, kEditBoxFields, 21);
const TypeLayout kGroupBoxLayout = Layout(1, kGroupBoxFields, 5);
const TypeLayout kButtonLayout = Layout(1, kButtonFields, 6);
const TypeLayout kComboBoxLayout = Layout(3, kComboBoxFields, 17);
const TypeLayout kRichEditLayout = Layout(1, kRichEditFields, 13);

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
