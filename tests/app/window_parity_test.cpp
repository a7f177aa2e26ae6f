// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert against the program's window: files joined in order, and
// --exact giving the output box byte for byte after a click of 转换.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/main_window.h"
#include "support/tool_runner.h"
#include "ui/program.h"

namespace molvane::test {
namespace {

using WindowParityTest = PlainToolTest;

std::string Gbk(const std::string& utf8) {
  return platform::Utf8ToGbk(utf8);
}

TEST_F(WindowParityTest, FilesJoinedInOrderInEitherEncoding) {
  Outcome r = Run({"-n", "shuangpin", "-s", " ", File("a", "中"), File("b", "国")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "vs go\n");
  r = Run({"--exact", "-e", "gbk", "-n", "wubi", "-s", "、", File("gbk", Gbk("中国"))});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Gbk("khk、lgyi"));
}

// The output box after one click of 转换 in the loaded main window (GBK).
std::string WindowOutput(const std::string& input, const std::string& separator, int notation) {
  using namespace testing_support;
  LoadStartWindow(kMainWindowId);  // once loaded, it is only activated
  FillBoxes(Gbk(input).c_str(), Gbk(separator).c_str());
  ChooseNotation(notation);
  ClickConvert();
  return TakeOutput(ReadOutput());
}

TEST_F(WindowParityTest, ExactGivesTheOutputBoxByteForByte) {
  const std::string sample = Read(MOLVANE_SAMPLE_TEXT);
  StartProgram();
  for (int notation = 0; notation < 5; ++notation) {
    for (const std::string separator : {"", " ", "、"}) {
      const std::string box = WindowOutput(sample, separator, notation);
      ASSERT_FALSE(box.empty());
      Outcome r = Run({"--exact", "-e", "gbk", "-n", std::to_string(notation), "-s", separator},
                      Gbk(sample));
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, box) << "notation " << notation << ", separator '" << separator << "'";
      // The window's text in UTF-8 is the UTF-8 run's output.
      EXPECT_EQ(Run({"--exact", "-n", std::to_string(notation), "-s", separator}, sample).out,
                platform::GbkToUtf8(box));
    }
  }
  ShutdownRuntime(0);
}

}  // namespace
}  // namespace molvane::test
