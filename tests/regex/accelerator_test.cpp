// SPDX-License-Identifier: GPL-3.0-or-later
// The accelerator must give exactly the records of the plain search: the
// prefilter may only skip start positions where no match can begin.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "regex/accelerator.h"
#include "regex_test_util.h"
#include "runtime/runtime.h"

namespace molvane::regex {
namespace {

MatchRecord Accelerated(const std::u16string& pattern, ConstantSubject& subject, int32_t start) {
  auto shared = CompileShared(pattern.data(), static_cast<int32_t>(pattern.size()), 0);
  EXPECT_NE(shared, nullptr);
  Matcher matcher;
  MatchRecord record;
  SearchConstant(*shared, subject, start, matcher, record);
  return record;
}

bool Filtered(const std::u16string& pattern) {
  CompiledPattern compiled;
  compiled.Load(pattern.data(), static_cast<int32_t>(pattern.size()), 0);
  return Prefilter(compiled).Active();
}

TEST(Prefilter, RecognisesTheLookupShapes) {
  EXPECT_TRUE(Filtered(u"(?<=中)[a-z]+"));
  EXPECT_TRUE(Filtered(u"(?<=中)([a-z]+)(\\d)"));
  EXPECT_TRUE(Filtered(u"[a-z]+(?=\\|中)"));
  EXPECT_TRUE(Filtered(u"ab*[0-9]?(?=-)"));
  // The literal's first unit could be consumed before it: no shortcut.
  EXPECT_FALSE(Filtered(u"[a-z|]+(?=\\|中)"));
  EXPECT_FALSE(Filtered(u"[^a]+(?=\\|中)"));
  // Negated, case-blind, or not at the edge of the pattern: no shortcut.
  EXPECT_FALSE(Filtered(u"(?<!中)[a-z]+"));
  EXPECT_FALSE(Filtered(u"(?i)(?<=a)[a-z]+"));
  EXPECT_FALSE(Filtered(u"x(?<=中)[a-z]+"));
  EXPECT_FALSE(Filtered(u"(a)+(?=\\|)"));
}

bool OneUnit(const std::u16string& pattern, uint32_t flags = 0) {
  auto shared = CompileShared(pattern.data(), static_cast<int32_t>(pattern.size()), flags);
  return shared != nullptr && SingleUnitBitmap(*shared) != nullptr;
}

TEST(UnitBitmap, RecognisesOneSetOrClassAndHoldsWhatItAccepts) {
  EXPECT_TRUE(OneUnit(u"[\\u4e00-\\u9fa5]"));
  EXPECT_TRUE(OneUnit(u"[^a]"));
  EXPECT_TRUE(OneUnit(u"\\d"));
  // More than one unit, a repetition or leftwards: searched as before.
  EXPECT_FALSE(OneUnit(u"ab"));
  EXPECT_FALSE(OneUnit(u"[a]+"));
  EXPECT_FALSE(OneUnit(u"(a)"));
  EXPECT_FALSE(OneUnit(u"[a]", kRightToLeft));
  SetShortcutsEnabled(false);
  EXPECT_FALSE(OneUnit(u"[^a]"));
  SetShortcutsEnabled(true);

  const std::u16string set = u"[^b-y中]";
  CompiledPattern compiled;
  compiled.Load(set.data(), static_cast<int32_t>(set.size()), 0);
  const UnitBitmap bitmap(*static_cast<const UnitElement*>(compiled.Top()));
  for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    const auto u = static_cast<char16_t>(unit);
    ASSERT_EQ(bitmap.Holds(u), static_cast<const UnitElement*>(compiled.Top())->Test(u)) << unit;
  }
}

TEST(Accelerator, LookupsAgreeWithThePlainSearch) {
  static ConstantSubject dictionary{u"吖a1,中zhong1,国guo2,军jun10,中x", nullptr};
  for (const std::u16string pattern :
       {u"(?<=中)[a-z]+", u"(?<=国)([a-z]+)(\\d)", u"(?<=军)([a-z]+)(\\d)", u"(?<=哟)[a-z]+"}) {
    for (int32_t start = 0; start <= static_cast<int32_t>(dictionary.units.size()) + 1; ++start) {
      EXPECT_EQ(test::Spans(Accelerated(pattern, dictionary, start)),
                test::Spans(test::Find(pattern, dictionary.units, 0, start)))
          << "start " << start;
    }
  }
  static ConstantSubject wubi{u"aaaa|工\r\nkhk|中\r\nlgyi|国\r\nkhk|中", nullptr};
  EXPECT_EQ(test::Spans(Accelerated(u"[a-z]+(?=\\|中)", wubi, 0)), "8,11");
  EXPECT_EQ(test::Spans(Accelerated(u"[a-z]+(?=\\|中)", wubi, 10)), "10,11");
  EXPECT_EQ(test::Spans(Accelerated(u"[a-z]+(?=\\|中)", wubi, 13)), "23,26");
  EXPECT_EQ(test::Spans(Accelerated(u"[a-z]+(?=\\|哟)", wubi, 0)), "none");
}

// Random subjects over a small alphabet and patterns of the two shapes (and
// near misses that must fall back to the plain search).
TEST(Accelerator, RandomSearchesAgreeWithThePlainSearch) {
  std::mt19937 random(20261207);
  const std::u16string alphabet = u"ab|X-12\n中";
  const std::vector<std::u16string> patterns = {
      u"(?<=X)[a-z]+",   u"(?<=中)([ab]+)(\\d)", u"(?<=a|)b*",      u"(?<=ab)[a-z]*",
      u"[a-z]+(?=\\|X)", u"[ab]*(?=\\|)",        u"b?a+(?=-1)",     u"[a-z]+?(?=\\|X)",
      u"a{2}(?=X)",      u"[\\d]+(?=-)",         u"(?:ab)+(?=\\|)", u"[^|]+(?=\\|X)",
      u"(?<=X)(?=a)",    u"[a-z]*+(?=\\|)",      u"\\w+(?=中)",     u"(?<=\\n)[ab]+"};
  // Answers are remembered per subject, and constant subjects live as long
  // as the program: keep every one alive.
  std::vector<std::unique_ptr<ConstantSubject>> subjects;
  for (int round = 0; round < 300; ++round) {
    std::u16string units;
    int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) units += alphabet[random() % alphabet.size()];
    ConstantSubject& subject = *subjects.emplace_back(new ConstantSubject{units, nullptr});
    for (const std::u16string& pattern : patterns) {
      int32_t start = static_cast<int32_t>(random() % (units.size() + 2));
      ASSERT_EQ(test::Spans(Accelerated(pattern, subject, start)),
                test::Spans(test::Find(pattern, units, 0, start)))
          << "round " << round << " start " << start << " pattern "
          << std::string(pattern.begin(), pattern.end());
    }
  }
}

