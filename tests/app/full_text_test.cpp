// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert --text=full: the Chinese characters as the window converts
// them, and punctuation, digits, letters, spaces and line breaks around them
// in each braille form and in pinyin; what has no written form; the
// defaults untouched; the whole fortunes-zh corpus without a character lost.
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/tool_runner.h"

namespace molvane::test {
namespace {

using FullTextTest = PlainToolTest;

const std::string kSentence = "今天是2026年12月8日，你好！";

// Unicode braille patterns as dot numbers ("⠼⠃" -> "3456-12"), a blank
// cell as " ", other characters as they are.
std::string Dots(const std::string& utf8) {
  std::string out;
  bool cellBefore = false;
  for (size_t at = 0; at < utf8.size();) {
    char32_t code;
    const int n = platform::DecodeUtf8Character(utf8.data() + at, utf8.size() - at, &code);
    if (n <= 0) return "not UTF-8";
    at += static_cast<size_t>(n);
    if (code > 0x2800 && code < 0x2840) {
      if (cellBefore) out += '-';
      for (int dot = 0; dot < 6; ++dot)
        if ((code - 0x2800) >> dot & 1) out += static_cast<char>('1' + dot);
      cellBefore = true;
    } else {
      out += code == 0x2800 ? std::string(" ") : utf8.substr(at - n, static_cast<size_t>(n));
      cellBefore = false;
    }
  }
  return out;
}

TEST_F(FullTextTest, TheSentenceKeepsItsNumbersAndPunctuation) {
  const std::string unicode = Output({"-n", "0", "--text=full", "--braille=unicode"}, kSentence);
  // jin tian shi | number 2026 | nian | number 12 | yue | number 8 | ri,
  // ni hao!  A blank between syllables, the comma and the exclamation mark
  // on the syllable before them.
  EXPECT_EQ(Dots(unicode),
            "1245-126 2345-146 156 3456-12-245-12-124 1345-146 3456-1-12 23456 3456-125 245-5 "
            "1345-24 125-235-56-2\n");
  EXPECT_EQ(Output({"-n", "0", "--text=full"}, kSentence),
            "1245-126 2345-146 156 3456-12-245-12-124 1345-146 3456-1-12 23456 3456-125 245-5 "
            "1345-24 125-235-56-2\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full"}, kSentence),
            "jin tian shi 2026 nian 12 yue 8 ri, ni hao!\n");
  // Double braille: the syllables with their tones, the same marks.
  EXPECT_EQ(Output({"-n", "1", "--text=full", "-s", "|"}, "你好，8日"),
            "12345-1236|12-12356-5|3456-125|35-12\n");
}

TEST_F(FullTextTest, TheDefaultStaysTheWindowsConversion) {
  for (const char* notation : {"0", "1", "3"}) {
    const std::string plain = Output({"-n", notation}, kSentence);
    EXPECT_EQ(Output({"-n", notation, "--text=han"}, kSentence), plain);
    EXPECT_EQ(Output({"-n", notation, "--text", "HAN"}, kSentence), plain);
  }
  EXPECT_EQ(Output({"-n", "0"}, kSentence),
            "1245-126\n2345-146\n156\n1345-146\n23456\n245\n1345-24\n125-235\n");
}

TEST_F(FullTextTest, LineBreaksAndSpacesAreKept) {
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full"}, "中国\n\n你好  世界 \r\nabc"),
            "zhong guo\n\nni hao  shi jie\nabc\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full", "--exact"}, "中国\n你好"),
            "zhong guo\r\nni hao");
  EXPECT_EQ(Dots(Output({"-n", "0", "--text=full", "--braille=unicode"}, "中\r国\n")),
            "34-256\n1245-135\n");
  // Indentation by ideographic spaces stays blank cells.
  EXPECT_EQ(Dots(Output({"-n", "0", "--text=full", "--braille=unicode"}, "\u3000\u3000中")),
            "  34-256\n");
}

