// SPDX-License-Identifier: GPL-3.0-or-later
// The door to the Qt 6 Widgets backend for code that does not include Qt:
// the desktop program, the benchmarks and the tests choose it here (its input
// module, for tests, is behind platform/qt/qt_input.h).
#pragma once

#include <memory>

#include "platform/backend.h"

namespace platform {

// The Qt backend; makes the process's QApplication on first use (Qt's
// offscreen platform when there is neither an X nor a Wayland display).
std::unique_ptr<Backend> CreateQtBackend();

// Linking the library also registers it as "qt" with the backend registry.

}  // namespace platform
