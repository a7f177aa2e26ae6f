// SPDX-License-Identifier: GPL-3.0-or-later
// The window's menu bar end to end on the headless backend: the program
// starts as the desktop program starts it, and the tests act through the
// input module only (keys, menu clicks, typing, the frame's close).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/settings/conversion.h"
#include "app/window/choices_file.h"
#include "app/window/window_menus.h"
#include "app/window_options.h"
#include "engine/conversion.h"
#include "platform/backend.h"
#include "platform/platform.h"
#ifdef MOLVANE_TEST_QT
#include "platform/qt/qt_input.h"
#include "tests/ui/qt/file_dialog_hand.h"
#endif
#include "runtime/runtime.h"
#include "tests/support/tool_runner.h"
#include "ui/program.h"

namespace molvane::window {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Run once per backend the test executable has (the Qt one in ui_qt_tests).
class WindowMenusTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("molvane-menus-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    Start();
  }
  void TearDown() override {
    Stop();
    platform::SetFileDialogResponder(nullptr);
    fs::remove_all(folder_);
  }

  // The desktop program's start: the remembered choices, the program, the menus.
  void Start() {
    ASSERT_TRUE(platform::UseBackend(GetParam()));
#ifdef MOLVANE_TEST_QT
    if (GetParam() == "qt") platform::SetInputModule(platform::CreateQtInputModule());
#endif
    platform::ClearMessageBoxLog();
    button_ = {};
    menus_ = {};
    menus_.remembered = ReadChoices(Path());
    button_.settings = menus_.remembered.settings;
    menus_.button = &button_;
    menus_.choicesPath = Path();
    menus_.version = "9.8.7";
    StartProgram();
    LoadStartWindow(kMainWindowId);
    ASSERT_TRUE(AttachWindowMenus(&menus_));
    Pump();
  }
  void Stop() {
    settings::RouteConvertButton(nullptr);
    ShutdownRuntime(0);
  }
  std::string Path() const {
    return (folder_ / "molvane" / "molvane.ini").string();
  }

