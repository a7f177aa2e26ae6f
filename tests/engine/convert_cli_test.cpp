// molvane-convert run as a user would: options, files, encodings, failures.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "engine_support.h"
#include "platform/win32.h"
#include "runtime/runtime.h"

namespace molvane::test {
namespace {

struct Outcome {
  int status;
  std::string out, err;
};

class ConvertCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/molvane-cli-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string File(const std::string& name, const std::string& bytes) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string Read(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
  }
  // Runs the converter with `input` on standard input.
  Outcome RunTool(const std::vector<std::string>& args, const std::string& input = "") {
    std::string command = MOLVANE_CONVERT;
    for (const std::string& a : args) command += " '" + a + "'";
    command += " <'" + File("stdin", input) + "' >'" + dir_ + "/out' 2>'" + dir_ + "/err'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read(dir_ + "/out"), Read(dir_ + "/err")};
  }

  std::string dir_;
};

TEST_F(ConvertCliTest, NotationsBySeveralNames) {
  for (const char* name : {"3", "全拼", "pinyin"}) {
    Outcome r = RunTool({"--exact", "-n", name, "-s", " "}, "中国\n");
    EXPECT_EQ(r.status, 0) << name << r.err;
    EXPECT_EQ(r.out, "zhong guo ") << name;
  }
  EXPECT_EQ(RunTool({"--exact"}, "八a女").out, "12-35\r\n1345-346\r\n");  // notation 0
  EXPECT_EQ(RunTool({"--exact", "-n", "double-braille", "-s", " "}, "八").out, "24-2345 ");
  // A zero byte does not end the text.
  EXPECT_EQ(RunTool({"--exact", "-n", "wubi", "-s", " "}, std::string("中\0国", 7)).out,
            "khk lgyi");
}

TEST_F(ConvertCliTest, FilesJoinedInOrderInEitherEncoding) {
  Outcome r = RunTool({"-n", "shuangpin", "-s", " ", File("a", "中"), File("b", "国")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "vs go\n");
  r = RunTool({"--exact", "-e", "gbk", "-n", "wubi", "-s", "、", File("gbk", Gbk("中国"))});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Gbk("khk、lgyi"));
}

TEST_F(ConvertCliTest, Failures) {
  Outcome r = RunTool({"-n", "pinyin"}, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("内容不能为空"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  r = RunTool({"-n", "9"}, "中");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Try 'molvane-convert --help'"), std::string::npos);
  EXPECT_EQ(RunTool({"-s"}, "中").status, 2);  // no value

  r = RunTool({"-h"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage:"), std::string::npos);

  r = RunTool({dir_ + "/missing.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing.txt: No such file or directory"), std::string::npos) << r.err;

  r = RunTool({"-n", "pinyin"}, "中\xff国");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("offset 3"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(RunTool({}, "a\xed\xa0\x80").status, 1);  // a surrogate is not UTF-8
}

// The output box after one click of 转换 in the loaded main window (GBK).
std::string WindowOutput(const std::string& input, const std::string& separator, int notation) {
  LoadStartWindow(kMainWindowId);  // already loaded: it is only activated
  const std::string in = Gbk(input), sep = Gbk(separator);
  ArgRecord text = TextArg(in.c_str());
  WriteProperty(kMainWindowId, kInputBoxId, kRichEditContent, -1, text.low, text.high);
  text = TextArg(sep.c_str());
  WriteProperty(kMainWindowId, kSeparatorBoxId, kEditBoxContent, -1, text.low, text.high);
  WriteProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1,
                static_cast<uint32_t>(notation), 0);
  auto button =
      reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, kConvertButtonId));
  SendMessageA(button, BM_CLICK, 0, 0);
  char* output = reinterpret_cast<char*>(
      static_cast<intptr_t>(ReadProperty(kMainWindowId, kOutputBoxId, kRichEditContent, -1)));
  std::string result = output == nullptr ? std::string() : std::string(output);
  FreeMemory(output);
  return result;
}

TEST_F(ConvertCliTest, ExactGivesTheOutputBoxByteForByte) {
  const std::string sample = Read(MOLVANE_SAMPLE_TEXT);
  for (int notation = 0; notation < 5; ++notation) {
    for (const std::string separator : {"", " ", "、"}) {
      const std::string box = WindowOutput(sample, separator, notation);
      ASSERT_FALSE(box.empty());
      Outcome r = RunTool({"--exact", "-e", "gbk", "-n", std::to_string(notation), "-s", separator},
                          Gbk(sample));
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out, box) << "notation " << notation << ", separator '" << separator << "'";
      // The window's text in UTF-8 is the UTF-8 run's output.
      EXPECT_EQ(RunTool({"--exact", "-n", std::to_string(notation), "-s", separator}, sample).out,
                Utf8(box));
    }
  }
}

}  // namespace
}  // namespace molvane::test
