// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up for the benchmarks: the program started once, GBK helpers.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "platform/platform.h"
#include "ui/program.h"

namespace molvane::bench {

inline void EnsureProgramStarted() {
  static bool started = [] {
    StartProgram();
    return true;
  }();
  (void)started;
}

// The benchmark passage in GBK, repeated `times` times.
inline std::string Passage(int times = 1) {
  std::ifstream in(MOLVANE_BENCH_PASSAGE, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  std::string gbk = platform::Utf8ToGbk(s.str()), out;
  for (int i = 0; i < times; ++i) out += gbk;
  return out;
}

}  // namespace molvane::bench
