// SPDX-License-Identifier: GPL-3.0-or-later
// The main window end to end: the program starts as it does for a user, and
// the tests act through the platform's input module only (clicks, typing,
// keys, list choices, the frame's close), so they can run on any backend.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/settings/convert_route.h"
#include "engine/conversion.h"
#include "platform/backend.h"
#include "platform/platform.h"
#ifdef MOLVANE_TEST_QT
#include "platform/qt/qt_input.h"
#endif
#include "runtime/runtime.h"
#include "runtime/support.h"
#include "support/gbk.h"
#include "ui/program.h"

namespace molvane {
namespace {

using testing_support::Utf8;

const uint32_t kStoredOrder[] = {0x1601000a, 0x16010009, 0x16010008, 0x16010007, 0x16010006,
                                 0x16010005, 0x16010004, 0x16010003, 0x16010002};

// Run once per backend the build has, so a display backend joins by
// registering itself.
class MainWindowTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::UseBackend(GetParam()));
#ifdef MOLVANE_TEST_QT
    // On Qt, a person's input: real Qt events and input-method commits.
    if (GetParam() == "qt") platform::SetInputModule(platform::CreateQtInputModule());
#endif
    platform::ClearMessageBoxLog();
    StartProgram();
    LoadStartWindow(kMainWindowId);
    Pump();
  }
  void TearDown() override {
    settings::RouteConvertButton(nullptr);
    ShutdownRuntime(0);
  }

  // Routes the convert button through settings beyond the stored program's.
  void Route(words::ReadingMode readings, settings::TextMode text = settings::TextMode::kHan,
             settings::Spacing spacing = settings::Spacing::kSyllable) {
    button_.settings.readings = readings;
    button_.settings.text = text;
    button_.settings.spacing = spacing;
    settings::RouteConvertButton(&button_);
  }
  settings::ConvertButton button_;

  static void Pump() {
    platform::Input().PumpUntilIdle([](MSG& m) { return PreTranslateRuntimeMessage(&m); });
  }
  static HWND Unit(uint32_t id) {
    return reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, id));
  }
  static std::string Content(uint32_t id, int32_t index) {
    char* text =
        reinterpret_cast<char*>(static_cast<intptr_t>(ReadProperty(kMainWindowId, id, index, -1)));
    std::string out = text == nullptr ? "" : Utf8(text);
    FreeMemory(text);
    return out;
  }
  static void Type(uint32_t id, const std::string& utf8) {
    platform::Input().Click(Unit(id));
    platform::Input().TypeText(utf8);
    Pump();
  }
  static void Key(int key, unsigned modifiers = 0) {
    platform::Input().PressKey(key, modifiers);
    Pump();
  }
  static void Convert(int notation) {
    platform::Input().ChooseItem(Unit(kNotationListId), notation);
    platform::Input().Click(Unit(kConvertButtonId));
    Pump();
  }
  static std::string Output() {
    return Content(kOutputBoxId, kRichEditContent);
  }
};

