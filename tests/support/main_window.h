// SPDX-License-Identifier: GPL-3.0-or-later
// Test helpers that use the loaded main window as a person at it would: fill
// the boxes, choose a notation, click 转换, read the output box. Texts are
// GBK. None of them allocates except TakeOutput, so out-of-memory tests can
// fail every allocation they cause.
#pragma once

#include <cstdint>
#include <string>

#include "engine/conversion.h"
#include "platform/win32.h"
#include "runtime/runtime.h"

namespace testing_support {

inline void FillBoxes(const char* input, const char* separator) {
  using namespace molvane;
  ArgRecord text = TextArg(input);
  WriteProperty(kMainWindowId, kInputBoxId, kRichEditContent, -1, text.low, text.high);
  text = TextArg(separator);
  WriteProperty(kMainWindowId, kSeparatorBoxId, kEditBoxContent, -1, text.low, text.high);
}

inline void ChooseNotation(int notation) {
  using namespace molvane;
  WriteProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1,
                static_cast<uint32_t>(notation), 0);
}

inline void ClickConvert() {
  using namespace molvane;
  auto button =
      reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, kConvertButtonId));
  SendMessageA(button, BM_CLICK, 0, 0);
}

// The output box's text: a fresh runtime text, null when empty.
inline char* ReadOutput() {
  using namespace molvane;
  return reinterpret_cast<char*>(
      static_cast<intptr_t>(ReadProperty(kMainWindowId, kOutputBoxId, kRichEditContent, -1)));
}

// Takes a text from ReadOutput.
inline std::string TakeOutput(char* output) {
  std::string result = output == nullptr ? std::string() : std::string(output);
  molvane::FreeMemory(output);
  return result;
}

}  // namespace testing_support