  static void Pump() {
    platform::Input().PumpUntilIdle([](MSG& m) { return PreTranslateRuntimeMessage(&m); });
  }
  static HWND Unit(uint32_t id) {
    return reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, id));
  }
  static void Key(int key, unsigned modifiers = 0) {
    platform::Input().PressKey(key, modifiers);
    Pump();
  }
  static std::string Output() {
    char* text = reinterpret_cast<char*>(
        static_cast<intptr_t>(ReadProperty(kMainWindowId, kOutputBoxId, kRichEditContent, -1)));
    std::string out = text == nullptr ? "" : platform::GbkToUtf8(text);
    FreeMemory(text);
    return out;
  }
  static void Convert(int notation, const std::string& utf8) {
    platform::Input().Click(Unit(kInputBoxId));
    platform::Input().TypeText(utf8);
    platform::Input().ChooseItem(Unit(kNotationListId), notation);
    platform::Input().Click(Unit(kConvertButtonId));
    Pump();
  }
  static bool Checked(UINT id) {
    return (GetMenuState(GetMenu(MainWindow()), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  static std::string Title() {
    char title[256] = {};
    GetWindowTextA(MainWindow(), title, sizeof title);
    return platform::GbkToUtf8(title);
  }

  static std::string Input() {
    char* text = reinterpret_cast<char*>(
        static_cast<intptr_t>(ReadProperty(kMainWindowId, kInputBoxId, kRichEditContent, -1)));
    std::string in = text == nullptr ? "" : platform::GbkToUtf8(text);
    FreeMemory(text);
    return in;
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories(folder_);
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The next file dialog is answered as a person would: on Qt the real
  // dialog gets the file type chosen and the path typed with keys; on the
  // headless backend its responder answers.
  void AnswerFileDialog(const std::string& path, int filterIndex) {
    dialogs_.push_back({});
#ifdef MOLVANE_TEST_QT
    if (GetParam() == "qt") {
      test::AnswerQtFileDialog(path, filterIndex,
                               [this](const std::string& title) { dialogs_.back().title = title; });
      return;
    }
#endif
    platform::SetFileDialogResponder([path, filterIndex, this](const platform::FileDialogCall& c) {
      dialogs_.back().call = c;
      return platform::FileDialogAnswer{platform::Utf8ToUtf16(path), filterIndex};
    });
  }

  fs::path folder_;
  struct SeenDialog {
    platform::FileDialogCall call;
    std::string title;
  };
  std::vector<SeenDialog> dialogs_;
  settings::ConvertButton button_;
  WindowMenus menus_;
};

// molvane-convert run beside the window, in a scratch folder of its own.
struct BatchConverter : test::ToolTest {
  BatchConverter() { SetUp(); }
  ~BatchConverter() override { TearDown(); }
  void TestBody() override {}
  using ToolTest::Run;
};

// A control's rectangle in the frame's client coordinates.
RECT InClient(HWND frame, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST_P(WindowMenusTest, FrameGrowsUntilTheInputBoxIsWholeAndControlsKeepTheirPlaces) {
  HWND frame = MainWindow();
  ASSERT_NE(GetMenu(frame), nullptr);
  EXPECT_EQ(GetMenuItemCount(GetMenu(frame)), 3);
  RECT client{}, outer{};
  GetClientRect(frame, &client);
  GetWindowRect(frame, &outer);
  const RECT input = InClient(frame, Unit(kInputBoxId));
  const RECT output = InClient(frame, Unit(kOutputBoxId));
  // The stored rectangles, unchanged.
  EXPECT_EQ(input.left, 160);
  EXPECT_EQ(input.top, 267);
  EXPECT_EQ(input.bottom - input.top, 180);
  EXPECT_EQ(output.top, 25);
  // Whole, with the output box's margin above repeated below.
  EXPECT_EQ(client.bottom, 447 + 25);
  EXPECT_EQ(outer.right - outer.left, 680);
  EXPECT_GT(outer.bottom - outer.top, 430 + GetSystemMetrics(SM_CYMENU));
}

TEST_P(WindowMenusTest, ChoicesMadeByKeyboardConvertAndAreRememberedForTheNextRun) {
  EXPECT_FALSE(Checked(kCommandWordReadings));
  EXPECT_FALSE(Checked(kCommandFullText));
  Key('O', platform::kAltModifier);
  Key('W');  // 按词注音
  Key('O', platform::kAltModifier);
  Key('A');  // 全文
  EXPECT_TRUE(Checked(kCommandWordReadings));
  EXPECT_TRUE(Checked(kCommandFullText));
  EXPECT_EQ(button_.settings.readings, words::ReadingMode::kWords);
  EXPECT_EQ(button_.settings.text, settings::TextMode::kFull);

  const std::string text = "银行行长说：你好。";
  Convert(3, text);
  settings::Settings expected = button_.settings;
  expected.notation = settings::Notation::kPinyin;
  settings::Converted converted;
  ASSERT_TRUE(settings::Converter(expected).Convert(text, false, &converted));
  EXPECT_EQ(Output(), converted.text);
  // 银行 and 行长 read as words, not with the character's first reading.
  EXPECT_NE(Output().find("hang"), std::string::npos) << Output();
  EXPECT_EQ(Output().find("xing"), std::string::npos) << Output();

  // The tone group is a radio group; the file keeps every choice.
  platform::Input().ClickMenuItem(MainWindow(), {1, 4, 2});
  Pump();
  EXPECT_EQ(button_.settings.tones, words::ToneStyle::kNumbers);
  const std::string file = ReadFile(Path());
  EXPECT_NE(file.find("readings=words"), std::string::npos) << file;
  EXPECT_NE(file.find("text=full"), std::string::npos) << file;
  EXPECT_NE(file.find("tones=numbers"), std::string::npos) << file;

  SendMessageA(Unit(kInputBoxId), EM_SETZOOM, 3, 2);
  platform::Input().CloseFromFrame(MainWindow());
  Pump();
  Stop();
  Start();
  EXPECT_TRUE(Checked(kCommandWordReadings));
  EXPECT_TRUE(Checked(kCommandFullText));
  EXPECT_EQ(GetMenuState(GetMenu(MainWindow()), kCommandTonesNumbers, MF_BYCOMMAND) & MF_CHECKED,
            static_cast<UINT>(MF_CHECKED));
  int numerator = 0, denominator = 0;
  SendMessageA(Unit(kInputBoxId), EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
               reinterpret_cast<LPARAM>(&denominator));
  EXPECT_EQ(numerator, 3);
  EXPECT_EQ(denominator, 2);
}

TEST_P(WindowMenusTest, WordSpacingIsOfferedWithFullTextOnly) {
  const auto grayed = [] {
    return (GetMenuState(GetMenu(MainWindow()), kCommandWordSpacing, MF_BYCOMMAND) & MF_GRAYED) !=
           0;
  };
  EXPECT_TRUE(grayed());
  platform::Input().ClickMenuItem(MainWindow(), {1, 1});  // 全文
  Pump();
  platform::Input().ClickMenuItem(MainWindow(), {1, 2});  // 按词连写
  Pump();
  EXPECT_FALSE(grayed());
  EXPECT_EQ(button_.settings.spacing, settings::Spacing::kWord);
  platform::Input().ClickMenuItem(MainWindow(), {1, 1});  // 全文 off takes word spacing along
  Pump();
  EXPECT_TRUE(grayed());
  EXPECT_EQ(button_.settings.spacing, settings::Spacing::kSyllable);
  EXPECT_EQ(ReadChoices(Path()).settings.spacing, settings::Spacing::kSyllable);
}

TEST_P(WindowMenusTest, TitleCountsWhatTheLastConversionCouldNotWrite) {
  const std::string stored = Title();
  Convert(4, "個人們");  // two traditional characters without a Wubi code
  EXPECT_NE(Title().find("2 个字符无法写出"), std::string::npos) << Title();
  EXPECT_TRUE(platform::MessageBoxLog().empty());
  const std::string output = Output();
  SetWindowTextA(Unit(kInputBoxId), "");
  Convert(4, "人");
  EXPECT_EQ(Title(), stored);
  EXPECT_FALSE(output.empty());
}

// The sixth list item, added after the stored five, converts through the
// shared Converter; 反向 reads the braille in the input box back.
TEST_P(WindowMenusTest, CommonBrailleIsTheSixthItemAndBackReadsBrailleIntoCharacters) {
  HWND list = Unit(kNotationListId);
  ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 6);
  const auto item = [&](int index) {
    char text[64] = {};
    SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return platform::GbkToUtf8(text);
  };
  EXPECT_EQ(item(0), "老盲文");
  EXPECT_EQ(item(5), "通用盲文");
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);

  Convert(5, "中国人民");
  settings::Settings expected = button_.settings;
  expected.notation = settings::Notation::kCommonBraille;
  expected.windowLineBreaks = true;
  settings::Converted converted;
  ASSERT_TRUE(settings::Converter(expected).Convert("中国人民", false, &converted));
  const std::string braille = Output();
  EXPECT_EQ(braille, converted.text);
  EXPECT_EQ(braille.rfind("34-256-1", 0), 0u) << braille;

  // 反向 by keyboard, remembered; the braille goes back into the input box.
  EXPECT_FALSE(Checked(kCommandBack));
  Key('O', platform::kAltModifier);
  Key('B');
  EXPECT_TRUE(Checked(kCommandBack));
  EXPECT_NE(ReadFile(Path()).find("back=on"), std::string::npos);
  // Typed a character's cells after another, blanks between them (a typed
  // line break would press the default button).
  const auto typed = [](std::string cells) {
    for (size_t at; (at = cells.find("\r\n")) != std::string::npos;) cells.replace(at, 2, " ");
    return cells;
  };
  SetWindowTextA(Unit(kInputBoxId), "");
  Convert(5, typed(braille));
  EXPECT_EQ(Output(), "中国人民");
  // Cells that read as nothing are marked and counted in the title.
  SetWindowTextA(Unit(kInputBoxId), "");
  Convert(5, "34-256-1 6-6");
  EXPECT_NE(Output().find("□"), std::string::npos) << Output();
  EXPECT_NE(Title().find("2 个字符无法写出"), std::string::npos) << Title();
  // Double-spell braille's own dots, written by the window, read back.
  platform::Input().ClickMenuItem(MainWindow(), {1, 6});  // 反向 off
  Pump();
  SetWindowTextA(Unit(kInputBoxId), "");
  Convert(1, "北京");
  const std::string doubleSpell = Output();
  platform::Input().ClickMenuItem(MainWindow(), {1, 6});
  Pump();
  SetWindowTextA(Unit(kInputBoxId), "");
  Convert(1, typed(doubleSpell));
  EXPECT_EQ(Output(), "北京");
  // Pinyin does not read back: a warning, no output.
  platform::ClearMessageBoxLog();
  Convert(3, "中");
  EXPECT_EQ(platform::MessageBoxLog().size(), 1u);
  EXPECT_EQ(Output(), "");

  Stop();
  Start();
  EXPECT_TRUE(Checked(kCommandBack));
  EXPECT_TRUE(button_.back);
}

TEST_P(WindowMenusTest, AboutTellsVersionLicenceAndSources) {
  platform::Input().ClickMenuItem(MainWindow(), {2, 0});
  Pump();
  ASSERT_EQ(platform::MessageBoxLog().size(), 1u);
  const std::string text = platform::GbkToUtf8(platform::MessageBoxLog()[0].text);
  EXPECT_EQ(platform::GbkToUtf8(platform::MessageBoxLog()[0].caption), "关于 Molvane");
  for (const char* part : {"9.8.7", "GPL-3.0-or-later", "Unihan", "rime-wubi", "CC-CEDICT"})
    EXPECT_NE(text.find(part), std::string::npos) << part;
}

// A UTF-16 file opened with Ctrl+O, the choices made from the menu by
// keyboard, the result saved as BRF with Ctrl+S: the file is what
// molvane-convert writes for the same text and choices.
TEST_P(WindowMenusTest, OpenedFileConvertsAndSavesAsTheBatchConverterWritesIt) {
  const std::string text =
      "银行行长说：“今天下雨了，我们2024年在北京见面。”\n第二段落有123个字。\n";
  std::string utf16 = "\xFF\xFE";
  for (char16_t unit : platform::Utf8ToUtf16(text)) {
    utf16 += static_cast<char>(unit & 0xFF);
    utf16 += static_cast<char>(unit >> 8);
  }
  const std::string source = Write("book.txt", utf16);
  AnswerFileDialog(source, 0);
  platform::Input().Click(Unit(kInputBoxId));
  Key('O', MK_CONTROL);
  ASSERT_EQ(dialogs_.size(), 1u);
  // The box keeps the text, its line breaks the box's own.
  std::string boxed = Input();
  std::erase(boxed, '\r');
  EXPECT_EQ(boxed, text);
  EXPECT_TRUE(platform::MessageBoxLog().empty());

  Key('O', platform::kAltModifier);
  Key('W');  // 按词注音
  Key('O', platform::kAltModifier);
  Key('A');  // 全文
  platform::Input().ChooseItem(Unit(kNotationListId), 0);
  platform::Input().Click(Unit(kConvertButtonId));
  Pump();
  ASSERT_FALSE(Output().empty());

  const std::string saved = (folder_ / "book.brf").string();
  AnswerFileDialog(saved, 2);
  Key('S', MK_CONTROL);
  ASSERT_EQ(dialogs_.size(), 2u);
  EXPECT_TRUE(platform::MessageBoxLog().empty());
  // Qt's own dialog speaks the window's language.
  if (GetParam() == "qt") {
    EXPECT_EQ(dialogs_[0].title, "打开");
    EXPECT_EQ(dialogs_[1].title, "另存为");
  } else {
    EXPECT_TRUE(dialogs_[1].call.save);
    EXPECT_TRUE(dialogs_[1].call.confirmOverwrite);
    EXPECT_TRUE(dialogs_[0].call.fileMustExist);
  }

  BatchConverter tool;
  const test::Outcome converted = tool.Run({"-n", "0", "--text=full", "--readings=words",
                                            "--spacing=syllable", "--braille=brf", source});
  ASSERT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(ReadFile(saved), converted.out);
  EXPECT_FALSE(fs::exists(saved + ".part"));
}

// What cannot go into the input box gets a message, and the box keeps its
// text: a binary file dropped on the window, a file longer than the box
// takes opened from the menu.
TEST_P(WindowMenusTest, FilesThatAreNoTextOrTooLongLeaveTheBoxAsItWas) {
  Convert(0, "中文");
  const std::string kept = Input();
  ASSERT_EQ(kept, "中文");

  const std::string binary = Write("picture.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  platform::Input().DropFiles(MainWindow(), {binary}, {300, 350});
  Pump();
  ASSERT_EQ(platform::MessageBoxLog().size(), 1u);
  EXPECT_NE(platform::GbkToUtf8(platform::MessageBoxLog()[0].text).find("不是文本文件"),
            std::string::npos);
  EXPECT_EQ(Input(), kept);

  SendMessageA(Unit(kInputBoxId), EM_EXLIMITTEXT, 0, 10);
  const std::string longer = Write("long.txt", "一二三四五\r\n六七八九十");  // 11 with CR LF as one
  AnswerFileDialog(longer, 0);
  platform::Input().ClickMenuItem(MainWindow(), {0, 0});
  Pump();
  ASSERT_EQ(platform::MessageBoxLog().size(), 2u);
  EXPECT_NE(platform::GbkToUtf8(platform::MessageBoxLog()[1].text).find("超过"), std::string::npos);
  EXPECT_EQ(Input(), kept);

  // Ten characters fit; a dropped text file opens like one chosen in 打开.
  const std::string fits = Write("fits.txt", "一二三四五\r\n六七八九");
  platform::Input().DropFiles(MainWindow(), {fits}, {300, 350});
  Pump();
  EXPECT_EQ(platform::MessageBoxLog().size(), 2u);
  EXPECT_EQ(Input(), "一二三四五\r\n六七八九");
}

// Saving never reports success it did not have: a folder that is not
// there, and braille asked of pinyin, each get a message and no file.
TEST_P(WindowMenusTest, SaveFailuresAreSaid) {
  Convert(3, "中文");
  const std::string nowhere = (folder_ / "missing" / "out.txt").string();
  AnswerFileDialog(nowhere, 0);
  Key('S', MK_CONTROL);
  ASSERT_EQ(platform::MessageBoxLog().size(), 1u);
  EXPECT_NE(platform::GbkToUtf8(platform::MessageBoxLog()[0].text).find("无法保存"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(nowhere));

  fs::create_directories(folder_);
  const std::string brf = (folder_ / "pinyin.brf").string();
  AnswerFileDialog(brf, 2);
  Key('S', MK_CONTROL);
  ASSERT_EQ(platform::MessageBoxLog().size(), 2u);
  EXPECT_FALSE(fs::exists(brf));

  // As text the pinyin is written whole, with LF line breaks and one at the end.
  const std::string text = (folder_ / "pinyin.txt").string();
  AnswerFileDialog(text, 0);
  Key('S', MK_CONTROL);
  EXPECT_EQ(platform::MessageBoxLog().size(), 2u);
  std::string expected = Output();
  std::erase(expected, '\r');
  if (!expected.ends_with('\n')) expected += '\n';
  EXPECT_EQ(ReadFile(text), expected);
}

TEST_P(WindowMenusTest, ExitClosesTheWindow) {
  HWND frame = MainWindow();
  platform::Input().ClickMenuItem(frame, {0, 3});
  Pump();
  EXPECT_FALSE(IsWindow(frame));
}

INSTANTIATE_TEST_SUITE_P(Backends, WindowMenusTest, ::testing::ValuesIn(platform::BackendNames()),
                         [](const auto& info) { return info.param; });

// The file on its own: where it lives, what it ignores.
TEST(ChoicesFileTest, LivesInTheConfigurationFolderAndIgnoresWhatItDoesNotKnow) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string before = saved == nullptr ? "" : saved;
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(ChoicesPath(), "/cfg/molvane/molvane.ini");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: as if unset
  setenv("HOME", "/home/reader", 1);
  EXPECT_EQ(ChoicesPath(), "/home/reader/.config/molvane/molvane.ini");
  if (saved == nullptr)
    unsetenv("XDG_CONFIG_HOME");
  else
    setenv("XDG_CONFIG_HOME", before.c_str(), 1);

  const fs::path path = fs::temp_directory_path() / ("molvane-ini-" + std::to_string(getpid()));
  std::ofstream(path) << "[window]\nreadings = words\ntones=loud\nspacing=word\n"
                         "input-zoom=1/0\noutput-zoom=5/4\nnonsense\n";
  const Choices read = ReadChoices(path.string());
  EXPECT_EQ(read.settings.readings, words::ReadingMode::kWords);
  EXPECT_EQ(read.settings.tones, words::ToneStyle::kNone);
  // Word spacing without full text is not a choice.
  EXPECT_EQ(read.settings.spacing, settings::Spacing::kSyllable);
  EXPECT_EQ(read.inputZoom, Zoom{});
  EXPECT_EQ(read.outputZoom, (Zoom{5, 4}));
  fs::remove(path);
  // Nothing remembered: the stored program.
  EXPECT_EQ(ReadChoices(path.string()).settings.readings, words::ReadingMode::kCharacters);
  EXPECT_EQ(ReadChoices(path.string()).settings.text, settings::TextMode::kHan);
}

TEST(ChoicesFileTest, CommandLineWinsOverRememberedChoices) {
  WindowOptions options;
  options.settings.text = settings::TextMode::kFull;
  options.settings.spacing = settings::Spacing::kWord;
  std::string arguments[] = {"molvane", "--text=han"};
  char* argv[] = {arguments[0].data(), arguments[1].data()};
  EXPECT_EQ(ParseWindowArguments(2, argv, &options), -1);
  EXPECT_EQ(options.settings.text, settings::TextMode::kHan);
  EXPECT_EQ(options.settings.spacing, settings::Spacing::kSyllable);
}

}  // namespace
}  // namespace molvane::window
