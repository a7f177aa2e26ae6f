// SPDX-License-Identifier: GPL-3.0-or-later
// How a fuzz target reports a broken property: the property on standard
// error, then abort, which libFuzzer keeps as a finding with its input.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz target: %s\n", what);
  std::abort();
}

}  // namespace fuzz
