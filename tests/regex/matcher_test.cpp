// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "regex_test_util.h"
#include "runtime/runtime.h"

namespace molvane::regex {
namespace {

using test::Find;
using test::FindMatch;
using test::FindSpans;

TEST(SearchTest, StartPositionsAndDirections) {
  EXPECT_EQ(FindMatch(u"[a-z]+", u"中文"), "none");
  EXPECT_EQ(FindMatch(u"[a-z]+", u"中文abc"), "2,5");
  EXPECT_EQ(FindMatch(u"a*", u"baa"), "0,0");  // the first start position wins
  EXPECT_EQ(FindMatch(u"$", u"ab"), "2,2");    // the length is a start position too
  EXPECT_EQ(FindMatch(u"", u""), "0,0");
  EXPECT_EQ(FindMatch(u"", u"abc", 0, 1), "1,1");
  EXPECT_EQ(FindMatch(u"", u"abc", 0, 4), "none");
  EXPECT_EQ(FindMatch(u"", u"abc", kRightToLeft, 9), "3,3");
  EXPECT_EQ(FindMatch(u"ab", u"abab", kRightToLeft, 4), "2,4");
  EXPECT_EQ(FindMatch(u"ab", u"abab", kRightToLeft, 3), "0,2");
  EXPECT_EQ(FindMatch(u"ab", u"abab", kRightToLeft, 0), "none");
  EXPECT_EQ(FindSpans(u"(a)(b)", u"xab", kRightToLeft, 3), "1,3 1,2 2,3");
}

TEST(SearchTest, StartBeforeTheSubjectIsSafe) {
  // A negative start would be read from; rightwards it means the whole
  // subject, leftwards nothing is left.
  EXPECT_EQ(FindMatch(u"a", u"ba", 0, -5), "1,2");
  EXPECT_EQ(FindMatch(u"(?<=b)a", u"ba", 0, -1), "1,2");
  EXPECT_EQ(FindMatch(u"a|", u"ba", kRightToLeft, -3), "none");
  CompiledPattern compiled;
  compiled.Load(u"x*", 2, 0);
  MatchRecord record{7};
  SearchPattern(compiled, nullptr, 5, 0, record);  // no subject: an empty one
  EXPECT_EQ(test::Spans(record), "0,0");
}

TEST(SearchTest, RecordLayoutAndMatcherReuse) {
  const MatchRecord record = Find(u"(?<5>a)|(b)", u"b");
  ASSERT_EQ(record.size(), 2u * 6 + 4);
  EXPECT_EQ(record[0], 1);
  EXPECT_EQ(record[1], 6);
  EXPECT_EQ(test::Spans(record), "0,1 - - - - - 0,1");
  EXPECT_EQ(FindSpans(u"(a)|b", u"b"), "0,1 -");
  Matcher matcher;
  CompiledPattern many, one;
  many.Load(u"(a)(b)(c)", 9, 0);
  one.Load(u"c", 1, 0);
  MatchRecord out;
  matcher.Search(many, u"abc", 3, 0, out);
  EXPECT_EQ(test::Spans(out), "0,3 0,1 1,2 2,3");
  matcher.Search(one, u"abc", 3, 0, out);
  EXPECT_EQ(test::Spans(out), "2,3");
  matcher.Search(one, u"ab", 2, 0, out);
  EXPECT_TRUE(out.empty());
}

// The matcher's shortcuts (a lone set scanned for, first-unit skipping, a
// start anchor tried once) must answer as the plain loop over every start
// does; switching shortcuts off gives that loop.
TEST(SearchTest, ShortcutsAgreeWithThePlainLoop) {
  const std::u16string patterns[] = {u"[a-z]",       u"\\d",        u"[^a]",        u"[[:alpha:]]",
                                     u"[a-z]+",      u"(?:[ab])+c", u"([a-z]*)\\d", u"(?<n>[ab]+)1",
                                     u"[ab]{2}",     u"^a",         u"\\Aab|b",     u"(^a)",
                                     u"^[^aoeiuv]+", u"(?m)^b",     u"[a-z]+(?=1)", u"(?i)[A-C]"};
  const std::u16string subjects[] = {u"", u"abc", u"xyz123", u"中a文b1", u"\nba", u"BAb1"};
  for (const std::u16string& pattern : patterns) {
    for (const std::u16string& subject : subjects) {
      for (int32_t start = -1; start <= static_cast<int32_t>(subject.size()) + 1; ++start) {
        const std::string fast = FindSpans(pattern, subject, 0, start);
        SetShortcutsEnabled(false);
        const std::string plain = FindSpans(pattern, subject, 0, start);
        SetShortcutsEnabled(true);
        EXPECT_EQ(fast, plain) << test::Narrow(pattern) << " on " << test::Narrow(subject)
                               << " from " << start;
      }
    }
  }
}

TEST(StringTest, CaseIsIgnoredForAsciiOnly) {
  EXPECT_EQ(FindMatch(u"aBc", u"xAbC", kIgnoreCase), "1,4");
  EXPECT_EQ(FindMatch(u"\u00e9", u"\u00c9", kIgnoreCase), "none");
  EXPECT_EQ(FindMatch(u"[\u00e0-\u00ff]", u"\u00c9", kIgnoreCase), "none");
  EXPECT_EQ(FindMatch(u"[a-c]+", u"xCaB", kIgnoreCase), "1,4");
  EXPECT_EQ(FindMatch(u"ab", u"xab", kRightToLeft, 1), "none");  // needs two units to the left
}

TEST(SetTest, SpaceHoldsFormFeedOnlyRightToLeft) {
  EXPECT_EQ(FindMatch(u"\\sx", u"\fx"), "none");
  EXPECT_EQ(FindMatch(u"(?<=\\s)x", u"\fx"), "1,2");
  EXPECT_EQ(FindMatch(u"(?<=\\S)x", u"\vx"), "none");
  EXPECT_EQ(FindMatch(u"\\w+", u"中_a1-"), "1,4");
  EXPECT_EQ(FindMatch(u"[^\\d]", u"1中"), "1,2");
  EXPECT_EQ(FindMatch(u".", u"\n中"), "1,2");
  EXPECT_EQ(FindMatch(u".", u"\n", kSingleLine), "0,1");
}

TEST(BoundaryTest, Anchors) {
  EXPECT_EQ(FindMatch(u"a$", u"a\n"), "none");
  EXPECT_EQ(FindMatch(u"a\\Z", u"a\n"), "0,1");
  EXPECT_EQ(FindMatch(u"a\\Z", u"a\r\n"), "0,1");
  EXPECT_EQ(FindMatch(u"a\\z", u"a\n"), "none");
  EXPECT_EQ(FindMatch(u"^b", u"a\nb", kMultiLine), "2,3");
  EXPECT_EQ(FindMatch(u"^b", u"a\rb", kMultiLine), "2,3");
  EXPECT_EQ(FindMatch(u"^\n", u"\r\n", kMultiLine), "none");  // not inside a CR LF
  EXPECT_EQ(FindMatch(u"a$", u"a\r\n", kMultiLine), "0,1");
  EXPECT_EQ(FindMatch(u"\r$", u"\r\n", kMultiLine), "none");
  EXPECT_EQ(FindMatch(u"\\bb", u"ab b"), "3,4");
  EXPECT_EQ(FindMatch(u"\\Bb", u"ab"), "1,2");
  EXPECT_EQ(FindMatch(u"\\b", u"中"), "none");
}

TEST(BoundaryTest, SearchStartWithAndWithoutGlobal) {
  EXPECT_EQ(FindMatch(u"\\Ga", u"baa", kGlobal), "none");
  EXPECT_EQ(FindMatch(u"\\Ga", u"baa", kGlobal, 1), "1,2");
  EXPECT_EQ(FindMatch(u"\\Ga", u"baa"), "1,2");
  EXPECT_EQ(FindMatch(u"a\\G", u"aab", kGlobal | kRightToLeft, 2), "1,2");
}

TEST(GroupTest, CapturesKeepTheLatestIteration) {
  EXPECT_EQ(FindSpans(u"(a|b)+", u"ab"), "0,2 1,2");
  EXPECT_EQ(FindSpans(u"(a)|(b)", u"b"), "0,1 - 0,1");
  EXPECT_EQ(FindSpans(u"(a)*b", u"b"), "0,1 -");
  EXPECT_EQ(FindSpans(u"(?<=(ab))c", u"abc"), "2,3 0,2");  // start < end leftwards too
}

TEST(LookaroundTest, AheadAndBehind) {
  EXPECT_EQ(FindMatch(u"(?<=ab)c", u"abc"), "2,3");
  EXPECT_EQ(FindMatch(u"(?<!ab)c", u"abc"), "none");
  EXPECT_EQ(FindMatch(u"(?<!ab)c", u"xbc"), "2,3");
  EXPECT_EQ(FindMatch(u"(?<=^a+)b", u"aab"), "2,3");
  EXPECT_EQ(FindMatch(u"(?<=)a", u"a"), "0,1");
  // Groups captured in a positive lookaround stay, in a negated one they go.
  EXPECT_EQ(FindSpans(u"(?=(ab))a", u"ab"), "0,1 0,2");
  EXPECT_EQ(FindSpans(u"(?!(b))a", u"a"), "0,1 -");
  // A lookaround is never re-entered for another way.
  EXPECT_EQ(FindMatch(u"(?=(a+))a*b\\1", u"aaab"), "none");
  EXPECT_EQ(FindMatch(u"(?=(a+?))\\1b", u"aab"), "1,3");
}

TEST(AtomicTest, CutsBacktracking) {
  EXPECT_EQ(FindMatch(u"(?>a+)a", u"aaa"), "none");
  EXPECT_EQ(FindMatch(u"(?>a|ab)c", u"abc"), "none");
  EXPECT_EQ(FindSpans(u"(?>(a))b|ac", u"ac"), "0,2 -");
}

TEST(BackrefTest, ComparesTheLatestCapture) {
  EXPECT_EQ(FindSpans(u"(a|b)\\1", u"abb"), "1,3 1,2");
  EXPECT_EQ(FindMatch(u"(a)\\1", u"aA"), "none");
  EXPECT_EQ(FindMatch(u"(a)\\1", u"aA", kIgnoreCase), "0,2");
  EXPECT_EQ(FindMatch(u"(a)?\\1", u"b"), "none");
  EXPECT_EQ(FindMatch(u"()\\1x", u"x"), "0,1");  // an empty capture always matches
  EXPECT_EQ(FindMatch(u"(?<n>ab)\\k<n>\\k'N'", u"ababab"), "0,6");
  EXPECT_EQ(FindMatch(u"\\k<zz>|a", u"a"), "0,1");
  EXPECT_EQ(FindMatch(u"(a\\1)", u"aa"), "0,2");  // an open group: its text so far
  // Inside a lookbehind the items run leftwards, so the group is written
  // after its reference.
  EXPECT_EQ(FindSpans(u"(?<=\\1(a))b", u"aab"), "2,3 1,2");
  EXPECT_EQ(FindMatch(u"(?<=(a)\\1)b", u"aab"), "none");
  EXPECT_EQ(FindSpans(u"\\1c(ab)", u"abcab", kRightToLeft, 5), "0,5 3,5");
}

TEST(RecursionTest, NestsWithinItsBudget) {
  EXPECT_EQ(FindMatch(u"\\((?:[^()]|(?R))*\\)", u"x(a(b)c)"), "1,8");
  EXPECT_EQ(FindSpans(u"(a(?1)?b)", u"aabbb"), "0,4 0,4");
  EXPECT_EQ(FindMatch(u"(?R)", u"aaa"), "none");
  EXPECT_EQ(FindMatch(u"a(?5)b", u"ab"), "0,2");  // no such group: matches empty
  // 100 nested calls at most, so at most 101 a's pair up with b's.
  std::u16string subject(150, 'a');
  subject.append(150, 'b');
  EXPECT_EQ(FindMatch(u"a(?R)?b", subject), "49,251");
  // Retrying a recursion counts against the same budget, so backtracking
  // into recursions cannot nest deeper and deeper.
  EXPECT_EQ(FindMatch(u"b?(?:(?R)b)?a*|b", u"bb"), "0,2");
  EXPECT_EQ(FindMatch(u"((?R)a)*?a|b", u"baa"), "0,3");
}

TEST(ConditionalTest, ChoosesABranch) {
  EXPECT_EQ(FindMatch(u"(a)?(?(1)b|c)", u"ab"), "0,2");
  EXPECT_EQ(FindMatch(u"(a)?(?(1)b|c)", u"c"), "0,1");
  EXPECT_EQ(FindMatch(u"(?(?=a)ab|cd)", u"cd"), "0,2");
  EXPECT_EQ(FindMatch(u"(?(?<=x)a|b)", u"xa"), "1,2");
  EXPECT_EQ(FindMatch(u"(?<n>x)?(?(n)y|z)", u"z"), "0,1");
  EXPECT_EQ(FindMatch(u"(?(ab)abc|x)", u"abc"), "0,3");
  EXPECT_EQ(FindMatch(u"(?(ab)abc|x)", u"ax"), "1,2");
  EXPECT_EQ(FindMatch(u"(?(1)a)b", u"b"), "0,1");  // missing no branch: empty
  EXPECT_EQ(FindMatch(u"(?(?=a)(?:ab|a)c)", u"ac"), "0,2");
}

}  // namespace
}  // namespace molvane::regex
