// SPDX-License-Identifier: GPL-3.0-or-later
// The common braille (cbs/) as the shared conversion writes it: full text
// through the scheme's own writer, or the Chinese characters alone, each
// character's cells followed by the separator, as the window writes the
// other braille notations.
#pragma once

#include <string>

#include "app/settings/full_text.h"

namespace molvane::settings {

struct CommonBrailleOptions {
  bool full = true;       // full text, else the Chinese characters alone
  bool patterns = false;  // Unicode braille patterns, else dot numbers
  std::string blank;      // full text: between words
  std::string separator;  // Chinese characters alone: after each
  std::string lineBreak = "\n";
  bool endWithLineBreak = true;
  bool readWords = true;  // characters read in the context of their word
};

// Writes `utf8` (each code point as UTF-8) and counts what has no cells.
std::string CommonBraille(const std::string& utf8, const CommonBrailleOptions& options, Lost* lost);

}  // namespace molvane::settings
