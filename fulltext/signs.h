// SPDX-License-Identifier: GPL-3.0-or-later
// The table of punctuation and symbols (fulltext/tables/signs.txt), generated into
// the library at build time.
#pragma once

#include <cstddef>

namespace molvane::fulltext {

// How a sign stands between words (see fulltext/tables/signs.txt).
enum class SignKind { kPause, kOpen, kClose, kQuote, kJoin };

struct SignRow {
  const char32_t* print;  // one or more characters
  const char* cells;      // dot numbers, cells joined by "-"
  const char* pinyin;     // UTF-8
  SignKind kind;
};

// Ordered by first character; longer print forms first among equal ones.
extern const SignRow kSignRows[];
extern const size_t kSignRowCount;

}  // namespace molvane::fulltext
