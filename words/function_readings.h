// SPDX-License-Identifier: GPL-3.0-or-later
// Readings that follow the grammar around a lone character, from the rows of
// words/tables/function_readings.txt.
#pragma once

#include <string_view>

#include "words/tables.h"

namespace molvane::words {

// The reading of run[at] by the first row whose neighbours fit, or a reading
// with kNoSyllable where none does.
StoredReading GrammarReading(const Tables& tables, std::u16string_view run, size_t at);

}  // namespace molvane::words
