// SPDX-License-Identifier: GPL-3.0-or-later
// The cases a braille transcriber checks in a real book, through the tool's
// reader-ready default: each row the rule, the print, the cells of current
// braille (dot numbers) and, where pinyin differs from plain text, pinyin.
// The cells are those of the Chinese braille standard's published marks, or
// liblouis's zhcn-g1 (Debian's liblouis-data) where the standard has none.
#include <string>
#include <vector>

#include "support/tool_runner.h"

namespace molvane::test {
namespace {

using TranscriberCasesTest = ToolTest;

struct Case {
  const char* rule;
  const char* print;
  const char* braille;  // dot numbers, cells joined by "-", words by a blank
  const char* pinyin;   // null: not checked
};

constexpr Case kCases[] = {
    {"a minus sign keeps its blank after a colon or comma; the number sign follows it", "温度：-5",
     "25-145-136-36 36-3456-15", "wēn dù: -5"},
    {"", "差，-5", "12345-35-5 36-3456-15", nullptr},
    {"a time's colon (dots 2 5) keeps the time one word, the number sign again", "10:30",
     "3456-1-245-25-3456-14-245", "10:30"},
    {"a web address is one word: its dots are dots 2 5 6, never the full stop", "www.debian.org",
     "56-2456-2456-2456-256-56-145-15-12-24-1-1345-256-56-135-1235-1245", "www.debian.org"},
    {"an address's colon and slashes as liblouis writes them (2 5; 4 5 6, 3 4)",
     "https://wiki.debian.org/zh_CN",
     "56-125-2345-2345-1234-234-25-456-34-456-34-56-2456-24-13-24-256-56-145-15-12-24-1-1345-256-"
     "56-135-1235-1245-456-34-56-1356-125-46-36-6-6-14-1345",
     "https://wiki.debian.org/zh_CN"},
    {"an e-mail address is one word; the sentence's full stop after it is its own", "a_b@x-y.cn。",
     "56-1-46-36-56-12-4-1-56-1346-36-56-13456-256-56-14-1345-5-23", "a_b@x-y.cn."},
    {"an address that ends in a slash is followed by a blank", "见https://a.cn/吧",
     "1245-146 56-125-2345-2345-1234-234-25-456-34-456-34-56-1-256-56-14-1345-456-34 12-35",
     "jiàn https://a.cn/ ba"},
    {"an abbreviation's dots, the last too, are the dot inside a word", "U.S.A.的",
     "6-136-256-6-234-256-6-1-256 145-26", "U.S.A. de"},
    {"the range mark between numbers (dots 5, 6, 2)", "1～5", "3456-1-5-6-2-3456-15", "1~5"},
    {"", "1~5", "3456-1-5-6-2-3456-15", nullptr},
    {"percent: the number sign, dots 2 4 5 and 3 5 6 (not the final ian)", "50%",
     "3456-15-245-3456-245-356", nullptr},
    {"operators with their prefix cell, none the placeholder's full cell", "3+4=7",
     "3456-14-5-235-3456-145-5-2356-3456-1245", nullptr},
    {"the connector between places or numbers, no blank", "北京—上海",
     "12-2346-1245-16-6-36-156-236-125-246", nullptr},
    {"", "1—5", "3456-1-6-36-3456-15", nullptr},
    {"a word of capitals takes the double capital sign once", "DNA", "6-6-145-1345-1", "DNA"},
    {"an accented letter: its accent's cells (4 5 3 4 6, caron) before the letter", "nǐ",
     "56-1345-45-346-24", "nǐ"},
    {"", "café", "56-14-1-124-45-34-15", "café"},
    {"ASCII single quotes that pair are quotation marks, not apostrophes", "他说'ok'",
     "2345-35 156-135 45-45-56-135-13-45-45", nullptr},
    {"a number before a word that is not a measure word stands apart", "3是", "3456-14 156",
     nullptr},
    {"computer signs with their prefix cells", "#1", "26-26-3456-1", nullptr},
    {"", "x|y", "56-1346-456-1256-56-13456", nullptr},
    {"", "2^3", "3456-12-4-26-3456-14", nullptr},
};

TEST_F(TranscriberCasesTest, EachCaseAsTheStandardWritesIt) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.print) + " (" + c.rule + ")");
    EXPECT_EQ(Output({"-n", "0"}, c.print), std::string(c.braille) + "\n");
    if (c.pinyin != nullptr) {
      EXPECT_EQ(Output({"-n", "3"}, c.print), std::string(c.pinyin) + "\n");
    }
  }
}

}  // namespace
}  // namespace molvane::test
