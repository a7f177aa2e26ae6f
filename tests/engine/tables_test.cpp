// SPDX-License-Identifier: GPL-3.0-or-later
// The constant tables and the arrays StartUp cuts from them.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "constants/constant_area.h"
#include "engine/program_variables.h"
#include "runtime/support.h"
#include "support/engine_support.h"
#include "ui/program.h"

namespace molvane::test {
namespace {

using constants::kArea;

std::vector<std::string> Texts(void* array) {
  std::vector<std::string> out;
  for (int32_t i = 1; i <= ArrayElementCount(array); ++i) {
    const char* text = TextElement(array, i);
    out.push_back(text == nullptr ? "" : text);
  }
  return out;
}

size_t Count(const std::string& text, const std::string& piece) {
  size_t n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

// The entries of a table, each keyed by one character of U+4E00..U+9FA5
// (regex group 1): the keys are distinct and the entries account for every
// line or list item.
void UniqueKeys(const std::string& table, const char* line, const char* end) {
  std::set<std::string> keys;
  size_t lines = 0;
  std::regex pattern(line);
  for (std::sregex_iterator it(table.begin(), table.end(), pattern), stop; it != stop; ++it) {
    ++lines;
    std::string key = (*it)[1];
    EXPECT_TRUE(key.size() == 3 && key >= "\u4e00" && key <= "\u9fa5") << key;
    EXPECT_TRUE(keys.insert((*it)[1]).second) << "repeated " << (*it)[1];
  }
  EXPECT_EQ(lines, Count(table, end) + 1);
}

TEST(Tables, BrailleArraysAreParallelToTheTableLines) {
  std::string current = kArea.currentBrailleTable, doubleSpell = kArea.doubleBrailleTable;
  EXPECT_EQ(current.size(), 5559u);
  EXPECT_EQ(Count(current, "\r\n"), 430u);
  EXPECT_EQ(doubleSpell.size(), 5220u);
  std::vector<std::string> syllables = Texts(BrailleSyllables), dots = Texts(BrailleDots);
  ASSERT_EQ(syllables.size(), 409u);
  ASSERT_EQ(dots.size(), 409u);
  for (size_t i = 0; i < syllables.size(); ++i)
    EXPECT_NE(("\n" + current).find("\n" + dots[i] + "=" + syllables[i] + "\r\n"),
              std::string::npos);

  // The double-spell table is exactly its 409 lines, rebuilt from the arrays.
  std::vector<std::string> doubles = Texts(DoubleSyllables), initials = Texts(DoubleInitialCells),
                           finals = Texts(DoubleFinalCells);
  ASSERT_EQ(initials.size(), 409u);
  ASSERT_EQ(finals.size(), 409u);
  std::string rebuilt;
  for (size_t i = 0; i < doubles.size(); ++i)
    rebuilt += initials[i] + "-" + finals[i] + "=" + doubles[i] + "\r\n";
  EXPECT_EQ(rebuilt, doubleSpell);
}

// Every character once in the dictionary and the Wubi list; every syllable of
// the dictionary has a row in both braille tables and types as two keys.
TEST(Tables, EveryCharacterOnceAndEverySyllableConverts) {
  std::string wubi = Utf8(kArea.wubiTable), dictionary = Utf8(kArea.pinyinDictionary);
  UniqueKeys(wubi, "(?:^|\n)[a-y]{3,4}\\|([^\r]+)(?=\r|$)", "\r\n");
  UniqueKeys(dictionary, "(?:^|,)([^,a-z]+)[a-z]+[0-9]{1,2}(?=,|$)", ",");

  std::map<std::string, std::string> syllables;  // syllable -> one character reading it
  std::regex entry("([^,a-z]+)([a-z]+)");
  for (std::sregex_iterator it(dictionary.begin(), dictionary.end(), entry), stop; it != stop; ++it)
    syllables.emplace((*it)[2], (*it)[1]);

  std::vector<std::string> current = Texts(BrailleSyllables), doubles = Texts(DoubleSyllables);
  std::set<std::string> currentRows(current.begin(), current.end());
  EXPECT_EQ(currentRows.size(), 409u);
  EXPECT_EQ(std::set<std::string>(doubles.begin(), doubles.end()), currentRows);
  std::string input;
  for (auto& [syllable, character] : syllables) {
    EXPECT_EQ(currentRows.count(syllable), 1u) << syllable;
    input += character;
  }
  std::string keys = Convert(ShuangpinConverter, input, "|");
  EXPECT_EQ(keys.size(), 3 * syllables.size() - 1);  // two keys each, separators between
  for (size_t at = 2; at < keys.size(); at += 3) EXPECT_EQ(keys[at], '|') << at;
}

TEST(ProgramVariables, CleanUpReleasesEverythingAndStartUpRebuilds) {
  ReleaseProgramVariables(0);
  EXPECT_EQ(HanRegex, nullptr);
  EXPECT_EQ(ShuangpinRows, nullptr);
  EXPECT_EQ(DoubleFinalCells, nullptr);
  ReleaseProgramVariables(0);  // a second release is harmless

  CreateProgramVariables();
  EXPECT_EQ(ArrayElementCount(BrailleDots), 0);
  StartUp();
  EXPECT_EQ(Convert(ShuangpinConverter, "中国", " "), "vs go");
}

}  // namespace
}  // namespace molvane::test
