// SPDX-License-Identifier: GPL-3.0-or-later
// The one conversion both programs run for settings beyond the stored
// program's: the window's convert button (through its route) and every
// piece of molvane-convert's input. It works inside a running program: the
// Chinese characters go through the program's own converters, or through
// the word path when they are read in their words.
#pragma once

#include <string>

#include "app/settings/full_text.h"
#include "app/settings/han_coverage.h"
#include "app/settings/settings.h"

namespace molvane::settings {

// What a conversion wrote, and what it could not.
struct Converted {
  std::string text;  // UTF-8
  Lost lost;         // offsets in the text as given
};

class Converter {
 public:
  explicit Converter(Settings settings);

  // Converts `text` (GBK when `gbk`, else UTF-8) as the settings ask: full
  // text, lines kept, or the Chinese characters alone. A text that is not
  // `whole` (a piece of a longer one) never gets the line break that ends a
  // text. False only when the program's codes did not match its characters.
  bool Convert(const std::string& text, bool gbk, Converted* out, bool whole = true);

  // Counts the Chinese characters of `text` that the settings cannot write,
  // for a conversion that another path makes (the window's own command).
  bool CountLost(const std::string& text, bool gbk, Lost* lost);

  // Learns which Chinese characters of `text` the settings write, so that
  // copies of this converter made later (worker processes) know them.
  bool Learn(const std::string& text, bool gbk);

  const Settings& settings() const { return settings_; }

 private:
  // The codes of Chinese characters (GBK in and out), the separator placed
  // as the program's converters place it.
  std::string HanCodes(const std::string& gbk, const std::string& separator) const;
  HanCoverage::Conversion CodesALine() const;
  bool WriteFullText(const std::string& text, bool gbk, bool whole, Converted* out);
  bool WriteLines(const std::string& text, bool gbk, bool whole, Converted* out);
  bool WriteHan(const std::string& text, bool gbk, Converted* out);
  bool WriteCommonBraille(const std::string& text, bool gbk, bool whole, Converted* out);
  std::string LineBreak() const;

  Settings settings_;
  HanCoverage coverage_;
};

// The separator as the settings give it, in GBK, with the notation's own
// default (a line break) when none is given.
std::string GbkSeparator(const Settings& settings);

}  // namespace molvane::settings
