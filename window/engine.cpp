// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's registry of windows, its handle tables, event dispatch and
// the library notice that installs it.
#include "window/engine.h"

#include <algorithm>

#include "platform/platform.h"
#include "window/libraries.h"

namespace molvane::window {

namespace {

// The one engine of the process, as the runtime has one application object.
Engine* g_engine = nullptr;

[[noreturn]] void Report(const char* utf8) {
  ReportRuntimeFailure(0, platform::Utf8ToGbk(utf8).c_str());
}

}  // namespace

intptr_t CoreLibraryNotify(int32_t code, intptr_t, intptr_t) {
  if (code == 1 && g_engine == nullptr) {
    g_engine = new Engine();
    InstallWindowEngine(g_engine);
  }
  if (code == 6 && g_engine != nullptr) {
    InstallWindowEngine(nullptr);
    delete g_engine;
    g_engine = nullptr;
  }
  return 0;
}

void UnitWindowDestroyed(UnitObject* unit) {
  if (g_engine != nullptr) {
    g_engine->UnitDestroyed(unit);
    return;
  }
  unit->hwnd = nullptr;
  DestroyUnit(unit);
}

HWND FirstFocusControl(const UnitObject* window) {
  return g_engine == nullptr ? nullptr : g_engine->FirstFocus(window->windowId);
}

const UnitTypeDescriptor* FindUnitType(uint32_t typeId) {
  const LibraryDescriptor* library = RuntimeLibrary(static_cast<int32_t>(typeId >> 16) - 1);
  const uint32_t number = typeId & 0xFFFF;
  if (library == nullptr || number == 0 || number > library->unitTypeCount) return nullptr;
  const UnitTypeDescriptor* type = &library->unitTypes[number - 1];
  return type->interface == nullptr && type->flags == 0 ? nullptr : type;
}

Engine::Registered* Engine::Find(uint32_t windowId) {
  for (Registered& window : windows_)
    if (window.stored.windowId == windowId) return &window;
  return nullptr;
}

UnitObject* Engine::ObjectAt(UnitList& units, uint32_t index) {
  RecordLayout layout;
  if (!units.Layout(index, &layout)) return nullptr;
  const uint32_t cookie = units.Word(layout.x + kObjectSlot);
  return cookie == 0 || cookie > objects_.size() ? nullptr : objects_[cookie - 1];
}

UnitObject* Engine::LiveObjectAt(UnitList& units, uint32_t index) {
  UnitObject* unit = ObjectAt(units, index);
  return unit != nullptr && unit->hwnd != nullptr && IsWindow(unit->hwnd) ? unit : nullptr;
}

uint32_t Engine::Keep(UnitObject* unit) {
  for (size_t i = 0; i < objects_.size(); ++i)
    if (objects_[i] == nullptr) {
      objects_[i] = unit;
      return static_cast<uint32_t>(i + 1);
    }
  objects_.push_back(unit);
  return static_cast<uint32_t>(objects_.size());
}

bool Engine::Absolutize(UnitList& units, const void* handlerBase) {
  for (uint32_t i = 0; i < units.Count(); ++i) {
    RecordLayout layout;
    if (!units.Layout(i, &layout)) return false;
    const uint32_t count = IsMenuItemId(units.IdAt(i)) ? 1 : layout.bindingCount;
    const size_t step = IsMenuItemId(units.IdAt(i)) ? 0 : 8;
    const size_t first = IsMenuItemId(units.IdAt(i)) ? 0 : 4;
    for (uint32_t k = 0; k < count; ++k) {
      const size_t slot = layout.bindings + first + step * k;
      const uint32_t offset = units.Word(slot);
      uint32_t absolute = 0;
      if (offset != 0xFFFFFFFF && handlerBase != nullptr) {
        handlers_.push_back(
            reinterpret_cast<const EventHandler*>(static_cast<const char*>(handlerBase) + offset));
        absolute = static_cast<uint32_t>(handlers_.size());
      }
      units.SetWord(slot, absolute);
    }
  }
  return true;
}

bool Engine::ReadTemplates(const void* data, uint32_t length, const void* handlerBase) {
  std::vector<WindowTemplate> read;
  if (!window::ReadTemplates(static_cast<const uint8_t*>(data), length, &read)) return false;
  std::vector<Registered> added;
  for (WindowTemplate& stored : read) {
    Registered window;
    window.stored = std::move(stored);
    UnitList units = window.Units();
    if (!units.Valid() || !Absolutize(units, handlerBase)) return false;
    added.push_back(std::move(window));
  }
  for (Registered& window : added) windows_.push_back(std::move(window));
  return true;
}

bool Engine::AnyWindowAlive() {
  for (Registered& window : windows_) {
    UnitList units = window.Units();
    if (LiveObjectAt(units, 0) != nullptr) return true;
  }
  return false;
}

HWND Engine::LookupControl(uint32_t windowId, uint32_t unitId) {
  Registered* window = Find(windowId);
  if (window == nullptr) return nullptr;
  UnitList units = window->Units();
  const int32_t index = units.Find(unitId);
  UnitObject* unit = index < 0 ? nullptr : LiveObjectAt(units, static_cast<uint32_t>(index));
  return unit == nullptr ? nullptr : unit->hwnd;
}

// The unit's record is the one whose ObjectSlot holds it, not the first with
// its id: a stored list may repeat an id, and a control of the window type
// is not the window. Only the window's own unit (record 0) ends the window.
void Engine::UnitDestroyed(UnitObject* unit) {
  uint32_t cookie = 0;
  if (auto kept = std::find(objects_.begin(), objects_.end(), unit); kept != objects_.end()) {
    *kept = nullptr;
    cookie = static_cast<uint32_t>(kept - objects_.begin() + 1);
  }
  unit->hwnd = nullptr;
  bool isWindow = false;
  const uint32_t windowId = unit->windowId;
  if (Registered* window = Find(windowId); window != nullptr && cookie != 0) {
    UnitList units = window->Units();
    RecordLayout layout;
    for (uint32_t index = 0; index < units.Count(); ++index) {
      if (!units.Layout(index, &layout) || units.Word(layout.x + kObjectSlot) != cookie) continue;
      units.SetWord(layout.x + kObjectSlot, 0);
      const uint32_t cursor = units.Word(layout.x + kCursorSlot);
      if (cursor != 0 && cursor <= cursors_.size()) DestroyCursor(cursors_[cursor - 1]);
      units.SetWord(layout.x + kCursorSlot, 0);
      isWindow = index == 0;
      break;
    }
  }
  DestroyUnit(unit);
  if (isWindow) CallService(kServiceWindowGone, windowId);
}

void Engine::WindowGone(uint32_t windowId) {
  Registered* window = Find(windowId);
  if (window == nullptr) return;
  // Every control of the window is gone with it; their cursors too.
  UnitList units = window->Units();
  for (uint32_t i = 0; i < units.Count(); ++i) {
    RecordLayout layout;
    if (!units.Layout(i, &layout)) continue;
    const uint32_t cursor = units.Word(layout.x + kCursorSlot);
    if (cursor != 0 && cursor <= cursors_.size()) DestroyCursor(cursors_[cursor - 1]);
  }
  if (window->hasSaved) window->stored.units = std::move(window->saved);
  window->hasSaved = false;
  window->loaded = false;
}

void Engine::ReleaseWindows() {
  for (Registered& window : windows_) {
    UnitList units = window.Units();
    if (UnitObject* unit = LiveObjectAt(units, 0)) DestroyWindow(unit->hwnd);
  }
  windows_.clear();
}

HWND Engine::FirstFocus(uint32_t windowId) {
  Registered* window = Find(windowId);
  if (window == nullptr) return nullptr;
  std::vector<HWND> sequence = TabSequence(*window);
  return sequence.empty() ? nullptr : sequence.front();
}

const EventHandler* Engine::FindEventHandler(uint32_t windowId, uint32_t unitId, int32_t event) {
  if (EventsSuppressed()) return nullptr;
  Registered* window = Find(windowId);
  if (window == nullptr) Report("未找到引发事件的窗口");
  UnitList units = window->Units();
  const int32_t raising = unitId == 0 ? 0 : units.Find(unitId);
  if (raising < 0) Report("未找到引发事件的窗口组件");
  const uint32_t typeId = units.TypeId(static_cast<uint32_t>(raising));
  // The bindings of the last unit of the same type that the links reach.
  uint32_t source = static_cast<uint32_t>(raising);
  for (size_t steps = 0; units.Link(source) != 0 && steps < units.Count(); ++steps) {
    const int32_t linked = units.Find(units.Link(source));
    if (linked < 0 || units.TypeId(static_cast<uint32_t>(linked)) != typeId) break;
    source = static_cast<uint32_t>(linked);
  }
  const UnitTypeDescriptor* type = FindUnitType(typeId);
  if (type == nullptr || (type->flags & kRaisesEvents) == 0) Report("引发事件的窗口组件无效");
  RecordLayout layout;
  if (!units.Layout(source, &layout)) return nullptr;
  uint32_t handler = 0;
  if (typeId == kMenuItemType) {
    handler = units.Word(layout.bindings);
  } else {
    for (uint32_t k = 0; k < layout.bindingCount && handler == 0; ++k)
      if (static_cast<int32_t>(units.Word(layout.bindings + 8 * k)) == event) {
        handler = units.Word(layout.bindings + 8 * k + 4);
        break;
      }
  }
  if (handler == 0 || handler > handlers_.size()) return nullptr;
  SetCurrentEventSource({windowId, unitId == 0 ? units.IdAt(0) : unitId});
  return handlers_[handler - 1];
}

int32_t Engine::RaiseEvent(EventRecord* record) {
  const EventHandler* handler = FindEventHandler(record->windowId, record->unitId, record->event);
  if (handler == nullptr) return 0;
  int32_t returned = 0;
  const RoutedEvent routed = FindEventRoute(record->windowId, record->unitId, record->event);
  const bool hasValue =
      routed.route != nullptr
          ? routed.route(routed.context, *handler, record->args, record->argc, &returned)
          : (*handler)(record->args, record->argc, &returned);
  EventSource source = CurrentEventSource();
  source.windowId = 0;
  SetCurrentEventSource(source);
  if (hasValue) {
    record->hasResult = 1;
    record->result = returned;
  }
  return 1;
}

}  // namespace molvane::window
