// The convert button's command against an in-memory main window.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "platform/platform.h"
#include "runtime/control_store.h"

namespace molvane::test {
namespace {

class ConvertCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.AddWindow(kMainWindowId);
    window_.AddControl(kMainWindowId, kInputBoxId, {kRichEditContent});
    window_.AddControl(kMainWindowId, kSeparatorBoxId, {kEditBoxContent});
    window_.AddControl(kMainWindowId, kNotationListId, {});
    window_.AddControl(kMainWindowId, kOutputBoxId, {kRichEditContent});
    InstallWindowEngine(&window_);
    platform::ClearMessageBoxLog();
    SetFocus(nullptr);
  }
  void TearDown() override { InstallWindowEngine(nullptr); }

  std::string Click(const std::string& input, const std::string& separator, int selection) {
    window_.SetText(kMainWindowId, kInputBoxId, kRichEditContent, Gbk(input));
    window_.SetText(kMainWindowId, kSeparatorBoxId, kEditBoxContent, Gbk(separator));
    window_.SetInteger(kMainWindowId, kNotationListId, kCurrentSelection, selection);
    ConvertCommand();
    return Output();
  }
  std::string Output() { return Utf8(window_.Text(kMainWindowId, kOutputBoxId, kRichEditContent)); }
  HWND Native(uint32_t id) { return window_.NativeWindow(kMainWindowId, id); }

  MemoryControlStore window_;
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
  EXPECT_EQ(Utf8(window_.Text(kMainWindowId, kInputBoxId, kRichEditContent)), "中国");
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

  for (int selection : {-1, 5}) {
    EXPECT_EQ(Click("中国", "", selection), "");
    EXPECT_EQ(GetFocus(), Native(kSeparatorBoxId));
  }
}

}  // namespace
}  // namespace molvane::test
