// SPDX-License-Identifier: GPL-3.0-or-later
// Braille back into pinyin: every form found by itself, signs and numbers,
// malformed cells reported with their place, and round trips over real text.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "back/back.h"
#include "cbs/cbs.h"
#include "fulltext/fulltext.h"
#include "platform/platform.h"
#include "tests/support/wide.h"
#include "words/tables.h"

namespace molvane::back {
namespace {

using test::Wide;

std::string Back(const std::string& braille, Notation notation,
                 words::ToneStyle tones = words::ToneStyle::kNumbers) {
  const BackText text = Read(braille, notation);
  EXPECT_TRUE(text.problems.empty()) << braille << ": " << text.problems.front().what;
  return Pinyin(text, tones);
}

TEST(BackForms, FindsTheFormByItself) {
  EXPECT_EQ(DetectForm("34-256 1245-135"), Form::kDots);
  EXPECT_EQ(DetectForm("⠌⠲⠁"), Form::kUnicode);
  EXPECT_EQ(DetectForm("/4A GO1"), Form::kBrf);
  // The same two words in the three forms.
  for (const char* braille : {"34-256-1 1245-135-2", "⠌⠲⠁⠀⠛⠕⠂", "/4A GO1"})
    EXPECT_EQ(Back(braille, Notation::kCommonBraille), "zhong1 guo2") << braille;
}

TEST(BackForms, ReportsMalformedCellsWithTheirPlace) {
  // Dot numbers with a digit no cell has ("7" would make the text Braille ASCII).
  std::vector<Problem> problems;
  EXPECT_EQ(ReadCells("34-256-1 7-1245", Form::kDots, &problems).size(), 5u);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].offset, 9u);
  BackText text;
  text = Read("⠌⠲x", Notation::kCommonBraille);
  ASSERT_EQ(text.problems.size(), 1u);
  EXPECT_EQ(text.problems[0].offset, 6u);
  // A cell that begins nothing: reported, and marked in the pinyin.
  text = Read("⠌⠲⠁⠨", Notation::kCommonBraille);
  ASSERT_EQ(text.problems.size(), 1u);
  EXPECT_EQ(text.problems[0].offset, 9u);
  EXPECT_EQ(Pinyin(text, words::ToneStyle::kNumbers), "zhong1□");
  // A dash with nothing after it.
  text = Read("34-256-", Notation::kCurrentBraille);
  EXPECT_EQ(text.problems.size(), 1u);
}

TEST(BackCommonBraille, ReadsTonesAsWrittenOrLeftOut) {
  // Left out: each initial's own tone (ping2, dian4, fei1); the neutral tone
  // reads as that tone too.
  EXPECT_EQ(Back("⠏⠡⠛⠕⠄", Notation::kCommonBraille), "ping2guo3");
  EXPECT_EQ(Back("⠙⠩⠝⠖⠄", Notation::kCommonBraille), "dian4nao3");
  EXPECT_EQ(Back("⠋⠮⠓⠶⠞⠼⠙⠔⠂", Notation::kCommonBraille), "fei1huang2teng2da2");
  EXPECT_EQ(Back("⠌⠲⠁⠛⠕⠂", Notation::kCommonBraille, words::ToneStyle::kMarks), "zhōngguó");
  // The abbreviations, and an initial alone before a final.
  EXPECT_EQ(Back("⠞⠍⠴ ⠈⠞ ⠞⠁ ⠝ ⠙ ⠍", Notation::kCommonBraille), "ta1men2 ta1 ta1 ni3 de5 me5");
  EXPECT_EQ(Back("⠱⠆⠥", Notation::kCommonBraille), "shi4wu4");
  EXPECT_EQ(Back("⠱⠥", Notation::kCommonBraille), "shu4");
  EXPECT_EQ(Back("⠓⠪⠄⠦", Notation::kCommonBraille), "hai3'ang4");
}

TEST(BackCommonBraille, ReadsSignsNumbersAndLetters) {
  EXPECT_EQ(Back("⠵⠺⠙⠀⠪⠐⠀⠓⠬⠁⠐⠆", Notation::kCommonBraille), "zui4de5 ai4, xu1.");
  EXPECT_EQ(Back("⠼⠁⠃⠉⠨⠑", Notation::kCommonBraille), "123.5");
  EXPECT_EQ(Back("⠠⠓⠑⠇⠇⠕⠀⠰⠺⠕⠗⠇⠙", Notation::kCommonBraille), "Hello world");
  // The capital sign twice: a word of capitals.
  EXPECT_EQ(Back("⠰⠁⠀⠠⠠⠙⠋⠎⠛⠀⠠⠙⠑⠃", Notation::kCommonBraille), "a DFSG Deb");
}

TEST(BackDoubleBraille, ReadsEveryTone) {
  const words::Tables& tables = words::Tables::Get();
  const uint16_t ma = tables.SyllableNumber("ma");
  for (int tone = 0; tone < 5; ++tone) {
    const std::string dots = words::Render({{"ma", tone, ma}}, words::Notation::kDoubleBraille, "",
                                           words::ToneStyle::kNone);
    EXPECT_EQ(Back(dots, Notation::kDoubleBraille), "ma" + std::to_string(tone == 0 ? 5 : tone));
  }
}

