// SPDX-License-Identifier: GPL-3.0-or-later
// Property access by index: the common properties 0 to 7 in the record (and
// on the live control), the type's own properties through its routines, and
// the conversion of every property data type to and from program values.
#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "runtime/support.h"
#include "window/engine.h"
#include "window/unit_properties.h"

namespace molvane::window {

namespace {

constexpr int32_t kMostCoordinate = 32627;
// A live read larger than this is let go once the caller has copied it.
constexpr size_t kKeptScratchBytes = 64 << 10;

[[noreturn]] void Report(const char* utf8) {
  ReportRuntimeFailure(0, platform::Utf8ToGbk(utf8).c_str());
}

int64_t FromPointer(const void* p) {
  return static_cast<int64_t>(reinterpret_cast<intptr_t>(p));
}

// A fresh byte set: the (1, n) header, then the bytes.
int64_t NewByteSet(const void* data, size_t length) {
  auto* block = static_cast<uint8_t*>(AllocMemory(8 + length));
  const int32_t header[2] = {1, static_cast<int32_t>(length)};
  std::memcpy(block, header, sizeof header);
  if (length > 0) std::memcpy(block + 8, data, length);
  return FromPointer(block);
}

int64_t NewText(const char* text, size_t length) {
  if (text == nullptr || length == 0) return 0;
  char* copy = static_cast<char*>(AllocMemory(length + 1));
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return FromPointer(copy);
}

LOGFONTA FontOf(const PropertyValue& value) {
  LOGFONTA font{};
  if (value.first != 0 && value.second >= sizeof font)
    std::memcpy(&font, reinterpret_cast<const void*>(value.first), sizeof font);
  else
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  return font;
}

// The seven font fields as a program record; the face is a fresh text.
struct FontRecord {
  int32_t angle, bold, italic, strikeOut, underline, pointSize;
  char* face;
};

int32_t PointSize(const LOGFONTA& font) {
  return (std::abs(font.lfHeight) * 72 + 48) / 96;
}

int64_t ReadFont(const PropertyValue& value, int32_t sub) {
  const LOGFONTA f = FontOf(value);
  const int64_t fields[] = {f.lfEscapement,     f.lfWeight >= 700,  f.lfItalic != 0,
                            f.lfStrikeOut != 0, f.lfUnderline != 0, PointSize(f)};
  if (sub >= 0 && sub <= 5) return fields[sub];
  const size_t faceLength = strnlen(f.lfFaceName, LF_FACESIZE);
  if (sub == 6) return NewText(f.lfFaceName, faceLength);
  auto* record = static_cast<FontRecord*>(AllocMemory(sizeof(FontRecord)));
  *record = {static_cast<int32_t>(fields[0]),
             static_cast<int32_t>(fields[1]),
             static_cast<int32_t>(fields[2]),
             static_cast<int32_t>(fields[3]),
             static_cast<int32_t>(fields[4]),
             static_cast<int32_t>(fields[5]),
             reinterpret_cast<char*>(NewText(f.lfFaceName, faceLength))};
  return FromPointer(record);
}

void SetFace(LOGFONTA* font, const char* face, size_t most) {
  std::string name = face == nullptr ? "" : face;
  if (name.empty() || name.size() >= most) name = platform::Utf8ToGbk("宋体");
  std::memset(font->lfFaceName, 0, LF_FACESIZE);
  std::memcpy(font->lfFaceName, name.data(), std::min<size_t>(name.size(), LF_FACESIZE - 1));
}

void SetFontField(LOGFONTA* f, int32_t sub, int64_t value) {
  const auto v = static_cast<int32_t>(value);
  switch (sub) {
    case 0:
      f->lfEscapement = f->lfOrientation = v % 3600;
      break;
    case 1:
      f->lfWeight = v != 0 ? 700 : 400;
      break;
    case 2:
      f->lfItalic = v != 0;
      break;
    case 3:
      f->lfStrikeOut = v != 0;
      break;
    case 4:
      f->lfUnderline = v != 0;
      break;
    case 5:
      f->lfHeight = -(v * 96 + 36) / 72;
      break;
    default:
      break;
  }
}

void WriteFont(LOGFONTA* f, int32_t sub, uint64_t value) {
  if (sub >= 0 && sub <= 5) return SetFontField(f, sub, static_cast<int64_t>(value));
  if (sub == 6) return SetFace(f, reinterpret_cast<const char*>(value), 32);
  const auto* record = reinterpret_cast<const FontRecord*>(value);
  if (record == nullptr) return;
  const int32_t fields[] = {record->angle,     record->bold,      record->italic,
                            record->strikeOut, record->underline, record->pointSize};
  for (int32_t k = 0; k < 6; ++k) SetFontField(f, k, fields[k]);
  SetFace(f, record->face, 31);
}

// How each data type is carried; every type not listed is a text.
enum class Carried : uint8_t { kText, kWord, kTwoWords, kBytes, kFont };

constexpr struct {
  DataType type;
  Carried carried;
} kCarried[] = {
    {DataType::kInteger1000, Carried::kWord},  {DataType::kInteger, Carried::kWord},
    {DataType::kLogical, Carried::kWord},      {DataType::kChoice, Carried::kWord},
    {DataType::kForeColour, Carried::kWord},   {DataType::kColour1015, Carried::kWord},
    {DataType::kBackColour, Carried::kWord},   {DataType::kTwoWords1002, Carried::kTwoWords},
    {DataType::kTwoWords, Carried::kTwoWords}, {DataType::kPicture, Carried::kBytes},
    {DataType::kIcon, Carried::kBytes},        {DataType::kCursor, Carried::kBytes},
    {DataType::kSound, Carried::kBytes},       {DataType::kBytes1023, Carried::kBytes},
    {DataType::kList, Carried::kBytes},        {DataType::kFont, Carried::kFont},
};

Carried CarriedAs(DataType type) {
  for (const auto& entry : kCarried)
    if (entry.type == type) return entry.carried;
  return Carried::kText;
}

int64_t Convert(uint16_t code, const PropertyValue& value, int32_t sub) {
  const auto type = static_cast<DataType>(code);
  const Carried carried = CarriedAs(type);
  if (type == DataType::kLogical) return static_cast<uint32_t>(value.first) == 1 ? 1 : 0;
  if (carried == Carried::kWord) return static_cast<int32_t>(value.first);
  if (carried == Carried::kTwoWords)
    return static_cast<int64_t>((static_cast<uint64_t>(value.second) << 32) |
                                (value.first & 0xFFFFFFFF));
  // Mouse pointer numbers are kept as the program numbers them.
  if (carried == Carried::kBytes)
    return NewByteSet(reinterpret_cast<const void*>(value.first), value.second);
  if (carried == Carried::kFont) return ReadFont(value, sub);
  const char* text = reinterpret_cast<const char*>(value.first);
  return NewText(text, text == nullptr ? 0 : std::strlen(text));
}

const PropertyDescriptor* DescriptorOf(uint32_t typeId, int32_t index) {
  const UnitTypeDescriptor* type = FindUnitType(typeId);
  if (type == nullptr || index < 0 || static_cast<uint32_t>(index) >= type->propertyCount)
    return nullptr;
  return &type->properties[index];
}

}  // namespace

int64_t Engine::ReadCommon(UnitList& units, uint32_t index, int32_t property) {
  RecordLayout layout;
  units.Layout(index, &layout);
  UnitObject* live = LiveObjectAt(units, index);
  const uint32_t flags = units.Word(layout.flags);
  if (property <= kCommonHeight && live != nullptr) {
    RECT rect;
    GetWindowRect(live->hwnd, &rect);
    HWND parent = (GetWindowLongPtrA(live->hwnd, GWL_STYLE) & WS_CHILD) != 0 ? GetParent(live->hwnd)
                                                                             : nullptr;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const int32_t values[] = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    return values[property];
  }
  switch (property) {
    case kCommonLeft:
    case kCommonTop:
    case kCommonWidth:
    case kCommonHeight:
      return static_cast<int32_t>(units.Word(layout.x + kLeft + 4 * static_cast<size_t>(property)));
    case kCommonTag: {
      const std::string tag = units.Tag(index);
      return NewText(tag.data(), tag.size());
    }
    case kCommonVisible:
      return live != nullptr ? IsWindowVisible(live->hwnd) != 0 : (flags & kUnitVisible) != 0;
    case kCommonDisabled:
      return live != nullptr ? IsWindowEnabled(live->hwnd) == 0 : (flags & kUnitDisabled) != 0;
    default: {
      const std::string cursor = units.CursorData(index);
      return NewByteSet(cursor.data(), cursor.size());
    }
  }
}

void Engine::WriteCommon(UnitList& units, uint32_t index, int32_t property, uint64_t value) {
  RecordLayout layout;
  units.Layout(index, &layout);
  UnitObject* live = LiveObjectAt(units, index);
  const auto word = static_cast<int32_t>(value);
  if (property <= kCommonHeight) {
    const int32_t least = property <= kCommonTop ? -kMostCoordinate : 0;
    const int32_t clamped = std::clamp(word, least, kMostCoordinate);
    units.SetWord(layout.x + kLeft + 4 * static_cast<size_t>(property),
                  static_cast<uint32_t>(clamped));
    if (live != nullptr) {
      auto at = [&](size_t field) { return static_cast<int32_t>(units.Word(layout.x + field)); };
      const UINT keep = property <= 1 ? SWP_NOSIZE : SWP_NOMOVE;
      SetWindowPos(live->hwnd, nullptr, at(kLeft), at(kTop), at(kWidth), at(kHeight),
                   keep | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return;
  }
  if (property == kCommonTag) {
    const char* text = reinterpret_cast<const char*>(value);
    units.SetTag(index, text == nullptr ? "" : text);
    return;
  }
  if (property == kCommonCursor) {
    const auto* block = reinterpret_cast<const uint8_t*>(value);
    int32_t length = 0;
    if (block != nullptr) std::memcpy(&length, block + 4, sizeof length);
    units.SetCursorData(index, block == nullptr
                                   ? std::string()
                                   : std::string(reinterpret_cast<const char*>(block + 8),
                                                 static_cast<size_t>(std::max(length, 0))));
    return;
  }
  const uint32_t bit = property == kCommonVisible ? kUnitVisible : kUnitDisabled;
  const uint32_t flags = units.Word(layout.flags);
  units.SetWord(layout.flags, word != 0 ? flags | bit : flags & ~bit);
  if (live == nullptr) return;
  if (property == kCommonVisible)
    ShowWindow(live->hwnd, word != 0 ? SW_SHOWNA : SW_HIDE);
  else
    EnableWindow(live->hwnd, word == 0);
}

int64_t Engine::ReadProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t sub) {
  Registered* window = Find(windowId);
  if (window == nullptr) Report("未载入欲访问窗口组件所在的窗口");
  UnitList units = window->Units();
  const int32_t at = units.Find(unitId);
  if (at < 0 || index < 0) return 0;  // no such unit in this window: nothing to read
  const auto unitIndex = static_cast<uint32_t>(at);
  if (index < kCommonPropertyCount) return ReadCommon(units, unitIndex, index);
  UnitObject* live = LiveObjectAt(units, unitIndex);
  if (live == nullptr) Report("指定窗口尚未载入");
  const PropertyDescriptor* descriptor = DescriptorOf(units.TypeId(unitIndex), index);
  auto get = reinterpret_cast<GetUnitPropertyRoutine>(
      FindUnitType(units.TypeId(unitIndex))->interface(kGetUnitProperty));
  PropertyValue value;
  if (descriptor == nullptr || get == nullptr ||
      get(live, index - kCommonPropertyCount, &value) == 0)
    return 0;
  const auto result = Convert(descriptor->dataType, value, sub);
  // The caller has its copy now; a book-sized read is not held twice.
  if (live->scratch.capacity() > kKeptScratchBytes) std::string().swap(live->scratch);
  return result;
}

void Engine::WriteProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t sub,
                           uint64_t value) {
  Registered* window = Find(windowId);
  if (window == nullptr) Report("未载入欲访问窗口组件所在的窗口");
  UnitList units = window->Units();
  const int32_t at = units.Find(unitId);
  if (at < 0 || index < 0) return;
  const auto unitIndex = static_cast<uint32_t>(at);
  if (index < kCommonPropertyCount) return WriteCommon(units, unitIndex, index, value);
  UnitObject* live = LiveObjectAt(units, unitIndex);
  if (live == nullptr) Report("指定窗口尚未载入");
  const UnitTypeDescriptor* type = FindUnitType(units.TypeId(unitIndex));
  const PropertyDescriptor* descriptor = DescriptorOf(units.TypeId(unitIndex), index);
  auto set = reinterpret_cast<SetUnitPropertyRoutine>(type->interface(kSetUnitProperty));
  if (descriptor == nullptr || set == nullptr) return;
  const auto dataType = static_cast<DataType>(descriptor->dataType);
  const Carried carried = CarriedAs(dataType);
  PropertyValue in;
  LOGFONTA font;
  std::string empty;
  if (carried == Carried::kFont) {
    auto get = reinterpret_cast<GetUnitPropertyRoutine>(type->interface(kGetUnitProperty));
    PropertyValue current;
    if (get != nullptr) get(live, index - kCommonPropertyCount, &current);
    font = FontOf(current);
    WriteFont(&font, sub, value);
    in = {reinterpret_cast<uintptr_t>(&font), sizeof font};
  } else if (carried == Carried::kBytes) {
    const auto* block = reinterpret_cast<const uint8_t*>(value);
    int32_t length = 0;
    if (block != nullptr) std::memcpy(&length, block + 4, sizeof length);
    in = {block == nullptr ? reinterpret_cast<uintptr_t>(empty.c_str())
                           : reinterpret_cast<uintptr_t>(block + 8),
          static_cast<uintptr_t>(std::max(length, 0))};
  } else if (carried == Carried::kWord || carried == Carried::kTwoWords) {
    auto low = static_cast<int32_t>(value);
    if (dataType == DataType::kChoice) low = std::max(low, 0);
    const bool twoWords = carried == Carried::kTwoWords;
    in = {static_cast<uint32_t>(low), twoWords ? static_cast<uintptr_t>(value >> 32) : 0};
  } else {
    const char* text = reinterpret_cast<const char*>(value);
    if (text == nullptr) text = empty.c_str();
    in = {reinterpret_cast<uintptr_t>(text), std::strlen(text)};
  }
  uint32_t out = 0;
  if (set(live, index - kCommonPropertyCount, in, &out) == 1 &&
      LiveObjectAt(units, unitIndex) != nullptr && (type->flags & kNotRecreated) == 0)
    Recreate(units, unitIndex);
}

void Engine::Recreate(UnitList& units, uint32_t index) {
  UnitObject* old = LiveObjectAt(units, index);
  const UnitTypeDescriptor* type = FindUnitType(units.TypeId(index));
  auto write = reinterpret_cast<WriteTypeDataRoutine>(type->interface(kWriteTypeData));
  auto create = reinterpret_cast<CreateUnitRoutine>(type->interface(kCreateUnit));
  if (old == nullptr || write == nullptr || create == nullptr) return;
  CallService(kServiceSuppressEvents);
  const std::string typeData = write(old);
  RECT rect;
  GetWindowRect(old->hwnd, &rect);
  HWND parent = GetParent(old->hwnd);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(old->hwnd, GWL_STYLE));
  CreateRequest request{&typeData,
                        style & (WS_DISABLED | WS_TABSTOP),
                        parent,
                        static_cast<uintptr_t>(GetWindowLongPtrA(old->hwnd, GWLP_ID)),
                        rect.left,
                        rect.top,
                        rect.right - rect.left,
                        rect.bottom - rect.top,
                        old->windowId,
                        old->unitId,
                        false};
  UnitObject* made = create(request);
  if (made != nullptr) {
    SetWindowPos(made->hwnd, old->hwnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if ((style & WS_VISIBLE) != 0) ShowWindow(made->hwnd, SW_SHOWNA);
    DestroyWindow(old->hwnd);  // clears the slot
    RecordLayout layout;
    units.Layout(index, &layout);
    units.SetWord(layout.x + kObjectSlot, Keep(made));
  }
  CallService(kServiceAllowEvents);
}

}  // namespace molvane::window
