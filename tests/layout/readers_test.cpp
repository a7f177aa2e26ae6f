// SPDX-License-Identifier: GPL-3.0-or-later
// Plain text, Markdown and HTML read into blocks: paragraphs joined from
// their lines, headings found, markup never kept.
#include "layout/readers.h"

#include <gtest/gtest.h>

#include <string>

namespace molvane::layout {
namespace {

// Blocks as "P:text", "H2:text" or "L:text", apart by "|".
std::string Show(const TextDocument& document) {
  std::string out;
  for (const TextBlock& b : document.blocks) {
    if (!out.empty()) out += '|';
    switch (b.kind) {
      case Block::Kind::kParagraph:
        out += "P:";
        break;
      case Block::Kind::kHeading:
        out += "H" + std::to_string(b.level) + ":";
        break;
      case Block::Kind::kLine:
        out += "L:";
        break;
    }
    out += b.text;
  }
  return out;
}

TEST(PlainText, LinesJoinIntoParagraphsUntilABlankOrIndentedLine) {
  const std::string text =
      "今天天气\n很好。\n\n  我们去\n公园。\r\n\u3000\u3000他说\nHello\nworld\n";
  EXPECT_EQ(Show(ReadPlainText(text, LineMode::kParagraphs)),
            "P:今天天气很好。|P:我们去公园。|P:他说Hello world");
  EXPECT_EQ(Show(ReadPlainText("a\n\n  b\n", LineMode::kLines)), "L:a|L:|L:  b");
  EXPECT_EQ(Show(ReadPlainText("", LineMode::kParagraphs)), "");
}

TEST(PlainText, ARuleLineStandsAlone) {
  // Box-drawing strokes end the paragraph; two strokes or a dash are text.
  EXPECT_EQ(Show(ReadPlainText("上文\n━━━━\n下文\n══\n", LineMode::kParagraphs)),
            "P:上文|L:━━━━|P:下文══");
  EXPECT_FALSE(IsRule("——————"));
}

TEST(PlainText, PiecesCutAnywhereReadAsTheWholeText) {
  const std::string text =
      "今天天气\r\n很好。\r\n\r\n  我们去\r公园。\n\u3000\u3000他说\nHello\nworld";
  const std::string whole = Show(ReadPlainText(text, LineMode::kParagraphs));
  for (size_t size = 1; size <= 7; ++size) {
    PlainTextReader reader(LineMode::kParagraphs);
    TextDocument pieces;
    for (size_t at = 0; at < text.size(); at += size) {
      reader.Add(std::string_view(text).substr(at, size));
      for (TextBlock& b : reader.TakeBlocks()) pieces.blocks.push_back(std::move(b));
    }
    reader.Finish();
    for (TextBlock& b : reader.TakeBlocks()) pieces.blocks.push_back(std::move(b));
    EXPECT_EQ(Show(pieces), whole) << size;
  }
  // A finished paragraph is handed over before the text ends.
  PlainTextReader reader(LineMode::kParagraphs);
  reader.Add("一段\n\n二");
  EXPECT_EQ(reader.TakeBlocks().size(), 1U);
}

TEST(Markdown, HeadingsParagraphsListsAndCodeWithoutMarkup) {
  const std::string text =
      "# 第一章 *开始*\n\n这是**第一**段，\n接着写。\n\n- 一项\n- [链接](http://x.org)二项\n\n"
      "副标题\n---\n\n```\ncode  line\n```\n\n> 引用 `代码`\n\n![图](a.png)\n## 二 ##\n";
  const TextDocument document = ReadMarkdown(text, LineMode::kParagraphs);
  EXPECT_EQ(Show(document),
            "H1:第一章 开始|P:这是第一段，接着写。|P:一项|P:链接二项|H2:副标题|L:code  line|"
            "P:引用 代码|P:图|H2:二");
  EXPECT_EQ(document.title, "第一章 开始");
}

TEST(Html, TagsAreNeverTextAndBlocksFollowTheElements) {
  const std::string html =
      "<!DOCTYPE html><html><head><title>Debian 参考手册</title><style>p{}</style></head>"
      "<body><h1 class=\"t\">第一章</h1><p>这是\n  第一段，<b>粗体</b>&amp;&#x4E2D;&#22269;"
      "&nbsp;ok</p><script>var a = '<p>';</script><ul><li>一项</li><li>two <i>items</i></li></ul>"
      "<!-- <p>comment</p> --><pre>\nline  one\nline two\n</pre><h2>小节</h2>文字<br>下一行"
      "</body></html>";
  const TextDocument document = ReadHtml(html);
  EXPECT_EQ(Show(document),
            "H1:第一章|P:这是第一段，粗体&中国 ok|P:一项|P:two items|L:line  one|L:line two|"
            "H2:小节|P:文字|P:下一行");
  EXPECT_EQ(document.title, "Debian 参考手册");
}

TEST(Html, MarkdownAndHtmlOfOneTextGiveTheSameBlocks) {
  const std::string markdown = "# 标题\n\n第一段\n文字。\n\n## 小节\n\n第二段。\n";
  const std::string html = "<h1>标题</h1>\n<p>第一段\n文字。</p>\n<h2>小节</h2>\n<p>第二段。</p>\n";
  EXPECT_EQ(Show(ReadMarkdown(markdown, LineMode::kParagraphs)), Show(ReadHtml(html)));
}

}  // namespace
}  // namespace molvane::layout
