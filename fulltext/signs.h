// SPDX-License-Identifier: GPL-3.0-or-later
// The table of punctuation and symbols (fulltext/tables/signs.txt), generated into
// the library at build time.
#pragma once

#include <cstddef>

namespace molvane::fulltext {

// How a sign stands between words (see fulltext/tables/signs.txt).
enum class SignKind { kPause, kOpen, kClose, kQuote, kJoin };

// Where a row holds (see fulltext/tables/signs.txt).
enum class SignWhere { kAny, kDigits, kWord, kOutside, kNumber, kBetween };

struct SignRow {
  const char32_t* print;    // one or more characters
  const char* cells;        // current braille: dot numbers, cells joined by "-"
  const char* doubleCells;  // double-spell braille, the same form
  const char* pinyin;       // UTF-8
  SignKind kind;
  SignWhere where;
};

// Ordered by first character; longer print forms first among equal ones,
// then rows of a place before the row for anywhere.
extern const SignRow kSignRows[];
extern const size_t kSignRowCount;

}  // namespace molvane::fulltext
