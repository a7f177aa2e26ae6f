// SPDX-License-Identifier: GPL-3.0-or-later
#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "runtime/core_commands.h"
#include "runtime/support.h"

namespace molvane {

using constants::kArea;

const Converter kNotations[kNotationCount] = {
    CurrentBrailleConverter, DoubleSpellBrailleConverter, ShuangpinConverter, FullPinyinConverter,
    WubiConverter,
};

namespace {

char* ReadText(uint32_t controlId, int32_t index) {
  return reinterpret_cast<char*>(
      static_cast<intptr_t>(ReadProperty(kMainWindowId, controlId, index, -1)));
}

void WriteText(uint32_t controlId, int32_t index, const char* text) {
  ArgRecord value = TextArg(text);
  WriteProperty(kMainWindowId, controlId, index, -1, value.low, value.high);
}

void Focus(uint32_t controlId) {
  ArgRecord control = ControlArg(kMainWindowId, controlId, kTypeRichEdit);
  CallCoreCommand(FocusControl, 1, &control);
}

}  // namespace

void ConvertCommand() {
  // 1. Empty input: warn and leave everything else as it is.
  char* content = ReadText(kInputBoxId, kRichEditContent);
  bool empty = CompareTexts(content, kArea.emptyText) == 0;
  FreeMemory(content);
  if (empty) {
    Focus(kInputBoxId);
    ArgRecord box[3] = {TextArg(kArea.contentMustNotBeEmpty), IntArg(48),
                        TextArg(kArea.warningTitle)};
    CallCoreCommand(ShowMessageBox, 3, box);
    return;
  }

  // 2. The old result disappears before the new one is computed.
  WriteText(kOutputBoxId, kRichEditContent, kArea.emptyText);

  // 3. Dispatch by the notation list's selection.
  int32_t selection =
      static_cast<int32_t>(ReadProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1));
  for (int32_t notation = 0; notation < kNotationCount; ++notation) {
    if (selection != notation) continue;
    char* separator = ReadText(kSeparatorBoxId, kEditBoxContent);
    if (CompareTexts(separator, kArea.emptyText) == 0) {
      // A literal is stored without copying: freeing it later does nothing.
      AssignText(&separator, const_cast<char*>(kArea.lineBreak));
    }
    char* input = ReadText(kInputBoxId, kRichEditContent);
    char* result = kNotations[notation](&input, &separator);
    WriteText(kOutputBoxId, kRichEditContent, result == nullptr ? kArea.emptyText : result);
    FreeMemory(result);
    FreeMemory(input);
    FreeMemory(separator);
    break;
  }

  // 4. A result to look at takes the focus.
  char* output = ReadText(kOutputBoxId, kRichEditContent);
  bool hasOutput = CompareTexts(output, kArea.emptyText) != 0;
  FreeMemory(output);
  if (hasOutput) Focus(kOutputBoxId);
}

}  // namespace molvane
