// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "runtime/core_commands.h"
#include "runtime/support.h"
#include "support/gbk.h"

namespace molvane {
namespace {

using testing_support::Gbk;

// Takes a command's text result into a std::string and frees it.
std::string Take(ArgRecord result) {
  char* text = ArgText(result);
  std::string s = text == nullptr ? "" : text;
  EXPECT_TRUE(text == nullptr || *text != '\0') << "empty texts are returned as null";
  FreeMemory(text);
  return s;
}

std::vector<std::string> TakeArray(ArgRecord result) {
  void* array = ArgPointer(result);
  std::vector<std::string> pieces;
  for (int32_t i = 1; i <= ArrayElementCount(array); ++i) {
    char* t = TextElement(array, i);
    pieces.push_back(t == nullptr ? "<null>" : t);
  }
  FreeTextArray(array);
  return pieces;
}

TEST(Texts, CompareIsByUnsignedBytesWithNullAsEmpty) {
  EXPECT_EQ(CompareTexts(nullptr, ""), 0);
  EXPECT_EQ(CompareTexts("a", nullptr), 1);
  EXPECT_EQ(CompareTexts(nullptr, "a"), -1);
  EXPECT_EQ(CompareTexts("A", "a"), -1);
  EXPECT_EQ(CompareTexts(Gbk("中").c_str(), "z"), 1);
  EXPECT_EQ(CompareTexts("ab", "ab"), 0);
  EXPECT_EQ(CompareTexts("ab", "abc"), -1);
}

TEST(Texts, ConcatAlwaysGivesANewBuffer) {
  const char* parts[] = {"", nullptr, ""};
  char* joined = ConcatTexts(3, parts);
  ASSERT_NE(joined, nullptr);
  EXPECT_EQ(joined[0], '\0');
  FreeMemory(joined);
  char* word = Concat("(?<=", Gbk("中").c_str(), ")[a-z]+");
  EXPECT_EQ(std::string(word), Gbk("(?<=中)[a-z]+"));
  FreeMemory(word);
}

TEST(Texts, LengthsAndTruncation) {
  EXPECT_EQ(TextByteLength(nullptr), 0);
  EXPECT_EQ(TextByteLength(Gbk("中a").c_str()), 3);
  EXPECT_EQ(TruncateToInteger(2.9), 2);
  EXPECT_EQ(TruncateToInteger(-2.9), -2);
  EXPECT_EQ(TruncateToInteger(4.0 + 1.0), 5);
}

TEST(Arrays, ElementCounts) {
  EXPECT_EQ(ArrayElementCount(nullptr), 0);
  int32_t empty[2] = {1, 0};
  EXPECT_EQ(ArrayElementCount(empty), 0);
  int32_t twoByThree[3] = {2, 3, 4};
  EXPECT_EQ(ArrayElementCount(twoByThree), 12);
  int32_t none[1] = {0};
  EXPECT_EQ(ArrayElementCount(none), 0);
}

TEST(Arrays, AppendGrowsAndTextArraysOwnTheirTexts) {
  void* array = NewEmptyArray();
  for (const char* word : {"a", "bc", "def"}) {
    char* copy = CopyText(word);
    AppendArrayElement(&array, &copy, sizeof copy);
  }
  ASSERT_EQ(ArrayElementCount(array), 3);
  EXPECT_STREQ(TextElement(array, 3), "def");
  AssignTextArray(&array, NewEmptyArray());  // frees the old texts (checked by the leak checker)
  EXPECT_EQ(ArrayElementCount(array), 0);
  FreeTextArray(array);
}

TEST(CoreCommands, TextLengthCountsBytes) {
  std::string text = Gbk("中a");
  ArgRecord arg = TextArg(text.c_str());
  EXPECT_EQ(ArgInt(CallCoreCommand(TextLength, 1, &arg)), 3);
}

// One-byte results are shared texts with the shortcuts on: the same texts.
TEST(CoreCommands, TextMid) {
  auto mid = [](const char* text, int32_t start, int32_t count) {
    ArgRecord args[3] = {TextArg(text), IntArg(start), IntArg(count)};
    return Take(CallCoreCommand(TextMid, 3, args));
  };
  for (bool shortcuts : {false, true}) {
    SetShortcutsEnabled(shortcuts);
    EXPECT_EQ(mid("2345", 2, 1), "3");
    EXPECT_EQ(mid("2345", 4, 1), "5");
    EXPECT_EQ(mid("2345", 5, 1), "");
    EXPECT_EQ(mid("2345", 0, 1), "");
    EXPECT_EQ(mid("2345", 3, 10), "45");
    EXPECT_EQ(mid("2345", 1, 0), "");
    EXPECT_EQ(mid("2345", 1, -3), "");
    EXPECT_EQ(mid("", 1, 1), "");
    EXPECT_EQ(mid(Gbk("中").c_str(), 2, 1), Gbk("中").substr(1));  // half a character
  }
  SetShortcutsEnabled(true);
}

TEST(CoreCommands, ToInteger) {
  auto toInt = [](ArgRecord arg) { return ArgInt(CallCoreCommand(ToInteger, 1, &arg)); };
  EXPECT_EQ(toInt(TextArg("6")), 6);
  EXPECT_EQ(toInt(TextArg("  -12abc")), -12);
  EXPECT_EQ(toInt(TextArg("abc")), 0);
  EXPECT_EQ(toInt(TextArg(Gbk("１２３").c_str())), 123);  // full-width digits fold
  EXPECT_EQ(toInt(TextArg(Gbk("　－７").c_str())), -7);   // full-width space and minus
  EXPECT_EQ(toInt(TextArg("99999999999")), 2147483647);
  EXPECT_EQ(toInt(DoubleArg(2.9)), 2);
  EXPECT_EQ(toInt(DoubleArg(-2.9)), -2);
  EXPECT_EQ(toInt(ArgRecord{0xFFFF, 0, kTypeShort}), -1);
  EXPECT_EQ(toInt(ArgRecord{0x1FF, 0, kTypeByte}), 255);
  EXPECT_EQ(toInt(Int64Arg(0x100000005LL)), 5);
  EXPECT_EQ(toInt(BoolArg(true)), 1);
  EXPECT_EQ(toInt(DoubleArg(1.5, kTypeDateTime)), 0);
  EXPECT_EQ(toInt(OmittedArg()), 0);
}

TEST(CoreCommands, ToText) {
  auto toText = [](ArgRecord arg) { return Take(CallCoreCommand(ToText, 1, &arg)); };
  for (bool shortcuts : {false, true}) {
    SetShortcutsEnabled(shortcuts);
    for (int32_t digit = 0; digit <= 9; ++digit)
      EXPECT_EQ(toText(IntArg(digit)), std::to_string(digit));
    EXPECT_EQ(toText(IntArg(10)), "10");
  }
  SetShortcutsEnabled(true);
  EXPECT_EQ(toText(IntArg(-17)), "-17");
  EXPECT_EQ(toText(ArgRecord{200, 0, kTypeByte}), "200");
  EXPECT_EQ(toText(Int64Arg(-5000000000LL)), "-5000000000");
  EXPECT_EQ(toText(DoubleArg(0.1)), "0.1");
  EXPECT_EQ(toText(DoubleArg(1.0 / 3)), "0.3333333333333");
  EXPECT_EQ(toText(BoolArg(true)), Gbk("真"));
  EXPECT_EQ(toText(BoolArg(false)), Gbk("假"));
  EXPECT_EQ(toText(TextArg("abc")), "abc");
  EXPECT_EQ(toText(OmittedArg()), "");
}

TEST(CoreCommands, ToTextOfDates) {
  auto toText = [](double days) {
    ArgRecord arg = DoubleArg(days, kTypeDateTime);
    return testing_support::Utf8(Take(CallCoreCommand(ToText, 1, &arg)));
  };
  EXPECT_EQ(toText(0), "1899年12月30日");
  EXPECT_EQ(toText(2.5), "1900年1月1日12时");
  EXPECT_EQ(toText(36526.0 + 0.75 + 30.0 / 1440), "2000年1月1日18时30分");
  EXPECT_EQ(toText(36526.0 + 1.0 / 86400), "2000年1月1日0时0分1秒");
  EXPECT_EQ(toText(-1.25), "1899年12月29日6时");
  EXPECT_EQ(toText(1e9), "9999年12月31日");  // clamped
}

TEST(CoreCommands, ToTextOfArraysAndByteSets) {
  int32_t bytes[3] = {1, 5, 0};
  std::memcpy(&bytes[2], "ab\0c", 4);
  ArgRecord set = PointerArg(bytes, kTypeByteSet);
  EXPECT_EQ(Take(CallCoreCommand(ToText, 1, &set)), "ab");
  int32_t ints[4] = {1, 2, 0x64636261, 0x00676665};
  ArgRecord array = PointerArg(ints, kTypeInt | kArrayFlag);
  EXPECT_EQ(Take(CallCoreCommand(ToText, 1, &array)), "abcdefg");
  ArgRecord texts = PointerArg(ints, kTypeText | kArrayFlag);
  EXPECT_EQ(Take(CallCoreCommand(ToText, 1, &texts)), "");
}

TEST(CoreCommands, SplitText) {
  auto split = [](const std::string& text, const char* separator, int most) {
    ArgRecord args[3] = {TextArg(text.c_str()), separator ? TextArg(separator) : OmittedArg(),
                         most >= -100 ? IntArg(most) : OmittedArg()};
    return TakeArray(CallCoreCommand(SplitText, 3, args));
  };
  using V = std::vector<std::string>;
  const int kNone = -1000;
  EXPECT_EQ(split("ab\r\ncd\r\n", "\r\n", kNone), (V{"ab", "cd"}));
  EXPECT_EQ(split("\r\nab", "\r\n", kNone), (V{"<null>", "ab"}));
  EXPECT_EQ(split("a,,b", nullptr, kNone), (V{"a", "<null>", "b"}));
  EXPECT_EQ(split("a,b,c", nullptr, 2), (V{"a", "b"}));
  EXPECT_EQ(split("a,b,c", nullptr, -4), V{});
  EXPECT_EQ(split("", "|", kNone), V{});
  EXPECT_EQ(split("abc", "", kNone), V{"abc"});
  EXPECT_EQ(split("d|uang|iang", "|", kNone), (V{"d", "uang", "iang"}));
  // "中" is D6 D0 and "】" is A1 BF: a separator byte inside a character never splits it.
  std::string gbk = Gbk("中") + "\xD0" + "x";
  EXPECT_EQ(split(gbk, "\xD0", kNone), (V{Gbk("中"), "x"}));
}

TEST(CoreCommands, ShowMessageBoxStyleCaptionAndAnswer) {
  platform::ClearMessageBoxLog();
  platform::SetMessageBoxResponder([](const platform::MessageBoxCall&) { return IDRETRY; });
  std::string title = Gbk("警告"), text = Gbk("内容不能为空");
  ArgRecord args[3] = {TextArg(text.c_str()), IntArg(0x30), TextArg(title.c_str())};
  EXPECT_EQ(ArgInt(CallCoreCommand(ShowMessageBox, 3, args)), 3);
  ArgRecord systemModal[2] = {IntArg(42), IntArg(0x1010)};
  CallCoreCommand(ShowMessageBox, 2, systemModal);
  ArgRecord bare = BoolArg(true);
  CallCoreCommand(ShowMessageBox, 1, &bare);
  platform::SetMessageBoxResponder(nullptr);

  const auto& log = platform::MessageBoxLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].style, 0x2030u);
  EXPECT_EQ(log[0].caption, title);
  EXPECT_EQ(log[1].text, "42");
  EXPECT_EQ(log[1].style, 0x1010u);
  EXPECT_EQ(log[2].text, Gbk("真"));
  EXPECT_EQ(log[2].caption, Gbk("信息："));
  EXPECT_EQ(log[2].style, 0x2000u);
}

