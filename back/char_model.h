// SPDX-License-Identifier: GPL-3.0-or-later
// The decoder's character model (back/tables/char_bigrams.txt, made by
// tools/generators/gen_char_bigrams.py): what a character costs after the one before
// it, as -ln P in nats, mixed with its cost alone where the pair is rare.
#pragma once

#include <cstdint>
#include <vector>

namespace molvane::back {

class CharModel {
 public:
  // Parsed once, on first use; immutable afterwards.
  static const CharModel& Get();

  // -ln P(next | previous); `previous` 0 at the start of a stretch.
  double Cost(char16_t previous, char16_t next) const;

 private:
  CharModel();

  std::vector<float> single_;          // by character, -ln of the mixed-in share
  std::vector<uint32_t> firstPairs_;   // by first character: its first pair
  std::vector<char16_t> pairSeconds_;  // pairs in order of their first character
  std::vector<uint8_t> pairCosts_;     // tenths of nats
};

}  // namespace molvane::back
