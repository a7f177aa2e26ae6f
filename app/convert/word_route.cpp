// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/convert/word_route.h"

#include <string>

#include "app/convert/window_boxes.h"
#include "constants/constant_area.h"
#include "engine/conversion.h"
#include "runtime/core_commands.h"
#include "runtime/runtime.h"

namespace molvane::convert {
namespace {

using constants::kArea;

// The route has no other way to learn the run's settings: they are set once
// before the window runs.
words::ReadingMode g_mode = words::ReadingMode::kCharacters;
words::ToneStyle g_tones = words::ToneStyle::kNone;

bool ConvertRouted(EventHandler bound, const int32_t* args, int32_t argc, int32_t* returned) {
  const auto selection =
      static_cast<int32_t>(ReadProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1));
  if (selection < 0 || selection > static_cast<int32_t>(words::Notation::kFullPinyin))
    return bound(args, argc, returned);  // Wubi reads no syllables

  if (ReadBox(kInputBoxId, kRichEditContent).empty()) {
    FocusBox(kInputBoxId);
    ArgRecord box[3] = {TextArg(kArea.contentMustNotBeEmpty), IntArg(48),
                        TextArg(kArea.warningTitle)};
    CallCoreCommand(ShowMessageBox, 3, box);
    return false;
  }
  WriteBox(kOutputBoxId, kRichEditContent, kArea.emptyText);
  std::string separator = ReadBox(kSeparatorBoxId, kEditBoxContent);
  if (separator.empty()) separator = kArea.lineBreak;
  const std::string result =
      words::ConvertGbk(ReadBox(kInputBoxId, kRichEditContent),
                        static_cast<words::Notation>(selection), separator, g_mode, g_tones);
  WriteBox(kOutputBoxId, kRichEditContent, result.c_str());
  if (!ReadBox(kOutputBoxId, kRichEditContent).empty()) FocusBox(kOutputBoxId);
  return false;
}

// Running out of memory ends the program with the runtime's report, as it
// does inside the program's converters; no exception leaves the event.
bool ConvertWithWords(EventHandler bound, const int32_t* args, int32_t argc, int32_t* returned) {
  return ReportingExhaustion([&] { return ConvertRouted(bound, args, argc, returned); });
}

}  // namespace

void RouteConvertButton(words::ReadingMode mode, words::ToneStyle tones) {
  g_mode = mode;
  g_tones = tones;
  const bool programs = mode == words::ReadingMode::kCharacters && tones == words::ToneStyle::kNone;
  SetEventRoute(kMainWindowId, kConvertButtonId, 0, programs ? nullptr : ConvertWithWords);
}

}  // namespace molvane::convert
