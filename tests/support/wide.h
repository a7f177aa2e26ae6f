// SPDX-License-Identifier: GPL-3.0-or-later
// A UTF-8 text as the UTF-16 units the word path and the braille writers
// read: characters of the basic plane; others, and bytes that start no
// character, are left out. Tests and benchmarks share it.
#pragma once

#include <string>

#include "platform/platform.h"

namespace molvane::test {

inline std::u16string Wide(const std::string& utf8) {
  std::u16string wide;
  for (size_t at = 0; at < utf8.size();) {
    char32_t code;
    const int length = platform::DecodeUtf8Character(utf8.data() + at, utf8.size() - at, &code);
    if (length <= 0) {
      ++at;
      continue;
    }
    if (code < 0x10000) wide.push_back(static_cast<char16_t>(code));
    at += static_cast<size_t>(length);
  }
  return wide;
}

}  // namespace molvane::test
