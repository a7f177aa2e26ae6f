// SPDX-License-Identifier: GPL-3.0-or-later
// The two libraries whose unit types this engine provides: the core library
// (the window and four control types) and the user-interface library (the
// rich edit box). The core library's start notice installs the engine.
#pragma once

#include <cstdint>

#include "runtime/runtime.h"

namespace molvane::window {

extern const LibraryDescriptor kCoreLibrary;
extern const LibraryDescriptor kUserInterfaceLibrary;

// 1: the runtime starts the library (the window engine is installed);
// 6: it ends (the engine is removed).
intptr_t CoreLibraryNotify(int32_t code, intptr_t arg1, intptr_t arg2);

}  // namespace molvane::window