TEST(Accelerator, PatternsAreSharedOnlyWhileShortcutsAreOn) {
  const std::u16string pattern = u"(?<=中)[a-z]+";
  const int32_t length = static_cast<int32_t>(pattern.size());
  EXPECT_EQ(CompileShared(pattern.data(), length, 0), CompileShared(pattern.data(), length, 0));
  EXPECT_NE(CompileShared(pattern.data(), length, 0), CompileShared(pattern.data(), length, 8));
  SetShortcutsEnabled(false);
  EXPECT_NE(CompileShared(pattern.data(), length, 0), CompileShared(pattern.data(), length, 0));
  SetShortcutsEnabled(true);
}

}  // namespace
}  // namespace molvane::regex

namespace molvane::regex {
namespace {

TEST(Accelerator, ShortSubjectAnswersAgreeWithThePlainSearch) {
  const std::u16string patterns[] = {u"^[^aoeiuv]+", u"[aoeiuv][a-z]*", u"(a)?b|(c)", u"\\Ga"};
  const std::u16string subjects[] = {u"zhuang", u"a", u"er", u"", u"cab", u"aab", u"zhuang"};
  for (const std::u16string& pattern : patterns) {
    auto shared = CompileShared(pattern.data(), static_cast<int32_t>(pattern.size()), kGlobal);
    ASSERT_NE(shared, nullptr);
    Matcher matcher;
    // Twice over: the second round answers from what the first remembered.
    for (int round = 0; round < 2; ++round) {
      for (const std::u16string& subject : subjects) {
        for (int32_t start = 0; start <= static_cast<int32_t>(subject.size()); ++start) {
          MatchRecord record;
          SearchShort(*shared, subject.data(), static_cast<int32_t>(subject.size()), start, matcher,
                      record);
          EXPECT_EQ(test::Spans(record), test::Spans(test::Find(pattern, subject, kGlobal, start)))
              << "start " << start;
        }
      }
    }
  }
}

TEST(Accelerator, ManyShortSubjectsStayCorrectAsTheAnswersGrowAndStartAfresh) {
  const std::u16string pattern = u"[aoeiu]+";
  auto shared = CompileShared(pattern.data(), static_cast<int32_t>(pattern.size()), kGlobal);
  ASSERT_NE(shared, nullptr);
  Matcher matcher;
  // More distinct subjects than the table keeps, each asked twice and at two
  // starts, so answers are found after growing and after starting afresh.
  std::vector<std::u16string> subjects;
  for (char16_t a = u'a'; a <= u'z'; ++a)
    for (char16_t b = u'a'; b <= u'z'; ++b)
      for (char16_t c : {u'a', u'n', u'o', u'g', u'u', u'z', u'e', u'k'})
        subjects.push_back(std::u16string{a, b, c});
  ASSERT_GT(subjects.size(), ShortAnswers::kMostAnswers);
  for (int round = 0; round < 2; ++round)
    for (const std::u16string& subject : subjects)
      for (int32_t start : {0, 1}) {
        MatchRecord record;
        SearchShort(*shared, subject.data(), 3, start, matcher, record);
        ASSERT_EQ(test::Spans(record), test::Spans(test::Find(pattern, subject, kGlobal, start)))
            << "start " << start;
      }
  EXPECT_LE(shared->shortAnswers.size(), ShortAnswers::kMostAnswers);
}

}  // namespace
}  // namespace molvane::regex