// Two native windows standing for controls (1, 2) and (1, 3).
class TwoControls : public WindowEngine {
 public:
  TwoControls() {
    for (HWND& w : windows_)
      w = CreateWindowExA(0, "EDIT", "", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                          nullptr);
  }
  ~TwoControls() override {
    for (HWND w : windows_) DestroyWindow(w);
  }
  HWND LookupControl(uint32_t windowId, uint32_t id) override {
    return windowId == 1 && (id == 2 || id == 3) ? windows_[id - 2] : nullptr;
  }
  HWND Window(uint32_t id) { return windows_[id - 2]; }
  bool ReadTemplates(const void*, uint32_t, const void*) override { return true; }
  int64_t ReadProperty(uint32_t, uint32_t, int32_t, int32_t) override { return 0; }
  void WriteProperty(uint32_t, uint32_t, int32_t, int32_t, uint64_t) override {}
  bool LoadWindow(uint32_t) override { return false; }
  bool AnyWindowAlive() override { return false; }
  bool PreTranslateMessage(MSG*) override { return false; }
  bool Idle(int32_t, uint32_t) override { return false; }
  void WindowGone(uint32_t) override {}
  int32_t RaiseEvent(EventRecord*) override { return 0; }
  void ReleaseWindows() override {}

 private:
  HWND windows_[2];
};

