// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert as a filter: line breaks, options, messages, strict input
// checks, and output that does not depend on how the input was cut up.
#include <algorithm>
#include <string>

#include "platform/platform.h"
#include "support/tool_runner.h"

namespace molvane::test {
namespace {

using FilterTest = PlainToolTest;

std::string Gbk(const std::string& utf8) {
  return platform::Utf8ToGbk(utf8);
}

TEST_F(FilterTest, LineBreaksAreLfAndTheOutputEndsWithOne) {
  EXPECT_EQ(Output({"-n", "pinyin"}, "中国"), "zhong\nguo\n");
  EXPECT_EQ(Output({"-n", "wubi"}, "中国"), "khk\nlgyi\n");  // between: one added at the end
  EXPECT_EQ(Output({"-n", "pinyin", "-s", " "}, "中国\n"), "zhong guo \n");
  EXPECT_EQ(Output({"-n", "shuangpin", "-s", " "}, "中国"), "vs go\n");
  EXPECT_EQ(Output({"-n", "pinyin"}, "abc"), "");  // nothing converted, nothing added
  // The window's own bytes.
  EXPECT_EQ(Output({"--exact", "-n", "pinyin"}, "中国"), "zhong\r\nguo\r\n");
  EXPECT_EQ(Output({"--exact", "-n", "wubi"}, "中国"), "khk\r\nlgyi");
  EXPECT_EQ(Output({"--exact", "-n", "wubi", "-s", " "}, "中国"), "khk lgyi");
  // In GBK too.
  EXPECT_EQ(Output({"-e", "gbk", "-n", "wubi", "-s", "、"}, Gbk("中国")), Gbk("khk、lgyi\n"));
  // Without options: the list's first notation; a zero byte does not end the text.
  EXPECT_EQ(Output({"--exact"}, "八a女"), "12-35\r\n1345-346\r\n");
  EXPECT_EQ(Output({"--exact", "-n", "wubi", "-s", " "}, std::string("中\0国", 7)), "khk lgyi");
}

TEST_F(FilterTest, OptionSpellings) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"-n", "3"},
                                             {"-n3"},
                                             {"-n", "全拼"},
                                             {"--notation=Pinyin"},
                                             {"--notation", "PINYIN"},
                                             {"-n", "pinyin", "-e", "UTF-8"},
                                             {"-n", "pinyin", "--encoding=utf8"}})
    EXPECT_EQ(Output(args, "中"), "zhong\n") << args[0];
  EXPECT_EQ(Output({"--notation=Double-Braille", "--separator= "}, "八"), "24-2345 \n");
  EXPECT_EQ(Output({"-n", "pinyin", "--", "-"}, "中"), "zhong\n");  // "-" after "--" is a file

  Outcome r = Run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("molvane-convert (Molvane) ", 0), 0u) << r.out;
  for (const char* help : {"--help", "-h"}) {
    r = Run({help});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--braille=FORM"), std::string::npos) << help;
  }
}

