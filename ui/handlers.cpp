// SPDX-License-Identifier: GPL-3.0-or-later
// The routines that the window template binds to events, and the table of
// handler slots that stored handler offsets count into.
#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "ui/program.h"

namespace molvane {

void MainWindowCreated() {
  // Esc must not close the main window: it would drop the user's text.
  WriteProperty(kMainWindowId, kMainWindowUnitId, kEscapeClosesWindow, -1, 0, 0);
}

namespace {

// Neither routine takes arguments or returns a value.
template <void (*Routine)()>
bool WithoutArguments(const int32_t*, int32_t, int32_t*) {
  Routine();
  return false;
}

#define MOLVANE_HANDLER_SLOT(routine) &WithoutArguments<routine>,
const EventHandler kHandlerTable[] = {MOLVANE_TEMPLATE_ROUTINES(MOLVANE_HANDLER_SLOT)};
#undef MOLVANE_HANDLER_SLOT

}  // namespace

const void* HandlerBase() {
  return kHandlerTable;
}

}  // namespace molvane
