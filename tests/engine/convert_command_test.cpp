// SPDX-License-Identifier: GPL-3.0-or-later
// The convert button's command against the loaded main window.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "runtime/runtime.h"
#include "runtime/support.h"
#include "support/engine_support.h"

namespace molvane::test {
namespace {

// The main window loaded by the real engine; the command is called as the
// button's click would call it.
class ConvertCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStartWindow(kMainWindowId);
    platform::ClearMessageBoxLog();
    SetFocus(nullptr);
  }

  void SetText(uint32_t id, int32_t index, const std::string& utf8) {
    const std::string gbk = Gbk(utf8);
    ArgRecord value = TextArg(gbk.c_str());
    WriteProperty(kMainWindowId, id, index, -1, value.low, value.high);
  }
  std::string Text(uint32_t id, int32_t index) {
    char* text =
        reinterpret_cast<char*>(static_cast<intptr_t>(ReadProperty(kMainWindowId, id, index, -1)));
    std::string out = text == nullptr ? "" : Utf8(text);
    FreeMemory(text);
    return out;
  }
  std::string Click(const std::string& input, const std::string& separator, int selection) {
    SetText(kInputBoxId, kRichEditContent, input);
    SetText(kSeparatorBoxId, kEditBoxContent, separator);
    WriteProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1,
                  static_cast<uint32_t>(selection), 0);
    ConvertCommand();
    return Output();
  }
  std::string Output() { return Text(kOutputBoxId, kRichEditContent); }
  HWND Native(uint32_t id) {
    return reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, id));
  }
};

TEST_F(ConvertCommandTest, EachNotationWithTheDefaultSeparator) {
  EXPECT_EQ(Click("中国", "", 0), "34-256\r\n1245-135\r\n");
  EXPECT_EQ(Click("中国", "", 1), "146-135\r\n16-246\r\n");
  EXPECT_EQ(Click("中国", "", 2), "vs\r\ngo");
  EXPECT_EQ(Click("中国", "", 3), "zhong\r\nguo\r\n");
  EXPECT_EQ(Click("中国", "", 4), "khk\r\nlgyi");
  EXPECT_TRUE(platform::MessageBoxLog().empty());
  // A result takes the focus; the input stays.
  EXPECT_EQ(GetFocus(), Native(kOutputBoxId));
  EXPECT_EQ(Text(kInputBoxId, kRichEditContent), "中国");
}

TEST_F(ConvertCommandTest, SeparatorIsPassedUntrimmed) {
  EXPECT_EQ(Click("中国", " ", 3), "zhong guo ");
  EXPECT_EQ(Click("中国", "--", 3), "zhong--guo--");
}

TEST_F(ConvertCommandTest, EmptyInputWarnsAndKeepsTheEarlierResult) {
  Click("中国", "", 3);
  EXPECT_EQ(Click("", "", 3), "zhong\r\nguo\r\n");
  ASSERT_EQ(platform::MessageBoxLog().size(), 1u);
  const platform::MessageBoxCall& box = platform::MessageBoxLog()[0];
  EXPECT_EQ(Utf8(box.text), "内容不能为空");
  EXPECT_EQ(Utf8(box.caption), "警告");
  EXPECT_EQ(box.style, 0x2030u);
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(GetFocus(), Native(kInputBoxId));
}

TEST_F(ConvertCommandTest, NothingConvertedLeavesFocusAlone) {
  Click("中国", "", 3);
  SetFocus(Native(kSeparatorBoxId));
  EXPECT_EQ(Click("  \r\n ", "", 3), "");  // not empty: no warning, old result gone
  EXPECT_TRUE(platform::MessageBoxLog().empty());
  EXPECT_EQ(GetFocus(), Native(kSeparatorBoxId));

  // No notation chosen: nothing converts and the focus stays.
  EXPECT_EQ(Click("中国", "", -1), "");
  EXPECT_EQ(GetFocus(), Native(kSeparatorBoxId));
}

}  // namespace
}  // namespace molvane::test
