// SPDX-License-Identifier: GPL-3.0-or-later
// The braille forms: each Unicode pattern and each Braille ASCII character is
// checked against the dot numbers it came from, and the BRF page layout.
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/convert/options.h"
#include "app/settings/book_pages.h"
#include "app/settings/braille_forms.h"
#include "app/window/window_files.h"
#include "support/tool_runner.h"
#include "ui/program.h"

namespace molvane::test {
namespace {

using settings::BrfLayout;

// Braille ASCII ordered by cell: the character at index b has the dots whose
// bits make b (dot k is bit k - 1), as the braille ASCII chart lists them.
constexpr char kAsciiByCell[] =
    " A1B'K2L@CIF/MSP\"E3H9O6R^DJG>NTQ,*5<-U8V.%[$+X!&;:4\\0Z7(_?W]#Y)=";

int Bits(const std::string& dots) {
  int bits = 0;
  for (char c : dots) bits |= 1 << (c - '1');
  return bits;
}

// "12-35" -> {"12", "35"}
std::vector<std::string> Cells(const std::string& code) {
  std::vector<std::string> cells;
  std::stringstream s(code);
  for (std::string cell; std::getline(s, cell, '-');) cells.push_back(cell);
  return cells;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::stringstream s(text);
  for (std::string word; s >> word;) words.push_back(word);
  return words;
}

// UTF-8 text to code points.
std::u32string Decode(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t code = n == 1 ? c : c & (0x7F >> n);
    for (int k = 1; k < n; ++k) code = code << 6 | (utf8[i + k] & 0x3F);
    out += code;
    i += n;
  }
  return out;
}

TEST(BrailleCells, DotNumbersToCells) {
  std::vector<int> cells;
  ASSERT_TRUE(settings::CellsOf("12-35", &cells));
  EXPECT_EQ(cells, (std::vector<int>{0x03, 0x14}));
  ASSERT_TRUE(settings::CellsOf("123456", &cells));
  EXPECT_EQ(cells, std::vector<int>{0x3F});
  for (const char* bad : {"", "12-", "-3", "1--2", "17", "12 35"})
    EXPECT_FALSE(settings::CellsOf(bad, &cells)) << bad;
  // Every cell has its own character, and each agrees with the chart.
  for (int bits = 1; bits < 64; ++bits)
    EXPECT_EQ(settings::BrailleAscii({bits}), std::string(1, kAsciiByCell[bits])) << bits;
}

TEST(BrfLayoutTest, LinesBreakAtSeparatorsAndPagesAreFormFed) {
  BrfLayout layout("\n", 7, 2);
  for (int i = 0; i < 7; ++i) {
    layout.AddCells("AB");
    layout.AddSeparator(" ");
  }
  layout.Finish();
  // "AB AB " would need the line's eighth cell for the next "AB": the
  // space at the break is dropped, and the third line starts a new page.
  EXPECT_EQ(layout.Take(), "AB AB\nAB AB\n\fAB AB\nAB\n");

  BrfLayout breaks("\r\n", 40, 25);
  breaks.AddCells("A");
  breaks.AddSeparator("\r\n");
  breaks.AddCells("B");
  breaks.AddSeparator("-x\n");  // lower case is written as capitals
  breaks.Finish();
  EXPECT_EQ(breaks.Take(), "A\r\nB-X\r\n");
}

using BrailleFormsTest = PlainToolTest;

TEST_F(BrailleFormsTest, EachFormWritesTheCellsOfTheDots) {
  const std::string sample = Read(MOLVANE_SAMPLE_TEXT);
  for (const char* notation : {"current-braille", "double-braille"}) {
    const std::vector<std::string> codes = Words(Output({"-n", notation, "-s", " "}, sample));
    ASSERT_GT(codes.size(), 300u);

    // Unicode: one pattern a cell, the separator as it was.
    const std::u32string patterns =
        Decode(Output({"-n", notation, "-s", " ", "--braille", "unicode"}, sample));
    size_t at = 0;
    for (const std::string& code : codes) {
      for (const std::string& cell : Cells(code))
        ASSERT_EQ(patterns.at(at++), 0x2800 + static_cast<char32_t>(Bits(cell))) << code;
      ASSERT_EQ(patterns.at(at++), U' ');
    }
    EXPECT_EQ(patterns.substr(at), U"\n");

    // BRF: the chart's character for each cell; lines of at most 40 cells
    // holding whole characters; 25 lines a page.
    const std::string brf = Output({"-n", notation, "-s", " ", "--braille=brf"}, sample);
    std::vector<std::string> words;
    size_t lines = 0, linesOnPage = 0;
    std::stringstream s(brf);
    for (std::string line; std::getline(s, line);) {
      if (!line.empty() && line[0] == '\f') {
        EXPECT_EQ(linesOnPage, 25u);
        line.erase(0, 1);
        linesOnPage = 0;
      }
      ++lines, ++linesOnPage;
      EXPECT_LE(line.size(), 40u);
      EXPECT_NE(line.back(), ' ');
      for (const std::string& w : Words(line)) words.push_back(w);
    }
    EXPECT_GT(lines, 25u);  // more than one page
    ASSERT_EQ(words.size(), codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
      std::string expected;
      for (const std::string& cell : Cells(codes[i])) expected += kAsciiByCell[Bits(cell)];
      ASSERT_EQ(words[i], expected) << codes[i];
    }
  }
}

TEST_F(BrailleFormsTest, LineBreakSeparatorsAndExactBytes) {
  EXPECT_EQ(Output({"--braille=unicode"}, "八女"), "⠃⠔\n⠝⠬\n");
  EXPECT_EQ(Output({"--braille=unicode", "--exact"}, "八女"), "⠃⠔\r\n⠝⠬\r\n");
  // One character a line when the separator is a line break.
  EXPECT_EQ(Output({"-n", "1", "--braille=brf"}, "八女"), "IT\n=V\n");
  EXPECT_EQ(Output({"-n", "1", "--braille=brf", "--exact"}, "八女"), "IT\r\n=V\r\n");
}

// The window saves its output box in the braille forms, and full text as a
// BRF book: the files must be what molvane-convert writes for the same text
// and choices, whatever the text mode, separator and notation.
TEST_F(ToolTest, WindowOutputSavedInEachFormIsWhatTheConverterWrites) {
  const std::string sample = Read(MOLVANE_SAMPLE_TEXT);
  const std::vector<std::vector<std::string>> choices = {
      {"-n", "0", "--text=han", "--readings=chars"},
      {"-n", "1", "--text=han", "--readings=words", "-s", "x"},
      {"-n", "0", "--text=full", "--readings=words", "--spacing=word"},
      {"-n", "1", "--text=full", "--readings=chars", "--spacing=syllable", "-s", "/"},
  };
  for (const std::vector<std::string>& options : choices) {
    std::vector<std::string> exact = options;
    exact.push_back("--exact");
    const std::string box = Output(exact, sample);
    ASSERT_GT(box.size(), 1000u);
    const auto at = std::find(options.begin(), options.end(), "-s");
    const std::string separator = at == options.end() ? "" : *(at + 1);
    for (const char* form : {"unicode", "brf"}) {
      std::vector<std::string> batch = options;
      batch.push_back(std::string("--braille=") + form);
      std::string saved;
      if (form[0] == 'b' && options[2] == "--text=full") {
        // A book: laid out in pages from the input box's text, as the tool
        // lays out its input.
        std::vector<std::string> words = {"molvane-convert"};
        words.insert(words.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        convert::Options parsed;
        ASSERT_EQ(convert::ParseArguments(static_cast<int>(argv.size()), argv.data(), &parsed), -1);
        StartProgram();  // the conversion runs in this process, as in the window
        const bool made =
            settings::BookOfText(sample, parsed.settings, {layout::Form::kBrf, {40, 25}}, &saved);
        ShutdownRuntime(0);
        ASSERT_TRUE(made);
      } else {
        ASSERT_TRUE(window::SavedForm(
            box, separator,
            form[0] == 'u' ? settings::BrailleForm::kUnicode : settings::BrailleForm::kBrf,
            &saved));
      }
      EXPECT_EQ(saved, Output(batch, sample)) << options[1] << " " << options[2] << " " << form;
    }
  }
  // Text that is not dot numbers is no braille.
  std::string saved;
  EXPECT_FALSE(window::SavedForm("zhong1 wen2\r\n", "", settings::BrailleForm::kBrf, &saved));
  EXPECT_FALSE(
      window::SavedForm("12-35 \xE4\xB8\xAD", "", settings::BrailleForm::kUnicode, &saved));
  EXPECT_FALSE(window::SavedForm("12-37", "", settings::BrailleForm::kBrf, &saved));
}

}  // namespace
}  // namespace molvane::test
