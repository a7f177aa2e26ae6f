// SPDX-License-Identifier: GPL-3.0-or-later
// The window's full-text command.
#include "app/convert/full_text_route.h"

#include <string>

#include "app/convert/full_text.h"
#include "app/convert/window_boxes.h"
#include "engine/conversion.h"
#include "platform/platform.h"
#include "runtime/core_commands.h"
#include "runtime/runtime.h"

namespace molvane::convert {
namespace {

// The route has no other way to learn the run's settings: they are set once
// before the window runs.
bool g_wordSpacing = false;
words::ReadingMode g_readings = words::ReadingMode::kCharacters;

// The program's converter of the notation over Chinese characters, or the
// word path's, one code a line.
std::string ConvertHan(int32_t notation, const std::string& gbk) {
  if (g_readings != words::ReadingMode::kCharacters)
    return words::ConvertGbk(gbk, static_cast<words::Notation>(notation), "\n", g_readings,
                             words::ToneStyle::kNone);
  char* input = const_cast<char*>(gbk.c_str());
  char lineBreak[] = "\n";
  char* separator = lineBreak;
  char* codes = kNotations[notation](&input, &separator);
  std::string result = codes == nullptr ? std::string() : std::string(codes);
  FreeMemory(codes);
  return result;
}

bool ConvertFullText(EventHandler bound, const int32_t* args, int32_t argc, int32_t* returned) {
  const auto notation =
      static_cast<int32_t>(ReadProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1));
  const std::string input = ReadBox(kInputBoxId, kRichEditContent);
  if (input.empty() || (notation != 0 && notation != 1 && notation != 3))
    return bound(args, argc, returned);  // the warning, or a notation without full text
  WriteBox(kOutputBoxId, kRichEditContent, "");
  FullTextSettings settings;
  settings.braille = notation != 3;
  const std::string separator = platform::GbkToUtf8(ReadBox(kSeparatorBoxId, kEditBoxContent));
  settings.blank = separator.empty() ? " " : separator;
  settings.lineBreak = "\r\n";
  settings.endWithLineBreak = false;
  settings.wordSpacing = g_wordSpacing;
  FullTextWriter writer(settings,
                        [notation](const std::string& gbk) { return ConvertHan(notation, gbk); });
  std::string output;
  FullTextFailure failure;
  if (!writer.Add(input, true, 0, &output, &failure) || !writer.Finish(&output, &failure))
    output.clear();  // only a program whose codes did not match gets here
  WriteBox(kOutputBoxId, kRichEditContent, platform::Utf8ToGbk(output).c_str());
  if (!output.empty()) FocusBox(kOutputBoxId);
  return false;
}

// Running out of memory ends the program with the runtime's report, as it
// does inside the program's converters; no exception leaves the event.
bool ConvertFullTextReporting(EventHandler bound, const int32_t* args, int32_t argc,
                              int32_t* returned) {
  return ReportingExhaustion([&] { return ConvertFullText(bound, args, argc, returned); });
}

}  // namespace

void RouteConvertButtonToFullText(bool wordSpacing, words::ReadingMode readings) {
  g_wordSpacing = wordSpacing;
  g_readings = readings;
  SetEventRoute(kMainWindowId, kConvertButtonId, 0, ConvertFullTextReporting);
}

}  // namespace molvane::convert
