// SPDX-License-Identifier: GPL-3.0-or-later
// Lines, pages, paragraphs and headings; BRF, Unicode braille and PEF, each
// PEF checked against the PEF schema.
#include "layout/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/pef_rows.h"

namespace molvane::layout {
namespace {

// Cells written as text for readable expectations: a letter a-z is the cell
// of that letter in braille (a = dot 1 ...), "#" the number sign, "-" the
// continuation mark, "." a blank, "^" dots 5 6 (the letter sign).
constexpr char kLetters[26] = {
    0x01, 0x03, 0x09, 0x19, 0x11, 0x0B, 0x1B, 0x13, 0x0A, 0x1A, 0x05, 0x07, 0x0D,
    0x1D, 0x15, 0x0F, 0x1F, 0x17, 0x0E, 0x1E, 0x25, 0x27, 0x3A, 0x2D, 0x3D, 0x35,
};

Cells C(const std::string& text) {
  Cells cells;
  for (char c : text) {
    if (c >= 'a' && c <= 'z')
      cells += kLetters[c - 'a'];
    else if (c == '#')
      cells += kNumberSign;
    else if (c == '-')
      cells += kContinuationMark;
    else if (c == '^')
      cells += '\x30';
    else
      cells += '\0';
  }
  return cells;
}

std::string T(const Cells& cells) {
  std::string text;
  for (char cell : cells) {
    char c = '?';
    for (int i = 0; i < 26; ++i)
      if (kLetters[i] == cell) c = static_cast<char>('a' + i);
    if (cell == kNumberSign) c = '#';
    if (cell == kContinuationMark) c = '-';
    if (cell == '\x30') c = '^';
    if (cell == 0) c = '.';
    text += c;
  }
  return text;
}

Word W(const std::string& text) {
  return Word{C(text), {}, {}};
}

Block Paragraph(std::vector<Word> words) {
  return Block{Block::Kind::kParagraph, 0, std::move(words)};
}

// The text lines of every page, page number lines left out.
std::vector<std::string> TextLines(const std::vector<Page>& pages) {
  std::vector<std::string> lines;
  for (const Page& page : pages)
    for (size_t i = 1; i < page.lines.size(); ++i) lines.push_back(T(page.lines[i]));
  return lines;
}

TEST(Lines, WordsWrapWholeAndAParagraphStartsTwoCellsIn) {
  const auto pages =
      LayOut({Section{{Paragraph({W("abcd"), W("efgh"), W("ijk"), W("lmnop")})}}}, {12, 10});
  EXPECT_EQ(TextLines(pages), (std::vector<std::string>{"..abcd.efgh", "ijk.lmnop"}));
}

TEST(Lines, ALongWordIsCutWithTheMarkAndItsSignRepeated) {
  // A number of 14 cells on lines of 12: the number sign starts the next line.
  Word number = W("#abcdefghijabc");
  number.signs = {{0, C("#")}};
  const auto pages = LayOut({Section{{Block{Block::Kind::kLine, 0, {W("xy"), number}}}}}, {12, 10});
  EXPECT_EQ(TextLines(pages), (std::vector<std::string>{"xy.#abcdefg-", "#hijabc"}));
  // Letters after a number: the line after the cut takes the letter sign;
  // allowed cuts are kept (never inside a syllable of two cells).
  Word mixed = W("#ab^cdefghijklmnop");
  mixed.signs = {{0, C("#")}, {3, C("^")}};
  mixed.cuts = {3, 4, 6, 8, 10, 12, 14, 16};
  const auto cut = LayOut({Section{{Block{Block::Kind::kLine, 0, {mixed}}}}}, {12, 10});
  EXPECT_EQ(TextLines(cut), (std::vector<std::string>{"#ab^cdefgh-", "^ijklmnop"}));
}

TEST(Pages, NumbersStandAtTheTopRightAndGoOnAcrossSections) {
  std::vector<Word> words;
  for (int i = 0; i < 6; ++i) words.push_back(W("abcde"));
  const auto pages =
      LayOut({Section{{Paragraph(words)}}, Section{{Paragraph({W("xyz")})}}}, {12, 3});
  ASSERT_EQ(pages.size(), 3U);  // 4 lines of text, 2 a page; then the second file
  EXPECT_EQ(T(pages[0].lines[0]), "..........#a");
  EXPECT_EQ(T(pages[1].lines[0]), "..........#b");
  EXPECT_EQ(T(pages[2].lines[0]), "..........#c");  // a new page for the next file
  EXPECT_EQ(T(pages[2].lines[1]), "..xyz");
  EXPECT_TRUE(pages[0].startsSection);
  EXPECT_FALSE(pages[1].startsSection);
  EXPECT_TRUE(pages[2].startsSection);
  EXPECT_EQ(T(PageNumberCells(120)), "#abj");
  // Sizes too small to hold a number and a line are raised.
  EXPECT_EQ(Fit({4, 1}).cells, 12);
  EXPECT_EQ(Fit({4, 1}).lines, 3);
}

TEST(Pages, PagesComeAsBlocksAreAddedAndEmptySectionsKeepAPage) {
  Paginator paginator({12, 3});
  for (int i = 0; i < 5; ++i) paginator.Add(Paragraph({W("abcdefgh")}));
  const std::vector<Page> early = paginator.TakePages();
  EXPECT_EQ(early.size(), 2U);  // finished pages are handed over at once
  paginator.StartSection();
  paginator.StartSection();  // an empty file
  paginator.Add(Paragraph({W("x")}));
  paginator.Finish();
  const std::vector<Page> rest = paginator.TakePages();
  ASSERT_EQ(rest.size(), 3U);  // the fifth paragraph, the empty file's page, x
  EXPECT_EQ(T(rest[1].lines[0]), "..........#d");
  EXPECT_EQ(rest[1].lines.size(), 1U);
  EXPECT_TRUE(rest[1].startsSection && rest[2].startsSection);
  EXPECT_TRUE(paginator.TakePages().empty());
}

TEST(Headings, CentredWithABlankLineAboveAndKeptWithTheirText) {
  const Block title{Block::Kind::kHeading, 1, {W("abcd")}};
  const Block sub{Block::Kind::kHeading, 3, {W("ef")}};
  const auto pages =
      LayOut({Section{{title, Paragraph({W("xy")}), sub, Paragraph({W("z")})}}}, {12, 25});
  EXPECT_EQ(TextLines(pages), (std::vector<std::string>{"....abcd", "..xy", "", "....ef", "..z"}));
  // A heading that would end a page goes to the next one.
  std::vector<Block> blocks(3, Paragraph({W("a")}));
  blocks.push_back(title);
  blocks.push_back(Paragraph({W("b")}));
  const auto moved = LayOut({Section{blocks}}, {12, 5});  // 4 text lines a page
  ASSERT_EQ(moved.size(), 2U);
  EXPECT_EQ(T(moved[1].lines[1]), "....abcd");
}

TEST(Lines, KeptLinesAndBlankLines) {
  const auto pages =
      LayOut({Section{{Block{Block::Kind::kLine, 0, {W("ab")}}, Block{Block::Kind::kLine, 0, {}},
                       Block{Block::Kind::kLine, 0, {W("cd")}}}}},
             {12, 25});
  EXPECT_EQ(TextLines(pages), (std::vector<std::string>{"ab", "", "cd"}));
}

TEST(Output, BrfAndUnicodeWriteEveryCellOfEveryPage) {
  const auto pages = LayOut({Section{{Paragraph({W("ab"), W("cd")})}}, Section{}}, {12, 3});
  EXPECT_EQ(ToBrf(pages), "          #A\r\n  AB CD\r\n\f          #B\r\n");
  EXPECT_EQ(ToUnicode(pages), "⠀⠀⠀⠀⠀⠀⠀⠀⠀⠀⠼⠁\n⠀⠀⠁⠃⠀⠉⠙\n\f⠀⠀⠀⠀⠀⠀⠀⠀⠀⠀⠼⠃\n");
}

// Writes a PEF and checks it against the schema with xmllint.
void ExpectValidPef(const std::string& pef, const std::string& name) {
#ifdef MOLVANE_PEF_SCHEMA
  const std::string path = ::testing::TempDir() + name + ".pef";
  std::ofstream(path, std::ios::binary) << pef;
  const std::string command =
      "xmllint --noout --relaxng '" MOLVANE_PEF_SCHEMA "' '" + path + "' 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << path;
#else
  (void)pef;
  (void)name;
  GTEST_SKIP() << "no PEF schema (libbrailleutils-java)";
#endif
}

using test::PefRows;

TEST(Output, PefIsValidAndReadsBackAsTheUnicodeLayout) {
  std::vector<Word> words;
  for (int i = 0; i < 40; ++i) words.push_back(W("abcde"));
  const Block heading{Block::Kind::kHeading, 1, {W("title")}};
  const std::vector<Section> sections{Section{{heading, Paragraph(words)}},
                                      Section{{Paragraph({W("xyz")})}}};
  const PageSize size{20, 8};
  const auto pages = LayOut(sections, size);
  ASSERT_GE(pages.size(), 3U);  // a two-page sample, then a second file
  const std::string pef = ToPef(pages, size, {"Molvane <&> 测试", "2026-12-09", "molvane-test-1"});
  EXPECT_NE(pef.find("<dc:title>Molvane &lt;&amp;&gt; 测试</dc:title>"), std::string::npos);
  EXPECT_NE(pef.find("<dc:language>zh</dc:language>"), std::string::npos);
  EXPECT_NE(pef.find("cols=\"20\" rows=\"8\""), std::string::npos);
  EXPECT_EQ(PefRows(pef), ToUnicode(pages));
  ExpectValidPef(pef, "sample");
  EXPECT_EQ(std::count(pef.begin(), pef.end(), '\f'), 0);
  size_t pefSections = 0;
  for (size_t at = 0; (at = pef.find("<section>", at)) != std::string::npos; ++at) ++pefSections;
  EXPECT_EQ(pefSections, 2U);
  // An empty document still has a section and a page, and a date is optional.
  ExpectValidPef(ToPef(LayOut({Section{}}, size), size, {"", "", "molvane-test-2"}), "empty");
  ExpectValidPef(ToPef({}, size, {"", "", "molvane-test-3"}), "nothing");
}

}  // namespace
}  // namespace molvane::layout
