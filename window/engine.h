// SPDX-License-Identifier: GPL-3.0-or-later
// The window engine behind the runtime's WindowEngine interface: the window
// registry, the loader, property access, event dispatch and the keyboard
// rules of the message loop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/runtime.h"
#include "window/template.h"
#include "window/unit.h"

namespace molvane::window {

class Engine : public WindowEngine {
 public:
  bool ReadTemplates(const void* data, uint32_t length, const void* handlerBase) override;
  int64_t ReadProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t sub) override;
  void WriteProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t sub,
                     uint64_t value) override;
  HWND LookupControl(uint32_t windowId, uint32_t unitId) override;
  bool LoadWindow(uint32_t windowId) override;
  bool AnyWindowAlive() override;
  bool PreTranslateMessage(MSG* message) override;
  bool Idle(int32_t count, uint32_t elapsedMs) override { return false; }
  void WindowGone(uint32_t windowId) override;
  int32_t RaiseEvent(EventRecord* record) override;
  void ReleaseWindows() override;

  void UnitDestroyed(UnitObject* unit);
  HWND FirstFocus(uint32_t windowId);

 private:
  struct Registered {
    WindowTemplate stored;
    std::string saved;  // the unit list as loading began
    bool hasSaved = false;
    bool loaded = false;
    UnitList Units() { return UnitList(&stored.units, stored.unitCount); }
  };

  Registered* Find(uint32_t windowId);
  UnitObject* ObjectAt(UnitList& units, uint32_t index);
  UnitObject* LiveObjectAt(UnitList& units, uint32_t index);
  uint32_t Keep(UnitObject* unit);
  bool Absolutize(UnitList& units, const void* handlerBase);
  const EventHandler* FindEventHandler(uint32_t windowId, uint32_t unitId, int32_t event);

  bool Load(Registered& window, bool reload, bool modal, HWND parent);
  bool CreateUnits(Registered& window, bool reload, bool modal, HWND parent,
                   std::vector<bool>* visible);
  void ArrangeControls(Registered& window, std::vector<bool>* visible);
  void FinishLoad(Registered& window, const std::vector<bool>& visible);

  int64_t ReadCommon(UnitList& units, uint32_t index, int32_t property);
  void WriteCommon(UnitList& units, uint32_t index, int32_t property, uint64_t value);
  void Recreate(UnitList& units, uint32_t index);

  std::vector<HWND> TabSequence(Registered& window);
  bool HandleKey(Registered& window, UnitObject* windowUnit, UINT key);

  std::vector<Registered> windows_;
  std::vector<const EventHandler*> handlers_;  // a bound handler's slot holds its position + 1
  std::vector<UnitObject*> objects_;           // an ObjectSlot holds its position + 1
  std::vector<HCURSOR> cursors_;               // a CursorSlot holds its position + 1
};

// A unit type of the runtime's library table by UnitTypeId, or null.
const UnitTypeDescriptor* FindUnitType(uint32_t typeId);

}  // namespace molvane::window
