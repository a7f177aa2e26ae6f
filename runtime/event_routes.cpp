// SPDX-License-Identifier: GPL-3.0-or-later
// The event routes. They are process-wide because a front end sets them once
// for the whole run, across the runtime's restarts; they are set before any
// window exists and read only on the GUI thread.
#include <algorithm>
#include <vector>

#include "runtime/runtime.h"

namespace molvane {
namespace {

struct Route {
  uint32_t windowId;
  uint32_t unitId;
  int32_t event;
  RoutedEvent routed;
};

std::vector<Route>& Routes() {
  static std::vector<Route> routes;
  return routes;
}

auto Matching(uint32_t windowId, uint32_t unitId, int32_t event) {
  return [=](const Route& r) {
    return r.windowId == windowId && r.unitId == unitId && r.event == event;
  };
}

}  // namespace

void SetEventRoute(uint32_t windowId, uint32_t unitId, int32_t event, EventRoute route,
                   void* context) {
  std::erase_if(Routes(), Matching(windowId, unitId, event));
  if (route != nullptr) Routes().push_back({windowId, unitId, event, {route, context}});
}

RoutedEvent FindEventRoute(uint32_t windowId, uint32_t unitId, int32_t event) {
  const auto& routes = Routes();
  const auto found = std::find_if(routes.begin(), routes.end(), Matching(windowId, unitId, event));
  return found == routes.end() ? RoutedEvent{} : found->routed;
}

}  // namespace molvane
