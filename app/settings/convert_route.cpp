// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/convert_route.h"

#include <string>

#include "app/settings/conversion.h"
#include "app/settings/window_boxes.h"
#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "platform/platform.h"
#include "runtime/core_commands.h"
#include "runtime/runtime.h"

namespace molvane::settings {
namespace {

using constants::kArea;

bool ConvertRouted(ConvertButton& button, EventHandler bound, const int32_t* args, int32_t argc,
                   int32_t* returned) {
  const auto selection =
      static_cast<int32_t>(ReadProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1));
  if (selection < 0 || selection >= kNotationCount) return bound(args, argc, returned);
  Settings settings = button.settings;
  settings.notation = static_cast<Notation>(selection);
  settings.separator = platform::GbkToUtf8(ReadBox(kSeparatorBoxId, kEditBoxContent));
  settings.form = BrailleForm::kDots;
  // The window's tone choice is pinyin's; the other notations write none.
  if (settings.notation != Notation::kPinyin) settings.tones = words::ToneStyle::kNone;
  settings.windowLineBreaks = true;
  button.lost = Lost{};
  if (ConvertsAsStored(settings)) {
    // The program's own command writes the output; what it skipped is
    // counted beside it, for the window to say.
    const bool result = bound(args, argc, returned);
    Converter(settings).CountLost(ReadBox(kInputBoxId, kRichEditContent), true, &button.lost);
    return result;
  }

  const std::string input = ReadBox(kInputBoxId, kRichEditContent);
  if (input.empty()) {
    FocusBox(kInputBoxId);
    ArgRecord box[3] = {TextArg(kArea.contentMustNotBeEmpty), IntArg(48),
                        TextArg(kArea.warningTitle)};
    CallCoreCommand(ShowMessageBox, 3, box);
    return false;
  }
  WriteBox(kOutputBoxId, kRichEditContent, kArea.emptyText);
  Converter converter(settings);
  Converted converted;
  if (!converter.Convert(input, true, &converted))
    converted.text.clear();  // only a program whose codes did not match gets here
  button.lost = converted.lost;
  WriteBox(kOutputBoxId, kRichEditContent, platform::Utf8ToGbk(converted.text).c_str());
  if (!converted.text.empty()) FocusBox(kOutputBoxId);
  return false;
}

// Running out of memory ends the program with the runtime's report, as it
// does inside the program's converters; no exception leaves the event.
bool ConvertReporting(void* context, EventHandler bound, const int32_t* args, int32_t argc,
                      int32_t* returned) {
  auto& button = *static_cast<ConvertButton*>(context);
  return ReportingExhaustion([&] { return ConvertRouted(button, bound, args, argc, returned); });
}

}  // namespace

void RouteConvertButton(ConvertButton* button) {
  SetEventRoute(kMainWindowId, kConvertButtonId, 0, button == nullptr ? nullptr : ConvertReporting,
                button);
}

}  // namespace molvane::settings
