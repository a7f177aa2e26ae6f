// SPDX-License-Identifier: GPL-3.0-or-later
// Files read for the window's input box: the encoding found as
// molvane-convert finds it, what is not text, what the box cannot hold.
#include <gtest/gtest.h>

#include "app/window/window_files.h"
#include "support/tool_runner.h"

namespace molvane::window {
namespace {

using platform::Encoding;

class ReadTextFileTest : public test::ToolTest {};

TEST_F(ReadTextFileTest, EncodingsAreFoundByMarkOrByTheirBytes) {
  const struct {
    const char* name;
    std::string bytes;
    Encoding encoding;
  } kFiles[] = {
      {"utf8.txt", "\xE4\xB8\xAD\xE6\x96\x87\n", Encoding::kUtf8},
      {"bom8.txt", "\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87\n", Encoding::kUtf8},
      {"le.txt", std::string("\xFF\xFE\x2D\x4E\x87\x65\n\0", 8), Encoding::kUtf16Le},
      {"be.txt", std::string("\xFE\xFF\x4E\x2D\x65\x87\0\n", 8), Encoding::kUtf16Be},
      {"gbk.txt", "\xD6\xD0\xCE\xC4\n", Encoding::kGb18030},
  };
  for (const auto& f : kFiles) {
    const ReadText read = ReadTextFile(File(f.name, f.bytes), 100);
    EXPECT_EQ(read.problem, ReadProblem::kNone) << f.name;
    EXPECT_EQ(read.encoding, f.encoding) << f.name;
    EXPECT_EQ(read.utf8, "中文\n") << f.name;
  }
}

TEST_F(ReadTextFileTest, BinaryMissingAndOverlongFilesAreRefused) {
  EXPECT_EQ(ReadTextFile(File("zero.txt", std::string("ab\0cd", 5)), 100).problem,
            ReadProblem::kNotText);
  EXPECT_EQ(ReadTextFile(File("bell.txt", "ab\x07"), 100).problem, ReadProblem::kNotText);
  // A UTF-16 mark followed by an unpaired surrogate.
  EXPECT_EQ(ReadTextFile(File("half.txt", std::string("\xFF\xFE\x00\xD8", 4)), 100).problem,
            ReadProblem::kNotText);
  EXPECT_EQ(ReadTextFile(dir_ + "/none.txt", 100).problem, ReadProblem::kUnreadable);
  EXPECT_EQ(ReadTextFile(dir_, 100).problem, ReadProblem::kUnreadable);  // a folder

  // A CR LF counts once, as the box counts it; tabs and page breaks are text.
  const std::string five = File("five.txt", "a\r\n\tb\f");
  EXPECT_EQ(ReadTextFile(five, 5).problem, ReadProblem::kNone);
  EXPECT_EQ(ReadTextFile(five, 4).problem, ReadProblem::kTooLong);
  EXPECT_TRUE(ReadTextFile(five, 4).utf8.empty());
  // Too large to hold that many characters in any encoding: not even read.
  EXPECT_EQ(ReadTextFile(File("big.txt", std::string(100, 'a')), 24).problem,
            ReadProblem::kTooLong);
}

TEST_F(ReadTextFileTest, WritingReplacesWholeOrLeavesTheOldFile) {
  const std::string path = File("out.txt", "old");
  std::string error;
  ASSERT_TRUE(WriteWholeFile(path, "new\n", &error)) << error;
  EXPECT_EQ(Read(path), "new\n");
  EXPECT_FALSE(WriteWholeFile(dir_ + "/no/such/out.txt", "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WriteWholeFile(dir_, "x", &error));  // a folder is no file
  EXPECT_EQ(Read(path), "new\n");
}

}  // namespace
}  // namespace molvane::window