// Cells that spell both a sign and syllables read as what stands in that
// place in the writer's own output.
TEST(BackCommonBraille, ReadsSignsByTheirPlace) {
  const auto round = [](const char* text) {
    const BackText back = Read(cbs::UnicodeText(Wide(text)), Notation::kCommonBraille);
    EXPECT_TRUE(back.problems.empty()) << text;
    return Pinyin(back, words::ToneStyle::kNumbers);
  };
  // An opening quotation mark before an r-initial is no degree sign, even
  // after brackets that share their cells; the degree sign follows a number.
  EXPECT_EQ(round("“瑞士”"), "\"rui4shi4\"");
  EXPECT_EQ(round("【热】“人”"), "[re4] \"ren2\"");
  EXPECT_EQ(round("30°"), "30°");
  // Beside letters or digits a syllable's cells are a sign.
  EXPECT_EQ(round("C#语言"), "C#yu3yan2");
  EXPECT_EQ(round("#1"), "#1");
  EXPECT_EQ(round("5%的人"), "5%de5 ren2");
  EXPECT_EQ(round("10个%"), "10 ge4%");
  EXPECT_EQ(round("a/b x*y"), "a/b x*y");
  // After a closing sign comes no syllable: '<name>' is not "<name, wǒ".
  EXPECT_EQ(round("'<name>'"), "'<name>'");
  // A hyphen between two words, not a colon before a sign.
  EXPECT_EQ(round("《水调歌头-追和》"), "《shui3 diao4 ge1 tou2-zhui1 he2》");
}

// Double-spell braille has its own quotation marks, brackets and pauses (the
// double column of the sign table); the reader takes them from there.
TEST(BackDoubleBraille, ReadsItsOwnSigns) {
  const uint16_t ma = words::Tables::Get().SyllableNumber("ma");
  const std::string syllable = fulltext::CellsFromDots(
      words::Render({{"ma", 1, ma}}, words::Notation::kDoubleBraille, "", words::ToneStyle::kNone));
  for (size_t row = 0; row < fulltext::kSignRowCount; ++row) {
    const fulltext::SignRow& sign = fulltext::kSignRows[row];
    if (std::string_view(sign.cells) == sign.doubleCells) continue;
    // Where the writer puts it: an opening mark before a word, others after one.
    const std::string cells = fulltext::SignCells(sign, true);
    const bool open = sign.kind == fulltext::SignKind::kOpen;
    std::vector<Cell> word;
    for (char cell : open ? cells + syllable : syllable + cells)
      word.push_back({static_cast<uint8_t>(cell), 0});
    const BackText back = ReadCellsAs(word, Notation::kDoubleBraille);
    ASSERT_EQ(back.tokens.size(), 2u) << sign.doubleCells;
    const Token& read = back.tokens[open ? 0 : 1];
    // } and ｝ spell a syllable: after a word nothing tells them apart.
    if (cells == fulltext::CellsFromDots("35-23")) {
      EXPECT_EQ(read.kind, Token::Kind::kSyllable);
      continue;
    }
    EXPECT_EQ(read.kind, Token::Kind::kSign) << sign.doubleCells;
    // The mark itself, or one written with the same cells.
    bool same = false;
    for (size_t other = 0; other < fulltext::kSignRowCount; ++other) {
      std::u16string print;
      for (const char32_t* c = fulltext::kSignRows[other].print; *c; ++c)
        print += static_cast<char16_t>(*c);
      same |= Wide(read.text) == print &&
              fulltext::SignCells(fulltext::kSignRows[other], true) == cells;
    }
    EXPECT_TRUE(same) << sign.doubleCells << " read as " << read.text;
  }
}

