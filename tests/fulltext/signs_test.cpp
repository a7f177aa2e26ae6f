// SPDX-License-Identifier: GPL-3.0-or-later
// The signs a real book holds, and those that depend on their place: times,
// addresses, the minus sign, ranges, connectors, quotes, capitals and
// accented letters.
#include <gtest/gtest.h>

#include <string>

#include "fulltext/fulltext.h"

namespace molvane::fulltext {
namespace {

std::string Dots(const Cells& cells) {
  std::string out;
  for (char cell : cells) {
    if (!out.empty()) out += '-';
    for (int dot = 0; dot < 6; ++dot)
      if (cell >> dot & 1) out += static_cast<char>('1' + dot);
  }
  return out;
}

// The row found for `text` after `before`, as "cells kind"; "none" if none.
std::string Row(const std::u32string& text, char32_t before = 0, bool doubleSpell = false) {
  const SignRow* row = MatchSign(text, before);
  if (row == nullptr) return "none";
  static const char* const kKinds[] = {"pause", "open", "close", "quote", "join"};
  return Dots(SignCells(*row, doubleSpell)) + " " + kKinds[static_cast<int>(row->kind)];
}

// Records what the spacer writes: words as they are, "_" a blank.
class Recorder : public Sink {
 public:
  void Word(std::string_view text) override { out += text; }
  void Blank() override { out += '_'; }
  void LineBreak() override { out += '/'; }
  std::string out;
};

TEST(BookSigns, SignsOfRealBooksHaveCellsInsteadOfThePlaceholder) {
  const struct {
    std::u32string print;
    const char* row;
  } kSigns[] = {
      {U"％", "3456-245-356 join"}, {U"／", "456-34 join"},      {U"＋", "5-235 join"},
      {U"＝", "5-2356 join"},       {U"＄", "4-256 join"},       {U"＃", "26-26 join"},
      {U"＠", "4-1 join"},          {U"＆", "4-12346 join"},     {U"①", "3456-2 join"},
      {U"⑩", "3456-2-356 join"},    {U"Ⅰ", "6-24-256 join"},     {U"Ⅻ", "6-1346-24-24-256 join"},
      {U"℃", "45-245-56-14 join"},  {U"°", "45-245 join"},       {U"￥", "4-13456 join"},
      {U"€", "4-15 join"},          {U"×", "5-236 join"},        {U"÷", "5-34 join"},
      {U"±", "456-235 join"},       {U"½", "3456-1-34-12 join"}, {U"@", "4-1 join"},
      {U"#", "26-26 join"},         {U"~", "4-35 join"},         {U"_", "46-36 join"},
      {U"|", "456-1256 join"},      {U"\\", "456-16 join"},      {U"{", "56-36 open"},
      {U"}", "36-23 close"},        {U"^", "4-26 join"},         {U"～", "5-6-2 join"},
  };
  for (const auto& s : kSigns) EXPECT_EQ(Row(s.print), s.row) << Dots(CellsFromDots(s.row));
}

TEST(BookSigns, PercentAndOperatorsNoLongerReadAsFinals) {
  // % was dots 1 4 6 (the final ian), = the placeholder's full cell.
  EXPECT_EQ(Row(U"%", U'0'), "3456-245-356 join");
  EXPECT_EQ(Row(U"+"), "5-235 join");
  EXPECT_EQ(Row(U"="), "5-2356 join");
  EXPECT_EQ(Row(U"<"), "5-246 join");
  EXPECT_EQ(Row(U">"), "5-135 join");
  EXPECT_EQ(Row(U"*"), "35-35 join");
  EXPECT_EQ(Row(U"$"), "4-256 join");
  EXPECT_NE(Row(U"=").substr(0, 6), "123456");
}

TEST(BookSigns, APlaceChoosesItsOwnRow) {
  EXPECT_EQ(Row(U":30", U'0'), "25 join");    // a time: 10:30
  EXPECT_EQ(Row(U"：", U'好'), "36 pause");   // a colon in a sentence
  EXPECT_EQ(Row(U":a", U'0'), "36 pause");    // not between digits
  EXPECT_EQ(Row(U".org", U'n'), "256 join");  // inside an address
  EXPECT_EQ(Row(U".", U'n'), "5-23 pause");   // a full stop at a sentence's end
  EXPECT_EQ(Row(U"-5", U'：'), "36 open");    // a minus sign after a colon
  EXPECT_EQ(Row(U"-5", 0), "36 open");
  EXPECT_EQ(Row(U"-5", U'a'), "36 join");        // a hyphen inside a word
  EXPECT_EQ(Row(U"—上海", U'京'), "6-36 join");  // a connector between places
  EXPECT_EQ(Row(U"—5", U'3'), "6-36 join");
  EXPECT_EQ(Row(U"— ", U'京'), "6-36 pause");  // a dash
  EXPECT_EQ(Row(U"~5", U'1'), "5-6-2 join");   // a range
  EXPECT_EQ(Row(U"'t", U'n'), "3 join");       // an apostrophe: don't
  EXPECT_EQ(Row(U"'o", U' '), "45-45 quote");  // a quotation mark: 'ok'
  EXPECT_EQ(Row(U"' ", U'k'), "45-45 quote");
  // The context-free lookup keeps the rows for anywhere only.
  EXPECT_EQ(std::u32string(MatchSign(U"'t")->print), U"'");
  EXPECT_EQ(MatchSign(U"'t")->kind, SignKind::kJoin);
  EXPECT_EQ(MatchSign(U":30")->kind, SignKind::kPause);
}

TEST(BookSigns, DoubleSpellBrailleKeepsItsOwnQuotesParenthesesAndPauses) {
  EXPECT_EQ(Row(U"“", 0, true), "56-3 open");
  EXPECT_EQ(Row(U"”", 0, true), "6-23 close");
  EXPECT_EQ(Row(U"（", 0, true), "56-36 open");
  EXPECT_EQ(Row(U"）", 0, true), "36-23 close");
  EXPECT_EQ(Row(U"、", 0, true), "6 pause");
  EXPECT_EQ(Row(U"：", 0, true), "6-3 pause");
  EXPECT_EQ(Row(U"，", 0, true), "5 pause");  // shared with current braille
  EXPECT_EQ(Row(U"“", 0, false), "45 open");
}

TEST(BookSigns, AsciiQuotesTakeTheCellsOfTheChineseMarksTheyStandFor) {
  const SignRow* quote = MatchSign(U"\"");
  ASSERT_NE(quote, nullptr);
  EXPECT_EQ(Dots(SignCells(*QuoteMark(*quote, false), true)), "56-3");
  EXPECT_EQ(Dots(SignCells(*QuoteMark(*quote, true), true)), "6-23");
  EXPECT_EQ(Dots(SignCells(*QuoteMark(*quote, true), false)), "45");
  const SignRow* single = MatchSign(U"'o", U' ');
  ASSERT_NE(single, nullptr);
  EXPECT_EQ(Dots(SignCells(*QuoteMark(*single, false), true)), "6-26");
  EXPECT_EQ(Dots(SignCells(*QuoteMark(*single, true), true)), "35-3");
  EXPECT_EQ(QuoteMark(*MatchSign(U"，"), false), nullptr);
  // The spacer writes the closing form when the mark closes.
  Recorder recorder;
  Spacer spacer(&recorder, true);
  Part open;
  open.kind = Part::Kind::kSign;
  open.sign = quote;
  open.text = "(";
  open.closeText = ")";
  Part word;
  word.text = "x";
  spacer.Add(open);
  spacer.Add(word);
  spacer.Add(open);
  EXPECT_EQ(recorder.out, "(x)");
}

TEST(BookWords, AddressesTimesAndAbbreviationsStayOneWord) {
  EXPECT_EQ(Dots(WordCells(U"10:30")), "3456-1-245-25-3456-14-245");
  EXPECT_EQ(Dots(WordCells(U"www.debian.org")),
            "56-2456-2456-2456-256-56-145-15-12-24-1-1345-256-56-135-1235-1245");
  EXPECT_EQ(Dots(WordCells(U"a@b.cn")), "56-1-4-1-56-12-256-56-14-1345");
  EXPECT_EQ(Dots(WordCells(U"U.S.A.")), "6-136-256-6-234-256-6-1-256");
  EXPECT_TRUE(ContinuesWord(U"U.S.A", U". "));
  EXPECT_FALSE(ContinuesWord(U"A", U". "));  // a letter at a sentence's end
  EXPECT_FALSE(ContinuesWord(U"abc", U". "));
  EXPECT_FALSE(ContinuesWord(U"", U".a"));
  EXPECT_EQ(Dots(WordCells(U"3.14")), "3456-14-46-1-145");  // a decimal point, not a dot
  EXPECT_EQ(Dots(WordCells(U"1~5")), "3456-1-5-6-2-3456-15");
  EXPECT_EQ(Dots(WordCells(U"don't")), "56-145-135-1345-3-56-2345");
  std::vector<WordSign> signs;
  EXPECT_EQ(Dots(WordCells(U"v2.DNA", &signs)), "56-1236-3456-12-256-6-6-145-1345-1");
  ASSERT_EQ(signs.size(), 3U);
  EXPECT_EQ(signs[1].from, 2U);
  EXPECT_EQ(Dots(signs[1].cells), "3456");
  EXPECT_EQ(signs[2].from, 5U);
  EXPECT_EQ(Dots(signs[2].cells), "6-6");
  EXPECT_TRUE(ContinuesWord(U'w', U".d"));
  EXPECT_TRUE(ContinuesWord(U'0', U":3"));
  EXPECT_FALSE(ContinuesWord(U'w', U". "));
  EXPECT_FALSE(ContinuesWord(U'好', U"。"));
}

TEST(BookWords, AccentedLettersTakeTheirAccentBeforeTheLetter) {
  EXPECT_EQ(Dots(LetterCells(U"café")), "56-14-1-124-45-34-15");
  EXPECT_EQ(Dots(LetterCells(U"nǐ")), "56-1345-45-346-24");
  EXPECT_EQ(Dots(LetterCells(U"lǜ")), "56-123-45-25-45-16-136");
  EXPECT_EQ(Dots(LetterCells(U"É")), "6-45-34-15");
  EXPECT_EQ(Dots(LetterCells(U"CAFÉ")), "6-6-14-1-124-45-34-15");
  EXPECT_EQ(Dots(LetterCells(U"ńŃŇǙ")),
            "56-45-34-1345-6-45-34-1345-6-45-346-1345-6-45-25-45-346-136");
  EXPECT_TRUE(IsLatinLetter(U'ǚ'));
  EXPECT_TRUE(IsLatinLetter(U'Ā'));
  EXPECT_FALSE(IsLatinLetter(U'×'));
  EXPECT_FALSE(IsLatinLetter(U'α'));
}

TEST(BookCharacters, FormatCharactersAreDroppedAndZeroIsReadAsLing) {
  for (char32_t c : {0x200B, 0x200C, 0x200E, 0x200F, 0x202A, 0x2060, 0x2066, 0xAD})
    EXPECT_EQ(Classify(c), CharClass::kIgnored) << static_cast<unsigned>(c);
  EXPECT_EQ(Classify(0x200D), CharClass::kAttached);  // a joiner still joins
  EXPECT_EQ(ReadAs(U'〇'), U'零');
  EXPECT_EQ(ReadAs(U'O'), 0U);
}

TEST(BookSpacing, AMinusAfterAColonStandsApartAndSingleQuotesPair) {
  Recorder recorder;
  Spacer spacer(&recorder, false);
  auto word = [&](const std::string& text) {
    Part p;
    p.text = text;
    spacer.Add(p);
  };
  auto sign = [&](const std::u32string& text, char32_t before) {
    Part p;
    p.kind = Part::Kind::kSign;
    p.sign = MatchSign(text, before);
    ASSERT_NE(p.sign, nullptr);
    p.text = p.sign->pinyin;
    spacer.Add(p);
  };
  word("wendu");
  sign(U"：", U'度');
  sign(U"-5", U'：');
  word("5");
  sign(U"，", U'5');
  sign(U"'o", U'，');
  word("ok");
  sign(U"'", U'k');
  word("a");
  sign(U"\"b", U'a');
  word("b");
  sign(U"'s", U'b');  // an apostrophe inside a double-quoted passage
  word("s");
  sign(U"\"", U's');
  EXPECT_EQ(recorder.out, "wendu:_-5,_'ok'_a_\"b's\"");
}

}  // namespace
}  // namespace molvane::fulltext
