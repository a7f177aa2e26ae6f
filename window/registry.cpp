// The unit type registry as data: the property tables of the six types, the
// unit type tables of the core (51 entries) and user-interface (9 entries)
// libraries, and the interface routines that hand out each type's routines.
#include <array>
#include <iterator>
#include "window/libraries.h"

#include "window/unit.h"

namespace molvane::window {

namespace {

constexpr PropertyDescriptor P(uint16_t type) {
  return PropertyDescriptor{{nullptr, nullptr, nullptr}, type, 0, nullptr};
}

// Entries 0 to 7: left, top, width, height, Tag, visible, disabled, pointer.
#define MOLVANE_COMMON_PROPERTIES \
  P(1001), P(1001), P(1001), P(1001), P(1005), P(1003), P(1003), P(1011)

constexpr PropertyDescriptor kWindowProperties[] = {MOLVANE_COMMON_PROPERTIES,
                                                    P(1005),
                                                    P(1006),
                                                    P(1017),
                                                    P(1009),
                                                    P(1006),
                                                    P(1012),
                                                    P(1006),
                                                    P(1003),
                                                    P(1003),
                                                    P(1003),
                                                    P(1006),
                                                    P(1003),
                                                    P(1010),
                                                    P(1003),
                                                    P(1003),
                                                    P(1003),
                                                    P(1016),
                                                    P(1001),
                                                    P(1003),
                                                    P(1003),
                                                    P(1006),
                                                    P(1003),
                                                    P(1003),
                                                    P(1005)};
constexpr PropertyDescriptor kEditBoxProperties[] = {MOLVANE_COMMON_PROPERTIES,
                                                     P(1005),
                                                     P(1006),
                                                     P(1014),
                                                     P(1017),
                                                     P(1013),
                                                     P(1003),
                                                     P(1001),
                                                     P(1003),
                                                     P(1006),
                                                     P(1006),
                                                     P(1006),
                                                     P(1005),
                                                     P(1006),
                                                     P(1006),
                                                     P(1001),
                                                     P(1001),
                                                     P(1001),
                                                     P(1001),
                                                     P(1005),
                                                     P(1018),
                                                     P(1020)};
constexpr PropertyDescriptor kGroupBoxProperties[] = {
    MOLVANE_COMMON_PROPERTIES, P(1005), P(1006), P(1014), P(1017), P(1013)};
constexpr PropertyDescriptor kButtonProperties[] = {
    MOLVANE_COMMON_PROPERTIES, P(1009), P(1006), P(1005), P(1006), P(1006), P(1013)};
constexpr PropertyDescriptor kComboBoxProperties[] = {MOLVANE_COMMON_PROPERTIES,
                                                      P(1006),
                                                      P(1005),
                                                      P(1001),
                                                      P(1001),
                                                      P(1001),
                                                      P(1005),
                                                      P(1003),
                                                      P(1001),
                                                      P(1014),
                                                      P(1017),
                                                      P(1013),
                                                      P(1001),
                                                      P(1024),
                                                      P(1024),
                                                      P(1018),
                                                      P(1020),
                                                      P(1003)};
constexpr PropertyDescriptor kRichEditProperties[] = {MOLVANE_COMMON_PROPERTIES,
                                                      P(1006),
                                                      P(1005),
                                                      P(1006),
                                                      P(1017),
                                                      P(1003),
                                                      P(1003),
                                                      P(1003),
                                                      P(1003),
                                                      P(1001),
                                                      P(1001),
                                                      P(1001),
                                                      P(1005),
                                                      P(1003)};

#undef MOLVANE_COMMON_PROPERTIES

static_assert(std::size(kWindowProperties) == 32);
static_assert(std::size(kEditBoxProperties) == 29);
static_assert(std::size(kGroupBoxProperties) == 13);
static_assert(std::size(kButtonProperties) == 14);
static_assert(std::size(kComboBoxProperties) == 25);
static_assert(std::size(kRichEditProperties) == 21);

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
                                  const PropertyDescriptor (&properties)[N],
                                  UnitInterface interface) {
  return UnitTypeDescriptor{name,      english, nullptr,    {0, 0},    flags,
                            {0, 0, 0}, N,       properties, interface, {0, 0}};
}

// Position = type number - 1; unused entries stay zero.
constexpr auto MakeCoreTypes() {
  std::array<UnitTypeDescriptor, 51> types{};
  types[0] = Type("窗口", "window", 0x800000D0, kWindowProperties, WindowInterface);
  types[4] = Type("编辑框", "EditBox", 0x80000040, kEditBoxProperties, EditBoxInterface);
  types[8] = Type("分组框", "GroupBox", 0x840140C0, kGroupBoxProperties, GroupBoxInterface);
  types[10] = Type("按钮", "Button", 0x80000840, kButtonProperties, ButtonInterface);
  types[13] = Type("组合框", "ComboBox", 0x80000240, kComboBoxProperties, ComboBoxInterface);
  return types;
}
constexpr auto MakeUserInterfaceTypes() {
  std::array<UnitTypeDescriptor, 9> types{};
  types[5] = Type("超级编辑框", "RichEdit", 0x00000040, kRichEditProperties, RichEditInterface);
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
