// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a built executable (molvane-convert unless a test names another) as a
// shell would, in a scratch folder of its own, and collects exit status,
// standard output and standard error.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace molvane::test {

struct Outcome {
  int status;
  std::string out, err;
};

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/molvane-tool-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;  // a folder left in /tmp fails no test
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string File(const std::string& name, const std::string& bytes) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
  }
  static std::string Quote(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }
  // `prefix` goes in front of the command (variables, ulimit).
  Outcome Run(const std::vector<std::string>& args, const std::string& input = "",
              const std::string& prefix = "") {
    std::string command = prefix + " " + program_;
    for (const std::string& a : leading_) command += " " + Quote(a);
    for (const std::string& a : args) command += " " + Quote(a);
    command += " <" + Quote(File("stdin", input)) + " >" + Quote(dir_ + "/out") + " 2>" +
               Quote(dir_ + "/err");
    const int status = std::system(("exec 2>/dev/null; " + command).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read(dir_ + "/out"), Read(dir_ + "/err")};
  }
  // The output alone, expecting success.
  std::string Output(const std::vector<std::string>& args, const std::string& input,
                     const std::string& prefix = "") {
    Outcome r = Run(args, input, prefix);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }

  // molvane-convert's choices before it wrote for readers by default: only
  // the Chinese characters, one reading each, no tones, a blank after every
  // syllable in full text. Tests of those paths put them first.
  static std::vector<std::string> PlainChoices() {
    return {"--text=han", "--readings=chars", "--tones=none", "--spacing=syllable"};
  }

  std::string dir_;
  std::string program_ = MOLVANE_CONVERT;  // the executable Run starts
  std::vector<std::string> leading_;       // arguments before every test's own
};

// A test of molvane-convert's plain paths: PlainChoices() come first.
class PlainToolTest : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    leading_ = PlainChoices();
  }
};

}  // namespace molvane::test
