// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "regex_test_util.h"

namespace molvane::regex {
namespace {

using test::Dump;
using test::DumpPattern;
using test::FindMatch;
using test::FindSpans;

CompiledPattern* Compile(CompiledPattern& compiled, std::u16string_view pattern,
                         uint32_t flags = 0) {
  compiled.Load(pattern.data(), static_cast<int32_t>(pattern.size()), flags);
  return &compiled;
}

TEST(CompilerTest, ProgramPatternTrees) {
  EXPECT_EQ(DumpPattern(u"[\\u4e00-\\u9fa5]"), "[\\u4E00-\\u9FA5]");
  EXPECT_EQ(DumpPattern(u"^[^aoeiuv]+"), "Seq(B0 Greedy1+2147483646([^aoeiuv]))");
  EXPECT_EQ(DumpPattern(u"[aoeiuv][a-z]*"), "Seq([aoeiuv] Greedy0+2147483647([a-z]))");
  EXPECT_EQ(DumpPattern(u"[a-z]+"), "Greedy1+2147483646([a-z])");
  EXPECT_EQ(DumpPattern(u"[\\d-]+"), "Greedy1+2147483646([-{[0-9]}])");
  EXPECT_EQ(DumpPattern(u"\\d+(?=\\-)"), "Seq(Greedy1+2147483646([0-9]) Look('-'))");
  EXPECT_EQ(DumpPattern(u"(?<=\\-)\\d+"), "Seq(Look('-'<) Greedy1+2147483646([0-9]))");
  EXPECT_EQ(DumpPattern(u"(?<=中)[a-z]+"), "Seq(Look('\\u4E2D'<) Greedy1+2147483646([a-z]))");
  EXPECT_EQ(DumpPattern(u"(?<=中)([a-z]+)(\\d)"),
            "Seq(Look('\\u4E2D'<) Seq(Open1 Greedy1+2147483646([a-z]) Close1) "
            "Seq(Open2 [0-9] Close2))");
  EXPECT_EQ(DumpPattern(u"[a-z]+(?=\\|中)"), "Seq(Greedy1+2147483646([a-z]) Look('|\\u4E2D'))");
  CompiledPattern compiled;
  EXPECT_EQ(Compile(compiled, u"(?<=中)([a-z]+)(\\d)")->HighestGroup(), 2);
}

TEST(CompilerTest, StockElementsAreShared) {
  CompiledPattern compiled;
  Compile(compiled, u"\\d[\\d]");
  auto* sequence = static_cast<SequenceElement*>(compiled.Top());
  auto* set = static_cast<CharSetElement*>(sequence->items[1]);
  EXPECT_EQ(sequence->items[0], compiled.Stock(kStockDigit));
  EXPECT_EQ(set->embedded[0], compiled.Stock(kStockDigit));
  EXPECT_EQ(compiled.Stock(-1), compiled.Stock(17));
  EXPECT_EQ(compiled.Stock(17)->Kind(), ElementKind::kEmpty);
  // Right to left the stock sets change, and "\s" also holds form feed and
  // vertical tab.
  EXPECT_EQ(DumpPattern(u"\\s\\S.", kRightToLeft),
            "Seq<([ \\u0009\\u000D\\u000A\\u000C\\u000B]< "
            "[^ \\u0009\\u000D\\u000A\\u000C\\u000B]< "
            "[^\\u000A]<)");
  EXPECT_EQ(DumpPattern(u"\\s.", kSingleLine), "Seq([ \\u0009\\u000D\\u000A] [^])");
}

TEST(CompilerTest, QuantifierReadings) {
  EXPECT_EQ(DumpPattern(u"ab{2}"), "Seq('a' Repeat2('b'))");
  EXPECT_EQ(DumpPattern(u"abc*d"), "Seq('ab' Greedy0+2147483647('c') 'd')");
  EXPECT_EQ(DumpPattern(u"a{,3}"), "Empty");  // no leading digit: maximum 0
  EXPECT_EQ(DumpPattern(u"a{x}b"), "Seq(Empty 'b')");
  EXPECT_EQ(DumpPattern(u"x{2,1}"), "Repeat2('x')");
  EXPECT_EQ(DumpPattern(u"x{ 2 , 4 }?"), "Lazy2+2('x')");
  EXPECT_EQ(DumpPattern(u"x{2,}+"), "Possessive2+2147483645('x')");
  EXPECT_EQ(DumpPattern(u"x{3}?y"), "Seq(Repeat3('x') 'y')");
  EXPECT_EQ(DumpPattern(u"x{1234567}"), "Repeat123456('x')");
  EXPECT_EQ(DumpPattern(u"a**"), "Seq(Greedy0+2147483647('a') '*')");
  EXPECT_EQ(DumpPattern(u"*a"), "'*a'");
  EXPECT_EQ(DumpPattern(u"?+"), "Greedy1+2147483646('?')");  // "+" repeats the literal
  EXPECT_EQ(DumpPattern(u"a{"), "Empty");
  EXPECT_EQ(FindMatch(u"a{,3}", u"aaa"), "0,0");
}

TEST(CompilerTest, UnbalancedInput) {
  EXPECT_EQ(DumpPattern(u"abc)def"), "'abc'");
  EXPECT_EQ(DumpPattern(u"(ab"), "Seq(Open1 'ab' Close1)");
  EXPECT_EQ(DumpPattern(u"[ab"), "[ab]");
  EXPECT_EQ(FindMatch(u"abc)def", u"xabc"), "1,4");
  EXPECT_EQ(FindMatch(u"[]", u"abc"), "none");
  EXPECT_EQ(FindMatch(u"[^]", u"\n"), "0,1");
  EXPECT_EQ(FindMatch(u"[z-a]", u"amz"), "none");
  EXPECT_EQ(DumpPattern(u""), "Empty");
}

TEST(CompilerTest, BracketExpressions) {
  EXPECT_EQ(DumpPattern(u"[:foo:]"), "[:foo:]");
  EXPECT_EQ(DumpPattern(u"[a[:foo:]]"), "Seq([a[:foo:] ']')");
  EXPECT_EQ(DumpPattern(u"[:alpha:]"), "Class1");
  EXPECT_EQ(DumpPattern(u"[^[:^digit:]x]"), "[^x{Class^5}]");
  EXPECT_EQ(DumpPattern(u"[a-]"), "[a-]");
  EXPECT_EQ(DumpPattern(u"[a\\-z]"), "[a-z]");  // escaped "-" is no range
  EXPECT_EQ(DumpPattern(u"[b-dX_]", kIgnoreCase), "[b-dB-DX_x]");
  EXPECT_EQ(FindMatch(u"[[:upper:][:digit:]]+", u"ab1C2d"), "2,5");
  EXPECT_EQ(FindMatch(u"[[:blank:]]", u"\n\v\t"), "2,3");
  EXPECT_EQ(FindMatch(u"[[:punct:]]", u"a中!"), "2,3");
  EXPECT_EQ(FindMatch(u"[[:^alpha:]]", u"ab中"), "2,3");
}

TEST(CompilerTest, QuotesEscapesAndComments) {
  EXPECT_EQ(DumpPattern(u"\\Qa.b\\E"), "'a.b'");
  EXPECT_EQ(DumpPattern(u"\\Uab\\E"), "'AB'");
  EXPECT_EQ(DumpPattern(u"\\LXy\\E\\u{4E2D}\\Uz"), "'xy\\u4E2DZ'");
  EXPECT_EQ(DumpPattern(u"\\L\\x41"), "'\\x41'");  // escapes are inert inside quotes
  EXPECT_EQ(DumpPattern(u"a b # note", kExtended), "'ab'");
  EXPECT_EQ(DumpPattern(u"a(?#x)*"), "Greedy0+2147483647('a')");
  EXPECT_EQ(DumpPattern(u"\\Ga"), "Seq(Empty 'a')");
  EXPECT_EQ(DumpPattern(u"\\Ga", kGlobal), "Seq(G 'a')");
  EXPECT_EQ(DumpPattern(u"^$\\A\\z\\Z\\b\\B"), "Seq(B0 B1 B0 B1 B2 B7 B7!)");
  EXPECT_EQ(DumpPattern(u"^$", kMultiLine), "Seq(B3 B4)");
}

TEST(CompilerTest, Modifiers) {
  EXPECT_EQ(DumpPattern(u"(?i)ab|cd"), "Alt(Seq(Empty 'ab'i)|'cd'i)");
  EXPECT_EQ(DumpPattern(u"(?i:ab)|cd"), "Alt('ab'i|'cd')");
  EXPECT_EQ(DumpPattern(u"a(?i)b|c"), "Alt(Seq('a' Empty 'b'i)|'c'i)");
  EXPECT_EQ(DumpPattern(u"(a(?i)b)c"), "Seq(Seq(Open1 Seq('a' Empty 'b'i) Close1) 'c')");
  EXPECT_EQ(DumpPattern(u"(?im-i:a$)", 0), "Seq('a' B4)");
  EXPECT_EQ(DumpPattern(u"(?s:.)(?-s).", kSingleLine), "Seq([^] Empty [^\\u000A])");
  EXPECT_EQ(FindMatch(u"(?i)ab|cd", u"CD"), "0,2");
  EXPECT_EQ(FindMatch(u"(?i:ab)|cd", u"CD"), "none");
}

TEST(CompilerTest, GroupNumbering) {
  CompiledPattern compiled;
  EXPECT_EQ(Compile(compiled, u"(?<n>a)(b)")->HighestGroup(), 2);
  EXPECT_EQ(Dump(compiled.Top()), "Seq(Seq(Open2 'a' Close2) Seq(Open1 'b' Close1))");
  EXPECT_EQ(compiled.NamedGroupCount(), 1);
  // Equal names, compared without case, share one number.
  EXPECT_EQ(Compile(compiled, u"(?<x>a)|(?'X'b)(?P<y>c)")->HighestGroup(), 2);
  EXPECT_EQ(FindSpans(u"(?<x>a)|(?'X'b)(?P<y>c)", u"bc"), "0,2 0,1 1,2");
  // A decimal name is a number; plain groups count on from the highest.
  EXPECT_EQ(Compile(compiled, u"(?< 3 >a)(b)")->HighestGroup(), 4);
  EXPECT_EQ(FindSpans(u"(?<3>a)(b)", u"ab"), "0,2 - - 0,1 1,2");
  // Nested named groups count in the order they open, after the plain ones.
  EXPECT_EQ(FindSpans(u"(?<n>a(?<m>b))", u"ab"), "0,2 0,2 1,2");
  EXPECT_EQ(FindSpans(u"(?<n>a(?<m>b)(c))", u"abc"), "0,3 2,3 0,3 1,2");
  EXPECT_EQ(FindMatch(u"(?'n'a(?'m'b))\\1", u"abab"), "0,4");
  EXPECT_EQ(FindMatch(u"(?<n>a(?<m>b))\\k<m>", u"abb"), "0,3");
  EXPECT_EQ(DumpPattern(u"(?:a)(?>b)(c)"), "Seq('a' Atomic('b') Seq(Open1 'c' Close1))");
  EXPECT_EQ(DumpPattern(u"(?<=(a))", 0), "Look(Seq<(Close1 'a'< Open1))");
}

// `depth` groups of the kind opened by `open`, nested around "a".
std::u16string Nested(std::u16string_view open, int32_t depth) {
  std::u16string pattern;
  for (int32_t i = 0; i < depth; ++i) pattern += open;
  pattern += u'a';
  pattern.append(static_cast<size_t>(depth), u')');
  return pattern;
}

TEST(CompilerTest, EveryKindOfGroupNestsToTheSameLimit) {
  const std::u16string_view kinds[] = {u"(", u"(?:", u"(?=", u"(?<!", u"(?>", u"(?<n>", u"(?i:"};
  CompiledPattern compiled;
  for (std::u16string_view open : kinds) {
    SCOPED_TRACE(std::string(open.begin(), open.end()));
    Compile(compiled, Nested(open, kMostNesting));
    EXPECT_EQ(compiled.ErrorOffset(), -1);
    ASSERT_NE(compiled.Top(), nullptr);
    // One more, in a later branch: refused at the "(" that opens it, and
    // nothing is kept.
    const std::u16string branch = Nested(open, kMostNesting) + u"|";
    Compile(compiled, branch + Nested(open, kMostNesting + 1));
    EXPECT_EQ(compiled.ErrorOffset(),
              static_cast<int32_t>(branch.size() + kMostNesting * open.size()));
    EXPECT_EQ(compiled.Top(), nullptr);
  }
}

TEST(CompilerTest, NestingPastTheLimitIsRefusedWithoutExhaustingTheStack) {
  CompiledPattern compiled;
  // Kinds count alike when mixed, and a conditional's condition is a group.
  std::u16string mixed;
  for (int32_t i = 0; i + 1 < kMostNesting; ++i) mixed += i % 2 == 0 ? u"(?:" : u"(";
  Compile(compiled, mixed + u"(?(?=b)c)");
  EXPECT_EQ(compiled.ErrorOffset(), static_cast<int32_t>(mixed.size() + 2));
  Compile(compiled, mixed + u"(?(1)c)");
  EXPECT_EQ(compiled.ErrorOffset(), -1);
  EXPECT_EQ(compiled.HighestGroup(), (kMostNesting - 1) / 2);
  // Far deeper than a stack holds a frame per level for.
  Compile(compiled, std::u16string(400000, u'(') + u"a");
  EXPECT_EQ(compiled.ErrorOffset(), kMostNesting);
  // A refusal is forgotten by the next pattern.
  Compile(compiled, u"(a)");
  EXPECT_EQ(compiled.ErrorOffset(), -1);
  EXPECT_EQ(compiled.HighestGroup(), 1);
}

TEST(CompilerTest, ReferencesResolveAfterParsing) {
  EXPECT_EQ(DumpPattern(u"\\1234"), "Seq(Ref123 '4')");
  EXPECT_EQ(DumpPattern(u"\\k<b>(?<a>x)(?<b>y)\\g'a'\\k<zz>\\k"),
            "Seq(Ref2 Seq(Open1 'x' Close1) Seq(Open2 'y' Close2) Ref1 Ref-3 Ref0)");
  EXPECT_EQ(DumpPattern(u"(?i)\\k<7>", kRightToLeft), "Seq<(Empty Ref7<i)");
  CompiledPattern compiled;
  Compile(compiled, u"(a)(?1)(?R)(?5)(?R<A>)(?<a>b)");
  auto* sequence = static_cast<SequenceElement*>(compiled.Top());
  auto target = [&](int i) { return static_cast<RecursionElement*>(sequence->items[i])->target; };
  EXPECT_EQ(target(1), compiled.GroupElement(1));
  EXPECT_EQ(target(2), compiled.Top());
  EXPECT_EQ(target(3), nullptr);  // no group 5: matches empty
  EXPECT_EQ(target(4), compiled.GroupElement(2));
  // A condition naming a group tests it; any other text is a lookahead.
  EXPECT_EQ(DumpPattern(u"(?<n>a)?(?(n)b|c|d)(?(zz)x)(?(2)y)(?(?!e)f)"),
            "Seq(Greedy0+1(Seq(Open1 'a' Close1)) If1(null|'b'|Alt('c'|'d')) "
            "If-1(Look('zz')|'x'|null) If2(null|'y'|null) If-1(Look!('e')|'f'|null))");
}

}  // namespace
}  // namespace molvane::regex
