// SPDX-License-Identifier: GPL-3.0-or-later
// The unit type registry as data: the property descriptors of the six types
// (built from their tables in unit_properties.h), the unit type tables of the
// core (51 entries) and user-interface (9 entries) libraries, and the
// interface routines that hand out each type's routines.
#include <array>

#include "window/libraries.h"
#include "window/unit.h"
#include "window/unit_properties.h"

namespace molvane::window {

namespace {

// The runtime's property descriptors of a type: the common eight, then the
// type's own in the order of its table.
template <size_t N>
constexpr std::array<PropertyDescriptor, kCommonPropertyCount + N> Descriptors(
    const OwnProperty (&own)[N]) {
  std::array<PropertyDescriptor, kCommonPropertyCount + N> out{};
  for (size_t i = 0; i < out.size(); ++i)
    out[i].dataType = static_cast<uint16_t>(
        i < kCommonPropertyCount ? kCommonDataTypes[i] : own[i - kCommonPropertyCount].type);
  return out;
}

constexpr auto kWindowDescriptors = Descriptors(kWindowProperties);
constexpr auto kEditBoxDescriptors = Descriptors(kEditBoxProperties);
constexpr auto kGroupBoxDescriptors = Descriptors(kGroupBoxProperties);
constexpr auto kButtonDescriptors = Descriptors(kButtonProperties);
constexpr auto kComboBoxDescriptors = Descriptors(kComboBoxProperties);
constexpr auto kRichEditDescriptors = Descriptors(kRichEditProperties);

static_assert(kWindowDescriptors.size() == 32);
static_assert(kEditBoxDescriptors.size() == 29);
static_assert(kGroupBoxDescriptors.size() == 13);
static_assert(kButtonDescriptors.size() == 14);
static_assert(kComboBoxDescriptors.size() == 25);
static_assert(kRichEditDescriptors.size() == 21);

template <typename Routine>
AnyRoutine Any(Routine routine) {
  return reinterpret_cast<AnyRoutine>(routine);
}

struct InterfaceEntry {
  int32_t number;
  AnyRoutine routine;
};

template <size_t N>
AnyRoutine Lookup(const InterfaceEntry (&table)[N], int32_t number) {
  for (const InterfaceEntry& entry : table)
    if (entry.number == number) return entry.routine;
  return nullptr;
}

#define MOLVANE_SHARED_INTERFACES                                                         \
  {kSetUnitProperty, Any(&SetUnitProperty)}, {kGetUnitProperty, Any(&GetUnitProperty)}, { \
    kWriteTypeData, Any(&WriteTypeData)                                                   \
  }

AnyRoutine WindowInterface(int32_t number) {
  static const InterfaceEntry kTable[] = {{kCreateUnit, Any(&CreateWindowUnit)},
                                          MOLVANE_SHARED_INTERFACES};
  return Lookup(kTable, number);
}
AnyRoutine EditBoxInterface(int32_t number) {
  static const InterfaceEntry kTable[] = {{kCreateUnit, Any(&CreateEditBox)},
                                          {kKeepsKey, Any(&EditKeepsKey)},
                                          MOLVANE_SHARED_INTERFACES};
  return Lookup(kTable, number);
}
AnyRoutine GroupBoxInterface(int32_t number) {
  static const InterfaceEntry kTable[] = {{kCreateUnit, Any(&CreateGroupBox)},
                                          MOLVANE_SHARED_INTERFACES};
  return Lookup(kTable, number);
}
AnyRoutine ButtonInterface(int32_t number) {
  static const InterfaceEntry kTable[] = {{kCreateUnit, Any(&CreateButton)},
                                          {kIsDefaultButton, Any(&ButtonIsDefault)},
                                          MOLVANE_SHARED_INTERFACES};
  return Lookup(kTable, number);
}
AnyRoutine ComboBoxInterface(int32_t number) {
  static const InterfaceEntry kTable[] = {{kCreateUnit, Any(&CreateComboBox)},
                                          MOLVANE_SHARED_INTERFACES};
  return Lookup(kTable, number);
}
AnyRoutine RichEditInterface(int32_t number) {
  static const InterfaceEntry kTable[] = {{kCreateUnit, Any(&CreateRichEdit)},
                                          {kKeepsKey, Any(&RichEditKeepsKey)},
                                          MOLVANE_SHARED_INTERFACES};
  return Lookup(kTable, number);
}

#undef MOLVANE_SHARED_INTERFACES

template <size_t N>
constexpr UnitTypeDescriptor Type(const char* name, const char* english, uint32_t flags,
                                  const std::array<PropertyDescriptor, N>& properties,
                                  UnitInterface interface) {
  return UnitTypeDescriptor{name,      english, nullptr,           {0, 0},    flags,
                            {0, 0, 0}, N,       properties.data(), interface, {0, 0}};
}

// Position = type number - 1; unused entries stay zero.
constexpr auto MakeCoreTypes() {
  std::array<UnitTypeDescriptor, 51> types{};
  types[0] = Type("窗口", "window", 0x800000D0, kWindowDescriptors, WindowInterface);
  types[4] = Type("编辑框", "EditBox", 0x80000040, kEditBoxDescriptors, EditBoxInterface);
  types[8] = Type("分组框", "GroupBox", 0x840140C0, kGroupBoxDescriptors, GroupBoxInterface);
  types[10] = Type("按钮", "Button", 0x80000840, kButtonDescriptors, ButtonInterface);
  types[13] = Type("组合框", "ComboBox", 0x80000240, kComboBoxDescriptors, ComboBoxInterface);
  return types;
}
constexpr auto MakeUserInterfaceTypes() {
  std::array<UnitTypeDescriptor, 9> types{};
  types[5] = Type("超级编辑框", "RichEdit", 0x00000040, kRichEditDescriptors, RichEditInterface);
  return types;
}

const std::array<UnitTypeDescriptor, 51> kCoreTypes = MakeCoreTypes();
const std::array<UnitTypeDescriptor, 9> kUserInterfaceTypes = MakeUserInterfaceTypes();

}  // namespace

const LibraryDescriptor kCoreLibrary = {
    .signature = kLibrarySignature,
    .identifier = "6d6f6c76616e652d636f72652d6c6962",
    .displayName = "core",
    .unitTypeCount = 51,
    .unitTypes = kCoreTypes.data(),
    .notify = CoreLibraryNotify,
    .commands = {nullptr, 0},
};

const LibraryDescriptor kUserInterfaceLibrary = {
    .signature = kLibrarySignature,
    .identifier = "6d6f6c76616e652d75692d6c69627279",
    .displayName = "user interface",
    .unitTypeCount = 9,
    .unitTypes = kUserInterfaceTypes.data(),
    .notify = nullptr,
    .commands = {nullptr, 0},
};

}  // namespace molvane::window