TEST_F(FullTextTest, LettersAndNumbersInText) {
  EXPECT_EQ(Output({"-n", "0", "--text=full"}, "DNA是3.5亿年的abc"),
            "6-6-145-1345-1 156 3456-14-46-15 24 1345-146 145-26 56-1-12-14\n");
  // A word of capitals takes the double capital sign once (it took the
  // capital sign before every letter).
  // Letters right after a number stay in its word, after the letter sign.
  EXPECT_EQ(Output({"-n", "0", "--text=full"}, "4a MP3"), "3456-145-56-1 6-6-134-1234-3456-14\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full"}, "Hi，你有1,000元"), "Hi, ni you 1,000 yuan\n");
}

TEST_F(FullTextTest, SignsOfBooksAndCorrectedOperators) {
  // Percent was dots 1 4 6 (the final ian), = the placeholder's full cell.
  EXPECT_EQ(Output({"-n", "0", "--text=full"}, "50%"), "3456-15-245-3456-245-356\n");
  EXPECT_EQ(Output({"-n", "0", "--text=full"}, "3+4=7"),
            "3456-14-5-235-3456-145-5-2356-3456-1245\n");
  // Circled numbers, Roman numerals, degrees and the range mark have cells.
  EXPECT_EQ(Output({"-n", "0", "--text=full"}, "① Ⅻ 5℃ 1～5"),
            "3456-2 6-1346-24-24-256 3456-15-45-245-56-14 3456-1-5-6-2-3456-15\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full"}, "①5℃"), "①5℃\n");
}

TEST_F(FullTextTest, WhatHasNoWrittenFormBecomesThePlaceholder) {
  // 兙 is outside the dictionary, 😀 outside GBK; 〇, outside the program's
  // range, is read as 零 (ling).
  EXPECT_EQ(Output({"-n", "0", "--text=full"}, "兙中😀〇"),
            "123456-123456-123456 34-256 123456-123456-123456 123-16\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full"}, "二〇二六"),
            Output({"-n", "pinyin", "--text=full"}, "二零二六"));
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full"}, "兙中😀α"), "□ zhong □ α\n");
  // A joiner or a variation selector is part of the character before it.
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full"}, "❤\uFE0F中"), "□ zhong\n");
}

TEST_F(FullTextTest, StrictNamesTheCharacterAndItsOffset) {
  Outcome r = Run({"-n", "0", "--text=full", "--strict"}, "中国，😀");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "molvane-convert: 😀 has no braille form (standard input byte 9)\n");
  const std::string first = File("first.txt", "中\n");
  const std::string second = File("second.txt", "国兙");
  r = Run({"-n", "pinyin", "--text=full", "--strict", first, second});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "molvane-convert: 兙 has no pinyin (" + second + " byte 3)\n");
  EXPECT_EQ(Output({"-n", "0", "--text=full", "--strict"}, "中国。"), "34-256 1245-135-5-23\n");
}

TEST_F(FullTextTest, BrfLinesBreakBetweenWordsWithTheirPunctuation) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "你好，世界！";
  text += "\n";
  const std::string brf = Output({"-n", "0", "--text=full", "--braille=brf"}, text);
  std::vector<std::string> lines;
  std::stringstream s(brf);
  size_t pages = 1;
  size_t onPage = 0;
  for (std::string line; std::getline(s, line);) {
    if (!line.empty() && line[0] == '\f') {
      ++pages;
      EXPECT_EQ(onPage, 25u);
      onPage = 0;
      line.erase(0, 1);
    }
    ASSERT_TRUE(line.ends_with('\r')) << line;  // CR LF, as embossers take it
    line.pop_back();
    EXPECT_LE(line.size(), 40u) << line;
    // The page number first, at the right end of its line.
    if (onPage++ == 0) {
      EXPECT_EQ(line.find_first_not_of(' '), 38u - (pages >= 10 ? 1 : 0)) << line;
      continue;
    }
    // Whole words only (ni, hao with its comma, shi, jie with its
    // exclamation mark), one blank between them.
    std::stringstream words(line);
    for (std::string word; words >> word;)
      EXPECT_TRUE(word == "NI" || word == "H6\"" || word == ":" || word == "GE;1") << line;
    lines.push_back(line);
  }
  EXPECT_GT(pages, 1u);
  EXPECT_EQ(pages, (lines.size() + 23) / 24);
  // The paragraph's first line indented by two cells.
  EXPECT_EQ(lines[0].substr(0, 16), "  NI H6\" : GE;1 ");
}

