// SPDX-License-Identifier: GPL-3.0-or-later
// Live units (the window and its controls) and the contract between the
// engine and each unit type: the stored settings of a type, read from and
// written to TypeData by a table, and the routines the type's interface
// routine hands out by number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "runtime/runtime.h"

namespace molvane::window {

// UnitTypeIds of the six types this engine creates.
constexpr uint32_t kWindowType = 0x10001;
constexpr uint32_t kMenuItemType = 0x10003;
constexpr uint32_t kEditBoxType = 0x10005;
constexpr uint32_t kGroupBoxType = 0x10009;
constexpr uint32_t kButtonType = 0x1000B;
constexpr uint32_t kComboBoxType = 0x1000E;
constexpr uint32_t kRichEditType = 0x20006;

// Type flags the engine looks at.
constexpr uint32_t kRaisesEvents = 0x40 | 0x04;
constexpr uint32_t kNotRecreated = 0x10;
constexpr uint32_t kPagedContainer = 0x100;
constexpr uint32_t kCreatedInvisible = 0x8000;
constexpr uint32_t kNotInTabSequence = 0x8000 | 0x10000;

// Interface numbers.
enum Interface : int32_t {
  kCreateUnit = 1,
  kSetUnitProperty = 4,
  kWriteTypeData = 5,
  kGetUnitProperty = 6,
  kKeepsKey = 8,
  kIsDefaultButton = 10,
};

// Two words exchanged with a type's get and set routines: the first word (or
// a pointer), and a second word (a length, or a high word).
struct PropertyValue {
  uintptr_t first = 0;
  uintptr_t second = 0;
};

// How a stored setting is coded in TypeData.
enum class Coding : uint8_t { kWord, kCounted, kItemList };

struct SettingField {
  int32_t ownIndex;
  Coding coding;
  uint32_t fromVersion;
  int64_t defaultWord;
  const char* defaultBytes;
};

struct TypeLayout {
  uint32_t knownVersion;
  const SettingField* fields;
  size_t fieldCount;
  int32_t ownCount;  // property count - 8
};

// One stored setting: a word, or bytes (texts, fonts, pictures, lists).
struct Setting {
  int64_t word = 0;
  std::string bytes;
};

class UnitObject;
using LiveGetter = void (*)(UnitObject* unit, PropertyValue* out);
using LiveSetter = void (*)(UnitObject* unit, const PropertyValue& in);

// A type's own behaviour: its layout and the properties that act on the live
// native window instead of (or besides) the stored setting.
struct LiveProperty {
  int32_t ownIndex;
  LiveGetter get;
  LiveSetter set;
};

struct TypeBehaviour {
  uint32_t typeId;
  const TypeLayout* layout;
  const LiveProperty* live;
  size_t liveCount;
};

// The layouts of the six types.
extern const TypeLayout kWindowLayout;
extern const TypeLayout kEditBoxLayout;
extern const TypeLayout kGroupBoxLayout;
extern const TypeLayout kButtonLayout;
extern const TypeLayout kComboBoxLayout;
extern const TypeLayout kRichEditLayout;

// Reads TypeData into settings (defaults first); false when it is cut short
// or its version is above the known one.
bool ReadSettings(const TypeLayout& layout, const std::string& typeData, std::vector<Setting>* out);
// Writes settings as TypeData of the known version.
std::string WriteSettings(const TypeLayout& layout, const std::vector<Setting>& settings);

// A live window or control: the object kept in the unit's ObjectSlot.
class UnitObject {
 public:
  virtual ~UnitObject() = default;
  HWND hwnd = nullptr;
  uint32_t windowId = 0;
  uint32_t unitId = 0;
  const TypeBehaviour* behaviour = nullptr;
  std::vector<Setting> settings;
  WNDPROC previous = nullptr;  // the class's procedure, called first
  HBRUSH background = nullptr;
  HFONT font = nullptr;
  bool muted = false;   // own change handling off while content is set
  std::string scratch;  // holds a live read until the caller copies it
  // Raises one of this unit's events with no arguments.
  int32_t Raise(int32_t event, EventRecord* record = nullptr) const;
  int64_t Word(int32_t own) const { return settings[static_cast<size_t>(own)].word; }
  const std::string& Bytes(int32_t own) const { return settings[static_cast<size_t>(own)].bytes; }
};

// The arguments of a type's create routine.
struct CreateRequest {
  const std::string* typeData;
  DWORD baseStyle;
  HWND parent;
  uintptr_t childIdOrMenu;
  int left, top, width, height;
  uint32_t windowId;
  uint32_t unitId;
  bool modal;  // visible to the window type while it is created
};

// The typed forms of the routines an interface routine hands out.
using CreateUnitRoutine = UnitObject* (*)(const CreateRequest& request);
using GetUnitPropertyRoutine = int32_t (*)(UnitObject* unit, int32_t own, PropertyValue* out);
using SetUnitPropertyRoutine = int32_t (*)(UnitObject* unit, int32_t own, const PropertyValue& in,
                                           uint32_t* out);
using WriteTypeDataRoutine = std::string (*)(UnitObject* unit);
using KeepsKeyRoutine = bool (*)(UnitObject* unit, UINT key);
using IsDefaultButtonRoutine = bool (*)(UnitObject* unit);

// The unit object of a native window made by this engine, or null.
UnitObject* UnitOf(HWND window);
// Subclasses a freshly made native window so its messages reach `unit`.
void Attach(UnitObject* unit, WNDPROC procedure);
// The type-independent part of the procedures: focus events after the
// platform's handling, and a notification handed back to its control.
LRESULT ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Destroys a unit's native window and what it made, then the object.
void DestroyUnit(UnitObject* unit);

// The generic property routines shared by all six types.
int32_t GetUnitProperty(UnitObject* unit, int32_t own, PropertyValue* out);
int32_t SetUnitProperty(UnitObject* unit, int32_t own, const PropertyValue& in, uint32_t* out);
std::string WriteTypeData(UnitObject* unit);

// The window object adds what it remembers between messages.
class WindowUnit : public UnitObject {
 public:
  HWND lastFocus = nullptr;  // the control that last had the focus
  bool activated = false;    // event 8 is raised at the first activation only
};
WindowUnit* WindowOf(HWND window);

// What the engine does for the units (engine.cpp).
// A unit's native window is gone: its slot is cleared and the object freed;
// for a window, its template is put back (service 2000).
void UnitWindowDestroyed(UnitObject* unit);
// The live, visible, enabled tab-stop control with the lowest TabOrder.
HWND FirstFocusControl(const UnitObject* window);

// The window type's creation and message handling (window_unit.cpp).
UnitObject* CreateWindowUnit(const CreateRequest& request);
extern const TypeBehaviour kWindowBehaviour;
int ShowCommand(const UnitObject& window);  // by the start position
bool EnterMovesFocus(const UnitObject& window);
bool EscCloses(const UnitObject& window);

// The five control types (controls.cpp).
UnitObject* CreateEditBox(const CreateRequest& request);
UnitObject* CreateGroupBox(const CreateRequest& request);
UnitObject* CreateButton(const CreateRequest& request);
UnitObject* CreateComboBox(const CreateRequest& request);
UnitObject* CreateRichEdit(const CreateRequest& request);
bool EditKeepsKey(UnitObject* unit, UINT key);
bool RichEditKeepsKey(UnitObject* unit, UINT key);
bool ButtonIsDefault(UnitObject* unit);

// Applies a border style (0 to 5) of an edit or rich edit box.
void ApplyBorderStyle(HWND window, int64_t style);
// The font of a unit: its stored LOGFONTA, or the default GUI font.
HFONT MakeFont(UnitObject* unit, const std::string& logFont);
// The stored background colour that stands for the system's button face.
constexpr int64_t kButtonFace = 0xFF000000;
// A background colour, kButtonFace resolved to the system's.
COLORREF ResolveColour(int64_t colour);

}  // namespace molvane::window
