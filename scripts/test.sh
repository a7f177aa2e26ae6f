#!/usr/bin/env bash
# Builds and runs every test in two configurations: optimised with debug
# info, and Debug with AddressSanitizer and UndefinedBehaviorSanitizer (leak
# checking on). Also checks that the code follows .clang-format, and follows
# the README's installation and examples (scripts/check_install.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
molvane_install "${MOLVANE_BUILD_PACKAGES[@]}" "${MOLVANE_TEST_PACKAGES[@]}"
jobs=$(nproc)

echo "== format"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== optimised build"
# The benchmarks are built (not run) so they keep compiling.
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLVANE_TESTS=ON -DMOLVANE_BENCH=ON >/dev/null
cmake --build build/release -j"$jobs"
ctest --test-dir build/release --output-on-failure -j"$jobs"

echo "== sanitizer build"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DMOLVANE_TESTS=ON -DMOLVANE_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure -j"$jobs"

echo "== installation and README examples"
bash scripts/check_install.sh
