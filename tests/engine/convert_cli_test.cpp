// molvane-convert run as a user would: options, files, encodings, failures.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "support/main_window.h"
#include "support/tool_runner.h"

namespace molvane::test {
namespace {

using ConvertCliTest = ToolTest;

TEST_F(ConvertCliTest, NotationsBySeveralNames) {
  for (const char* name : {"3", "全拼", "pinyin"}) {
    Outcome r = Run({"--exact", "-n", name, "-s", " "}, "中国\n");
    EXPECT_EQ(r.status, 0) << name << r.err;
    EXPECT_EQ(r.out, "zhong guo ") << name;
  }
  EXPECT_EQ(Run({"--exact"}, "八a女").out, "12-35\r\n1345-346\r\n");  // notation 0
  EXPECT_EQ(Run({"--exact", "-n", "double-braille", "-s", " "}, "八").out, "24-2345 ");
  // A zero byte does not end the text.
  EXPECT_EQ(Run({"--exact", "-n", "wubi", "-s", " "}, std::string("中\0国", 7)).out, "khk lgyi");
}

TEST_F(ConvertCliTest, FilesJoinedInOrderInEitherEncoding) {
  Outcome r = Run({"-n", "shuangpin", "-s", " ", File("a", "中"), File("b", "国")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "vs go\n");
  r = Run({"--exact", "-e", "gbk", "-n", "wubi", "-s", "、", File("gbk", Gbk("中国"))});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Gbk("khk、lgyi"));
}

TEST_F(ConvertCliTest, Failures) {
  Outcome r = Run({"-n", "pinyin"}, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("内容不能为空"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  r = Run({"-n", "9"}, "中");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Try 'molvane-convert --help'"), std::string::npos);
  EXPECT_EQ(Run({"-s"}, "中").status, 2);  // no value

  r = Run({"-h"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage:"), std::string::npos);

  r = Run({dir_ + "/missing.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing.txt: No such file or directory"), std::string::npos) << r.err;

  r = Run({"-n", "pinyin"}, "中\xff国");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("offset 3"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Run({}, "a\xed\xa0\x80").status, 1);  // a surrogate is not UTF-8
}

TEST_F(ConvertCliTest, WordReadingsAndToneForms) {
  const auto pinyin = [this](std::vector<std::string> options, const std::string& input) {
    options.insert(options.begin(), {"--exact", "-n", "pinyin", "-s", " "});
    Outcome r = Run(options, input);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  };
  EXPECT_EQ(pinyin({"--readings=words"}, "银行行走"), "yin hang xing zou ");
  EXPECT_EQ(pinyin({"--readings", "chars"}, "银行行走"), "yin hang hang zou ");
  EXPECT_EQ(pinyin({"--tones=marks"}, "中国女"), "zhōng guó nǚ ");
  EXPECT_EQ(pinyin({"--tones=numbers", "--readings=words"}, "长度了解"), "chang2 du4 liao3 jie3 ");
  // Braille reads the word path's readings too, with their tones.
  EXPECT_EQ(Run({"--exact", "-n", "double-braille", "-s", " ", "--readings=words"}, "银行").out,
            "25-16 12-1456 ");

  EXPECT_EQ(Run({"-n", "wubi", "--tones=marks"}, "中").status, 2);
  EXPECT_EQ(Run({"--readings=sentences"}, "中").status, 2);
  Outcome r = Run({"--readings=words"}, "中\xff国");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("offset 3"), std::string::npos) << r.err;
}

// The output box after one click of 转换 in the loaded main window (GBK).
std::string WindowOutput(const std::string& input, const std::string& separator, int notation) {
  using namespace testing_support;
  LoadStartWindow(kMainWindowId);  // already loaded: it is only activated
  FillBoxes(Gbk(input).c_str(), Gbk(separator).c_str());
  ChooseNotation(notation);
  ClickConvert();
  return TakeOutput(ReadOutput());
}

TEST_F(ConvertCliTest, ExactGivesTheOutputBoxByteForByte) {
  const std::string sample = Read(MOLVANE_SAMPLE_TEXT);
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
                Utf8(box));
    }
  }
}

}  // namespace
}  // namespace molvane::test
