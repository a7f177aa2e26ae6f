// SPDX-License-Identifier: GPL-3.0-or-later
// Walking a text of the window's boxes (GBK) or of molvane-convert's pieces
// (UTF-8) one code point at a time, with byte offsets.
#pragma once

#include <string>

#include "platform/platform.h"

namespace molvane::settings {

// The characters the converters take: U+4E00 to U+9FA5.
constexpr char32_t kFirstHan = 0x4E00;
constexpr char32_t kLastHan = 0x9FA5;
inline bool IsHan(char32_t code) {
  return code >= kFirstHan && code <= kLastHan;
}

// Calls visit(code, offset) for every character; a byte that starts none
// (not met: the texts are checked) is visited as U+FFFD.
template <typename Visit>
void ForEachCode(const std::string& bytes, bool gbk, Visit visit) {
  for (size_t at = 0; at < bytes.size();) {
    char32_t code;
    int n;
    if (gbk) {
      char16_t unit;
      n = platform::DecodeGbkCharacter(bytes.data() + at, bytes.size() - at, &unit);
      code = unit;
    } else {
      n = platform::DecodeUtf8Character(bytes.data() + at, bytes.size() - at, &code);
    }
    if (n <= 0) n = 1, code = 0xFFFD;
    visit(code, at);
    at += static_cast<size_t>(n);
  }
}

// A character of the basic plane as GBK, appended ("?" where GBK has none).
inline void AppendGbk(char16_t unit, std::string* gbk) {
  char bytes[2];
  gbk->append(bytes, static_cast<size_t>(platform::EncodeGbk(&unit, 1, bytes)));
}

}  // namespace molvane::settings
