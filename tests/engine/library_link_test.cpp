// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "engine/regex_calls.h"
#include "regex/regex_library.h"

namespace molvane {
namespace {

// Program code calls the regex library by number only; the numbers it uses
// must name the routines the library publishes at those places.
TEST(LibraryLink, ProgramCodeNumbersMatchTheRegexCommandTable) {
  const CommandTable& table = regex::kRegexLibrary.commands;
  ASSERT_EQ(table.count, regex::kRegexCommandCount);
  EXPECT_EQ(kRegexLibrary, regex::kRegexLibraryNumber);
  EXPECT_EQ(table.commands[kRegexCompile], &regex::Compile);
  EXPECT_EQ(table.commands[kRegexSearch], &regex::Search);
  EXPECT_EQ(table.commands[kRegexSearchAllTexts], &regex::SearchAllTexts);
  EXPECT_EQ(table.commands[kRegexIsEmpty], &regex::IsEmpty);
  EXPECT_EQ(table.commands[kRegexGetMatchText], &regex::GetMatchText);
  EXPECT_EQ(table.commands[kRegexGetGroupText], &regex::GetGroupText);
  EXPECT_EQ(int{kSearchResultDestroy} + 1, regex::kRegexCommandCount);
}

// Constructing and destroying through the table leaves a working object.
TEST(LibraryLink, ObjectOperationsByNumber) {
  void** re = NewRegexVariable();
  ASSERT_NE(*re, nullptr);
  CompilePattern(re, "b+");
  void** result = nullptr;
  SearchInto(&result, re, "abbc");
  char* match = MatchText(result);
  EXPECT_STREQ(match, "bb");
  FreeMemory(match);
  DeleteResultVariable(result);
  DeleteRegexVariable(re);
}

TEST(LibraryLinkDeathTest, AnUnknownCommandNumberIsARuntimeFailure) {
  EXPECT_EXIT(CallLibraryCommand(kRegexLibrary, 99, 0, nullptr), ::testing::ExitedWithCode(255),
              "");
}

}  // namespace
}  // namespace molvane
