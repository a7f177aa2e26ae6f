// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert's braille books: pages of the chosen size with their
// numbers, paragraphs, headings, a page per input file, HTML and Markdown
// read for their structure, PEF that validates, and the same pages however
// the input is cut or shared among workers.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/pef_rows.h"
#include "support/tool_runner.h"

namespace molvane::test {
namespace {

using BookPagesTest = ToolTest;

const char* const kReference = "/usr/share/debian-reference";

// The pages of BRF or Unicode output, each a list of lines without their
// line breaks.
std::vector<std::vector<std::string>> Pages(const std::string& out) {
  std::vector<std::vector<std::string>> pages(1);
  size_t at = 0;
  while (at < out.size()) {
    if (out[at] == '\f') {
      pages.emplace_back();
      ++at;
    }
    size_t end = out.find('\n', at);
    if (end == std::string::npos) end = out.size();
    std::string line = out.substr(at, end - at);
    if (line.ends_with('\r')) line.pop_back();
    pages.back().push_back(line);
    at = end + 1;
  }
  return pages;
}

// The cells of a line of Unicode braille.
size_t CellCount(const std::string& line) {
  return line.size() / 3;
}

// A page number in BRF: the number sign and the digits as A to J.
std::string BrfNumber(size_t number) {
  std::string cells = "#";
  for (char digit : std::to_string(number)) cells += digit == '0' ? 'J' : char('A' + digit - '1');
  return cells;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
  return n;
}

class SchemaCheck {
 public:
  // True when xmllint accepts the file against the PEF schema; skips the
  // caller's test where the schema is not installed.
  static bool Valid(const std::string& path) {
#ifdef MOLVANE_PEF_SCHEMA
    const std::string command =
        "xmllint --noout --relaxng '" MOLVANE_PEF_SCHEMA "' '" + path + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
#else
    (void)path;
    return true;
#endif
  }
};

TEST_F(BookPagesTest, TheDebianReferenceBecomesPaginatedBrfAndValidPef) {
  const std::string chapter = std::string(kReference) + "/ch01.zh-cn.html";
  const std::string preface = std::string(kReference) + "/pr01.zh-cn.html";
  if (!std::filesystem::exists(chapter)) GTEST_SKIP() << "debian-reference-zh-cn is not installed";
  Outcome r = Run({"--braille=brf", preface, chapter});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto pages = Pages(r.out);
  ASSERT_GT(pages.size(), 20u);
  size_t blankPages = 0;
  for (size_t i = 0; i < pages.size(); ++i) {
    const auto& page = pages[i];
    EXPECT_LE(page.size(), 25u) << "page " << i + 1;
    // The number at the right end of the page's first line.
    EXPECT_TRUE(page[0].ends_with(" " + BrfNumber(i + 1))) << page[0];
    EXPECT_EQ(page[0].size(), 40u) << page[0];
    for (const std::string& line : page) EXPECT_LE(line.size(), 40u) << line;
    if (page.size() == 1) ++blankPages;
  }
  // The last page is the only one that may end short of text.
  EXPECT_LE(blankPages, 1u);
  // No tag is transcribed: a < sign with a tag's letters after it (as the
  // same file read as plain text shows them).
  for (const char* tag : {"\"[;DIV", "\"[;SPAN", "\"[;HTML", "\"[;P\"O", ";NBSP"})
    EXPECT_EQ(r.out.find(tag), std::string::npos) << tag;
  EXPECT_NE(Output({"--braille=brf", "--input-format=text", chapter}, "").find("\"[;DIV"),
            std::string::npos);

  const std::string pef = File("reference.pef", Output({"--braille=pef", preface, chapter}, ""));
  EXPECT_TRUE(SchemaCheck::Valid(pef));
  const std::string document = Read(pef);
  EXPECT_EQ(Count(document, "<section>"), 2u);  // one per file
  EXPECT_EQ(Count(document, "<page>"), pages.size());
  EXPECT_NE(document.find("<dc:language>zh</dc:language>"), std::string::npos);
  // The title from the first file's HTML title.
  EXPECT_NE(document.find("<dc:title>序言</dc:title>"), std::string::npos);
}

TEST_F(BookPagesTest, MarkdownAndHtmlWithTheSameStructureGiveTheSameLayout) {
  const std::string markdown = File("book.md",
                                    "# 第一章\n\n"
                                    "今天天气很好，我们去公园。\n"
                                    "公园里有**很多**人。\n\n"
                                    "## 一、出发\n\n"
                                    "我们八点出发。\n");
  const std::string html = File("book.html",
                                "<!DOCTYPE html>\n<html><head><title>书</title></head><body>\n"
                                "<h1>第一章</h1>\n<p>今天天气很好，我们去公园。\n"
                                "公园里有<b>很多</b>人。</p>\n<h2>一、出发</h2>\n"
                                "<p>我们八点出发。</p>\n</body></html>\n");
  const std::vector<std::string> options = {"--braille=unicode", "--cells=20", "--lines=8"};
  auto with = [&](const std::string& file) {
    std::vector<std::string> args = options;
    args.push_back(file);
    return Output(args, "");
  };
  const std::string laidOut = with(markdown);
  EXPECT_EQ(with(html), laidOut);
  // Found by name or by the first tag; named, whatever the name.
  EXPECT_EQ(Output({"--braille=unicode", "--cells=20", "--lines=8"}, Read(html)), laidOut);
  EXPECT_EQ(Output({"--braille=unicode", "--cells=20", "--lines=8", "--input-format=markdown"},
                   Read(markdown)),
            laidOut);
  // The heading centred, the paragraphs indented and refilled: the
  // Markdown's line break inside the paragraph is gone.
  const auto pages = Pages(laidOut);
  ASSERT_GE(pages[0].size(), 4u);
  EXPECT_EQ(pages[0][1].find_first_not_of("⠀") / 3, (20 - 6) / 2u) << pages[0][1];
  EXPECT_EQ(pages[0][2].rfind("⠀⠀", 0), 0u) << pages[0][2];
  for (const auto& page : pages)
    for (const std::string& line : page) EXPECT_LE(CellCount(line), 20u) << line;
}

TEST_F(BookPagesTest, ParagraphsJoinOrKeepTheirLinesAndFilesStartPages) {
  const std::string text = "今天天气很好，\n我们去公园。\n\n　　第二段。\n";
  // Joined: two paragraphs, each indented; kept: every line as it is, the
  // blank one too.
  const auto joined = Pages(Output({"--braille=brf", "--cells=40"}, text));
  ASSERT_EQ(joined.size(), 1u);
  ASSERT_EQ(joined[0].size(), 3u);
  EXPECT_EQ(joined[0][1].substr(0, 2), "  ");
  EXPECT_EQ(joined[0][2].substr(0, 2), "  ");
  const auto kept = Pages(Output({"--braille=brf", "--paragraphs=lines"}, text));
  ASSERT_EQ(kept[0].size(), 5u);
  EXPECT_EQ(kept[0][3], "");
  // Each file on a page of its own; the numbers go on.
  const std::string first = File("one.txt", "第一个文件。");
  const std::string second = File("two.txt", "第二个文件😀。");
  Outcome r = Run({"--braille=brf", first, second});
  const auto two = Pages(r.out);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_TRUE(two[1][0].ends_with("#B"));
  // What could not be written is named with its file.
  EXPECT_NE(r.err.find("(first: 😀, in " + second + ")"), std::string::npos) << r.err;
}

TEST_F(BookPagesTest, AWordLongerThanALineIsCutWithItsSignRepeated) {
  // 30 digits: 31 cells with the number sign, on lines of 12.
  const auto pages = Pages(Output({"--braille=brf", "--cells=12", "--paragraphs=lines"},
                                  "123456789012345678901234567890\n"));
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_GE(pages[0].size(), 4u);
  EXPECT_EQ(pages[0][1], "#ABCDEFGHIJ-");
  EXPECT_EQ(pages[0][2], "#ABCDEFGHIJ-");  // the number sign again
  EXPECT_EQ(pages[0][3], "#ABCDEFGHIJ");
  // An address cut inside its letters repeats the letter sign, and no line
  // ends with a sign left alone before the mark.
  const auto address = Pages(Output({"--braille=brf", "--cells=20", "--paragraphs=lines"},
                                    "https://www.debian.org/doc/manuals/debian-reference/\n"));
  ASSERT_EQ(address[0].size(), 5u);
  EXPECT_EQ(address[0][1], ";HTTPS3_/_/;WWW4;DE-");
  EXPECT_EQ(address[0][2], ";BIAN4;ORG_/;DOC_/-");
  for (const std::string& line : address[0]) EXPECT_FALSE(line.ends_with(";-")) << line;
  // A word that fits moves to the next line whole.
  const auto words =
      Pages(Output({"--braille=brf", "--cells=12", "--paragraphs=lines"}, "12345678 123456789\n"));
  EXPECT_EQ(words[0][1], "#ABCDEFGH");
  EXPECT_EQ(words[0][2], "#ABCDEFGHI");
}

TEST_F(BookPagesTest, ARuleIsOneLineAcrossThePage) {
  // 69 strokes: one line of dots 2 5 (BRF "3"), nothing counted as lost.
  std::string rule;
  for (int i = 0; i < 69; ++i) rule += "━";
  Outcome r = Run({"--braille=brf", "--cells=30"}, "上文\n" + rule + "\n下文\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const auto pages = Pages(r.out);
  ASSERT_EQ(pages[0].size(), 4u);
  EXPECT_EQ(pages[0][2], std::string(30, '3'));
}

TEST_F(BookPagesTest, ThePefReadBackEqualsTheUnicodeLayout) {
  std::string text;
  for (int i = 0; i < 4; ++i) text += "春天来了，我们去北京看花。\n\n";
  const std::vector<std::string> size = {"--cells=20", "--lines=6"};
  auto run = [&](const char* form) {
    std::vector<std::string> args = size;
    args.push_back(form);
    return Output(args, text);
  };
  const std::string unicode = run("--braille=unicode");
  ASSERT_EQ(Pages(unicode).size(), 2u);
  const std::string pef = run("--braille=pef");
  EXPECT_EQ(PefRows(pef), unicode);
  EXPECT_NE(pef.find("cols=\"20\" rows=\"6\""), std::string::npos);
  EXPECT_TRUE(SchemaCheck::Valid(File("two.pef", pef)));
  // An empty text read as HTML still makes a valid document.
  EXPECT_TRUE(SchemaCheck::Valid(File("empty.pef", Output({"--braille=pef"}, "<html></html>"))));
}

TEST_F(BookPagesTest, PagesDoNotDependOnHowTheInputIsCutOrShared) {
  std::string text;
  for (int i = 0; i < 200; ++i)
    text += "他说'好'，网址是www.debian.org。第" + std::to_string(i) + "段的文字\n折行了。\n\n";
  const std::string file = File("long.txt", text);
  const std::string whole = Output({"-j", "1", "--braille=brf", file}, "");
  for (const char* pieces : {"300", "1000", "7000"})
    for (const char* jobs : {"1", "3"})
      EXPECT_EQ(Output({"-j", jobs, "--braille=brf", file}, "",
                       std::string("MOLVANE_PIECE_BYTES=") + pieces),
                whole)
          << pieces << " " << jobs;
  // A line converts as it does alone: nothing carries over a line break.
  EXPECT_EQ(Output({"-n", "3"}, "他说'好\n'对'\n"),
            Output({"-n", "3"}, "他说'好\n") + Output({"-n", "3"}, "'对'\n"));
}

TEST_F(BookPagesTest, PageOptionsAreCheckedAndTheDotsFormStaysAsItIs) {
  EXPECT_EQ(Output({"-n", "0"}, "中国。"), "34-256-1245-135-5-23\n");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--cells=11", "--braille=brf"},
           {"--lines=2", "--braille=brf"},
           {"--cells=40"},  // dots are not laid out
           {"--paragraphs=join", "-n", "pinyin"},
           {"--paragraphs=some"},
           {"--input-format=rtf", "--braille=brf"},
           {"--braille=pef", "--text=han"},
           {"--braille=pef", "-e", "gbk"},
       })
    EXPECT_EQ(Run(args, "中国").status, 2) << args[0];
  // Lines of Chinese characters alone keep their BRF lines, in the page's width.
  const auto han =
      Pages(Output({"--braille=brf", "--text=han", "--cells=12", "-s", " "}, "中国中国中国中国"));
  for (const auto& line : han[0]) EXPECT_LE(line.size(), 12u) << line;
}

}  // namespace
}  // namespace molvane::test
