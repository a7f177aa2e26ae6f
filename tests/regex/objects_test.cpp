// SPDX-License-Identifier: GPL-3.0-or-later
// The regex objects and commands as program code calls them: object cells,
// ArgRecords through CallLibraryCommand, GBK texts in and out.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "regex/compiled_pattern.h"
#include "regex/regex_library.h"
#include "runtime/support.h"
#include "support/gbk.h"

namespace {
// Set in a death test's child to make every operator new fail from then on.
bool g_failingNew = false;
}  // namespace

// The C library's allocation, failing on request. The deletes stay out of
// line: inlined beside a new, GCC takes the pair for mismatched.
void* operator new(std::size_t size) {
  void* block = g_failingNew ? nullptr : std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
[[gnu::noinline]] void operator delete(void* block) noexcept {
  std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}

namespace {

using namespace molvane;
namespace rx = molvane::regex;
using testing_support::EchoMessageBoxes;
using testing_support::Gbk;
using testing_support::Utf8;
using Texts = std::vector<std::string>;
using OptText = std::optional<std::string>;
using OptInt = std::optional<int32_t>;

class Objects : public ::testing::Test {
 protected:
  ~Objects() override {
    for (void** res : results_) rx::DestroySearchResult(res), FreeMemory(res);
    rx::DestroyRegex(re), FreeMemory(re);
  }
  ArgRecord Call(CommandRoutine routine, std::vector<ArgRecord> args) {
    return CallCoreCommand(routine, static_cast<int32_t>(args.size()), args.data());
  }
  ArgRecord Text(const OptText& utf8) {  // texts go in as GBK
    return utf8 ? TextArg(gbk_.emplace_back(Gbk(*utf8)).c_str()) : OmittedArg();
  }
  static ArgRecord Int(OptInt v) { return v ? IntArg(*v) : OmittedArg(); }
  // Empty texts must come back as null, shown as "<null>".
  static std::string Take(ArgRecord r) {
    EXPECT_EQ(r.type, kTypeText);
    std::string utf8 = ArgText(r) ? Utf8(ArgText(r)) : "<null>";
    FreeMemory(ArgText(r));
    return utf8.empty() ? "<empty buffer>" : utf8;
  }

  bool Compile(const std::string& pattern, OptInt flags = {}, std::optional<bool> names = {}) {
    ArgRecord named = names ? BoolArg(*names) : OmittedArg();
    return Call(rx::Compile, {ReArg(), Text(pattern), Int(flags), named}).low != 0;
  }
  void** Search(OptText subject = {}, OptInt start = {}) {
    ArgRecord r = Call(rx::Search, {ReArg(), Text(subject), Int(start)});
    EXPECT_EQ(r.type, kTypeSearchResult);
    return results_.emplace_back(static_cast<void**>(ArgPointer(r)));
  }
  Texts All(OptText subject, OptInt most = {}) {
    ArgRecord r = Call(rx::SearchAllTexts, {ReArg(), Text(subject), Int(most)});
    EXPECT_EQ(r.type, kTypeText | kArrayFlag);
    Texts texts;
    for (int32_t i = 1; i <= ArrayElementCount(ArgPointer(r)); ++i) {
      char* t = TextElement(ArgPointer(r), i);
      texts.push_back(t ? Utf8(t) : "<null>");
    }
    FreeTextArray(ArgPointer(r));
    return texts;
  }
  bool Empty(void** res) { return Call(rx::IsEmpty, {ResArg(res)}).low != 0; }
  std::string Match(void** res) { return Take(Call(rx::GetMatchText, {ResArg(res)})); }
  std::string Group(void** res, int32_t g) {
    return Take(Call(rx::GetGroupText, {ResArg(res), IntArg(g)}));
  }
  ArgRecord ReArg() { return ObjectArg(re, kTypeRegex); }
  static ArgRecord ResArg(void** res) { return ObjectArg(res, kTypeSearchResult); }

  void** re = [] {
    auto** cell = static_cast<void**>(AllocMemory(sizeof(void*)));
    rx::ConstructRegex(cell);
    return cell;
  }();

 private:
  std::vector<void**> results_;
  std::deque<std::string> gbk_;  // stable addresses for the arguments
};

using ObjectsCompile = Objects;
using ObjectsSearch = Objects;
using ObjectsSearchAllTexts = Objects;
using ObjectsReading = Objects;
using ObjectsMemory = Objects;

TEST_F(ObjectsCompile, EmptyPatternFailsAndRecompilingDropsSubjectAndResumePosition) {
  ASSERT_TRUE(Compile("a"));
  void** old = Search("xa");
  EXPECT_FALSE(Compile(""));
  EXPECT_TRUE(Empty(Search("cat")));
  EXPECT_EQ(All("cat"), Texts{});
  ASSERT_TRUE(Compile("a"));
  EXPECT_EQ(Match(old), "<null>");          // its producer holds no subject now
  EXPECT_TRUE(Empty(Search()));             // nothing to search again
  EXPECT_EQ(Match(Search("ab", -1)), "a");  // resume position back at 0
}

TEST_F(ObjectsCompile, PatternNestedTooDeeplyFailsLikeAnEmptyOne) {
  const auto nested = [](int32_t depth) {
    return std::string(static_cast<size_t>(depth), '(') + "a" + std::string(depth, ')');
  };
  ASSERT_TRUE(Compile(nested(rx::kMostNesting)));
  EXPECT_EQ(Match(Search("ba")), "a");
  for (bool shortcuts : {true, false}) {
    SetShortcutsEnabled(shortcuts);
    EXPECT_FALSE(Compile(nested(rx::kMostNesting + 1)));
    EXPECT_TRUE(Empty(Search("ba")));
    EXPECT_EQ(All("aaa"), Texts{});
    // Asked again, the same pattern is refused again, not taken from a cache.
    EXPECT_FALSE(Compile(nested(rx::kMostNesting + 1)));
  }
  SetShortcutsEnabled(true);
}

TEST_F(ObjectsCompile, NamesAreSubstitutedOnlyWhenAsked) {
  ASSERT_TRUE(Compile("a#换行符b", {}, true));
  EXPECT_EQ(Match(Search("xa\r\nby")), "a\r\nb");
  ASSERT_TRUE(Compile("#引号#左引号x#右引号#", {}, true));
  EXPECT_EQ(Match(Search("-\"“x”#-")), "\"“x”#");
  ASSERT_TRUE(Compile("#引号", {}, false));
  EXPECT_EQ(Match(Search("\"#引号")), "#引号");
}

TEST_F(ObjectsSearch, OmittedSubjectSearchesTheLastOneFromStartOrResumePosition) {
  ASSERT_TRUE(Compile("[a-z]+"));
  EXPECT_EQ(Match(Search("12ab 34cd")), "ab");
  EXPECT_EQ(Match(Search()), "ab");
  EXPECT_EQ(Match(Search("")), "ab");
  EXPECT_EQ(Match(Search({}, 3)), "b");
  EXPECT_TRUE(Empty(Search({}, 99)));  // a failed search resets the resume position
  EXPECT_EQ(Match(Search({}, -1)), "ab");
  EXPECT_EQ(Match(Search({}, -7)), "cd");
}

TEST_F(ObjectsSearch, ResultPositionsAreUnitsReadAgainstTheCurrentSubject) {
  ASSERT_TRUE(Compile("[a-z]+"));
  void** res = Search("中文abc");
  EXPECT_EQ(Match(res), "abc");
  EXPECT_TRUE(Empty(Search("0123456789")));
  EXPECT_EQ(Match(res), "234");  // units 2 to 5
  Search("0123");
  EXPECT_EQ(Match(res), "23");  // cut at the subject's end
  Search("01");
  EXPECT_EQ(Match(res), "<null>");
}

// A book-sized subject is kept compactly after SearchAllTexts; searching it
// again and reading earlier results against it must not notice.
TEST_F(ObjectsSearchAllTexts, ABookSizedSubjectIsStillThereAfterwards) {
  ASSERT_TRUE(Compile("[中国]"));
  void** early = Search("ab中");
  std::string book = std::string(600000, 'x') + "中a" + std::string(600000, 'y') + "国";
  EXPECT_EQ(All(book), (Texts{"中", "国"}));
  EXPECT_EQ(Match(early), "x");  // unit 2 of the book
  void** again = Search({}, 600001);
  EXPECT_EQ(Match(again), "国");
  EXPECT_EQ(Match(early), "x");
}

TEST_F(ObjectsSearchAllTexts, SkipsEmptyMatchesAndHonoursMost) {
  ASSERT_TRUE(Compile("[中国]"));
  EXPECT_EQ(All("a中b国c"), (Texts{"中", "国"}));
  ASSERT_TRUE(Compile("a*"));
  EXPECT_EQ(All("baab"), Texts{"aa"});
  ASSERT_TRUE(Compile("(?=b)|b"));  // empty at 1, then the search goes on from 2
  EXPECT_EQ(All("ab"), Texts{});
  ASSERT_TRUE(Compile("\\d"));
  EXPECT_EQ(All("1 2 3 4 5", 2), (Texts{"1", "2"}));
  EXPECT_EQ(All("1 2 3 4 5", -3).size(), 5u);
  EXPECT_EQ(All({}), Texts{});
  EXPECT_EQ(All(""), Texts{});
  EXPECT_EQ(Match(Search()), "1");  // the last subject given stays
}

// A pattern that is one set or class matches each unit it accepts, in order,
// so with shortcuts its matches are found in one pass over the subject
// instead of a search from each match's end. The texts must be the same.
TEST_F(ObjectsSearchAllTexts, OneSetOrClassGivesTheTextsOfTheSearchFromEachEnd) {
  std::mt19937 random(20261208);
  const std::vector<std::string> alphabet = {"a", "Z", "7", " ", "\n", "中", "国", "丂", "。", "é"};
  const std::vector<std::pair<std::string, int32_t>> patterns = {
      {"[\\u4e00-\\u9fa5]", 0}, {"[^中a]", 0},     {"\\d", 0},  {"\\w", 0},
      {"[a-z]", 0x08},          {".", 0},          {".", 0x01}, {"\\s", 0},
      {"[中]", 0x10},           {"[[:alpha:]]", 0}};
  for (int round = 0; round < 200; ++round) {
    std::string subject;
    for (int n = static_cast<int>(random() % 30); n > 0; --n)
      subject += alphabet[random() % alphabet.size()];
    const int32_t most = static_cast<int32_t>(random() % 4);
    for (const auto& [pattern, flags] : patterns) {
      SetShortcutsEnabled(false);
      ASSERT_TRUE(Compile(pattern, flags));
      const Texts plain = All(subject, most);
      SetShortcutsEnabled(true);
      ASSERT_TRUE(Compile(pattern, flags));
      EXPECT_EQ(All(subject, most), plain) << pattern << " on " << subject << ", most " << most;
    }
  }
}

TEST_F(ObjectsSearchAllTexts, ContinuedSearchesBeginAtThePreviousEnd) {
  ASSERT_TRUE(Compile("\\Ga", 0x04));
  EXPECT_EQ(All("aab"), (Texts{"a", "a"}));
  // Right to left, the match from 1 ends at 1; continuing from there would
  // find it forever.
  ASSERT_TRUE(Compile("a*", 0x10));
  EXPECT_EQ(All("aaa"), Texts{"a"});
}

TEST_F(ObjectsReading, GroupsOutsideOneToHighestOrUnsetReadEmpty) {
  ASSERT_TRUE(Compile("(?<=中)([a-z]+)(\\d)|(x)"));
  void** res = Search("重zhong4中zhong1");
  EXPECT_EQ(Match(res), "zhong1");
  EXPECT_EQ(Group(res, 1), "zhong");
  EXPECT_EQ(Group(res, 2), "1");
  for (int32_t g : {3, 0, -1, 4, INT32_MAX, INT32_MIN}) EXPECT_EQ(Group(res, g), "<null>") << g;
  ASSERT_TRUE(Compile("a*"));
  res = Search("baa");
  EXPECT_FALSE(Empty(res));  // an empty match is a match, read as the empty text
  EXPECT_EQ(Match(res), "<null>");
}

TEST_F(ObjectsReading, ResultsOfADestroyedRegexReadEmpty) {
  ASSERT_TRUE(Compile("(b)"));
  void** first = Search("abc");
  void** second = Search();
  rx::DestroyRegex(re);
  EXPECT_EQ(*re, nullptr);
  EXPECT_EQ(Match(first), "<null>");
  EXPECT_EQ(Group(second, 1), "<null>");
}

// Running out of memory inside a command ends the program with the runtime's
// report and exit code -1: an empty answer instead would silently drop text
// from the output, and an exception must not leave a command.
std::string OutOfMemoryBox(const std::string& bytes) {
  return "BOX 错误\\|运行时出错!\\\\r\\\\n\\\\r\\\\n错误信息：分配 " + bytes +
         " 字节内存失败!\\\\r\\\\n\\|16";
}

TEST_F(ObjectsMemory, ExhaustionEndsTheProgramWithTheReport) {
  const std::string big(20000, 'b');
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        platform::SetHeapFailureThreshold(10000);
        Compile(big);
      },
      ::testing::ExitedWithCode(255), OutOfMemoryBox("40002"));
  ASSERT_TRUE(Compile("b"));
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        platform::SetHeapFailureThreshold(10000);
        Search(big);
      },
      ::testing::ExitedWithCode(255), OutOfMemoryBox("40002"));
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        platform::SetHeapFailureThreshold(1);
        void* cell = nullptr;
        rx::ConstructRegex(&cell);
      },
      ::testing::ExitedWithCode(255), OutOfMemoryBox("[0-9]+"));
}

