// SPDX-License-Identifier: GPL-3.0-or-later
// The window loader: the window first, then its controls from the last stored
// to the first, parents and front-to-back order, cursors, showing, the first
// events and the first focus.
#include <algorithm>

#include "window/engine.h"

namespace molvane::window {

namespace {

constexpr UINT kLayoutMessage = 0x806F;
constexpr UINT kLoadedMessage = 0x8004;
constexpr UINT kFocusMessage = 0x8076;

}  // namespace

bool Engine::LoadWindow(uint32_t windowId) {
  Registered* window = Find(windowId);
  return window != nullptr && Load(*window, false, false, nullptr);
}

bool Engine::CreateUnits(Registered& window, bool reload, bool modal, HWND parent,
                         std::vector<bool>* visible) {
  UnitList units = window.Units();
  const uint32_t n = units.Count();
  visible->assign(n, false);
  uintptr_t nextChildId = 100;
  HWND windowHandle = nullptr;
  for (uint32_t step = 0; step < n; ++step) {
    const uint32_t i = step == 0 ? 0 : n - step;  // 0, then N-1 down to 1
    if (IsMenuItemId(units.IdAt(i))) continue;
    RecordLayout layout;
    const UnitTypeDescriptor* type = FindUnitType(units.TypeId(i));
    auto create = type == nullptr
                      ? nullptr
                      : reinterpret_cast<CreateUnitRoutine>(type->interface(kCreateUnit));
    if (create == nullptr || !units.Layout(i, &layout)) return false;
    const uint32_t flags = units.Word(layout.flags);
    DWORD base = 0;
    if ((type->flags & kCreatedInvisible) != 0) {
      (*visible)[i] = false;
    } else if (i != 0 || !reload) {
      (*visible)[i] = (flags & kUnitVisible) != 0;
      if ((flags & kUnitDisabled) != 0) base = WS_DISABLED;
    } else {
      (*visible)[i] = true;
    }
    if ((flags & kUnitTabStop) != 0) base |= WS_TABSTOP;
    const std::string typeData = units.TypeData(i);
    CreateRequest request{&typeData,
                          base,
                          i == 0 ? parent : windowHandle,
                          i == 0 ? 0 : nextChildId,
                          static_cast<int32_t>(units.Word(layout.x + kLeft)),
                          static_cast<int32_t>(units.Word(layout.x + kTop)),
                          static_cast<int32_t>(units.Word(layout.x + kWidth)),
                          static_cast<int32_t>(units.Word(layout.x + kHeight)),
                          window.stored.windowId,
                          units.IdAt(i),
                          modal};
    if (i != 0) nextChildId += 10;
    UnitObject* unit = create(request);
    if (unit == nullptr) return false;
    if (unit->hwnd == nullptr || !IsWindow(unit->hwnd)) {
      DestroyUnit(unit);
      return false;
    }
    units.SetWord(layout.x + kObjectSlot, Keep(unit));
    if (i == 0) windowHandle = unit->hwnd;
  }
  return true;
}

void Engine::ArrangeControls(Registered& window, std::vector<bool>* visible) {
  UnitList units = window.Units();
  UnitObject* windowUnit = ObjectAt(units, 0);
  std::vector<uint32_t> containers(units.Count(), 0);
  for (uint32_t i = 1; i < units.Count(); ++i) {
    RecordLayout layout;
    UnitObject* unit = ObjectAt(units, i);
    if (unit == nullptr || !units.Layout(i, &layout)) continue;
    containers[i] = units.Word(layout.x + kContainerId);
    const int32_t container = containers[i] == 0 ? -1 : units.Find(containers[i]);
    UnitObject* parent = container < 0 ? windowUnit : ObjectAt(units, container);
    if (parent != nullptr && GetParent(unit->hwnd) != parent->hwnd)
      SetParent(unit->hwnd, parent->hwnd);
    const UnitTypeDescriptor* type = FindUnitType(units.TypeId(i));
    if (type == nullptr || (type->flags & kPagedContainer) == 0) continue;
    // Children after the first zero entry belong to later pages.
    const uint32_t count = units.Word(layout.x + kChildCount);
    bool later = false;
    for (uint32_t k = 0; k < count; ++k) {
      const uint32_t child = units.Word(layout.x + kChildIds + 4 * k);
      if (child == 0) later = true;
      const int32_t at = child == 0 ? -1 : units.Find(child);
      if (later && at >= 0) (*visible)[static_cast<size_t>(at)] = false;
    }
  }
  // Front to back in stored order within each container.
  for (uint32_t i = 1; i < units.Count(); ++i) {
    UnitObject* unit = ObjectAt(units, i);
    if (unit == nullptr) continue;
    HWND after = HWND_TOP;
    for (uint32_t k = i - 1; k >= 1 && after == HWND_TOP; --k)
      if (containers[k] == containers[i] && ObjectAt(units, k) != nullptr)
        after = ObjectAt(units, k)->hwnd;
    SetWindowPos(unit->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Engine::FinishLoad(Registered& window, const std::vector<bool>& visible) {
  UnitList units = window.Units();
  const uint32_t n = units.Count();
  // Cursors: every stored pointer setting shows the standard arrow.
  for (uint32_t i = 0; i < n; ++i) {
    RecordLayout layout;
    if (IsMenuItemId(units.IdAt(i)) || !units.Layout(i, &layout)) continue;
    uint32_t cookie = 0;
    if (!units.CursorData(i).empty()) {
      cursors_.push_back(LoadCursorA(nullptr, IDC_ARROW));
      cookie = static_cast<uint32_t>(cursors_.size());
    }
    units.SetWord(layout.x + kCursorSlot, cookie);
  }
  for (uint32_t i = n; i-- > 0;)
    if (UnitObject* unit = LiveObjectAt(units, i)) SendMessageA(unit->hwnd, kLayoutMessage, 0, 0);
  UnitObject* windowUnit = LiveObjectAt(units, 0);
  SendMessageA(windowUnit->hwnd, kLoadedMessage, 0, 0);
  for (uint32_t i = 1; i < n; ++i)
    if (UnitObject* unit = LiveObjectAt(units, i))
      ShowWindow(unit->hwnd, visible[i] ? SW_SHOWNA : SW_HIDE);
}

bool Engine::Load(Registered& window, bool reload, bool modal, HWND parent) {
  {
    UnitList units = window.Units();
    if (UnitObject* live = LiveObjectAt(units, 0); live != nullptr && !reload) {
      if (IsIconic(live->hwnd))
        ShowWindow(live->hwnd, SW_RESTORE);
      else
        SetActiveWindow(live->hwnd);
      return true;
    }
  }
  if (!modal && parent != nullptr && !IsWindow(parent)) return false;
  CallService(kServiceSuppressEvents);
  window.saved = window.stored.units;
  window.hasSaved = true;
  std::vector<bool> visible;
  if (!CreateUnits(window, reload, modal, parent, &visible)) {
    window.saved.clear();
    window.hasSaved = false;
    // Events stay possible for whatever runs after the failed load.
    CallService(kServiceAllowEvents);
    return false;
  }
  ArrangeControls(window, &visible);
  FinishLoad(window, visible);
  CallService(kServiceAllowEvents);

  UnitList units = window.Units();
  UnitObject* windowUnit = LiveObjectAt(units, 0);
  const HWND handle = windowUnit->hwnd;
  for (int32_t event : {0, 3, 4})
    if (IsWindow(handle)) windowUnit->Raise(event);
  if (!IsWindow(handle)) return true;
  RecordLayout layout;
  units.Layout(0, &layout);
  if ((units.Word(layout.flags) & kUnitVisible) != 0 || reload) {
    ShowWindow(handle, ShowCommand(*windowUnit));
    HWND focus = GetFocus();
    if (focus != nullptr && (focus == handle || IsChild(handle, focus)))
      if (UnitObject* focused = UnitOf(focus)) focused->Raise(-7);
  }
  if (!IsWindow(handle)) return true;
  const HWND focus = GetFocus();
  for (uint32_t i = units.Count(); i-- > 0;)
    if (UnitObject* unit = LiveObjectAt(units, i)) SendMessageA(unit->hwnd, kFocusMessage, 0, 0);
  if (GetFocus() != focus) SetFocus(focus);
  window.loaded = true;
  return true;
}

}  // namespace molvane::window