TEST_F(FilterTest, UsageErrorsAreOneLineAndAHint) {
  const std::string hint = "Try 'molvane-convert --help' for more information.\n";
  const struct {
    std::vector<std::string> args;
    std::string message;
  } kCases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"-x"}, "unknown option '-x'"},
      {{"-n", "9"}, "unknown notation '9'"},
      {{"-n", "klingon"}, "unknown notation 'klingon'"},
      {{"-e", "latin1"}, "unknown encoding 'latin1'"},
      {{"-s"}, "option '-s' needs a value"},
      {{"--exact=yes"}, "option '--exact' takes no value"},
      {{"--braille=dots", "-n", "pinyin"},
       "--braille needs a braille notation (current-braille, double-braille or common-braille)"},
      {{"--braille=dotty"}, "unknown braille form 'dotty'"},
      {{"-s", "😀"}, "the separator '😀' cannot be written in GBK"},
      {{"-e", "gbk", "-s", "😀"}, "the separator '😀' cannot be written in GBK"},
      {{"--braille=brf", "-s", "、"}, "the separator '、' cannot be written in Braille ASCII"},
      {{"-e", "gbk", "--braille=unicode"},
       "braille patterns cannot be written in GBK; use --braille=unicode with UTF-8"},
  };
  for (const auto& c : kCases) {
    Outcome r = Run(c.args, "中");
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_EQ(r.err, "molvane-convert: " + c.message + "\n" + hint);
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(FilterTest, EmptyInputKeepsTheProgramsWordsWithAGloss) {
  for (const std::string& input : {std::string(), std::string("\0\0", 2)}) {
    Outcome r = Run({"-n", "pinyin"}, input);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "molvane-convert: 内容不能为空 (the input is empty)\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(FilterTest, MalformedInputIsReportedWithItsFileAndOffset) {
  const std::string good = Gbk("中国");
  const struct {
    std::string bytes;
    std::string where;
  } kGbkCases[] = {
      // a lead byte without its trail
      {good + "\x81\x20" + good, "invalid GBK at byte offset 4 (bytes 81 20 d6 d0)"},
      {good + "\xff", "invalid GBK at byte offset 4 (bytes ff)"},
      // cut off at the end
      {good + "\xd6", "invalid GBK at byte offset 4 (bytes d6)"},
  };
  for (const auto& c : kGbkCases) {
    Outcome r = Run({"-e", "gbk", File("a.txt", good), File("b.txt", c.bytes)});
    EXPECT_EQ(r.status, 1) << c.where;
    EXPECT_EQ(r.err, "molvane-convert: " + dir_ + "/b.txt: " + c.where + "\n");
  }

  // Offsets stay right when the bad byte lies many pieces in, behind a
  // Chinese character held back from a stretch without any.
  const std::string tail = std::string(100, 'a') + "\xed\xa0\x80";  // a surrogate
  Outcome r = Run({"-e", "utf-8"}, "中" + tail, "MOLVANE_PIECE_BYTES=16");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "molvane-convert: standard input: invalid UTF-8 at byte offset 103 (bytes ed a0 80); "
            "the file reads as GBK: try -e gbk\n");
  r = Run({"-e", "utf-8", "-n", "wubi"}, std::string(40, 'x') + "中国" + "\xc0\xaf",
          "MOLVANE_PIECE_BYTES=16");
  EXPECT_EQ(r.err,
            "molvane-convert: standard input: invalid UTF-8 at byte offset 46 (bytes c0 af); the "
            "file reads as GB18030: try -e gb18030\n");
}

TEST_F(FilterTest, MissingFilesAreReportedBeforeAnythingIsWritten) {
  Outcome r = Run({File("a.txt", "中"), dir_ + "/missing.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "molvane-convert: " + dir_ + "/missing.txt: No such file or directory\n");
  EXPECT_EQ(r.out, "");
}

// A text with long stretches without Chinese characters, zero bytes and
// characters that convert to nothing, so pieces are cut in every way the
// reader knows.
std::string MixedText() {
  std::string text = "中" + std::string(70, 'a') + "国" + std::string(30, ' ') + "人";
  text += std::string("\0\0\0", 3) + "民。" + std::string(50, '-') + "，" + "㐀" + "好丂";
  // 丂 has no Wubi code: a skipped last character keeps its predecessor's separator.
  return text + text + "尾丂" + std::string(40, '.');
}

TEST_F(FilterTest, PiecesConvertAsTheWholeText) {
  // Every piece starts the program afresh, so the smallest pieces go with
  // the shorter text.
  const struct {
    std::string text;
    std::vector<const char*> pieceSizes;
  } kTexts[] = {{Read(MOLVANE_SAMPLE_TEXT), {"100", "1000"}}, {MixedText(), {"16", "37"}}};
  for (const auto& t : kTexts) {
    for (int notation = 0; notation < 5; ++notation) {
      for (const std::string separator : {"", " ", "--", "中"}) {
        const std::vector<std::string> args = {"--exact", "-n", std::to_string(notation), "-s",
                                               separator};
        const std::string whole = Output(args, t.text);
        ASSERT_FALSE(whole.empty());
        for (const char* size : t.pieceSizes)
          EXPECT_EQ(Output(args, t.text, std::string("MOLVANE_PIECE_BYTES=") + size), whole)
              << "notation " << notation << ", separator '" << separator << "', pieces of " << size;
      }
    }
  }
}

TEST_F(FilterTest, PiecesAlsoKeepTheLineBreakRules) {
  const std::string text = MixedText();
  for (const char* notation : {"shuangpin", "wubi", "pinyin"})
    EXPECT_EQ(Output({"-n", notation}, text, "MOLVANE_PIECE_BYTES=16"),
              Output({"-n", notation}, text))
        << notation;
}

TEST_F(FilterTest, WorkersWriteWhatOneProcessWrites) {
  const std::string text = Read(MOLVANE_SAMPLE_TEXT) + MixedText();
  for (int notation = 0; notation < 5; ++notation) {
    for (const std::vector<std::string>& extra :
         std::vector<std::vector<std::string>>{{}, {"-s", " "}, {"--readings=words", "-s", "--"}}) {
      std::vector<std::string> args = {"--exact", "-n", std::to_string(notation)};
      args.insert(args.end(), extra.begin(), extra.end());
      const std::string alone = Output(args, text, "MOLVANE_PIECE_BYTES=300");
      ASSERT_FALSE(alone.empty());
      for (const char* jobs : {"1", "2", "5"}) {
        std::vector<std::string> withJobs = args;
        withJobs.push_back(std::string("--jobs=") + jobs);
        EXPECT_EQ(Output(withJobs, text, "MOLVANE_PIECE_BYTES=300"), alone)
            << "notation " << notation << ", " << jobs << " jobs, " << extra.size() << " more";
      }
    }
  }
}

TEST_F(FilterTest, WordReadingsPiecesEndBetweenRuns) {
  // Runs shorter than a piece are never cut, so the words are those of the
  // whole text: 行 in 银行 and 行走, 中 in 打中, on every side of a boundary.
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += i % 3 == 0 ? "银行行走，" : i % 3 == 1 ? "他打中了。" : "长度\n";
  for (int notation = 0; notation < 4; ++notation) {
    const std::vector<std::string> args = {"-n", std::to_string(notation), "--readings=words"};
    const std::string whole = Output(args, text);
    for (const char* size : {"20", "33", "64"}) {
      for (const char* jobs : {"1", "3"}) {
        std::vector<std::string> withJobs = args;
        withJobs.push_back(std::string("-j") + jobs);
        EXPECT_EQ(Output(withJobs, text, std::string("MOLVANE_PIECE_BYTES=") + size), whole)
            << "notation " << notation << ", pieces of " << size << ", " << jobs << " jobs";
      }
    }
  }
  // A run longer than a piece is cut, but still converts: the character
  // appended after a piece's end stands apart, so its reading, and with it
  // double braille's tone, is the one it has alone (打中 reads zhong4).
  std::string run = "我";  // so that every piece ends after a 打
  for (int i = 0; i < 30; ++i) run += "打中";
  const Outcome r =
      Run({"-n", "double-braille", "--readings=words"}, run, "MOLVANE_PIECE_BYTES=16");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 61);
}

// Bytes as the fault message shows them.
std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char b : bytes) {
    char two[4];
    std::snprintf(two, sizeof two, " %02x", b);
    out += two;
  }
  return out.substr(1);
}

