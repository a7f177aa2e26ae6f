// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt backend's input module, for tests and benchmarks only: it drives the
// widgets with Qt's test events, so it is a library of its own and the
// desktop program needs no test framework.
#pragma once

#include <memory>

#include "platform/backend.h"

namespace platform {

// Real Qt mouse and key events, and input-method commits for text beyond
// Latin-1.
std::unique_ptr<InputModule> CreateQtInputModule();

// Makes the Qt backend and this input module current.
void UseQtBackend();

}  // namespace platform
