// SPDX-License-Identifier: GPL-3.0-or-later
// The five converters on worked examples: readings, keys, cells, tone marks,
// skipped characters and where the separator goes.
#include <gtest/gtest.h>

#include "runtime/runtime.h"
#include "support/engine_support.h"

namespace molvane::test {
namespace {

struct Case {
  const char* input;
  const char* expected;
};

void ExpectEach(Converter converter, const std::vector<Case>& cases, const char* separator) {
  for (const Case& c : cases)
    EXPECT_EQ(Convert(converter, c.input, separator), c.expected) << c.input;
}

TEST(FullPinyin, SeparatorFollowsEverySyllable) {
  ExpectEach(FullPinyinConverter,
             {{"中国", "zhong\r\nguo\r\n"}, {"哟中", "zhong\r\n"}, {"军", "jun\r\n"}}, "\r\n");
  ExpectEach(FullPinyinConverter,
             {{"中国", "zhong guo "}, {"a1 中,b!国", "zhong guo "}, {"驴", "lv "}}, " ");
  // Common characters that once lacked a reading.
  ExpectEach(FullPinyinConverter,
             {{"什么", "shen me "}, {"宋朝", "song chao "}, {"雾凇崧", "wu song song "}}, " ");
}

TEST(Shuangpin, TwoKeysPerCharacter) {
  EXPECT_EQ(Convert(ShuangpinConverter, "中国双驴学应爱二阿窗用元绿女略", " "),
            "vs go ud ly xt y; ol or oa id ys yr ly ny lt");
}

TEST(Shuangpin, SeparatorOnlyBetweenCharacters) {
  EXPECT_EQ(Convert(ShuangpinConverter, "中国", "\r\n"), "vs\r\ngo");
  EXPECT_EQ(Convert(ShuangpinConverter, "中国", "-"), "vs-go");
  EXPECT_EQ(Convert(ShuangpinConverter, "爱国", " "), "ol go");
  // The last character has no reading: the separator before it stays.
  EXPECT_EQ(Convert(ShuangpinConverter, "中哟", " "), "vs ");
  EXPECT_EQ(Convert(ShuangpinConverter, "宋么", " "), "ss me");
}

TEST(Wubi, CodesWithSeparatorBetween) {
  EXPECT_EQ(Convert(WubiConverter, "中国", "\r\n"), "khk\r\nlgyi");
  EXPECT_EQ(Convert(WubiConverter, "中ab\r\n国", " "), "khk lgyi");
  ExpectEach(WubiConverter, {{"宋", "psu"}, {"么", "tcu"}, {"國", "<null>"}, {"中國", "khk "}},
             " ");
}

TEST(CurrentBraille, CellsFollowedBySeparator) {
  EXPECT_EQ(Convert(CurrentBrailleConverter, "八a女", "\r\n"), "12-35\r\n1345-346\r\n");
  ExpectEach(CurrentBrailleConverter,
             {{"了", "123-26|"},
              {"日", "245|"},
              {"饿", "26|"},
              {"哦", "26|"},
              {"哟", "<null>"},
              {"宋", "234-256|"},
              {"么", "134-26|"}},
             "|");
  EXPECT_EQ(Convert(CurrentBrailleConverter, "了x日", "| "), "123-26| 245| ");
}

// Tone 1 adds dot 3 (dot 5 on cell 34), 2 adds dot 6, 3 both, 4 nothing; the
// neutral tone lowers the cell one row (34 becomes 3). 军 has the two-digit
// tone 10, of which only the first digit counts; 哟 has no reading.
TEST(DoubleBraille, ToneMarks) {
  EXPECT_EQ(Convert(DoubleSpellBrailleConverter, "八女了呗黑谁累啊", " "),
            "24-2345 123456-1236 123-35 24-3 12-345 1246-346 123-34 23456-2345 ");
  EXPECT_EQ(Convert(DoubleSpellBrailleConverter, "吧们麶櫵包军只日哟", " "),
            "24-356 246-2 134-23 15-236 24-1235 156-13 14-1236 35-12 ");
  EXPECT_EQ(Convert(DoubleSpellBrailleConverter, "宋凇么", " "), "12456-15 12456-135 246-35 ");
}

TEST(AllConverters, NothingToConvertGivesNull) {
  for (Converter converter : kNotations) {
    EXPECT_EQ(Convert(converter, "", " "), "<null>");
    EXPECT_EQ(Convert(converter, "abc 123 ，。", " "), "<null>");
    EXPECT_EQ(Convert(converter, "哟", " "), converter == WubiConverter ? "kxqy" : "<null>");
  }
}

}  // namespace
}  // namespace molvane::test