// A constant area of the test's own holding a subject.
struct TestConstants {
  char subject[8];
};
const TestConstants kConstants = {"xbx"};

// Starts the runtime with the test's constant area, then searches its subject
// straight through the command, past the entry's own guard, with no memory
// left at all.
void SearchConstantWithoutMemory(ArgRecord regex) {
  static const LibraryDescriptor* const libraries[] = {nullptr};
  static const ProgramHeader header = {
      3, 0, 0x10095, nullptr, &kConstants, sizeof kConstants, nullptr, 0, 1, libraries, 0};
  CallService(kServiceInitialize, reinterpret_cast<intptr_t>(&header));
  ArgRecord args[] = {regex, TextArg(kConstants.subject)};
  ArgRecord result{0, 0, 0};
  g_failingNew = true;
  rx::Search(&result, 2, args);
  g_failingNew = false;
  std::fprintf(stderr, "returned\n");
}

TEST_F(ObjectsMemory, TheConstantSubjectPathReportsInsteadOfThrowing) {
  ASSERT_TRUE(Compile("b"));
  // The report still comes out, as plain text, when no memory is left.
  EXPECT_EXIT(SearchConstantWithoutMemory(ReArg()), ::testing::ExitedWithCode(255),
              "\\[错误\\] 运行时出错!.*错误信息：分配 0 字节内存失败!");
}

