// SPDX-License-Identifier: GPL-3.0-or-later
// Test helpers: GBK literals from UTF-8 source, and a message-box recorder.
#pragma once

#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace testing_support {

inline std::string Gbk(const std::string& utf8) {
  return platform::Utf8ToGbk(utf8);
}
inline std::string Utf8(const std::string& gbk) {
  return platform::GbkToUtf8(gbk);
}

// Makes every message box print one line "BOX caption|text|style" (UTF-8,
// CR and LF escaped) on standard error, so death tests can match it exactly.
inline void EchoMessageBoxes() {
  platform::SetMessageBoxResponder([](const platform::MessageBoxCall& call) {
    std::string text;
    for (char c : Utf8(call.text)) {
      if (c == '\r')
        text += "\\r";
      else if (c == '\n')
        text += "\\n";
      else
        text += c;
    }
    std::fprintf(stderr, "BOX %s|%s|%u\n", Utf8(call.caption).c_str(), text.c_str(), call.style);
    return IDOK;
  });
}

}  // namespace testing_support
