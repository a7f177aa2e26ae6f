// SPDX-License-Identifier: GPL-3.0-or-later
// The options for teachers and learners: tones as they are spoken, pinyin
// above the characters, word lists and every reading of a character.
#include <string>

#include "support/tool_runner.h"

namespace molvane::test {
namespace {

using TeachingTest = ToolTest;

TEST_F(TeachingTest, SandhiChangesOnlyYiAndBuAndOnlyWhenAsked) {
  const std::string text = "曾国藩说这一个不对\n";
  EXPECT_EQ(Output({"-n", "pinyin", "--sandhi"}, text), "zēng guó fān shuō zhè yí gè bú duì\n");
  // Citation tones stay the default; ordinals and counts keep yī.
  EXPECT_EQ(Output({"-n", "pinyin"}, text), "zēng guó fān shuō zhè yī gè bù duì\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--sandhi"}, "第一天，一月\n"), "dì yī tiān, yī yuè\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--sandhi", "--tones=numbers"}, "一天\n"), "yi4 tian1\n");
  // In every text mode, double braille (which writes tones) included.
  EXPECT_EQ(Output({"-n", "pinyin", "--sandhi", "--text=han", "-s", " "}, "不对"), "bú duì \n");
  EXPECT_NE(Output({"-n", "double-braille", "--sandhi"}, "不对"),
            Output({"-n", "double-braille"}, "不对"));
}

TEST_F(TeachingTest, SandhiWithoutTonesIsRefused) {
  EXPECT_EQ(Run({"-n", "pinyin", "--sandhi", "--tones=none"}, "不对").status, 2);
  EXPECT_EQ(Run({"-n", "current-braille", "--sandhi"}, "不对").status, 2);
  EXPECT_EQ(Run({"-n", "wubi", "--sandhi"}, "不对").status, 2);
}

TEST_F(TeachingTest, RubyIsACompletePageWithTheTextKept) {
  const std::string page = Output({"-n", "pinyin", "--format=ruby"}, "银行，\r\n<a&b>\n");
  EXPECT_TRUE(
      page.starts_with("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta "
                       "charset=\"utf-8\">"))
      << page;
  EXPECT_NE(page.find("<p><ruby>银<rt>yín</rt></ruby><ruby>行<rt>háng</rt></ruby>，<br>\n"
                      "&lt;a&amp;b&gt;<br>\n</p>\n</body>\n</html>\n"),
            std::string::npos)
      << page;
  // The page says UTF-8, so it is written so.
  EXPECT_EQ(Run({"-n", "pinyin", "--format=ruby", "--output-encoding=gbk"}, "中").status, 2);
}

TEST_F(TeachingTest, PairsListTheWordsOfEveryPieceWithTheirReadings) {
  EXPECT_EQ(Output({"-n", "pinyin", "--format=pairs"}, "一行人走进银行。\nabc 好\n"),
            "一行\tyī xíng\n人\trén\n走进\tzǒu jìn\n银行\tyín háng\n好\thǎo\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--format=pairs", "--tones=numbers", "--sandhi"}, "不对"),
            "不\tbu2\n对\tdui4\n");
  // Pieces converted apart, in workers, give the same list.
  std::string text;
  for (int i = 0; i < 200; ++i) text += "银行行长说这一行不对。\n";
  const std::string whole = Output({"-n", "pinyin", "--format=pairs", "-j", "1"}, text);
  EXPECT_EQ(Output({"-n", "pinyin", "--format=pairs", "-j", "3"}, text, "MOLVANE_PIECE_BYTES=300"),
            whole);
}

TEST_F(TeachingTest, AllReadingsPutTheChosenFirst) {
  EXPECT_EQ(Output({"-n", "pinyin", "--all-readings"}, "行长\n"),
            "行[háng|héng|xíng]长[zhǎng|cháng]\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--all-readings"}, "步行\n"), "步[bù]行[xíng|háng|héng]\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--format=pairs", "--all-readings"}, "银行"),
            "银行\tyín [háng|héng|xíng]\n");
  EXPECT_NE(Output({"-n", "pinyin", "--format=ruby", "--all-readings"}, "长")
                .find("<ruby>长<rt>[cháng|zhǎng]</rt></ruby>"),
            std::string::npos);
  EXPECT_EQ(Run({"-n", "wubi", "--all-readings"}, "行").status, 2);
  EXPECT_EQ(Run({"-n", "pinyin", "--format=pairs", "--text=han"}, "行").status, 2);
}

TEST_F(TeachingTest, WubiWordCodesFollowTheWordRules) {
  // Two, three and four or more characters; a sign ends a word; lines kept.
  EXPECT_EQ(Output({"-n", "wubi", "--wubi=words"}, "中国人民\n计算机，中华人民共和国\n\n我"),
            "khlg wwna\nytsm kwwl\n\ntrnt\n");
  EXPECT_EQ(Output({"-n", "wubi", "--wubi=full"}, "中国"), Output({"-n", "wubi"}, "中国"));
  EXPECT_EQ(Run({"-n", "pinyin", "--wubi=words"}, "中国").status, 2);
}

TEST_F(TeachingTest, WubiShortCodesAreWhatATypistTypes) {
  // One letter (的 r, 我 q: the key's character, whatever its full code),
  // two (学 ip), three (输 lwg); lines kept, signs dropped.
  EXPECT_EQ(Output({"-n", "wubi", "--wubi=short"}, "的是经我\n学家，输\n"), "r j x q\nip pe lwg\n");
  // No shorter code where another character leads it (赢's yny): the full one.
  EXPECT_EQ(Output({"-n", "wubi", "--wubi=short"}, "赢德"), "ynky tfl\n");
  EXPECT_EQ(Run({"-n", "pinyin", "--wubi=short"}, "中国").status, 2);
  EXPECT_EQ(Run({"-n", "wubi", "--wubi=short", "--text=han"}, "中国").status, 2);
}

}  // namespace
}  // namespace molvane::test
