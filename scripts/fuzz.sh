#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang's libFuzzer and runs each for SECONDS
# (default 60), starting from its committed seeds. New inputs go to
# build/fuzz/corpus/TARGET, crash inputs to build/fuzz/artifacts/TARGET, logs
# to build/fuzz/logs. Fails when a target found a crash, a leak or a hang.
#   MOLVANE_FUZZ_BUILD  build folder (default build/fuzz)
#   MOLVANE_FUZZ_ARGS   extra libFuzzer options, e.g. "-fork=1 -ignore_timeouts=1"
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
molvane_install "${MOLVANE_BUILD_PACKAGES[@]}" "${MOLVANE_TEST_PACKAGES[@]}" "${MOLVANE_CLANG_PACKAGES[@]}"
seconds=${1:-60}
build=${MOLVANE_FUZZ_BUILD:-build/fuzz}

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER="$(command -v clang++-14)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLVANE_FUZZ=ON \
  -DMOLVANE_WERROR=ON -DMOLVANE_TESTS=ON >/dev/null
targets=()
for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target artifacts=$build/artifacts/$target logs=$build/logs
  mkdir -p "$corpus" "$artifacts" "$logs"
  # Absolute paths: a target that starts the program moves to the program's
  # folder, as the program always does, and relative corpus paths would break.
  corpus=$(realpath "$corpus") artifacts=$(realpath "$artifacts")
  seeds=$(realpath "fuzz/corpus/$target")
  # Templates are longer than the other inputs: the real one is 1,666 bytes.
  max_len=256
  [ "$target" = template_fuzz ] && max_len=4096
  echo "== fuzz $target for ${seconds}s"
  # shellcheck disable=SC2086  # the extra options are words
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=$max_len -print_final_stats=1 -artifact_prefix="$artifacts/" ${MOLVANE_FUZZ_ARGS:-} \
      "$corpus" "$seeds" >"$logs/$target.log" 2>&1; then
    status=1
    tail -n 40 "$logs/$target.log"
    echo "fuzz $target FAILED: inputs in $artifacts (add them to fuzz/regressions/$target once fixed)"
  else
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$logs/$target.log" || true
  fi
done
exit $status