TEST_F(FullTextTest, OutputDoesNotDependOnHowTheInputIsCut) {
  std::ifstream in(MOLVANE_SAMPLE_TEXT, std::ios::binary);
  std::stringstream sample;
  sample << in.rdbuf();
  const std::string text = sample.str().substr(0, 3000) + "，３.1415 abc——“好”……";
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"-n", "0", "--text=full", "--braille=brf"},
                                             {"-n", "1", "--text=full", "--braille=unicode"},
                                             {"-n", "3", "--text=full"}})
    EXPECT_EQ(Output(args, text, "MOLVANE_PIECE_BYTES=16"), Output(args, text)) << args[1];
}

// Pieces end after a character that is not Chinese where one is in reach, so
// a run of Chinese characters is cut into the same words however the input is
// read.
TEST_F(FullTextTest, WordsDoNotDependOnHowTheInputIsCut) {
  std::ifstream in(MOLVANE_SAMPLE_TEXT, std::ios::binary);
  std::stringstream sample;
  sample << in.rdbuf();
  const std::string text = sample.str().substr(0, 3000);
  const std::vector<std::string> args = {"-n", "3", "--text=full", "--spacing=word"};
  EXPECT_EQ(Output(args, text, "MOLVANE_PIECE_BYTES=100"), Output(args, text));
}

// Removes the blank cells of Unicode braille.
std::string WithoutBlanks(std::string text) {
  for (size_t at; (at = text.find("\u2800")) != std::string::npos;) text.erase(at, 3);
  return text;
}

TEST_F(FullTextTest, WordSpacingPutsBlanksBetweenWordsOnly) {
  const std::vector<std::string> word = {"-n", "0", "--text=full", "--braille=unicode",
                                         "--spacing=word"};
  // jintian | shi | 2026nian | 12yue | 8 ri (a blank keeps ri from reading
  // as the digit 0) | nihao!
  EXPECT_EQ(Dots(Output(word, kSentence)),
            "1245-126-2345-146 156 3456-12-245-12-124-1345-146 3456-1-12-23456 3456-125 245-5 "
            "1345-24-125-235-56-2\n");
  // Only blanks differ from syllable spacing, and only by being fewer.
  std::ifstream in(MOLVANE_SAMPLE_TEXT, std::ios::binary);
  std::stringstream sample;
  sample << in.rdbuf();
  const std::string text = sample.str().substr(0, 6000);
  const std::string words = Output(word, text);
  const std::string syllables =
      Output({"-n", "0", "--text=full", "--braille=unicode", "--spacing=syllable"}, text);
  EXPECT_EQ(WithoutBlanks(words), WithoutBlanks(syllables));
  EXPECT_LT(words.size(), syllables.size());
  // Pinyin: the segmentation decides which syllables go together.
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full", "--spacing=word"}, "研究生命起源"),
            "yanjiu shengming qiyuan\n");
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full", "--spacing=word"}, "我有2只猫。"),
            "wo you 2 zhi mao.\n");
  // Braille writes a number with the measure word after it.
  EXPECT_EQ(Output({"-n", "0", "--text=full", "--spacing=word"}, "我有2只猫。"),
            "135 1256 3456-12-34 134-235-5-23\n");
  // Only a measure word joins its number (3是: apart), particles join the
  // word before them in braille and stand apart in pinyin.
  EXPECT_EQ(Output({"-n", "pinyin", "--text=full", "--spacing=word"}, "3是我的书"),
            "3 shi wo de shu\n");
  EXPECT_EQ(Output({"-n", "0", "--text=full", "--spacing=word"}, "3是"),
            Output({"-n", "0", "--text=full", "--spacing=syllable"}, "3是"));
}