TEST_F(FilterTest, WorkersStopAtAFaultAfterWritingEveryPieceBefore) {
  // The bad byte lies many pieces in: what came before it is written, in
  // order, and the offset is that of the whole input.
  const std::string good = Read(MOLVANE_SAMPLE_TEXT);
  const std::string text = good + "\xff" + good;
  const Outcome one = Run({"-n", "pinyin", "-j", "1"}, text, "MOLVANE_PIECE_BYTES=200");
  const Outcome three = Run({"-n", "pinyin", "-j", "3"}, text, "MOLVANE_PIECE_BYTES=200");
  EXPECT_EQ(three.status, 1);
  EXPECT_EQ(three.err, "molvane-convert: standard input: invalid UTF-8 at byte offset " +
                           std::to_string(good.size()) + " (bytes ff " + Hex(good.substr(0, 3)) +
                           ")\n");
  EXPECT_EQ(three.out, one.out);
  EXPECT_EQ(three.err, one.err);
  EXPECT_FALSE(three.out.empty());

  for (const char* jobs : {"0", "x", "-1", "1000"}) {
    const Outcome r = Run({"--jobs", jobs}, "中");
    EXPECT_EQ(r.status, 2) << jobs;
    EXPECT_EQ(r.err.rfind(std::string("molvane-convert: unknown number of jobs '") + jobs + "'", 0),
              0u)
        << r.err;
  }
}