TEST_P(MainWindowTest, StartsCentredWithItsControlsInStoredOrder) {
  HWND window = Unit(kMainWindowUnitId);
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 680);
  EXPECT_EQ(rect.bottom - rect.top, 430);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 680) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 430) / 2);
  // Caption with system menu, fixed frame, both boxes, clipped children;
  // the platform clips the siblings of every top-level window, as Windows does.
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE),
            static_cast<LONG_PTR>(WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU |
                                  WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  EXPECT_TRUE(IsWindowVisible(window));

  // Child ids follow creation order (last stored first); the stored order is
  // the front-to-back order.
  HWND child = GetWindow(window, GW_CHILD);
  for (size_t k = 0; k < std::size(kStoredOrder); ++k) {
    ASSERT_EQ(child, Unit(kStoredOrder[k])) << k;
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), static_cast<LONG_PTR>(180 - 10 * k));
    EXPECT_TRUE(IsWindowVisible(child));
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);

  const auto style = [](uint32_t id) { return GetWindowLongPtrA(Unit(id), GWL_STYLE); };
  const LONG_PTR control = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  EXPECT_EQ(style(kInputBoxId), control | WS_TABSTOP | 0x00201044);
  EXPECT_EQ(GetWindowLongPtrA(Unit(kInputBoxId), GWL_EXSTYLE) & WS_EX_CLIENTEDGE,
            static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
  EXPECT_EQ(style(kSeparatorBoxId), control | WS_TABSTOP | ES_AUTOHSCROLL);
  EXPECT_EQ(style(kConvertButtonId), control | WS_TABSTOP | BS_MULTILINE | BS_CENTER | BS_VCENTER);
  EXPECT_EQ(style(kNotationListId), control | WS_TABSTOP | 0x00200040 | CBS_DROPDOWNLIST);
  EXPECT_EQ(style(0x1601000a), control | BS_GROUPBOX | BS_CENTER);

  // The list keeps its stored rectangle, level with the separator box beside
  // it: a drop-down list closes to its field, which the Song face's 12-px
  // cell keeps within 2 px of the stored 20.
  const auto placed = [window](uint32_t id) {
    RECT r{};
    GetWindowRect(Unit(id), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  const RECT list = placed(kNotationListId);
  EXPECT_EQ(list.left, 440);
  EXPECT_EQ(list.top, 246);
  EXPECT_EQ(list.right, 540);
  EXPECT_NEAR(list.bottom - list.top, 20, 2);
  const RECT separator = placed(kSeparatorBoxId);
  EXPECT_EQ(separator.top, list.top);
  EXPECT_NEAR(separator.bottom, list.bottom, 2);

  EXPECT_EQ(GetFocus(), Unit(kInputBoxId));
}

TEST_P(MainWindowTest, TheListOffersFiveNotationsAndTakesNoTyping) {
  HWND list = Unit(kNotationListId);
  ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 5);
  const char* items[] = {"老盲文", "新盲文", "双拼字根", "全拼", "五笔"};
  for (int k = 0; k < 5; ++k) {
    char text[32] = {};
    SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(Utf8(text), items[k]);
  }
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
  Type(kNotationListId, "abc");
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(ReadProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1), 0);
}

TEST_P(MainWindowTest, ClickConvertsIntoTheOutputBox) {
  Type(kInputBoxId, "中国");
  Convert(3);
  EXPECT_EQ(Output(), "zhong\r\nguo\r\n");
  EXPECT_EQ(GetFocus(), Unit(kOutputBoxId));

  Type(kSeparatorBoxId, " ");
  Convert(3);
  EXPECT_EQ(Output(), "zhong guo ");

  // The button's mnemonic converts as a click does.
  Type(kSeparatorBoxId, "-");
  Key('Z', platform::kAltModifier);
  EXPECT_EQ(Output(), "zhong -guo -");
  EXPECT_TRUE(platform::MessageBoxLog().empty());
}

TEST_P(MainWindowTest, EmptyInputWarnsOncePerClickAndFocusesTheInput) {
  platform::Input().Click(Unit(kConvertButtonId));
  Pump();
  ASSERT_EQ(platform::MessageBoxLog().size(), 1u);
  const platform::MessageBoxCall& box = platform::MessageBoxLog()[0];
  EXPECT_EQ(Utf8(box.text), "内容不能为空");
  EXPECT_EQ(Utf8(box.caption), "警告");
  EXPECT_EQ(box.style & 0xFF, MB_ICONWARNING);
  EXPECT_EQ(GetFocus(), Unit(kInputBoxId));
  platform::Input().Click(Unit(kConvertButtonId));
  Pump();
  EXPECT_EQ(platform::MessageBoxLog().size(), 2u);
}

TEST_P(MainWindowTest, TabWalksTheControlsAndWraps) {
  const uint32_t order[] = {kInputBoxId, kSeparatorBoxId, kNotationListId, kConvertButtonId,
                            kOutputBoxId};
  ASSERT_EQ(GetFocus(), Unit(kInputBoxId));
  for (size_t k = 1; k <= 5; ++k) {
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), Unit(order[k % 5])) << k;
  }
  for (size_t k = 5; k-- > 0;) {
    Key(VK_TAB, MK_SHIFT);
    EXPECT_EQ(GetFocus(), Unit(order[k])) << k;
  }
}

TEST_P(MainWindowTest, EscKeepsTheWindowAndEnterFollowsTheBox) {
  Key(VK_ESCAPE);
  EXPECT_TRUE(IsWindow(Unit(kMainWindowUnitId)));

  Type(kSeparatorBoxId, "x");
  Key(VK_RETURN);
  EXPECT_EQ(Content(kSeparatorBoxId, kEditBoxContent), "x");
  EXPECT_EQ(GetFocus(), Unit(kSeparatorBoxId));
  EXPECT_TRUE(platform::MessageBoxLog().empty());

  Type(kInputBoxId, "中");
  Key(VK_RETURN);
  platform::Input().TypeText("国");
  Pump();
  EXPECT_EQ(Content(kInputBoxId, kRichEditContent), "中\r\n国");
}

