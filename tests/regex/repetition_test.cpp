// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "regex_test_util.h"

namespace molvane::regex {
namespace {

using test::FindMatch;
using test::FindSpans;

TEST(GreedyTest, GivesBackOneIterationAtATime) {
  EXPECT_EQ(FindMatch(u"[a-z]+", u"abc1"), "0,3");
  EXPECT_EQ(FindMatch(u"[a-z]+(?=\\|中)", u"abc|x"), "none");
  EXPECT_EQ(FindMatch(u"[a-z]+(?=\\|中)", u"ab|中"), "0,2");
  EXPECT_EQ(FindMatch(u"\\d+(?=\\-)", u"245="), "none");
  EXPECT_EQ(FindMatch(u"\\d+(?=\\-)", u"23456-245="), "0,5");
  EXPECT_EQ(FindSpans(u"(?<=中)([a-z]+)(\\d)", u"中zhong1国guo2"), "1,7 1,6 6,7");
  EXPECT_EQ(FindMatch(u"(?<=中)([a-z]+)(\\d)", u"中zhong国"), "none");
}

TEST(GreedyTest, AsksTheLastIterationForItsOtherWays) {
  EXPECT_EQ(FindSpans(u"(a|ab)*c", u"abc"), "0,3 0,2");
  EXPECT_EQ(FindMatch(u"(?:ab|a)*?c", u"abac"), "0,4");
  EXPECT_EQ(FindMatch(u"(?:a|ab){2}c", u"aabc"), "0,4");
  EXPECT_EQ(FindMatch(u"(?:a|ab){2}?b{2}", u"aabb"), "0,4");
}

// Two readings a backtracking matcher must not lose: an only iteration whose
// other way consumes nothing, and the untried ways inside a re-extension
// that happens to end where an earlier one did.
TEST(GreedyTest, OffersEveryDistinctEnd) {
  EXPECT_EQ(FindSpans(u"(a|)*ac", u"ac"), "0,2 -");
  EXPECT_EQ(FindMatch(u"(?:a|bbb|b|b)*b$", u"bbbabbb"), "0,7");
  EXPECT_EQ(FindMatch(u"(?:bb|b|ba)*bb$", u"babbabb"), "0,7");
  EXPECT_EQ(FindMatch(u"(?:b|aba|bbb|a)*a$", u"aabbaaba"), "0,8");
  EXPECT_EQ(FindMatch(u"(?:bb|b|baa)*(?!a)", u"bbaabab"), "0,4");
  // An end reached again with other captures is offered again when what
  // follows tests captures: here only the second arrival at 2 has group 1.
  EXPECT_EQ(FindSpans(u"^(?:ab|a|(b))*(?<=\\1)$", u"ab"), "0,2 1,2");
}

TEST(GreedyTest, EmptyIterationsEndTheLoop) {
  EXPECT_EQ(FindMatch(u"(?:)*", u"x"), "0,0");
  EXPECT_EQ(FindSpans(u"(a?)*", u"aa"), "0,2 1,2");
  EXPECT_EQ(FindMatch(u"(a*)*b", u"aab"), "0,3");
  EXPECT_EQ(FindMatch(u"(?:\\b)+a", u"a"), "0,1");
  EXPECT_EQ(FindMatch(u"(|a)*", u"aa"), "0,2");  // the next way of an empty one
  // Every other way of an empty iteration is tried, not just the next one,
  // before the loop settles.
  EXPECT_EQ(FindSpans(u"(||\\w)+b", u"  aAbb", 0, 1), "2,6 4,5");
  EXPECT_EQ(FindMatch(u"(?:|(?=x)|a)*+b", u"aab"), "0,3");
}

// An iteration that turns empty while backtracking must end the loop too;
// otherwise each new iteration after it brings another empty way, and a
// failing tail keeps the search going for ever.
TEST(GreedyTest, IterationsThatTurnEmptyEndTheLoop) {
  EXPECT_EQ(FindMatch(u"(?:a|)*b", u"aa"), "none");
  EXPECT_EQ(FindMatch(u"(a*)*b", u"aa"), "none");
  EXPECT_EQ(FindMatch(u"(?:b*)+c", u"bb"), "none");
  EXPECT_EQ(FindMatch(u"(a|)*(?(1)b|b)", u"aa"), "none");
  EXPECT_EQ(FindMatch(u"b(?:a|)*", u"aaaa", kRightToLeft, 4), "none");
  EXPECT_EQ(FindMatch(u"(?:a|)*+b", u"aa"), "none");
  EXPECT_EQ(FindMatch(u"(?:(?:a|)*){2,}b", u"aaa"), "none");
  // Still found where they exist.
  EXPECT_EQ(FindMatch(u"(?:a|)*b", u"aab"), "0,3");
  EXPECT_EQ(FindMatch(u"b(?:a|)*", u"baa", kRightToLeft, 3), "0,3");
  EXPECT_EQ(FindMatch(u"(a*)*(?<=a)c", u"aac"), "0,3");
}

TEST(FixedCountTest, RepeatsExactly) {
  EXPECT_EQ(FindMatch(u"a{2}", u"a"), "none");
  EXPECT_EQ(FindMatch(u"a{0}", u"a"), "0,0");
  EXPECT_EQ(FindMatch(u"(?:a|ab){3}c", u"aababc"), "0,6");
}

// Counted iterations that can end where they began must not retry every
// combination of their empty ways: 2^200 of them would never finish.
TEST(FixedCountTest, EmptyWaysAreNotCombined) {
  EXPECT_EQ(FindMatch(u"(|^){200}b", u"aa"), "none");
  EXPECT_EQ(FindMatch(u"(?:|^|(?=a)){200,}b", u"aa"), "none");
  EXPECT_EQ(FindMatch(u"(?:^||){100,}?b", u"aa"), "none");
  EXPECT_EQ(FindMatch(u"(?:(?:|^){100}){100}b", u"aa"), "none");
  // An iteration may still turn empty after consuming, and consume after
  // turning empty, so every distinct end is still tried.
  EXPECT_EQ(FindMatch(u"(a|){3}b", u"aab"), "0,3");
  EXPECT_EQ(FindMatch(u"(|a){3}b", u"aab"), "0,3");
  EXPECT_EQ(FindSpans(u"(|a|){40}b", u"aab"), "0,3 1,2");
  EXPECT_EQ(FindMatch(u"(?:|a){2,}?b", u"ab"), "0,2");
  // With a back reference what follows also reads the captures, so every way
  // is still tried.
  EXPECT_EQ(FindSpans(u"(?:(a)|()){2}\\1b", u"aab"), "0,3 0,1 1,1");
}

TEST(LazyTest, TakesTheMinimumFirst) {
  EXPECT_EQ(FindMatch(u"a*?", u"aaa"), "0,0");
  EXPECT_EQ(FindMatch(u"a+?", u"aaa"), "0,1");
  EXPECT_EQ(FindSpans(u"(a|ab)+?c", u"abc"), "0,3 0,2");
  EXPECT_EQ(FindMatch(u"(?:|a)*?b", u"aab"), "0,3");
}

TEST(PossessiveTest, NeverRetries) {
  EXPECT_EQ(FindMatch(u"a*+a", u"aaa"), "none");
  EXPECT_EQ(FindMatch(u"a++b", u"aab"), "0,3");
  EXPECT_EQ(FindMatch(u"(?:a|ab)*+c", u"abc"), "2,3");
  EXPECT_EQ(FindSpans(u"(?:(a)|b)*+c|ab", u"ab"), "0,2 -");  // captures undone too
  EXPECT_EQ(FindMatch(u"a{2,}+", u"a"), "none");
}

// Repetitions loop instead of nesting calls, so long subjects neither
// overflow the C++ stack nor grow the backtrack stack for single units.
TEST(LongSubjectTest, MillionUnits) {
  const int32_t n = 1000000;
  std::u16string letters(n, u'a');
  EXPECT_EQ(FindMatch(u"[a-z]+", letters), "0," + std::to_string(n));
  EXPECT_EQ(FindMatch(u"a*b", letters + u"b"), "0," + std::to_string(n + 1));
  EXPECT_EQ(FindMatch(u"a*?b", letters + u"b"), "0," + std::to_string(n + 1));
  EXPECT_EQ(FindMatch(u"(a|ab)*c", letters + u"c"), "0," + std::to_string(n + 1));
  EXPECT_EQ(FindMatch(u"(?:ab|a)+$", letters), "0," + std::to_string(n));
  EXPECT_EQ(FindMatch(u"(?<=\\ba*)b", letters + u"b", kRightToLeft, n + 1),
            std::to_string(n) + ",1000001");
  EXPECT_EQ(FindMatch(u"a+", letters, kRightToLeft, n), "0," + std::to_string(n));
  // Giving back all the way: every unit is returned once at position 0.
  EXPECT_EQ(FindMatch(u"^.*b", letters), "none");
}

TEST(LongSubjectTest, AlternationsGiveBackAcrossManyIterations) {
  std::u16string subject;
  for (int i = 0; i < 4000; ++i) subject += u"ab";
  EXPECT_EQ(FindMatch(u"(a|ab)*c", subject + u"c"), "0," + std::to_string(subject.size() + 1));
  EXPECT_EQ(FindMatch(u"(?:a|ab)*?c", subject + u"c"), "0," + std::to_string(subject.size() + 1));
}

}  // namespace
}  // namespace molvane::regex
