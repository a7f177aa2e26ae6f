// SPDX-License-Identifier: GPL-3.0-or-later
// Repetitions and recursions pass over ways known to fail (Matcher's
// memoised path). The invariant: wherever no capture is tested, the record of
// every search is exactly the one plain backtracking gives, groups included;
// the passes only cut work. Runaway patterns then finish.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "regex_test_util.h"

namespace molvane::regex {
namespace {

using test::Random;

MatchRecord Search(const CompiledPattern& compiled, std::u16string_view subject, int32_t start,
                   bool memoised) {
  Matcher matcher;
  matcher.SetMemoised(memoised);
  MatchRecord record;
  matcher.Search(compiled, subject.data(), static_cast<int32_t>(subject.size()), start, record);
  return record;
}

std::string Spans(std::u16string_view pattern, std::u16string_view subject, bool memoised,
                  uint32_t flags = 0) {
  CompiledPattern compiled;
  compiled.Load(pattern.data(), static_cast<int32_t>(pattern.size()), flags);
  const int32_t start = (flags & kRightToLeft) != 0 ? static_cast<int32_t>(subject.size()) : 0;
  return test::Spans(Search(compiled, subject, start, memoised));
}

std::u16string Repeated(char16_t unit, int count, std::u16string_view tail = u"") {
  return std::u16string(static_cast<size_t>(count), unit) + std::u16string(tail);
}

// Each of these backtracks exponentially without the memo (the first two
// take hours on these subjects); they must finish, and find what exists.
TEST(MemoTest, RunawayPatternsFinish) {
  EXPECT_EQ(Spans(u"(?:a|(?R))*b", Repeated('a', 20), true), "none");
  EXPECT_EQ(Spans(u"(a+)+b", Repeated('a', 30), true), "none");
  EXPECT_EQ(Spans(u"(a+)+b", Repeated('a', 30, u"b"), true), "0,31 0,30");
  EXPECT_EQ(Spans(u"(a+)+?b", Repeated('a', 30), true), "none");
  EXPECT_EQ(Spans(u"(a+)+?b", Repeated('a', 30, u"b"), true), "0,31 0,30");
  EXPECT_EQ(Spans(u"(?:a|(?R))*b", Repeated('a', 20, u"b"), true), "0,21");
  EXPECT_EQ(Spans(u"((?:a|(?1))*)b", Repeated('a', 8), true), "none");
  EXPECT_EQ(Spans(u"(?:a|aa|(?R))+c", Repeated('a', 30, u"b"), true), "none");
  EXPECT_EQ(Spans(u"(?:(a|b)+)+c", u"ababababababababababababab", true), "none");
  EXPECT_EQ(Spans(u"((a+)+)+b", Repeated('a', 16), true), "none");
  EXPECT_EQ(Spans(u"b(a+)+", Repeated('a', 30, u"b"), true, kRightToLeft), "none");
  // A call that succeeds while what follows it fails: its ways are not
  // enumerated again at every depth.
  EXPECT_EQ(Spans(u"(?:a|(?R))*bc", Repeated('a', 16, u"bb"), true), "none");
}

// A call whose ways were learnt by an earlier call at the same place and
// depth replays them, with the groups captured inside.
TEST(MemoTest, ReplayedCallsKeepTheirCaptures) {
  for (bool memoised : {true, false}) {
    EXPECT_EQ(Spans(u"(?:a(?R)c|a(?R)d|(b))", u"abd", memoised), "0,3 1,2");
    EXPECT_EQ(Spans(u"(?:a(?R)c|a(?R)d|(b))", u"aabdd", memoised), "0,5 2,3");
    EXPECT_EQ(Spans(u"(?:a(?R)c|a(?R)d|(b)|(bb))", u"abbd", memoised), "0,4 - 1,3");
    EXPECT_EQ(Spans(u"(?:a(?1)c|a(?1)d|(b(?1)?))", u"abbd", memoised), "0,4 1,3");
  }
}

// The same patterns on subjects short enough for plain backtracking.
TEST(MemoTest, RunawayPatternsMatchThePlainPathOnShortSubjects) {
  const char16_t* const patterns[] = {u"(?:a|(?R))*b",   u"(a+)+b",        u"(a+)+?b",
                                      u"((a+)+)+b",      u"(?:a|(?R))*bc", u"((?:a|(?1))*)b",
                                      u"(?:a|aa|(?R))+c"};
  // Without a "b" to stop it, plain backtracking of the recursions takes
  // seconds on two units already.
  const char16_t* const subjects[] = {u"",    u"a",   u"b",    u"ab",   u"ba",
                                      u"aab", u"bab", u"abab", u"abba", u"aabb"};
  for (const char16_t* pattern : patterns) {
    for (const char16_t* subject : subjects) {
      EXPECT_EQ(Spans(pattern, subject, true), Spans(pattern, subject, false))
          << test::Narrow(pattern) << " on " << test::Narrow(subject);
    }
  }
}

// Patterns over groups, alternations, every repetition, lookarounds,
// anchors and recursion (entered after a unit, so plain backtracking stays
// short), searched both ways on short subjects.
class MemoPatternMaker {
 public:
  explicit MemoPatternMaker(Random& random) : random_(random) {}

