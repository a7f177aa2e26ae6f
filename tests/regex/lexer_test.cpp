// SPDX-License-Identifier: GPL-3.0-or-later
#include "regex/lexer.h"

#include <gtest/gtest.h>

#include <string>

#include "regex_test_util.h"

namespace molvane::regex {
namespace {

// The token stream as text: meta tokens as "m:c", literals as their
// character, "/n" for a length other than 1, up to the end token.
std::string Lex(std::u16string_view pattern, bool extended = false) {
  Lexer lexer;
  lexer.Load(pattern.data(), static_cast<int32_t>(pattern.size()), extended);
  lexer.Prime();
  std::string text;
  for (int guard = 0; guard < 100 && !lexer.Current().IsEnd(); ++guard) {
    const Token& token = lexer.Current();
    if (token.kind == kMeta) text += "m:";
    text += test::Narrow(std::u16string(1, token.ch));
    if (token.length != 1) text += "/" + std::to_string(token.length);
    text += ' ';
    lexer.MoveOn();
  }
  return text + "end";
}

TEST(LexerTest, ProgramPatterns) {
  EXPECT_EQ(Lex(u"[\\u4e00-\\u9fa5]"), "m:[ \\u4E00/6 m:- \\u9FA5/6 m:] end");
  EXPECT_EQ(Lex(u"[a-z]+"), "m:[ a m:- z m:] m:+ end");
  EXPECT_EQ(Lex(u"\\d+(?=\\-)"), "m:d/2 m:+ m:( m:? = -/2 m:) end");
  EXPECT_EQ(Lex(u"(?<=\\-)\\d+"), "m:( m:? < = -/2 m:) m:d/2 m:+ end");
}

TEST(LexerTest, BracketContext) {
  EXPECT_EQ(Lex(u"[.]"), "m:[ . m:] end");
  EXPECT_EQ(Lex(u"[[:alpha:]]"), "m:[ m:[ m:: a l p h a : m:] m:] end");
  EXPECT_EQ(Lex(u"[^^]^"), "m:[ m:^ ^ m:] m:^ end");
  EXPECT_EQ(Lex(u"[:^x:]"), "m:[ m:: m:^ x : m:] end");
  // Outside brackets "]" and "-" are plain; inside, "[" only opens a class.
  EXPECT_EQ(Lex(u"]-[a[b]"), "] - m:[ a [ b m:] end");
  EXPECT_EQ(Lex(u"[\\b]\\b[\\G]\\G"), "m:[ \\u0008/2 m:] m:b/2 m:[ m:] m:G/2 end");
}

TEST(LexerTest, Escapes) {
  EXPECT_EQ(Lex(u"\\x41\\u0041\\x{41}"), "A/4 A/6 A/6 end");
  EXPECT_EQ(Lex(u"\\xZ\\u{}"), "x/2 Z u/4 end");
  EXPECT_EQ(Lex(u"\\x{1F600}"), "\\uF600/9 end");  // truncated to 16 bits
  EXPECT_EQ(Lex(u"\\12"), "m:\\ 1 2 end");
  EXPECT_EQ(Lex(u"\\a\\e\\f\\n\\r\\t\\v\\*"),
            "\\u0007/2 \\u001B/2 \\u000C/2 \\u000A/2 \\u000D/2 \\u0009/2 \\u000B/2 */2 end");
  EXPECT_EQ(Lex(u"ab\\"), "a b \\ end");
  EXPECT_EQ(Lex(std::u16string(u"\\\0x", 3)), "\\u0000/2 x end");
}

TEST(LexerTest, QuotingAndCase) {
  EXPECT_EQ(Lex(u"\\Q(*\\E)"), "( * m:) end");
  EXPECT_EQ(Lex(u"\\Uab\\E"), "A B end");
  // Inside a quote only "\E" is special, so "\U" is two mapped literals.
  EXPECT_EQ(Lex(u"\\LAb\\UCd\\Ee"), "a b \\ u c d e end");
  EXPECT_EQ(Lex(u"\\Qab"), "a b end");
}

TEST(LexerTest, CommentsAndExtended) {
  EXPECT_EQ(Lex(u"a(?#note)b"), "a b end");
  EXPECT_EQ(Lex(u"a(?#open"), "a end");
  EXPECT_EQ(Lex(u"a b#c\nd", true), "a b d end");
  EXPECT_EQ(Lex(u"a b#c"), "a   b # c end");
  EXPECT_EQ(Lex(u"\\Qa b\\E c", true), "a   b c end");  // quoted space stays
}

}  // namespace
}  // namespace molvane::regex
