// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert --back: braille (dot numbers, Unicode patterns or BRF,
// found by itself) in any input encoding, read back into pinyin or
// characters a piece of whole lines at a time; a problem's place is a byte
// offset in its file.
#pragma once

#include "app/convert/options.h"

namespace molvane::convert {

// Reads pieces of about `pieceBytes`. Returns the exit code.
int ConvertBack(const Options& options, size_t pieceBytes);

}  // namespace molvane::convert