TEST(CoreCommands, FocusControlResolvesThroughTheWindowEngine) {
  TwoControls engine;
  InstallWindowEngine(&engine);
  ArgRecord control = ControlArg(1, 3, kTypeRichEdit);
  CallCoreCommand(FocusControl, 1, &control);
  EXPECT_EQ(GetFocus(), engine.Window(3));
  control = ControlArg(1, 2, kTypeRichEdit);
  CallCoreCommand(FocusControl, 1, &control);
  EXPECT_EQ(GetFocus(), engine.Window(2));
  InstallWindowEngine(nullptr);
}

TEST(CoreCommands, FocusControlOnNoLiveControlIsReported) {
  EXPECT_EXIT(
      {
        testing_support::EchoMessageBoxes();
        static TwoControls engine;
        InstallWindowEngine(&engine);
        ArgRecord control = ControlArg(1, 9, kTypeRichEdit);
        CallCoreCommand(FocusControl, 1, &control);
      },
      ::testing::ExitedWithCode(255), "错误信息：指定窗口或窗口组件不存在或尚未载入");
}

}  // namespace
}  // namespace molvane

namespace molvane {
namespace {

// Appends the same parts with and without in-place growth and compares.
std::string AppendMany(bool shortcuts) {
  SetShortcutsEnabled(shortcuts);
  char* result = nullptr;
  const std::string longPart(5000, 'x');
  const char* const none = nullptr;  // a null text is the empty text
  for (int i = 0; i < 2000; ++i) {
    std::string part = std::to_string(i);
    AssignConcatOf(&result, result, part.c_str(), "\r\n");
    // Now and then a part longer than any room left, and a null part.
    if (i % 97 == 0) AssignConcatOf(&result, result, none, longPart.c_str(), none);
  }
  // Reading the variable's own text as a later part must see the old value.
  AssignConcatOf(&result, result, result);
  std::string s = result;
  FreeMemory(result);
  SetShortcutsEnabled(true);
  return s;
}

TEST(AssignConcat, InPlaceGrowthGivesThePlainResult) {
  std::string plain = AppendMany(false);
  EXPECT_EQ(AppendMany(true), plain);
  EXPECT_EQ(plain.size(), 2u * (2000 * 2 + 6890 + 21 * 5000));
  EXPECT_EQ(plain.size() % 2, 0u);
  EXPECT_EQ(plain.substr(0, plain.size() / 2), plain.substr(plain.size() / 2));
}

TEST(AssignConcat, AFreedOrReplacedTextIsNotGrownAgain) {
  char* a = nullptr;
  AssignConcatOf(&a, a, "abc");
  char* b = CopyText(a);
  FreeMemory(a);  // the runtime must forget a's block
  char* c = nullptr;
  AssignConcatOf(&c, b, "d");  // parts[0] is not c's text: a plain concatenation
  EXPECT_STREQ(c, "abcd");
  EXPECT_STREQ(b, "abc");
  AssignConcatOf(&c, c, "e");
  EXPECT_STREQ(c, "abcde");
  FreeMemory(b);
  FreeMemory(c);
}

}  // namespace
}  // namespace molvane