#if defined(__SANITIZE_ADDRESS__)
#define MOLVANE_ADDRESS_SANITIZER 1  // gcc
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOLVANE_ADDRESS_SANITIZER 1  // clang
#endif
#endif

#if !defined(MOLVANE_ADDRESS_SANITIZER)
// The address sanitizer reserves more address space than the limit allows.
TEST_F(FilterTest, LargeInputUnderAnAddressSpaceLimit) {
  std::string text;
  for (int i = 0; i < 1 << 20; ++i) text += "中国\n";  // 7 MB, two pieces
  Outcome r = Run({"-n", "wubi", "-s", " "}, text, "ulimit -v 1000000;");
  EXPECT_EQ(r.status, 0) << r.err;
  // "khk lgyi " for each line, but a line break in place of the last space.
  EXPECT_EQ(r.out.size(), size_t{9} << 20);
}

TEST_F(FilterTest, RunningOutOfMemoryEndsWithAMessage) {
  std::string text;
  for (int i = 0; i < 1 << 20; ++i) text += "中国\n";
  // The limit leaves room for the executable's own mapping, which holds the
  // back-translation's character model (about 5 MB).
  Outcome r = Run({"-j", "1"}, text, "ulimit -v 16000;");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, "molvane-convert: out of memory\n");

  // In a worker the runtime's own allocation fails first: its report, and
  // the worker's exit code, never a success or a silent cut.
  r = Run({"-j", "2"}, text, "ulimit -v 16000;");
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(r.err.find("字节内存失败") != std::string::npos ||
              r.err.find("out of memory") != std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("internal error"), std::string::npos) << r.err;
}
#endif

TEST_F(FilterTest, WordReadingsAndToneForms) {
  const auto pinyin = [this](std::vector<std::string> options, const std::string& input) {
    options.insert(options.begin(), {"--exact", "-n", "pinyin", "-s", " "});
    Outcome r = Run(options, input);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  };
  EXPECT_EQ(pinyin({"--readings=words"}, "银行行走"), "yin hang xing zou ");
  EXPECT_EQ(pinyin({"--readings", "chars"}, "银行行走"), "yin hang hang zou ");
  EXPECT_EQ(pinyin({"--tones=marks"}, "中国女"), "zhōng guó nǚ ");
  EXPECT_EQ(pinyin({"--tones=numbers", "--readings=words"}, "长度了解"), "chang2 du4 liao3 jie3 ");
  // Braille reads the word path's readings too, with their tones.
  EXPECT_EQ(Run({"--exact", "-n", "double-braille", "-s", " ", "--readings=words"}, "银行").out,
            "25-16 12-1456 ");

  EXPECT_EQ(Run({"-n", "wubi", "--tones=marks"}, "中").status, 2);
  EXPECT_EQ(Run({"--readings=sentences"}, "中").status, 2);
  Outcome r = Run({"--readings=words"}, "中\xff国");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("offset 3"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace molvane::test
