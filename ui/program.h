// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own frame: its header for the runtime, the lifecycle of the
// program-level variables, and the entry routine.
#pragma once

#include <cstdint>

#include "runtime/runtime.h"

namespace molvane {

// The main window's own unit, and its property that lets Esc close it.
constexpr uint32_t kMainWindowUnitId = 0x06010000;
constexpr int32_t kEscapeClosesWindow = 22;

// Bound to event 0 of the main window: raised once it and its controls exist.
void MainWindowCreated();

// The table of handler slots that the templates' handler offsets count into.
const void* HandlerBase();

// The record through which the runtime learns the constant area and the
// library table (core, user interface, regex).
const ProgramHeader& Header();

// Gives every program-level variable its empty value: the regex objects
// constructed, the arrays with one dimension and no elements.
void CreateProgramVariables();

// Compiles the shared regexes and cuts the key and braille tables into the
// program-level arrays.
void StartUp();

// The clean-up routine registered with the runtime: releases every
// program-level variable with everything it holds.
void ReleaseProgramVariables(int32_t position);

// Runtime initialisation, the variables, clean-up registration and StartUp:
// everything before the start window. A front end without a window calls
// this, works through the runtime, and ends with ShutdownRuntime(0).
void StartProgram();

// The whole entry: StartProgram, then the start window and the message loop.
int ProgramEntry();

}  // namespace molvane
