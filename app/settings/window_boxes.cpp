// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/window_boxes.h"

#include "engine/conversion.h"
#include "runtime/core_commands.h"
#include "runtime/runtime.h"

namespace molvane::settings {

std::string ReadBox(uint32_t controlId, int32_t index) {
  char* text = reinterpret_cast<char*>(
      static_cast<intptr_t>(ReadProperty(kMainWindowId, controlId, index, -1)));
  std::string content = text == nullptr ? std::string() : std::string(text);
  FreeMemory(text);
  return content;
}

void WriteBox(uint32_t controlId, int32_t index, const char* gbk) {
  ArgRecord value = TextArg(gbk);
  WriteProperty(kMainWindowId, controlId, index, -1, value.low, value.high);
}

void FocusBox(uint32_t controlId) {
  ArgRecord control = ControlArg(kMainWindowId, controlId, kTypeRichEdit);
  CallCoreCommand(FocusControl, 1, &control);
}

}  // namespace molvane::settings
