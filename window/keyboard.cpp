// SPDX-License-Identifier: GPL-3.0-or-later
// The window objects' keyboard rules, applied in the message loop before a
// key message is dispatched: disabled targets, keys a control keeps, Tab and
// Shift+Tab over the tab sequence, Enter, Esc and F1.
#include <algorithm>

#include "window/engine.h"

namespace molvane::window {

namespace {

bool IsKeyMessage(UINT message) {
  return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

// The unit object of a window or of its nearest ancestor that has one (the
// edit part of a combo box belongs to the combo box).
UnitObject* OwningUnit(HWND window) {
  for (HWND at = window; at != nullptr; at = GetParent(at))
    if (UnitObject* unit = UnitOf(at)) return unit;
  return nullptr;
}

template <typename Routine>
Routine TypeRoutine(const UnitObject* unit, int32_t number) {
  const UnitTypeDescriptor* type = FindUnitType(unit->behaviour->typeId);
  return type == nullptr ? nullptr : reinterpret_cast<Routine>(type->interface(number));
}

bool IsEnabledDefaultButton(UnitObject* unit) {
  auto isDefault = TypeRoutine<IsDefaultButtonRoutine>(unit, kIsDefaultButton);
  return isDefault != nullptr && IsWindowEnabled(unit->hwnd) && isDefault(unit);
}

}  // namespace

std::vector<HWND> Engine::TabSequence(Registered& window) {
  UnitList units = window.Units();
  std::vector<std::pair<int32_t, HWND>> members;
  for (uint32_t i = units.Count(); i-- > 1;) {
    UnitObject* unit = LiveObjectAt(units, i);
    RecordLayout layout;
    if (unit == nullptr || !units.Layout(i, &layout)) continue;
    const UnitTypeDescriptor* type = FindUnitType(units.TypeId(i));
    if (type == nullptr || (type->flags & kNotInTabSequence) != 0) continue;
    if ((units.Word(layout.flags) & kUnitTabStop) == 0 || !IsWindowVisible(unit->hwnd) ||
        !IsWindowEnabled(unit->hwnd))
      continue;
    members.emplace_back(static_cast<int32_t>(units.Word(layout.tabOrder)), unit->hwnd);
  }
  std::stable_sort(members.begin(), members.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<HWND> sequence;
  for (const auto& member : members) sequence.push_back(member.second);
  return sequence;
}

bool Engine::HandleKey(Registered& window, UnitObject* windowUnit, UINT key) {
  UnitObject* focused = OwningUnit(GetFocus());
  if (focused != nullptr && focused != windowUnit) {
    auto keeps = TypeRoutine<KeepsKeyRoutine>(focused, kKeepsKey);
    if (keeps != nullptr && keeps(focused, key)) return false;
  }
  if (key == VK_RETURN && focused != nullptr && focused != windowUnit &&
      IsEnabledDefaultButton(focused)) {
    focused->Raise(0);
    return true;
  }
  if (key == VK_RETURN && !EnterMovesFocus(*windowUnit)) {
    UnitList units = window.Units();
    for (uint32_t i = 1; i < units.Count(); ++i)
      if (UnitObject* unit = LiveObjectAt(units, i);
          unit != nullptr && IsEnabledDefaultButton(unit)) {
        unit->Raise(0);
        break;
      }
    return true;
  }
  if (key == VK_TAB || key == VK_RETURN) {
    const std::vector<HWND> sequence = TabSequence(window);
    if (sequence.empty()) return true;
    const bool back = key == VK_TAB && GetKeyState(VK_SHIFT) < 0;
    const auto at =
        std::find(sequence.begin(), sequence.end(), focused == nullptr ? nullptr : focused->hwnd);
    const size_t n = sequence.size();
    size_t next;
    if (at == sequence.end())
      next = back ? n - 1 : 0;
    else
      next = (static_cast<size_t>(at - sequence.begin()) + (back ? n - 1 : 1)) % n;
    SetFocus(sequence[next]);
    return true;
  }
  if (key == VK_ESCAPE) {
    if (EscCloses(*windowUnit)) SendMessageA(windowUnit->hwnd, WM_CLOSE, 0, 0);
    return true;
  }
  // F1 opens help only when a help file is set up; this build has no help
  // viewer, so the key goes on to the control.
  return false;
}

bool Engine::PreTranslateMessage(MSG* message) {
  if (!IsKeyMessage(message->message) || message->hwnd == nullptr) return false;
  WindowUnit* windowUnit = WindowOf(message->hwnd);
  if (windowUnit == nullptr) return false;
  if (!IsWindowEnabled(message->hwnd)) return true;
  if (message->message != WM_KEYDOWN) return false;
  const auto key = static_cast<UINT>(message->wParam);
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
  Registered* window = Find(windowUnit->windowId);
  return window != nullptr && HandleKey(*window, windowUnit, key);
}

}  // namespace molvane::window
