// SPDX-License-Identifier: GPL-3.0-or-later
// What the routed convert commands (word readings, full text) do with the
// main window's controls, through the runtime entries as the program does.
#pragma once

#include <cstdint>
#include <string>

namespace molvane::settings {

// A control's text property: the fresh GBK text the runtime hands out,
// copied and freed.
std::string ReadBox(uint32_t controlId, int32_t index);

// Replaces a control's text property with the GBK text `gbk`.
void WriteBox(uint32_t controlId, int32_t index, const char* gbk);

// Gives a rich edit box of the main window the keyboard focus.
void FocusBox(uint32_t controlId);

}  // namespace molvane::settings
