// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/convert_route.h"

#include <string>

#include "app/settings/conversion.h"
#include "app/settings/window_boxes.h"
#include "back/back.h"
#include "back/decoder.h"
#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "platform/platform.h"
#include "runtime/core_commands.h"
#include "runtime/runtime.h"

namespace molvane::settings {
namespace {

using constants::kArea;

// The program's warning box, as its own command shows it for an empty input.
void Warn(const char* text) {
  ArgRecord box[3] = {TextArg(text), IntArg(48), TextArg(kArea.warningTitle)};
  CallCoreCommand(ShowMessageBox, 3, box);
}

back::Notation BackNotation(Notation notation) {
  return notation == Notation::kDoubleBraille   ? back::Notation::kDoubleBraille
         : notation == Notation::kCommonBraille ? back::Notation::kCommonBraille
                                                : back::Notation::kCurrentBraille;
}

// 反向: the braille in the input box back into characters. Only braille
// reads back; with another notation chosen the box says so rather than
// converting forward in silence. A cell sequence that reads as nothing is
// marked in the output and counted in `lost`, for the window's title.
void ConvertBack(const Settings& settings, const std::string& gbk, Lost* lost) {
  if (!IsBraille(settings.notation)) {
    Warn(platform::Utf8ToGbk("反向只把盲文转回汉字：请选现行盲文、双拼盲文或通用盲文。").c_str());
    return;
  }
  const back::BackText text = back::Read(platform::GbkToUtf8(gbk), BackNotation(settings.notation));
  for (const back::Problem& problem : text.problems) lost->Add(0, problem.offset);
  std::string out;
  for (char c : back::Characters(text).text)
    out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  WriteBox(kOutputBoxId, kRichEditContent, platform::Utf8ToGbk(out).c_str());
  if (!out.empty()) FocusBox(kOutputBoxId);
}

bool ConvertRouted(ConvertButton& button, EventHandler bound, const int32_t* args, int32_t argc,
                   int32_t* returned) {
  const auto selection =
      static_cast<int32_t>(ReadProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1));
  if (selection < 0 || selection > static_cast<int32_t>(Notation::kCommonBraille))
    return bound(args, argc, returned);
  Settings settings = button.settings;
  settings.notation = static_cast<Notation>(selection);
  settings.separator = platform::GbkToUtf8(ReadBox(kSeparatorBoxId, kEditBoxContent));
  settings.form = BrailleForm::kDots;
  // The window's tone choice is pinyin's; the other notations write none.
  if (settings.notation != Notation::kPinyin) settings.tones = words::ToneStyle::kNone;
  settings.windowLineBreaks = true;
  button.lost = Lost{};
  if (ConvertsAsStored(settings) && !button.back) {
    // The program's own command writes the output; what it skipped is
    // counted beside it, for the window to say.
    const bool result = bound(args, argc, returned);
    Converter(settings).CountLost(ReadBox(kInputBoxId, kRichEditContent), true, &button.lost);
    return result;
  }

  const std::string input = ReadBox(kInputBoxId, kRichEditContent);
  if (input.empty()) {
    FocusBox(kInputBoxId);
    Warn(kArea.contentMustNotBeEmpty);
    return false;
  }
  WriteBox(kOutputBoxId, kRichEditContent, kArea.emptyText);
  if (button.back) {
    ConvertBack(settings, input, &button.lost);
    return false;
  }
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
