// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert as a reader meets it: its defaults write for readers, any
// of the usual encodings is read without a flag, a wrong one is explained,
// and nothing the notation cannot write disappears unsaid.
#include <iconv.h>

#include <string>

#include "support/tool_runner.h"

namespace molvane::test {
namespace {

using ReaderReadyTest = ToolTest;

const std::string kSentence = "银行行长说：“你好，2026年！”\n";

// `utf8` in another encoding, through the C library (the tests' own way, not
// the program's).
std::string Encoded(const std::string& utf8, const char* encoding) {
  iconv_t cd = iconv_open(encoding, "UTF-8");
  std::string out(utf8.size() * 4 + 8, '\0');
  char* in = const_cast<char*>(utf8.data());
  char* to = out.data();
  size_t inLeft = utf8.size(), toLeft = out.size();
  const size_t done = iconv(cd, &in, &inLeft, &to, &toLeft);
  iconv_close(cd);
  EXPECT_NE(done, static_cast<size_t>(-1)) << encoding;
  out.resize(out.size() - toLeft);
  return out;
}

TEST_F(ReaderReadyTest, EveryNotationWritesForReadersByDefault) {
  // Words read in context (银行 and 行长 háng), tone marks, punctuation and
  // the number kept, syllables apart.
  const std::string pinyin = "yín háng háng zhǎng shuō: \"nǐ hǎo, 2026 nián!\"\n";
  EXPECT_EQ(Output({"-n", "pinyin"}, kSentence), pinyin);
  // Braille: the syllables of a word together, words and signs apart.
  EXPECT_EQ(Output({}, "我们的学校。\n"),
            Output({"--text=full", "--spacing=word"}, "我们的学校。"));
  EXPECT_EQ(Output({}, "中国人"), "34-256-1245-135 245-356\n");  // zhongguo ren
  // Shuangpin and Wubi keep the input's lines, codes apart by a blank.
  EXPECT_EQ(Output({"-n", "wubi"}, "中国，人\n\n民"), "khk lgyi wwww\n\nnav\n");
  EXPECT_EQ(Output({"-n", "shuangpin"}, "中国\n人"), "vs go\nrf\n");
  // Each default is one option away.
  EXPECT_EQ(Output({"-n", "pinyin", "--tones=none", "--readings=chars", "--text=han"}, "银行"),
            "yin\nhang\n");
}

TEST_F(ReaderReadyTest, ExactIsTheWindowAndOptionsBesideItStillApply) {
  EXPECT_EQ(Output({"--exact", "-n", "pinyin"}, kSentence),
            "yin\r\nhang\r\nhang\r\nzhang\r\nshuo\r\nni\r\nhao\r\nnian\r\n");
  EXPECT_EQ(Output({"--exact", "--readings=words", "-n", "pinyin", "-s", " "}, "银行行长"),
            "yin hang hang zhang ");
  EXPECT_EQ(Output({"--exact", "--text=full", "-n", "pinyin"}, "你好，\n世界"),
            "ni hao,\r\nshi jie");
}

TEST_F(ReaderReadyTest, FilesInEveryEncodingReadWithoutAFlag) {
  const std::string expected = Output({"-n", "pinyin"}, kSentence);
  const std::string bom16 = "\xFF\xFE" + Encoded(kSentence, "UTF-16LE");
  const std::string bom16be = "\xFE\xFF" + Encoded(kSentence, "UTF-16BE");
  for (const std::string& bytes :
       {bom16, bom16be, Encoded(kSentence, "GB18030"), "\xEF\xBB\xBF" + kSentence})
    EXPECT_EQ(Output({"-n", "pinyin", File("in.txt", bytes)}, ""), expected);
  // Forced encodings, and a character only GB18030's four-byte codes hold.
  EXPECT_EQ(Output({"-n", "pinyin", "-e", "utf-16", "--output-encoding=utf-8",
                    File("u16.txt", Encoded("中国", "UTF-16LE"))},
                   ""),
            "zhōng guó\n");
  EXPECT_EQ(Output({"-n", "pinyin", "-e", "big5", "--output-encoding=utf-8",
                    File("big5.txt", Encoded("中國", "BIG5"))},
                   ""),
            "zhōng guó\n");
  EXPECT_EQ(Output({"-n", "pinyin", File("gb.txt", Encoded("中😀国", "GB18030"))}, ""),
            "zhōng \xE2\x96\xA1 guó\n");
  // Output in the input's encoding with -e, or in another with --output-encoding.
  EXPECT_EQ(Output({"-n", "pinyin", "-e", "gbk", File("gbk.txt", Encoded("中国", "GBK"))}, ""),
            Encoded("zhōng guó\n", "GBK"));
  EXPECT_EQ(Output({"-n", "wubi", "--output-encoding=utf-16le"}, "中"),
            Encoded("khk\n", "UTF-16LE"));
}

TEST_F(ReaderReadyTest, AnUnreadableEncodingIsExplained) {
  const std::string gbk = File("gbk.txt", Encoded("中国", "GBK"));
  Outcome r = Run({"-e", "utf-8", gbk});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "molvane-convert: " + gbk +
                       ": invalid UTF-8 at byte offset 0 (bytes d6 d0 b9 fa); the file reads as "
                       "GBK: try -e gbk\n");
  // UTF-8 from its first bytes, then a byte that no UTF-8 has.
  const std::string late = File("late.txt", std::string(70000, 'a') + "\xFF" + "b");
  r = Run({late});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("molvane-convert: " + late +
                            ": invalid UTF-8 at byte offset 70000 (bytes "
                            "ff 62)",
                        0),
            0u)
      << r.err;
  r = Run({"-e", "latin1"}, "x");
  EXPECT_EQ(r.status, 2);
}

