// SPDX-License-Identifier: GPL-3.0-or-later
// The core library's commands that program code calls through CallCoreCommand.
#pragma once

#include "runtime/runtime.h"

namespace molvane {

//   TextLength(text) -> int
//   TextMid(text, start int, count int) -> text
//   ToInteger(value) -> int
//   ToText(value) -> text
//   SplitText(text, [separator text], [most int]) -> text array
//   ShowMessageBox(content, [flags int], [caption text], [owner]) -> int (0 OK ... 6 No)
//   FocusControl(control) -> nothing
void TextLength(ArgRecord* result, int32_t argc, ArgRecord* args);
void TextMid(ArgRecord* result, int32_t argc, ArgRecord* args);
void ToInteger(ArgRecord* result, int32_t argc, ArgRecord* args);
void ToText(ArgRecord* result, int32_t argc, ArgRecord* args);
void SplitText(ArgRecord* result, int32_t argc, ArgRecord* args);
void ShowMessageBox(ArgRecord* result, int32_t argc, ArgRecord* args);
void FocusControl(ArgRecord* result, int32_t argc, ArgRecord* args);

}  // namespace molvane
