// molvane-convert --readings and --tones: characters read in their words,
// pinyin with tone marks or digits.
#include <string>
#include <vector>

#include "support/tool_runner.h"

namespace molvane::test {
namespace {

using WordReadingsTest = ToolTest;

TEST_F(WordReadingsTest, WordReadingsAndToneForms) {
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

}  // namespace
}  // namespace molvane::test
