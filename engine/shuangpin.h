// SPDX-License-Identifier: GPL-3.0-or-later
// The shuangpin key lookup over the start-up rows.
#pragma once

namespace molvane {

// The key of the row that holds `part` (a fresh text), or null when no row
// does. Rows are scanned from the last, so the part "v" (ü) gives "y".
char* ShuangpinKeyFor(const char* part);

}  // namespace molvane