  std::u16string Make() {
    recursed_ = false;
    return test::Widen(Alternation(0));
  }
  bool Recursed() const { return recursed_; }

 private:
  std::string Alternation(int depth) {
    std::string text = Branch(depth);
    if (random_.Percent(30)) text += "|" + Branch(depth);
    return text;
  }

  std::string Branch(int depth) {
    std::string text;
    for (int n = 1 + random_.Below(depth == 0 ? 3 : 2); n > 0; --n) text += Item(depth);
    return text;
  }

  std::string Item(int depth) {
    std::string atom = Atom(depth);
    if (!random_.Percent(40)) return atom;
    static const char* const kQuantifiers[] = {"*",  "+",  "?",     "{2}", "{1,}",
                                               "*?", "+?", "{0,2}", "*+"};
    return atom + random_.Pick(kQuantifiers);
  }

  std::string Atom(int depth) {
    static const char* const kUnits[] = {"a", "a", "b", "[ab]", ".", "\\w"};
    static const char* const kAssertions[] = {"^", "$", "\\b", "(?!a)"};
    static const char* const kRecursions[] = {"a(?R)", "b(?1)", "a(?1)?", "b(?R)?"};
    static const char* const kGroups[] = {"(",   "(",   "(?:",  "(?:", "(?>",
                                          "(?=", "(?!", "(?<=", "(?<!"};
    const int roll = random_.Below(depth < 1 ? 100 : 55);
    if (roll < 40) return random_.Pick(kUnits);
    if (roll < 47) return random_.Pick(kAssertions);
    // Leftwards a unit no longer guards the recursion after it.
    if (roll < 55) {
      if (behind_ > 0 || recursed_) return random_.Pick(kUnits);
      recursed_ = true;
      return random_.Pick(kRecursions);
    }
    const std::string open = random_.Pick(kGroups);
    const bool behind = open.size() == 4;
    behind_ += behind ? 1 : 0;
    std::string body = Alternation(depth + 1);
    behind_ -= behind ? 1 : 0;
    return open + body + ")";
  }

  Random& random_;
  int behind_ = 0;         // lookbehinds open
  bool recursed_ = false;  // one recursion per pattern keeps plain backtracking short
};

TEST(MemoTest, RecordsAreThoseOfPlainBacktracking) {
  Random random(20261208);
  MemoPatternMaker maker(random);
  int matched = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::u16string pattern = maker.Make();
    // Leftwards, plain backtracking of a recursion can take minutes here.
    const bool leftwards = random.Percent(25) && !maker.Recursed();
    const uint32_t flags =
        (leftwards ? kRightToLeft : 0u) | (random.Percent(10) ? kIgnoreCase : 0u);
    CompiledPattern compiled;
    compiled.Load(pattern.data(), static_cast<int32_t>(pattern.size()), flags);
    for (int s = 0; s < 3; ++s) {
      std::u16string subject;
      for (int n = random.Below(5); n > 0; --n) subject.push_back(u"aabbA"[random.Below(5)]);
      const int32_t start = random.Below(static_cast<int>(subject.size()) + 1);
      const MatchRecord plain = Search(compiled, subject, start, false);
      ASSERT_EQ(test::Spans(Search(compiled, subject, start, true)), test::Spans(plain))
          << test::Narrow(pattern) << " flags " << flags << " on " << test::Narrow(subject)
          << " from " << start;
      matched += plain.empty() ? 0 : 1;
    }
  }
  EXPECT_GT(matched, 20000);
}

}  // namespace
}  // namespace molvane::regex
