// SPDX-License-Identifier: GPL-3.0-or-later
// The scheme's rule table, parsed: tone cells, the tone each syllable leaves
// unmarked, the abbreviated characters.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cbs/cbs.h"

namespace molvane::cbs {

// The initial of a syllable as the dictionary spells it ("zh", "b"), empty
// for one without (y and w count as none: the braille writes their final).
std::string_view InitialOf(std::string_view letters);

class Rules {
 public:
  static const Rules& Get();

  int OmittedTone(std::string_view letters) const;
  char ToneCell(int tone) const {
    return tone >= 1 && tone <= 4 ? toneCells_[static_cast<size_t>(tone)] : 0;
  }
  // The abbreviation of a character read this way, or null.
  const Short* ShortFor(char16_t han, std::string_view letters, int tone) const;
  const std::vector<Short>& Shorts() const { return shorts_; }

 private:
  Rules();

  std::array<char, 5> toneCells_{};
  std::unordered_map<std::string, int> byInitial_;
  std::unordered_map<std::string, int> bySyllable_;
  std::vector<Short> shorts_;
};

}  // namespace molvane::cbs
