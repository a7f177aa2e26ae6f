// SPDX-License-Identifier: GPL-3.0-or-later
// The full-text library: the sign table against the Chinese braille
// standard's marks, numbers and letters as cells, and where blanks go.
#include "fulltext/fulltext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace molvane::fulltext {
namespace {

// Cells as dot numbers joined by "-", for readable expectations.
std::string Dots(const Cells& cells) {
  std::string out;
  for (char cell : cells) {
    if (!out.empty()) out += '-';
    for (int dot = 0; dot < 6; ++dot)
      if (cell >> dot & 1) out += static_cast<char>('1' + dot);
  }
  return out;
}

std::string SignDots(const std::u32string& print) {
  const SignRow* row = MatchSign(print);
  return row == nullptr ? "none" : row->cells;
}

TEST(SignTable, ChineseMarksAsTheStandardWritesThem) {
  const struct {
    std::u32string print;
    const char* dots;
  } kMarks[] = {
      {U"，", "5"},    {U"、", "4"},     {U"；", "56"},   {U"：", "36"},    {U"。", "5-23"},
      {U"？", "5-3"},  {U"！", "56-2"},  {U"“", "45"},    {U"”", "45"},     {U"‘", "45-45"},
      {U"’", "45-45"}, {U"《", "5-36"},  {U"》", "36-2"}, {U"（", "56-3"},  {U"）", "6-23"},
      {U"——", "6-36"}, {U"……", "5-5-5"}, {U"·", "6-3"},   {U"【", "56-23"}, {U"】", "56-23"},
  };
  for (const auto& m : kMarks) EXPECT_EQ(SignDots(m.print), m.dots);
  // The ASCII forms read as the Chinese marks.
  EXPECT_EQ(SignDots(U","), "5");
  EXPECT_EQ(SignDots(U"."), "5-23");
  EXPECT_EQ(SignDots(U"?"), "5-3");
  EXPECT_EQ(SignDots(U"!"), "56-2");
  EXPECT_EQ(SignDots(U"("), "56-3");
  EXPECT_EQ(SignDots(U"😀"), "none");
  EXPECT_EQ(SignDots(U""), "none");
}

TEST(SignTable, LongestPrintFormWinsAndEveryRowIsWellFormed) {
  const SignRow* pair = MatchSign(U"——好");
  ASSERT_NE(pair, nullptr);
  EXPECT_EQ(std::u32string(pair->print), U"——");
  const SignRow* single = MatchSign(U"—好");
  ASSERT_NE(single, nullptr);
  EXPECT_EQ(std::u32string(single->print), U"—");
  for (size_t i = 0; i < kSignRowCount; ++i) {
    EXPECT_FALSE(CellsFromDots(kSignRows[i].cells).empty()) << kSignRows[i].cells;
    EXPECT_NE(std::string(kSignRows[i].pinyin), "");
    if (i > 0) {
      EXPECT_LE(kSignRows[i - 1].print[0], kSignRows[i].print[0]);
    }
  }
}

TEST(Cells, NumbersTakeOneNumberSignPerRun) {
  EXPECT_EQ(Dots(NumberCells(U"2026")), "3456-12-245-12-124");
  EXPECT_EQ(Dots(NumberCells(U"8")), "3456-125");
  EXPECT_EQ(Dots(NumberCells(U"3.14")), "3456-14-46-1-145");
  EXPECT_EQ(Dots(NumberCells(U"1,000")), "3456-1-3-245-245-245");
  EXPECT_EQ(Dots(NumberCells(U"１９")), "3456-1-24");  // full-width digits
}

TEST(Cells, LettersTakeTheLetterAndCapitalSigns) {
  EXPECT_EQ(Dots(LetterCells(U"abc")), "56-1-12-14");
  EXPECT_EQ(Dots(LetterCells(U"Abc")), "6-1-12-14");
  // A word of capitals takes the double capital sign once.
  EXPECT_EQ(Dots(LetterCells(U"DNA")), "6-6-145-1345-1");
  EXPECT_EQ(Dots(LetterCells(U"iPad")), "56-24-6-1234-1-145");
  EXPECT_EQ(Dots(LetterCells(U"xyz")), "56-1346-13456-1356");
  EXPECT_EQ(Dots(LetterCells(U"ｗ")), "56-2456");
  EXPECT_EQ(Dots(PlaceholderCells()), "123456-123456-123456");
}

TEST(Cells, DotNumbersAndDigitShapes) {
  EXPECT_EQ(Dots(CellsFromDots("12-35")), "12-35");
  EXPECT_EQ(CellsFromDots("12-"), "");
  EXPECT_EQ(CellsFromDots("17"), "");
  EXPECT_EQ(CellsFromDots(""), "");
  EXPECT_TRUE(IsDigitShape(CellsFromDots("245")[0]));    // j: the digit 0, and the syllable ri
  EXPECT_FALSE(IsDigitShape(CellsFromDots("1345")[0]));  // n
}

TEST(Classes, WhatEachCharacterIs) {
  EXPECT_EQ(Classify(U'中'), CharClass::kHan);
  EXPECT_EQ(Classify(0x9FA6), CharClass::kOther);  // past the program's range
  EXPECT_EQ(Classify(U'７'), CharClass::kDigit);
  EXPECT_EQ(Classify(U'Ｑ'), CharClass::kLetter);
  EXPECT_EQ(Classify(0x3000), CharClass::kSpace);
  EXPECT_EQ(Classify(0xA0), CharClass::kSpace);
  EXPECT_EQ(Classify(U'\r'), CharClass::kLineBreak);
  EXPECT_EQ(Classify(0x2029), CharClass::kLineBreak);
  EXPECT_EQ(Classify(0xFEFF), CharClass::kIgnored);
  EXPECT_EQ(Classify(0xFE0F), CharClass::kAttached);
  EXPECT_EQ(Classify(0x1F600), CharClass::kOther);
}

// Records what the spacer writes: words as they are, "_" a blank, "/" a line break.
class Recorder : public Sink {
 public:
  void Word(std::string_view text) override { out += text; }
  void Blank() override { out += '_'; }
  void LineBreak() override { out += '/'; }
  std::string out;
};

class SpacerTest : public ::testing::Test {
 protected:
  void Word(const std::string& text, bool joins = false, bool number = false) {
    Part p;
    p.text = text;
    p.joinsPrevious = joins;
    p.number = number;
    spacer_.Add(p);
  }
  void Sign(const std::u32string& print) {
    Part p;
    p.kind = Part::Kind::kSign;
    p.sign = MatchSign(print);
    ASSERT_NE(p.sign, nullptr);
    p.text = p.sign->pinyin;
    spacer_.Add(p);
  }
  void Mark(Part::Kind kind) {
    Part p;
    p.kind = kind;
    spacer_.Add(p);
  }
  Recorder recorder_;
  Spacer spacer_{&recorder_, false};
};

TEST_F(SpacerTest, PausesStickToTheWordBeforeAndOpeningMarksToTheWordAfter) {
  Word("ni");
  Word("hao");
  Sign(U"，");
  Word("ta");
  Word("shuo");
  Sign(U"：");
  Sign(U"“");
  Sign(U"（");
  Word("zhu");
  Sign(U"）");
  Sign(U"”");
  Word("hao");
  Sign(U"。");
  EXPECT_EQ(recorder_.out, "ni_hao,_ta_shuo:_\"(zhu)\"_hao.");
}

TEST_F(SpacerTest, WordsJoinOnlyDirectlyAfterAWord) {
  Word("jin");
  Word("tian", true);
  Word("hao");
  Sign(U"《");
  Word("shu", true);  // nothing to join: a mark came between
  Word("ming", true);
  Sign(U"》");
  EXPECT_EQ(recorder_.out, "jintian_hao_《shuming》");
}

TEST_F(SpacerTest, AsciiQuotesOpenAndCloseInTurn) {
  Word("a");
  Sign(U"\"");
  Word("b");
  Sign(U"\"");
  Word("c");
  EXPECT_EQ(recorder_.out, "a_\"b\"_c");
}

TEST_F(SpacerTest, AsciiQuotesOpenAgainOnANewLine) {
  // A line's writing never depends on the lines before it, so a text cut
  // into pieces at line breaks writes as the whole.
  Word("a");
  Sign(U"\"");
  Word("b");
  Mark(Part::Kind::kLineBreak);
  Word("c");
  Sign(U"\"");
  Word("d");
  EXPECT_EQ(recorder_.out, "a_\"b/c_\"d");
}

TEST_F(SpacerTest, SingleAsciiQuotesOpenAgainOnANewLine) {
  // ' before a letter is the quotation mark, not the apostrophe.
  const SignRow* quote = MatchSign(U"'o", U' ');
  ASSERT_NE(quote, nullptr);
  auto single = [&] {
    Part p;
    p.kind = Part::Kind::kSign;
    p.sign = quote;
    p.text = "'";
    spacer_.Add(p);
  };
  Word("a");
  single();
  Word("b");
  Mark(Part::Kind::kLineBreak);
  Word("c");
  single();
  Word("d");
  EXPECT_EQ(recorder_.out, "a_'b/c_'d");
}

TEST_F(SpacerTest, SpacesAreKeptAndTrailingBlanksDropped) {
  Mark(Part::Kind::kSpace);
  Mark(Part::Kind::kSpace);
  Word("a");
  Mark(Part::Kind::kSpace);
  Word("b");  // the input's space is the blank between words, not a second one
  Mark(Part::Kind::kSpace);
  Mark(Part::Kind::kSpace);
  Mark(Part::Kind::kSpace);
  Word("c");
  Mark(Part::Kind::kSpace);
  Mark(Part::Kind::kLineBreak);
  Mark(Part::Kind::kLineBreak);
  Word("d");
  Sign(U"，");
  Mark(Part::Kind::kLineBreak);
  Word("e");
  EXPECT_EQ(recorder_.out, "__a_b___c//d,/e");
}

TEST(BrailleSpacer, ABlankSeparatesANumberFromACellThatWouldReadAsADigit) {
  Recorder recorder;
  Spacer spacer(&recorder, true);
  auto word = [&](const Cells& cells, bool joins, bool number) {
    Part p;
    p.text = cells;
    p.joinsPrevious = joins;
    p.number = number;
    spacer.Add(p);
  };
  word(NumberCells(U"8"), false, true);
  word(CellsFromDots("245"), true, false);  // 日 ri: j, the digit 0
  word(NumberCells(U"12"), false, true);
  word(CellsFromDots("23456"), true, false);  // 月 yue: no digit shape
  EXPECT_EQ(Dots(recorder.out.substr(0, 2)), "3456-125");
  EXPECT_EQ(recorder.out.substr(2, 1), "_");
  EXPECT_EQ(Dots(recorder.out.substr(3, 1)), "245");
  EXPECT_EQ(recorder.out.substr(4, 1), "_");
  EXPECT_EQ(Dots(recorder.out.substr(5)), "3456-1-12-23456");
}

}  // namespace
}  // namespace molvane::fulltext
