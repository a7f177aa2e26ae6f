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
  EXPECT_EQ(table.commands[kCompileCommand], &regex::Compile);
  EXPECT_EQ(table.commands[kSearchCommand], &regex::Search);
  EXPECT_EQ(table.commands[kSearchAllTextsCommand], &regex::SearchAllTexts);
  EXPECT_EQ(table.commands[kIsEmptyCommand], &regex::IsEmpty);
  EXPECT_EQ(table.commands[kGetMatchTextCommand], &regex::GetMatchText);
  EXPECT_EQ(table.commands[kGetGroupTextCommand], &regex::GetGroupText);
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
  EXPECT_EXIT(CallLibraryCommand(kRegexLibraryNumber, 99, 0, nullptr),
              ::testing::ExitedWithCode(255), "");
}

}  // namespace
}  // namespace molvane
