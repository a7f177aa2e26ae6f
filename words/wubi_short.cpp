// SPDX-License-Identifier: GPL-3.0-or-later
// The Wubi short codes, from the embedded "<character> <code>" lines.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "words/tables.h"
#include "words/words.h"

namespace molvane::words {

extern const char kWubiShortTable[];

namespace {

// Read once on first use, constant afterwards: a code per character of the
// range, empty for most.
const std::vector<std::string_view>& ShortCodes() {
  static const std::vector<std::string_view> kCodes = [] {
    std::vector<std::string_view> codes(kLastHan - kFirstHan + 1);
    const std::string_view text = kWubiShortTable;
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find('\n', at);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view line = text.substr(at, end - at);
      at = end + 1;
      char32_t han = 0;
      const int length = platform::DecodeUtf8Character(line.data(), line.size(), &han);
      if (length <= 0 || han < kFirstHan || han > kLastHan ||
          line.size() < static_cast<size_t>(length) + 2 || line[static_cast<size_t>(length)] != ' ')
        continue;
      codes[han - kFirstHan] = line.substr(static_cast<size_t>(length) + 1);
    }
    return codes;
  }();
  return kCodes;
}

}  // namespace

std::string_view ShortWubiCode(char16_t han) {
  return IsHan(han) ? ShortCodes()[han - kFirstHan] : std::string_view();
}

}  // namespace molvane::words
