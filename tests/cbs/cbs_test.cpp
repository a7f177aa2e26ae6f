// SPDX-License-Identifier: GPL-3.0-or-later
// The common braille against the scheme's own published examples, and the
// rules the examples do not show.
#include <gtest/gtest.h>

#include "cbs/cbs.h"
#include "platform/platform.h"
#include "support/wide.h"
#include "words/tables.h"

namespace molvane::cbs {
namespace {

using test::Wide;

// The braille with blanks left out: the examples are phrases, and where the
// blanks between their words go is the spacing rules' business.
std::string Unspaced(const std::string& text) {
  std::string out = UnicodeText(Wide(text));
  for (size_t at; (at = out.find("\u2800")) != std::string::npos;) out.erase(at, 3);
  return out;
}

// The scheme's examples of its tone rule: most syllables marked, each
// initial's own tone left out (ping2, dian4, tu2, jing4, ru2, fei1, ...).
TEST(CommonBraille, WritesThePublishedExamples) {
  const std::pair<const char*, const char*> examples[] = {
      {"苹果", "⠏⠡⠛⠕⠄"},
      {"电脑", "⠙⠩⠝⠖⠄"},
      {"橘子", "⠛⠬⠂⠵"},
      {"溁", "⠡⠂"},
      {"朝月亮出发", "⠟⠖⠾⠇⠭⠟⠥⠁⠋⠔"},
      {"这是我的国土", "⠌⠢⠱⠕⠙⠛⠕⠂⠞⠥⠄"},
      {"杯弓蛇影", "⠃⠮⠁⠛⠲⠁⠱⠢⠂⠡⠄"},
      {"老马识途", "⠇⠖⠄⠍⠔⠄⠱⠂⠞⠥"},
      {"相敬如宾", "⠓⠭⠁⠛⠡⠚⠥⠃⠣⠁"},
      {"飞黄腾达", "⠋⠮⠓⠶⠞⠼⠙⠔⠂"},
      {"如鱼得水", "⠚⠥⠬⠂⠙⠢⠂⠱⠺⠄"},
      {"做人要有梦想", "⠵⠕⠚⠴⠜⠳⠍⠼⠆⠓⠭⠄"},
      {"战略合作协议", "⠌⠧⠇⠾⠓⠢⠵⠕⠓⠑⠂⠊⠆"},
      {"中国是发展中国家", "⠌⠲⠁⠛⠕⠂⠱⠋⠔⠌⠧⠄⠌⠲⠁⠛⠕⠂⠛⠫⠁"},
      {"尊老爱幼是中华民族的传统美德", "⠵⠒⠁⠇⠖⠄⠪⠳⠆⠱⠌⠲⠁⠓⠿⠍⠣⠵⠥⠂⠙⠟⠻⠞⠲⠄⠍⠮⠄⠙⠢⠂"},
      {"中国人民", "⠌⠲⠁⠛⠕⠂⠚⠴⠍⠣"},
      {"海浪", "⠓⠪⠄⠇⠦"},
      {"句子", "⠛⠬⠵"},
      {"巨资", "⠛⠬⠵⠁"},
      {"好朋友", "⠓⠖⠄⠏⠼⠳"},
      {"好客", "⠓⠖⠆⠅⠢"},
      {"备课", "⠃⠮⠅⠢"},
  };
  for (const auto& [print, braille] : examples) EXPECT_EQ(Unspaced(print), braille) << print;
  // The one example whose reading differs: the scheme writes 眼睛 with the
  // full tone of 睛 (⠩⠄⠛⠡⠁); the word readings give it the neutral tone, as
  // CC-CEDICT does, and the neutral tone has no cell.
  EXPECT_EQ(Unspaced("眼睛"), "⠩⠄⠛⠡");
}

// Words grouped as the scheme's examples show (words/tables/grouping.txt,
// the common column): 的 with the word before it, then a blank, so that the
// one-cell 的 never stands alone; particles and place words joined too.
TEST(CommonBraille, GroupsWordsAsItsExamples) {
  EXPECT_EQ(UnicodeText(u"今天的天气不错"), "⠛⠣⠁⠞⠩⠁⠙⠀⠞⠩⠁⠅⠊⠆⠀⠃⠥⠉⠕⠆");
  EXPECT_EQ(UnicodeText(u"这是我的国土"), "⠌⠢⠀⠱⠀⠕⠙⠀⠛⠕⠂⠞⠥⠄");
  EXPECT_EQ(UnicodeText(u"最深最重的爱"), "⠵⠺⠱⠴⠁⠀⠵⠺⠌⠲⠙⠀⠪");
  EXPECT_EQ(UnicodeText(u"孩子们的桌子上"), "⠓⠪⠵⠍⠴⠙⠀⠌⠕⠁⠵⠱⠦");
  EXPECT_EQ(UnicodeText(u"吃饭了吗"), "⠟⠁⠋⠧⠆⠇⠢⠍⠔");
}

// The six abbreviated characters, as the scheme shows them.
TEST(CommonBraille, WritesTheSixAbbreviations) {
  EXPECT_EQ(Unspaced("他们"), "⠞⠍⠴");
  EXPECT_EQ(Unspaced("它们"), "⠈⠞⠍⠴");
  EXPECT_EQ(Unspaced("她们"), "⠞⠁⠍⠴");
  EXPECT_EQ(Unspaced("你好"), "⠝⠓⠖⠄");
  EXPECT_EQ(Unspaced("怎么"), "⠵⠴⠄⠍");
  EXPECT_EQ(Unspaced("真的"), "⠌⠴⠁⠙");
  // 的 read otherwise (的确 di2) is no abbreviation.
  EXPECT_EQ(Unspaced("的确"), "⠙⠊⠂⠅⠾⠆");
}

// Punctuation, numbers and letters, and blanks between words and after a
// pause, as in the scheme's sentence examples.
TEST(CommonBraille, WritesSignsNumbersAndBlanks) {
  EXPECT_EQ(Unspaced("最深最重的爱，须与时日共成长。"), "⠵⠺⠱⠴⠁⠵⠺⠌⠲⠙⠪⠐⠓⠬⠁⠬⠄⠱⠂⠚⠆⠛⠲⠟⠼⠌⠦⠄⠐⠆");
  EXPECT_EQ(UnicodeText(Wide("123")), "⠼⠁⠃⠉");
  EXPECT_EQ(UnicodeText(Wide("Hello World")), "⠠⠓⠑⠇⠇⠕⠀⠠⠺⠕⠗⠇⠙");
  EXPECT_EQ(UnicodeText(Wide("须与时日，共成长。")), "⠓⠬⠁⠀⠬⠄⠀⠱⠂⠚⠆⠐⠀⠛⠲⠀⠟⠼⠌⠦⠄⠐⠆");
}

// Where two cells would read as one syllable, the writer keeps them apart:
// an initial alone marks its tone before a final (事物, not shu), and an
// abbreviation is written in full.
TEST(CommonBraille, KeepsSyllablesApartBeforeAFinal) {
  const words::Tables& tables = words::Tables::Get();
  const auto syllable = [&](const char* letters, int tone, char16_t han = 0) {
    return Syllable{{letters, tone, tables.SyllableNumber(letters)}, han};
  };
  const auto dots = [](const Cells& cells) {
    std::string out;
    for (char cell : cells) {
      if (!out.empty()) out += '-';
      for (int k = 0; k < 6; ++k)
        if (cell & (1 << k)) out += static_cast<char>('1' + k);
    }
    return out;
  };
  EXPECT_EQ(dots(WordCells({syllable("shi", 4), syllable("wu", 4)})), "156-23-136");
  EXPECT_EQ(dots(WordCells({syllable("shi", 4), syllable("bu", 4)})), "156-12-136");
  EXPECT_EQ(dots(WordCells({syllable("de", 0, u'的'), syllable("ai", 4)})), "145-26-246");
  EXPECT_EQ(dots(WordCells({syllable("ta", 1, u'他'), syllable("an", 1)})), "2345-35-1-1236-1");
  // A syllable no table knows is kept as the placeholder.
  EXPECT_EQ(dots(WordCells({Syllable{{"", 0, words::kNoSyllable}, 0}})), "123456-123456-123456");
}

TEST(CommonBraille, LeavesOutEachInitialsOwnTone) {
  EXPECT_EQ(OmittedTone("fei"), 1);
  EXPECT_EQ(OmittedTone("ping"), 2);
  EXPECT_EQ(OmittedTone("zhong"), 4);
  EXPECT_EQ(OmittedTone("ai"), 4);
  EXPECT_EQ(OmittedTone("yi"), 1);
  EXPECT_EQ(OmittedTone("you"), 3);
  EXPECT_EQ(OmittedTone("e"), 0);
  EXPECT_EQ(ToneCell(4), 0x06);
  EXPECT_EQ(ToneCell(0), 0);
}

}  // namespace
}  // namespace molvane::cbs
