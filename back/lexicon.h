// SPDX-License-Identifier: GPL-3.0-or-later
// What cell sequences mean in each notation: syllables (made by the writers
// themselves, so reading is their exact inverse), signs, digits and letters.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "back/back.h"
#include "fulltext/signs.h"

namespace molvane::back {

struct SyllableEntry {
  uint16_t syllable;
  int8_t tone;  // -1 when the cells do not say it
  bool marked;
  char16_t han;  // an abbreviated character
};

class Lexicon {
 public:
  static const Lexicon& For(Notation notation);

  // The syllable spelt by exactly these cells, or null.
  const SyllableEntry* Syllable(std::string_view cells) const {
    const auto found = syllables_.find(std::string(cells));
    return found == syllables_.end() ? nullptr : &found->second;
  }
  size_t LongestSyllable() const { return longest_; }

 private:
  explicit Lexicon(Notation notation);
  void Add(const std::string& cells, SyllableEntry entry);

  std::unordered_map<std::string, SyllableEntry> syllables_;
  size_t longest_ = 0;
};

// The sign rows spelt by cell sequences, longest first where one begins
// another.
struct SignChoice {
  const fulltext::SignRow* row;
  size_t cells;
};
// The rows whose cells, as `notation` writes them, start `cells`, longest
// match first.
std::vector<SignChoice> SignsAt(std::string_view cells, Notation notation);

// The letters a to z by cell (0 for a cell that is none), and the digits.
char LetterOf(uint8_t cell);
char DigitOf(uint8_t cell);

}  // namespace molvane::back
