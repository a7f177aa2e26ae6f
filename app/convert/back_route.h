// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert --back: braille (dot numbers, Unicode patterns or BRF,
// found by itself) read back into pinyin or characters, each file on its
// own so that a problem's place is a byte offset in its file.
#pragma once

#include "app/convert/options.h"

namespace molvane::convert {

// Returns the exit code.
int ConvertBack(const Options& options);

}  // namespace molvane::convert
