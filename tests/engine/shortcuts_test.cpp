// SPDX-License-Identifier: GPL-3.0-or-later
// Caches, search shortcuts and in-place growth must never change a result:
// every notation converts a sample the same with them on and off.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "runtime/runtime.h"
#include "support/engine_support.h"

namespace molvane {
namespace {

std::string Sample() {
  std::ifstream in(MOLVANE_SAMPLE_TEXT, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  // The plain search scans whole tables per character, so take the opening
  // of the passage (cut between characters), which has repeats and
  // punctuation, and add the table edges, two-digit tones and characters
  // without entries.
  std::string opening = text.str().substr(0, 360);
  while (!opening.empty() && (static_cast<unsigned char>(opening.back()) & 0xC0) == 0x80)
    opening.pop_back();
  if (!opening.empty() && static_cast<unsigned char>(opening.back()) >= 0xC0) opening.pop_back();
  return opening + "吖阿傱撞军俊宋么哟國abc１２３";
}

TEST(Shortcuts, EveryNotationGivesTheSameResultWithoutThem) {
  const std::string sample = Sample();
  const std::string separator = " | ";
  for (int32_t notation = 0; notation < kNotationCount; ++notation) {
    std::string fast = test::Convert(kNotations[notation], sample, separator);
    SetShortcutsEnabled(false);
    std::string plain = test::Convert(kNotations[notation], sample, separator);
    SetShortcutsEnabled(true);
    // Twice with shortcuts: the second run answers from what the first kept.
    std::string again = test::Convert(kNotations[notation], sample, separator);
    EXPECT_GT(plain.size(), 200u) << notation;
    EXPECT_EQ(fast, plain) << "notation " << notation;
    EXPECT_EQ(again, plain) << "notation " << notation;
  }
}

}  // namespace
}  // namespace molvane
