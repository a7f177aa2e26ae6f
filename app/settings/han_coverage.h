// SPDX-License-Identifier: GPL-3.0-or-later
// Which Chinese characters (U+4E00 to U+9FA5) a conversion writes, learnt
// from the conversion itself with as few runs as it takes, so that what the
// program skips can be told apart from what it writes without restating its
// tables.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace molvane::settings {

// Any Chinese character, in or beyond the range the converters take: the
// unified ideographs with their extensions, the compatibility ones and 〇.
inline bool IsIdeograph(char32_t c) {
  return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3007;
}

class HanCoverage {
 public:
  // The conversion of Chinese characters (GBK in): one code a line (LF),
  // nothing for a character it does not write.
  using Conversion = std::function<std::string(const std::string& gbk)>;

  HanCoverage();

  // Learns, of the characters of `units` not known yet, which `convert`
  // writes: a set whose codes number as its characters is written whole,
  // otherwise its halves are tried. False when the codes outnumber the
  // characters (a conversion that does not write one code each).
  bool Learn(const Conversion& convert, std::u16string_view units);

  // True for a character learnt to be written; false for one learnt not to
  // be, for one not learnt and for any other character.
  bool Writes(char32_t code) const;

 private:
  enum class State : uint8_t { kUnknown, kListed, kWritten, kSkipped };
  std::vector<State> states_;  // from U+4E00 on
};

}  // namespace molvane::settings