TEST_F(FullTextTest, SignsByTheirPlaceAndNotation) {
  // ASCII quotation marks pair as the Chinese ones; a time's colon keeps
  // the time one word.
  EXPECT_EQ(Output({"-n", "0", "--text=full"}, "他说\"你好\"，10:30"),
            Output({"-n", "0", "--text=full"}, "他说“你好”，10:30"));
  EXPECT_EQ(Output({"-n", "0", "--text=full"}, "10:30"), "3456-1-245-25-3456-14-245\n");
  // Double-spell braille writes its own quotation marks, brackets and
  // enumeration comma.
  EXPECT_EQ(Output({"-n", "1", "--text=full"}, "“你好”（好）、"),
            "56-3-12345-1236 12-12356-6-23 56-36-12-12356-36-23-6\n");
}

TEST_F(FullTextTest, GbkInAndOut) {
  EXPECT_EQ(Output({"-e", "gbk", "-n", "pinyin", "--text=full"}, platform::Utf8ToGbk("《书》，好")),
            platform::Utf8ToGbk("《shu》, hao\n"));
}

TEST_F(FullTextTest, UsageErrors) {
  const std::string hint = "\nTry 'molvane-convert --help' for more information.\n";
  Outcome r = Run({"-n", "wubi", "--text=full", "--spacing=word"}, "中");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "molvane-convert: --spacing=word needs a braille notation or pinyin" + hint);
  r = Run({"--text=most"}, "中");
  EXPECT_EQ(r.err, "molvane-convert: unknown text 'most'" + hint);
  r = Run({"--spacing=word"}, "中");
  EXPECT_EQ(r.err, "molvane-convert: --spacing=word needs --text=full" + hint);
  r = Run({"--text=full", "--spacing=page"}, "中");
  EXPECT_EQ(r.err, "molvane-convert: unknown spacing 'page'" + hint);
}

// Every non-space character of the corpus comes out converted or as the
// placeholder: each on a line of its own gives a line that is not empty, and
// the whole corpus keeps its lines with at least a cell for each character.
TEST_F(FullTextTest, NoCharacterOfTheFortunesCorpusIsLost) {
  const std::string corpusPath = "/usr/share/games/fortunes/chinese";
  std::ifstream in(corpusPath, std::ios::binary);
  if (!in) GTEST_SKIP() << "fortunes-zh is not installed";
  std::stringstream corpus;
  corpus << in.rdbuf();
  const std::string text = corpus.str();

  std::vector<std::string> inputLines;
  std::set<std::string> distinct;
  std::stringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    inputLines.push_back(line);
    for (size_t at = 0; at < line.size();) {
      char32_t code;
      const int n = platform::DecodeUtf8Character(line.data() + at, line.size() - at, &code);
      ASSERT_GT(n, 0);
      if (code != ' ' && code != '\t' && code != 0xA0 && code != 0x3000 && code != '\r')
        distinct.insert(line.substr(at, static_cast<size_t>(n)));
      at += static_cast<size_t>(n);
    }
  }
  std::string oneAline;
  for (const std::string& c : distinct) oneAline += c + "\n";
  const std::string eachAlone = Output({"-n", "0", "--text=full", "--braille=unicode"}, oneAline);
  std::stringstream alone(eachAlone);
  size_t count = 0;
  for (std::string line; std::getline(alone, line); ++count)
    EXPECT_NE(Dots(line), "") << "line " << count;
  EXPECT_EQ(count, distinct.size());

  const std::string whole = Output({"-n", "0", "--text=full", "--braille=unicode", corpusPath}, "");
  std::stringstream out(whole);
  size_t k = 0;
  for (std::string line; std::getline(out, line); ++k) {
    ASSERT_LT(k, inputLines.size());
    size_t characters = 0, cells = 0;
    for (size_t at = 0; at < inputLines[k].size();) {
      char32_t code;
      at += static_cast<size_t>(platform::DecodeUtf8Character(inputLines[k].data() + at,
                                                              inputLines[k].size() - at, &code));
      characters += code != ' ' && code != 0xA0 && code != 0x3000 && code != '\t';
    }
    for (size_t at = 0; at + 2 < line.size(); at += 3) cells += line.compare(at, 3, "\u2800") != 0;
    EXPECT_GE(cells, characters) << "line " << k + 1;
  }
  EXPECT_EQ(k, inputLines.size());
}

}  // namespace
}  // namespace molvane::test
