// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert's common braille (notation 5) and --back, run as a user
// runs them: every braille form, the Chinese characters alone, and braille
// read back into pinyin and characters with what cannot be read reported.
#include <string>

#include "platform/platform.h"
#include "support/tool_runner.h"

namespace molvane::test {
namespace {

using CommonBrailleTest = ToolTest;
using BackTest = ToolTest;

TEST_F(CommonBrailleTest, WritesTheSchemeInEveryForm) {
  // Tone cells after the syllables; words together, apart from each other
  // and from the sign that ends them. The same as liblouis's zhcn-cbs
  // writes 中国人民, with the blank between the words added.
  EXPECT_EQ(Output({"-n", "5", "--braille=unicode"}, "中国人民"), "⠌⠲⠁⠛⠕⠂⠀⠚⠴⠍⠣\n");
  const std::string dots = Output({"-n", "common-braille"}, "中国人民。");
  EXPECT_EQ(dots, "34-256-1-1245-135-2 245-356-134-126-5-23\n");
  EXPECT_EQ(Output({"-n", "通用盲文"}, "中国人民。"), dots);
  // BRF is laid out in pages: the page number, then the paragraph indented.
  EXPECT_EQ(Output({"-n", "5", "--braille=brf"}, "中国人民。"),
            std::string(38, ' ') + "#A\r\n  /4AGO1 J0M<\"2\r\n");
  // The Chinese characters alone: a character's cells and the separator.
  EXPECT_EQ(Output({"-n", "5", "--text=han"}, "中国，人"), "34-256-1\n1245-135-2\n245-356\n");
  EXPECT_EQ(Output({"-n", "5", "--text=han", "--braille=unicode", "-s", "/"}, "中国"),
            "⠌⠲⠁/⠛⠕⠂/\n");
  // Long input in pieces gives what it gives whole.
  std::string text;
  for (int i = 0; i < 300; ++i) text += "春天来了，我们去北京。\n";
  EXPECT_EQ(Output({"-n", "5"}, text, "MOLVANE_PIECE_BYTES=500"),
            Output({"-n", "5", "-j", "1"}, text));
}

TEST_F(CommonBrailleTest, CountsWhatItCannotWriteAndRefusesTheWindowsExactOutput) {
  Outcome r = Run({"-n", "5"}, "中☃𠀀\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("2 characters have no braille form (first: ☃, standard input byte 3)"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Run({"-n", "5", "--strict"}, "中☃\n").status, 1);
  // The window has no common braille, so --exact has nothing to copy.
  EXPECT_EQ(Run({"-n", "5", "--exact"}, "中").status, 2);
}

TEST_F(BackTest, ReadsEveryBrailleFormOfTheThreeNotations) {
  const std::string text = "我们的学校在北京。春天来了。\n";
  for (const char* notation : {"0", "1", "5"})
    for (const char* form : {"dots", "unicode", "brf"}) {
      std::vector<std::string> args = {"-n", notation, std::string("--braille=") + form};
      // BRF pages: the sentence on one line, under the page number that
      // reading back leaves out.
      if (std::string(form) == "brf") args.push_back("--cells=60");
      const std::string braille = Output(args, text);
      EXPECT_EQ(Output({"--back", "-n", notation}, braille), text) << notation << " " << form;
    }
  // Marks back as they were: double-spell braille writes quotation marks,
  // brackets and pauses with cells of its own.
  const std::string marks = "他说：“你好（北京）、上海……”《书》\n";
  for (const char* notation : {"0", "1", "5"})
    EXPECT_EQ(Output({"--back", "-n", notation}, Output({"-n", notation}, marks)), marks)
        << notation;
  EXPECT_EQ(Output({"--back", "-n", "1", "--to=pinyin"}, Output({"-n", "1"}, marks)),
            "tā shuō: \"nǐhǎo (běijīng), shànghǎi...\" 《shū》\n");
  // Pinyin: tones where the braille marks them, none from current braille.
  EXPECT_EQ(Output({"--back", "-n", "1", "--to=pinyin"}, Output({"-n", "1"}, "他们在北京")),
            "tāmen zài běijīng\n");
  EXPECT_EQ(Output({"--back", "-n", "5", "--to=pinyin", "--tones=numbers"},
                   Output({"-n", "5"}, "他们在北京")),
            "ta1men2 zai4 bei3jing1\n");
  EXPECT_EQ(Output({"--back", "-n", "0", "--to=pinyin"}, Output({"-n", "0"}, "北京")), "beijing\n");
  // Candidates for a person to pick from, after the text.
  EXPECT_EQ(Output({"--back", "-n", "5", "--candidates=2"}, "⠌⠲⠁⠛⠕⠂\n"), "中国\nbyte 0: 中国\n");
}

TEST_F(BackTest, ReportsMalformedCellsWithTheirPlace) {
  // 6-6 begins no syllable, sign or number.
  Outcome r = Run({"--back", "-n", "5"}, "34-256-1 6-6 245-356\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("中"), 0u);
  EXPECT_NE(r.err.find("2 cell sequences were not read"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("standard input byte 9"), std::string::npos) << r.err;
  EXPECT_EQ(Run({"--back", "-n", "5", "--strict"}, "34-256-1 6-6 245-356\n").status, 1);
  EXPECT_EQ(Run({"--back", "-n", "5", "--strict"}, "34-256-1 245-356\n").status, 0);
  // Notations that are no braille, and choices for pinyin, are refused.
  EXPECT_EQ(Run({"--back", "-n", "pinyin"}, "").status, 2);
  EXPECT_EQ(Run({"--back", "-n", "5", "--to=pinyin", "--candidates=3"}, "").status, 2);
  EXPECT_EQ(Run({"--back", "--to=kana"}, "").status, 2);
}

TEST_F(BackTest, ReadsAnyInputEncodingAndPlacesProblemsInTheFile) {
  const std::string braille = Output({"-n", "5", "--braille=unicode"}, "我们的学校在北京。\n");
  std::string utf16 = "\xFF\xFE";  // a byte order mark, then UTF-16 LE
  for (size_t at = 0; at < braille.size();) {
    char32_t code = 0;
    at += static_cast<size_t>(
        platform::DecodeUtf8Character(braille.data() + at, braille.size() - at, &code));
    utf16 += static_cast<char>(code & 0xFF);
    utf16 += static_cast<char>(code >> 8);
  }
  EXPECT_EQ(Output({"--back", "-n", "5"}, utf16), "我们的学校在北京。\n");
  // Dot numbers are ASCII: the same bytes in GB18030, and the output in it.
  const std::string dots = Output({"-n", "5"}, "北京\n");
  EXPECT_EQ(Output({"--back", "-n", "5", "-e", "gb18030"}, dots), "\xB1\xB1\xBE\xA9\n");
  // A problem's place is its byte in the UTF-16 file: the fourth pattern.
  Outcome r = Run(
      {"--back", "-n", "5", File("bad.txt", utf16.substr(0, 8) + std::string("\x28\x28\n\0", 4))});
  EXPECT_NE(r.err.find("bad.txt byte 8"), std::string::npos) << r.err;
  // Bytes that are not in the named encoding are refused with a hint.
  r = Run({"--back", "-n", "5", "-e", "utf-8"}, "\xB1\xB1");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("byte offset 0"), std::string::npos) << r.err;
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOLVANE_BACK_UNDER_ASAN 1
#endif
#endif
#if !defined(__SANITIZE_ADDRESS__) && !defined(MOLVANE_BACK_UNDER_ASAN)
// The address sanitizer reserves more address space than the limit allows.
// Pieces of whole lines: memory stays bounded whatever the length (20 MB of
// braille here; read whole, its cells and tokens need many times that).
TEST_F(BackTest, LargeInputUnderAnAddressSpaceLimit) {
  const std::string line =
      Output({"-n", "5", "--braille=unicode"}, "我们的学校在北京，春天来了。\n");
  std::string text;
  while (text.size() < (20u << 20)) text += line;
  const size_t lines = text.size() / line.size();
  Outcome r = Run({"--back", "-n", "5", "--to=pinyin"}, text, "ulimit -v 120000;");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string one = Output({"--back", "-n", "5", "--to=pinyin"}, line);
  EXPECT_EQ(r.out.size(), one.size() * lines);
  EXPECT_EQ(r.out.substr(r.out.size() - one.size()), one);
}
#endif

}  // namespace
}  // namespace molvane::test
