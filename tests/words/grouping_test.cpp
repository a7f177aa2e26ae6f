// SPDX-License-Identifier: GPL-3.0-or-later
// Word grouping: each rule of words/tables/grouping.txt with its own
// examples, then ordinary sentences in both rule sets.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/wide.h"
#include "words/grouping.h"
#include "words/words.h"

namespace molvane::words {
namespace {

using test::Wide;

std::string Narrow(std::u16string_view wide) {
  std::string out;
  for (char16_t unit : wide) {
    char bytes[3];
    out.append(bytes, platform::EncodeUtf8(unit, bytes));
  }
  return out;
}

// The groups of a run, apart by spaces.
std::string Groups(const std::string& run, GroupingRules rules) {
  const std::u16string wide = Wide(run);
  std::string out;
  size_t at = 0;
  for (int length : GroupRun(wide, rules)) {
    if (!out.empty()) out += ' ';
    out += Narrow(std::u16string_view(wide).substr(at, static_cast<size_t>(length)));
    at += static_cast<size_t>(length);
  }
  return at == wide.size() ? out : "groups do not cover the run";
}

std::string Braille(const std::string& run) {
  return Groups(run, GroupingRules::kBraille);
}
std::string Pinyin(const std::string& run) {
  return Groups(run, GroupingRules::kPinyin);
}

TEST(GroupingRules, PluralSuffixJoinsInBoth) {
  EXPECT_EQ(Braille("孩子们"), "孩子们");
  EXPECT_EQ(Pinyin("孩子们"), "孩子们");
}

TEST(GroupingRules, StructuralParticlesJoinInBrailleAndStandApartInPinyin) {
  EXPECT_EQ(Braille("我的书"), "我的 书");
  EXPECT_EQ(Pinyin("我的书"), "我 的 书");
  // 的 joins the word before it, as in the 2018 scheme's examples.
  EXPECT_EQ(Braille("今天的天气"), "今天的 天气");
  EXPECT_EQ(Braille("这是我的国土"), "这 是 我的 国土");
  EXPECT_EQ(Braille("慢慢地走"), "慢慢地 走");
  EXPECT_EQ(Pinyin("慢慢地走"), "慢慢 地 走");
}

TEST(GroupingRules, AspectParticlesJoinInBoth) {
  EXPECT_EQ(Braille("他笑着"), "他 笑着");
  EXPECT_EQ(Pinyin("他笑着"), "他 笑着");
  EXPECT_EQ(Braille("我看过"), "我 看过");
  EXPECT_EQ(Braille("外面下着雨"), "外面 下着 雨");  // 下 is the verb here, no place word
  EXPECT_EQ(Pinyin("我看过"), "我 看过");
}

TEST(GroupingRules, ModalParticlesJoinInBrailleOnly) {
  EXPECT_EQ(Braille("吃饭了吗"), "吃饭了吗");
  EXPECT_EQ(Pinyin("吃饭了吗"), "吃饭了 吗");
}

TEST(GroupingRules, OneSyllablePlaceWordsJoinInBrailleOnly) {
  EXPECT_EQ(Braille("桌子上"), "桌子上");
  EXPECT_EQ(Pinyin("桌子上"), "桌子 上");
  EXPECT_EQ(Braille("厨房里"), "厨房里");
  EXPECT_EQ(Pinyin("厨房里"), "厨房 里");
}

TEST(GroupingRules, MeasureWordsJoinTheirNumeralInBrailleOnly) {
  EXPECT_EQ(Braille("三个人"), "三个 人");
  EXPECT_EQ(Pinyin("三个人"), "三 个 人");
  EXPECT_EQ(Braille("这本书"), "这本 书");
  EXPECT_EQ(Pinyin("这本书"), "这 本 书");
  EXPECT_EQ(Pinyin("这个"), "这个");  // one word in the orthography
  EXPECT_EQ(Pinyin("十分"), "十分");  // very, not ten minutes
  EXPECT_TRUE(JoinsNumber(u"只", GroupingRules::kBraille));
  EXPECT_TRUE(JoinsNumber(u"岁", GroupingRules::kBraille));
  EXPECT_FALSE(JoinsNumber(u"是", GroupingRules::kBraille));  // 3是: apart
  EXPECT_FALSE(JoinsNumber(u"只", GroupingRules::kPinyin));
  EXPECT_FALSE(JoinsNumber(u"", GroupingRules::kBraille));
  // After digits the ambiguous measure words can only be measure words,
  // while after a numeral character they stay words of their own.
  EXPECT_TRUE(JoinsNumber(u"月", GroupingRules::kBraille));  // 12月
  EXPECT_TRUE(JoinsNumber(u"点", GroupingRules::kBraille));  // 3点
  EXPECT_FALSE(JoinsNumber(u"月", GroupingRules::kPinyin));
  EXPECT_EQ(Braille("三月"), "三月");
  EXPECT_EQ(Braille("十分好"), "十分 好");
}

TEST(GroupingRules, LongProperNounsAreCutIntoTheirWords) {
  EXPECT_EQ(Braille("中华人民共和国"), "中华 人民 共和国");
  EXPECT_EQ(Pinyin("中华人民共和国"), "中华 人民 共和国");
  EXPECT_EQ(Braille("全国人民代表大会"), "全国 人民 代表 大会");
  // Other long listed words are written as the words that make them.
  EXPECT_EQ(Pinyin("马克思主义"), "马克思 主义");
  EXPECT_EQ(Braille("惶惶不可终日"), "惶惶 不可 终日");
  EXPECT_EQ(Pinyin("中华人民共和国宪法"), "中华 人民 共和国 宪法");
  EXPECT_EQ(Pinyin("一九七九年"), "一九七九年");  // a numeral stays whole
  EXPECT_EQ(Pinyin("亚历山大城"), "亚历山大城");  // no listed words make it
  EXPECT_EQ(Braille("一衣带水"), "一衣带水");     // a four-character idiom
}

// The common braille of 2018 groups as Chinese braille does; its examples
// join 的 to the word before it.
TEST(GroupingRules, CommonBrailleGroupsAsItsExamples) {
  const auto common = [](const std::string& run) {
    return Groups(run, GroupingRules::kCommonBraille);
  };
  EXPECT_EQ(common("今天的天气不错"), "今天的 天气 不错");
  EXPECT_EQ(common("这是我的国土"), "这 是 我的 国土");
  EXPECT_EQ(common("最深最重的爱"), "最深 最重的 爱");
  for (const char* run : {"孩子们的书", "他笑着", "吃饭了吗", "桌子上", "三个人", "中华人民共和国"})
    EXPECT_EQ(common(run), Braille(run)) << run;
  EXPECT_TRUE(JoinsNumber(u"个", GroupingRules::kCommonBraille));
}

TEST(GroupingRules, GroupsFollowTheGivenWords) {
  // Given words, not the segmentation's: 们 alone first in a run stands alone.
  EXPECT_EQ(GroupWords(u"们好", {1, 1}, GroupingRules::kBraille), (std::vector<int>{1, 1}));
  EXPECT_EQ(GroupWords(u"书的", {1, 1}, GroupingRules::kBraille), (std::vector<int>{2}));
  EXPECT_EQ(GroupWords(u"", {}, GroupingRules::kPinyin), std::vector<int>{});
  EXPECT_EQ(GroupWords(u"书", {1, 3}, GroupingRules::kPinyin), std::vector<int>{1});
}

// Ordinary sentences of our own, grouped by the rules above: braille by
// GB/T 15720-2008 and the 2018 scheme, pinyin by GB/T 16159-2012.
TEST(GroupingSentences, TwentySentencesInBothRuleSets) {
  const struct {
    const char* run;
    const char* braille;
    const char* pinyin;
  } kSentences[] = {
      {"我的书在桌子上", "我的 书 在 桌子上", "我 的 书 在 桌子 上"},
      {"孩子们在厨房里吃饭", "孩子们 在 厨房里 吃饭", "孩子们 在 厨房 里 吃饭"},
      {"他笑着说", "他 笑着 说", "他 笑着 说"},
      {"你吃饭了吗", "你 吃饭了吗", "你 吃饭了 吗"},
      {"今天的天气不错", "今天的 天气 不错", "今天 的 天气 不错"},
      {"我买了三本书", "我 买了 三本 书", "我 买了 三 本 书"},
      {"这个问题很难", "这个 问题 很 难", "这个 问题 很 难"},
      {"中华人民共和国成立了", "中华 人民 共和国 成立了", "中华 人民 共和国 成立了"},
      {"她看过这本书", "她 看过 这本 书", "她 看过 这 本 书"},
      {"我们一起去学校", "我们 一起 去 学校", "我们 一起 去 学校"},
      {"妈妈在门外等我", "妈妈 在 门外 等 我", "妈妈 在 门外 等 我"},
      // A verb and a two-syllable complement stand apart (zǒu guòlái).
      {"他慢慢地走过来", "他 慢慢地 走 过来", "他 慢慢 地 走 过来"},
      {"弟弟今年五岁", "弟弟 今年 五岁", "弟弟 今年 五 岁"},
      {"这是老师的办公室", "这 是 老师的 办公室", "这 是 老师 的 办公室"},
      {"我们明天去北京大学", "我们 明天 去 北京 大学", "我们 明天 去 北京 大学"},
      {"你在做什么呢", "你 在 做 什么呢", "你 在 做 什么 呢"},
      {"他跑得很快", "他 跑得 很快", "他 跑 得 很快"},
      {"同学们都来了", "同学们 都 来了", "同学们 都 来了"},
      {"窗户外面下着雨", "窗户 外面 下着 雨", "窗户 外面 下着 雨"},
      {"我家有两只猫", "我家 有 两只 猫", "我家 有 两 只 猫"},
  };
  for (const auto& s : kSentences) {
    EXPECT_EQ(Braille(s.run), s.braille) << s.run;
    EXPECT_EQ(Pinyin(s.run), s.pinyin) << s.run;
  }
}

}  // namespace
}  // namespace molvane::words