// A file of this process's own: suites running at once must not rewrite it
// while the converter reads it.
std::string SamplePath() {
  return ::testing::TempDir() + "molvane_sample." + std::to_string(getpid()) + ".txt";
}

// molvane-convert's output for the sample saved by SaveSample.
std::string BatchOutput(const std::string& options) {
  const std::string command = std::string(MOLVANE_CONVERT) + " " + options + " " + SamplePath();
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char buffer[4096];
  for (size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  EXPECT_EQ(pipe == nullptr ? -1 : pclose(pipe), 0) << options;
  return output;
}

// The first `bytes` of the sample text, whole characters, saved for the
// batch converter and returned.
std::string SaveSample(size_t bytes) {
  std::ifstream file(MOLVANE_SAMPLE_TEXT);
  std::string sample((std::istreambuf_iterator<char>(file)), {});
  sample = sample.substr(0, bytes);
  while (!sample.empty() && (static_cast<unsigned char>(sample.back()) & 0xC0) == 0x80)
    sample.pop_back();
  if (!sample.empty() && static_cast<unsigned char>(sample.back()) >= 0xC0) sample.pop_back();
  std::ofstream(SamplePath()) << sample;
  return sample;
}

// The window path gives what the batch converter gives, notation by notation.
TEST_P(MainWindowTest, MatchesTheBatchConverterOnASample) {
  Type(kInputBoxId, SaveSample(600));
  for (int notation = 0; notation < 5; ++notation) {
    Convert(notation);
    const std::string expected = BatchOutput("--exact -n " + std::to_string(notation));
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(Output(), expected) << "notation " << notation;
  }
  std::remove(SamplePath().c_str());
}

// The same settings give the same bytes in the window and in the batch
// converter, whatever they ask for (the window's own line breaks asked of
// the batch converter with --exact).
TEST_P(MainWindowTest, MatchesTheBatchConverterForTheSameSettings) {
  const std::string sample = SaveSample(900) + "\nMP3 播放器 3.5 元，12% (A) 《x》\n";
  std::ofstream(SamplePath()) << sample;
  Type(kInputBoxId, sample);
  Type(kSeparatorBoxId, "/");
  using settings::Spacing;
  using settings::TextMode;
  using words::ReadingMode;
  const struct {
    ReadingMode readings;
    TextMode text;
    Spacing spacing;
    const char* options;
  } kSettings[] = {
      {ReadingMode::kWords, TextMode::kHan, Spacing::kSyllable, "--readings=words"},
      {ReadingMode::kCharacters, TextMode::kFull, Spacing::kSyllable, "--text=full"},
      {ReadingMode::kWords, TextMode::kFull, Spacing::kWord,
       "--readings=words --text=full --spacing=word"},
  };
  for (const auto& s : kSettings) {
    Route(s.readings, s.text, s.spacing);
    for (int notation = 0; notation < 5; ++notation) {
      if (s.spacing == Spacing::kWord && (notation == 2 || notation == 4)) continue;
      Convert(notation);
      EXPECT_EQ(Output(), BatchOutput(std::string("--exact -s / ") + s.options + " -n " +
                                      std::to_string(notation)))
          << s.options << " notation " << notation;
    }
  }
  std::remove(SamplePath().c_str());
}

// Word readings route the click to the word path; the window's own rules
// (the empty-input warning, the focus, Wubi) stay the program's.
TEST_P(MainWindowTest, WordReadingsReadEachCharacterInItsWord) {
  Route(words::ReadingMode::kWords);
  Convert(3);
  ASSERT_EQ(platform::MessageBoxLog().size(), 1u);
  EXPECT_EQ(Utf8(platform::MessageBoxLog()[0].text), "内容不能为空");
  EXPECT_EQ(GetFocus(), Unit(kInputBoxId));

  Type(kInputBoxId, "银行行走");
  Type(kSeparatorBoxId, " ");
  Convert(3);
  EXPECT_EQ(Output(), "yin hang xing zou ");
  EXPECT_EQ(GetFocus(), Unit(kOutputBoxId));
  Convert(4);
  EXPECT_EQ(Output(), "qvey tfhh tfhh fhu");

  Route(words::ReadingMode::kCharacters);
  Convert(3);
  EXPECT_EQ(Output(), "yin hang hang zou ");
  EXPECT_EQ(platform::MessageBoxLog().size(), 1u);
}

// Full text routes the click to a command that writes punctuation, digits,
// letters and line breaks around the program's codes; Wubi keeps the input's
// lines; the empty-input warning stays the program's.
TEST_P(MainWindowTest, FullTextKeepsPunctuationDigitsAndLineBreaks) {
  Route(words::ReadingMode::kCharacters, settings::TextMode::kFull);
  Convert(0);
  ASSERT_EQ(platform::MessageBoxLog().size(), 1u);
  EXPECT_EQ(GetFocus(), Unit(kInputBoxId));

  Type(kInputBoxId, "你好，2026年！");
  Key(VK_RETURN);
  Type(kInputBoxId, "abc");
  Convert(0);
  EXPECT_EQ(Output(), "1345-24 125-235-5 3456-12-245-12-124 1345-146-56-2\r\n56-1-12-14");
  EXPECT_EQ(GetFocus(), Unit(kOutputBoxId));
  Convert(3);
  EXPECT_EQ(Output(), "ni hao, 2026 nian!\r\nabc");
  Type(kSeparatorBoxId, "|");
  Route(words::ReadingMode::kCharacters, settings::TextMode::kFull, settings::Spacing::kWord);
  Convert(3);
  EXPECT_EQ(Output(), "nihao,|2026|nian!\r\nabc");
  Convert(4);
  EXPECT_EQ(Output(), "wqiy|vbg|rhfk\r\n");  // the program's Wubi codes, a line a line

  SetEventRoute(kMainWindowId, kConvertButtonId, 0, nullptr);
  Convert(3);
  EXPECT_EQ(Output(), "ni|hao|nian|");
  EXPECT_EQ(platform::MessageBoxLog().size(), 1u);
}

// Full text with word readings: each character read in its word, the
// punctuation and the words' spacing as full text writes them.
TEST_P(MainWindowTest, FullTextReadsCharactersInTheirWords) {
  Type(kInputBoxId, "银行行走，一行字。");
  Route(words::ReadingMode::kWords, settings::TextMode::kFull);
  Convert(3);
  EXPECT_EQ(Output(), "yin hang xing zou, yi hang zi.");
  Route(words::ReadingMode::kWords, settings::TextMode::kFull, settings::Spacing::kWord);
  Convert(3);
  EXPECT_EQ(Output(), "yinhang xingzou, yihang zi.");
  Convert(0);  // 行走 xing zou: 125-16 1356-12356, not hang 125-236
  EXPECT_EQ(Output(), "126-125-236 125-16-1356-12356-5 24-125-236 1356-5-23");
  Route(words::ReadingMode::kCharacters, settings::TextMode::kFull, settings::Spacing::kWord);
  Convert(3);
  EXPECT_EQ(Output(), "yinhang hangzou, yihang zi.");
  SetEventRoute(kMainWindowId, kConvertButtonId, 0, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Backends, MainWindowTest, ::testing::ValuesIn(platform::BackendNames()),
                         [](const auto& info) { return info.param; });

// Closing the window ends the loop; the program then ends normally.
void CloseMainWindow(intptr_t) {
  static bool asked = false;
  if (asked) return;
  asked = true;
  platform::Input().CloseFromFrame(
      reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, kMainWindowUnitId)));
}

void ReportCleanUp(int32_t) {
  std::fprintf(stderr, "clean-up ran\n");
}

TEST(MainWindowEndTest, ClosingTheWindowEndsTheProgramWithCodeZero) {
  EXPECT_EXIT(
      {
        platform::SetBackend(platform::CreateHeadlessBackend());
        // The program entry's steps, with a routine of the test's own that
        // closes the window from the loop's idle phase.
        StartProgram();
        CallService(kServiceRegisterCleanup, reinterpret_cast<intptr_t>(&ReportCleanUp));
        AddIdleCallback(HiddenOwnerWindow(), CloseMainWindow, 0);
        LoadStartWindow(kMainWindowId);
        RunMessageLoop();
        RunMessageLoop();  // the window is gone: returns at once
        const int result = 0;
        std::fprintf(stderr, "loop ended\n");
        ShutdownRuntime(result);
        std::fflush(stderr);
        _exit(result);
      },
      ::testing::ExitedWithCode(0), "loop ended\nclean-up ran");
}

}  // namespace
}  // namespace molvane