TEST_F(ReaderReadyTest, WhatCannotBeWrittenIsCountedAndNamed) {
  // Traditional characters have no Wubi code in the table: counted, the
  // first named with its place; the output is still written.
  const std::string book = File("book.txt", "中国個個\n一");
  Outcome r = Run({"-n", "wubi", book});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "khk lgyi\nggll\n");
  EXPECT_EQ(r.err,
            "molvane-convert: 2 characters have no Wubi code (first: 個, " + book + " byte 6)\n");
  r = Run({"--exact", "-n", "wubi", book});
  EXPECT_EQ(r.out, "khk\r\nlgyi\r\nggll");
  EXPECT_EQ(r.err,
            "molvane-convert: 2 characters have no Wubi code (first: 個, " + book + " byte 6)\n");
  // Full text counts the placeholders; one alone is said so.
  r = Run({"-n", "pinyin"}, "中😀");
  EXPECT_EQ(r.err,
            "molvane-convert: 1 character has no pinyin (first: 😀, standard input byte 3)\n");
  // A control character is named by its code point, not sent to the terminal.
  r = Run({"-n", "pinyin"}, "中\x1b[33m");
  EXPECT_EQ(r.err,
            "molvane-convert: 1 character has no pinyin (first: U+001B, standard input byte 3)\n");
  // --strict makes the first an error in every mode.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--strict", "-n", "wubi", book},
        std::vector<std::string>{"--strict", "--exact", "-n", "wubi", book}}) {
    r = Run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "molvane-convert: 個 has no Wubi code (" + book + " byte 6)\n");
  }
  // Offsets count the file's own bytes, whatever its encoding.
  const std::string gbk = File("gbk.txt", Encoded("中国，個", "GB18030"));
  r = Run({"-n", "wubi", gbk});
  EXPECT_EQ(r.err,
            "molvane-convert: 1 character has no Wubi code (first: 個, " + gbk + " byte 6)\n");
}

// Full text converts in pieces cut after a line, in worker processes, and
// gives what one piece gives.
TEST_F(ReaderReadyTest, PiecesAndWorkersWriteTheWholeText) {
  std::string text = Read(MOLVANE_SAMPLE_TEXT);
  text += "\nMP3 3.5 元，“引号”\n12% 个個\n";
  for (const char* notation : {"0", "1", "2", "3", "4"})
    for (const char* form : {"--braille=dots", "--braille=brf"}) {
      std::vector<std::string> args = {"-n", notation};
      if (notation[0] < '2') args.push_back(form);
      const Outcome whole = Run(args, text);
      args.push_back("-j3");
      const Outcome pieces = Run(args, text, "MOLVANE_PIECE_BYTES=200");
      EXPECT_EQ(pieces.out, whole.out) << notation << " " << form;
      EXPECT_EQ(pieces.err, whole.err) << notation << " " << form;
    }
}

}  // namespace
}  // namespace molvane::test