// Text to braille and back, over every Chinese character of a real text:
// syllables, and tones wherever the braille says them.
class RoundTrip : public ::testing::Test {
 protected:
  static std::string Corpus() {
    std::ifstream in("/usr/share/games/fortunes/chinese");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static bool SameSyllable(uint16_t a, uint16_t b) {
    for (uint16_t s : SameCells(a))
      if (s == b) return true;
    return false;
  }

  // The readings of a text's characters, by line, as the writers see them.
  static std::vector<std::pair<std::u16string, std::vector<words::Reading>>> Lines(
      const std::string& corpus) {
    std::vector<std::pair<std::u16string, std::vector<words::Reading>>> lines;
    std::istringstream in(corpus);
    for (std::string line; std::getline(in, line);) {
      std::u16string wide = Wide(line);
      std::vector<words::Reading> readings = words::ReadText(wide, words::ReadingMode::kWords);
      lines.emplace_back(std::move(wide), std::move(readings));
    }
    return lines;
  }
};

TEST_F(RoundTrip, DoubleBrailleGivesEverySyllableAndTone) {
  const std::string corpus = Corpus();
  if (corpus.empty()) GTEST_SKIP() << "fortunes-zh is not installed";
  size_t compared = 0, wrong = 0;
  for (const auto& [wide, readings] : Lines(corpus)) {
    std::vector<words::Reading> written;
    for (const words::Reading& r : readings)
      if (r.syllable != words::kNoSyllable &&
          !words::Tables::Get().Codes(r.syllable).doubleInitial.empty())
        written.push_back(r);
    const std::string dots =
        words::Render(written, words::Notation::kDoubleBraille, " ", words::ToneStyle::kNone);
    const BackText back = Read(dots, Notation::kDoubleBraille);
    ASSERT_TRUE(back.problems.empty()) << dots;
    size_t i = 0;
    for (const Token& token : back.tokens) {
      if (token.kind != Token::Kind::kSyllable) continue;
      ASSERT_LT(i, written.size());
      ++compared;
      if (!SameSyllable(token.syllable, written[i].syllable) || token.tone != written[i].tone)
        ++wrong;
      ++i;
    }
    ASSERT_EQ(i, written.size());
  }
  EXPECT_GT(compared, 300000u);
  EXPECT_EQ(wrong, 0u);
}

TEST_F(RoundTrip, CurrentBrailleGivesEverySyllable) {
  const std::string corpus = Corpus();
  if (corpus.empty()) GTEST_SKIP() << "fortunes-zh is not installed";
  size_t compared = 0, wrong = 0;
  for (const auto& [wide, readings] : Lines(corpus)) {
    std::vector<words::Reading> written;
    for (const words::Reading& r : readings)
      if (r.syllable != words::kNoSyllable &&
          !words::Tables::Get().Codes(r.syllable).brailleDots.empty())
        written.push_back(r);
    // As the program writes it: a separator after every character.
    const std::string dots =
        words::Render(written, words::Notation::kCurrentBraille, "\r\n", words::ToneStyle::kNone);
    const BackText back = Read(dots, Notation::kCurrentBraille);
    ASSERT_TRUE(back.problems.empty());
    size_t i = 0;
    for (const Token& token : back.tokens) {
      if (token.kind != Token::Kind::kSyllable) continue;
      ASSERT_LT(i, written.size());
      ++compared;
      if (!SameSyllable(token.syllable, written[i].syllable) || token.tone != -1) ++wrong;
      ++i;
    }
    ASSERT_EQ(i, written.size());
  }
  EXPECT_GT(compared, 300000u);
  EXPECT_EQ(wrong, 0u);
}

TEST_F(RoundTrip, CommonBrailleGivesEverySyllableAndTone) {
  const std::string corpus = Corpus();
  if (corpus.empty()) GTEST_SKIP() << "fortunes-zh is not installed";
  size_t compared = 0, wrong = 0;
  // Signs whose cells, as a word of their own, spell syllables (# * / \\ |,
  // as liblouis's Chinese table has them) read back as those syllables where
  // no letter or digit beside them says otherwise: braille cannot tell them
  // apart, so lines holding one are left out.
  std::u16string syllableLike;
  for (size_t row = 0; row < fulltext::kSignRowCount; ++row) {
    std::vector<Cell> cells;
    for (char cell : fulltext::CellsFromDots(fulltext::kSignRows[row].cells))
      cells.push_back({static_cast<uint8_t>(cell), 0});
    for (const Token& token : ReadCellsAs(cells, Notation::kCommonBraille).tokens)
      if (token.kind == Token::Kind::kSyllable) {
        for (const char32_t* c = fulltext::kSignRows[row].print; *c; ++c)
          if (*c < 0x10000) syllableLike += static_cast<char16_t>(*c);
        break;
      }
  }
  ASSERT_NE(syllableLike.find(u'#'), std::u16string::npos);
  size_t skipped = 0;
  for (const auto& [wide, readings] : Lines(corpus)) {
    if (wide.find_first_of(syllableLike) != std::u16string::npos) {
      ++skipped;
      continue;
    }
    const BackText back = Read(cbs::UnicodeText(wide), Notation::kCommonBraille);
    std::vector<const Token*> syllables;
    for (const Token& token : back.tokens)
      if (token.kind == Token::Kind::kSyllable) syllables.push_back(&token);
    size_t i = 0;
    for (const words::Reading& r : readings) {
      if (r.syllable == words::kNoSyllable ||
          words::Tables::Get().Codes(r.syllable).brailleDots.empty())
        continue;
      ASSERT_LT(i, syllables.size());
      const Token& token = *syllables[i++];
      // Unmarked, a syllable reads as its initial's tone: the neutral tone too.
      const int omitted = cbs::OmittedTone(r.letters);
      const int written = r.tone == 0 && token.han == 0 ? omitted : r.tone;
      ++compared;
      if (!SameSyllable(token.syllable, r.syllable) || token.tone != written) ++wrong;
    }
    EXPECT_EQ(i, syllables.size());
  }
  EXPECT_GT(compared, 233400u);
  EXPECT_LT(skipped, 7800u);
  EXPECT_EQ(wrong, 0u);
}

}  // namespace
}  // namespace molvane::back
