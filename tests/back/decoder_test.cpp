// SPDX-License-Identifier: GPL-3.0-or-later
// Syllables back into characters, on sentences written for these tests
// (outside every table the decoder learnt from).
#include <gtest/gtest.h>

#include "back/back.h"
#include "back/decoder.h"
#include "cbs/cbs.h"
#include "platform/platform.h"
#include "tests/support/wide.h"
#include "words/tables.h"

namespace molvane::back {
namespace {

using test::Wide;

std::string FromCommonBraille(const std::string& text, const DecodeOptions& options = {}) {
  return Characters(Read(cbs::UnicodeText(Wide(text)), Notation::kCommonBraille), options).text;
}

TEST(Decoder, WritesCommonBrailleSentencesBack) {
  for (const char* sentence :
       {"我们明天早上去学校。", "今天的天气不错，我们去公园散步吧！", "她把书放在桌子上。",
        "他们都是好朋友。", "这个问题很难回答。", "请把窗户打开，屋里太热了。"})
    EXPECT_EQ(FromCommonBraille(sentence), sentence);
}

TEST(Decoder, TakesTheBrailleWordsAsHints) {
  // The same syllables, cut differently: shi4 shi2 (事实 / 是 + 十).
  DecodeOptions hints;
  hints.hints = DecodeOptions::Hints::kOn;
  EXPECT_EQ(Characters(Read("⠱⠱⠂", Notation::kCommonBraille), hints).text, "事实");
  EXPECT_NE(Characters(Read("⠱⠀⠱⠂", Notation::kCommonBraille), hints).text, "事实");
}

TEST(Decoder, ListsCandidatesPerBrailleWord) {
  DecodeOptions options;
  options.candidates = 5;
  const Decoded decoded = Characters(Read("⠱⠱⠂⠀⠓⠑⠂⠊⠆", Notation::kCommonBraille), options);
  ASSERT_EQ(decoded.choices.size(), 2u);
  EXPECT_EQ(decoded.choices[0].offset, 0u);
  EXPECT_EQ(decoded.choices[1].offset, 12u);
  EXPECT_LE(decoded.choices[0].candidates.size(), 5u);
  EXPECT_EQ(decoded.choices[0].candidates[0], "事实");
  EXPECT_NE(
      std::find(decoded.choices[1].candidates.begin(), decoded.choices[1].candidates.end(), "协议"),
      decoded.choices[1].candidates.end());
}

TEST(Decoder, KeepsWhatNoCharacterFitsAsPinyin) {
  // ce1: the syllable is known, but no character reads so with that tone.
  const words::Tables& tables = words::Tables::Get();
  const uint16_t ce = tables.SyllableNumber("ce");
  ASSERT_NE(ce, words::kNoSyllable);
  BackText text;
  text.notation = Notation::kDoubleBraille;
  Token token;
  token.kind = Token::Kind::kSyllable;
  token.syllable = ce;
  token.tone = 1;
  token.toneMarked = true;
  text.tokens = {token};
  EXPECT_EQ(Characters(text).text, "cē");
  // Signs, numbers and letters pass through; blanks between Chinese words go.
  EXPECT_EQ(FromCommonBraille("我有3本书，Debian 很好。"), "我有3本书，Debian 很好。");
}

TEST(Decoder, ReadsBrailleWrittenACharacterAtATime) {
  // The program's own braille: a separator after every character, no word
  // spacing; the separators are no word ends.
  const std::string dots =
      words::ConvertGbk(platform::Utf8ToGbk("我们明天早上去学校"), words::Notation::kDoubleBraille,
                        "\r\n", words::ReadingMode::kCharacters, words::ToneStyle::kNone);
  EXPECT_EQ(Characters(Read(dots, Notation::kDoubleBraille)).text, "我们明天早上去学校");
}

}  // namespace
}  // namespace molvane::back