int g_allocations = 0;
intptr_t CountingService(int32_t number, intptr_t a, intptr_t b, intptr_t c) {
  g_allocations += number == kServiceLibraryAlloc;
  return RuntimeService(number, a, b, c);
}

// What the library learns about constant texts outlives a run of the program
// (a book is converted a piece a run); a later run with another text at the
// same address must be answered from that text, not from what was learnt.
TEST_F(ObjectsSearch, AConstantTextChangedBetweenRunsIsSearchedAfresh) {
  static TestConstants area;
  static const LibraryDescriptor* const libraries[] = {nullptr};
  static const ProgramHeader header = {3,       0, 0x10095, nullptr,   &area, sizeof area,
                                       nullptr, 0, 1,       libraries, 0};
  const std::pair<const char*, const char*> runs[] = {{"xbx", "bx"},  {"xbx", "bx"}, {"bxx", "bxx"},
                                                      {"bxx", "bxx"}, {"xxb", "b"},  {"xbx", "bx"}};
  for (const auto& [text, match] : runs) {
    std::strcpy(area.subject, text);
    CallService(kServiceInitialize, reinterpret_cast<intptr_t>(&header));
    ASSERT_TRUE(Compile("b[a-z]*"));
    for (int twice = 0; twice < 2; ++twice) {
      ArgRecord found = Call(rx::Search, {ReArg(), TextArg(area.subject)});
      auto** cell = static_cast<void**>(ArgPointer(found));
      EXPECT_EQ(Match(cell), match) << text;
      rx::DestroySearchResult(cell), FreeMemory(cell);
    }
    rx::kRegexLibrary.notify(6, 0, 0);  // the run's end
  }
}

