// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program's command line: help and version anywhere, and a
// prompt end with one line when no display can show the window.
#include <string>

#include "support/tool_runner.h"

namespace molvane::test {
namespace {

// No display at all, and Qt's platform left to the program; a run that
// waits ends after 20 seconds with status 124.
constexpr const char* kNoDisplay =
    "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20";
constexpr const char* kDeadDisplay =
    "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:7391 timeout 20";

class WindowCommandLineTest : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    program_ = MOLVANE_WINDOW;
  }
};

size_t Lines(const std::string& text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

TEST_F(WindowCommandLineTest, HelpAndVersionNeedNoDisplay) {
  const Outcome help = Run({"--help"}, "", kNoDisplay);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: molvane [OPTION]...\n", 0), 0u) << help.out;
  for (const char* line : {"  -h, --help ", "      --version ", "molvane-convert", "Exit status"})
    EXPECT_NE(help.out.find(line), std::string::npos) << line;
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(Run({"-h"}, "", kNoDisplay).out, help.out);

  const Outcome version = Run({"--version"}, "", kNoDisplay);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("molvane (Molvane) ", 0), 0u) << version.out;
  EXPECT_EQ(Lines(version.out), 1u);
}

TEST_F(WindowCommandLineTest, WithoutADisplayItEndsAtOnceWithOneLine) {
  // None named, and one named that nobody answers.
  for (const char* prefix : {kNoDisplay, kDeadDisplay}) {
    const Outcome r = Run({}, "", prefix);
    EXPECT_EQ(r.status, 3) << prefix;
    EXPECT_EQ(Lines(r.err), 1u) << r.err;
    EXPECT_EQ(r.err.rfind("molvane: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("molvane-convert"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(WindowCommandLineTest, WrongArgumentsAreUsageErrors) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--colour"},
                                             {"-x"},
                                             {"text.txt"},
                                             {"--help=yes"},
                                             {"--", "--help"},
                                             {"--readings=pinyin"},
                                             {"--text"},
                                             {"--spacing=word"}}) {
    const Outcome r = Run(args, "", kNoDisplay);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_NE(r.err.find("Try 'molvane --help'"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  // A value the option does not take is named as molvane-convert names it.
  EXPECT_EQ(Run({"--readings=pinyin"}, "", kNoDisplay)
                .err.rfind("molvane: unknown reading mode 'pinyin'\n", 0),
            0u);
}

TEST_F(WindowCommandLineTest, ConversionChoicesAreReadBeforeTheDisplayIsSought) {
  // Choices that go together reach the display check (exit 3 here); the
  // help lists each of them.
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--readings=words"},
                                             {"--readings", "chars"},
                                             {"--text=full", "--spacing=word"},
                                             {"--spacing=syllable", "--text=full"},
                                             {"--text=han", "--readings=words"},
                                             {"--text=full", "--readings=words"}})
    EXPECT_EQ(Run(args, "", kNoDisplay).status, 3) << args[0];
  const std::string help = Run({"--help"}, "", kNoDisplay).out;
  for (const char* option : {"--readings=MODE", "--text=TEXT", "--spacing=SPACING"})
    EXPECT_NE(help.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace molvane::test