// The matches of a constant text split into all its matches are kept from
// one run to the next (a table split at start-up); they must be the text's
// own in every run, for every limit, with or without the shortcuts.
TEST_F(ObjectsSearchAllTexts, AConstantTextSplitInEveryRunGivesItsOwnMatches) {
  static TestConstants area;
  static const LibraryDescriptor* const libraries[] = {nullptr};
  static const ProgramHeader header = {3,       0, 0x10095, nullptr,   &area, sizeof area,
                                       nullptr, 0, 1,       libraries, 0};
  const std::pair<const char*, Texts> runs[] = {{"ab,cd", {"ab", "cd"}},
                                                {"ab,cd", {"ab", "cd"}},
                                                {"ab,ce", {"ab", "ce"}},
                                                {"x,y,zz", {"x", "y", "zz"}},
                                                {",,", {}},
                                                {"ab,cd", {"ab", "cd"}}};
  for (bool shortcuts : {true, false}) {
    SetShortcutsEnabled(shortcuts);
    for (const auto& [text, matches] : runs) {
      std::strcpy(area.subject, text);
      CallService(kServiceInitialize, reinterpret_cast<intptr_t>(&header));
      ASSERT_TRUE(Compile("[a-z]+"));
      for (int32_t most : {0, 1, 0}) {
        ArgRecord r = Call(rx::SearchAllTexts, {ReArg(), TextArg(area.subject), IntArg(most)});
        Texts texts;
        for (int32_t i = 1; i <= ArrayElementCount(ArgPointer(r)); ++i)
          texts.push_back(TextElement(ArgPointer(r), i));
        FreeTextArray(ArgPointer(r));
        const Texts expected(matches.begin(),
                             most == 0 || matches.empty() ? matches.end() : matches.begin() + most);
        EXPECT_EQ(texts, expected) << text << " most " << most << " shortcuts " << shortcuts;
      }
      rx::kRegexLibrary.notify(6, 0, 0);  // the run's end
    }
  }
  SetShortcutsEnabled(true);
}

TEST_F(ObjectsMemory, ReturnedBlocksComeFromTheNotifiedService) {
  rx::kRegexLibrary.notify(1, reinterpret_cast<intptr_t>(&CountingService), 0);
  ASSERT_TRUE(Compile("bcd"));
  EXPECT_EQ(Match(Search("abcd")), "bcd");          // cell and text
  EXPECT_EQ(All("bcdbcd"), (Texts{"bcd", "bcd"}));  // array and two texts
  EXPECT_EQ(g_allocations, 5);
  // A text of one byte is the runtime's shared copy, not a block.
  ASSERT_TRUE(Compile("b"));
  EXPECT_EQ(All("bb"), (Texts{"b", "b"}));  // the array alone
  rx::kRegexLibrary.notify(6, 0, 0);
  EXPECT_EQ(g_allocations, 6);
}

}  // namespace
