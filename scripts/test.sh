#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs every test in three configurations, each in a build folder
# of its own with every option passed explicitly, so nothing an earlier run
# cached (the run command builds build/release with tests off) can leave a
# configuration without tests; one that runs no test fails.
#   optimised  gcc, Release as packaged: link-time and profile-guided
#              optimisation; benchmarks built
#   sanitizer  gcc, Debug with AddressSanitizer and UndefinedBehaviorSanitizer,
#              leak checking on; the small-block heap poisons what it does not hand out
#   clang      clang 14, warnings as errors, the same sanitizers and libFuzzer's
#              coverage: every test, then each fuzz target for MOLVANE_FUZZ_SECONDS
#              (default 20)
# First it checks that the code follows .clang-format. One function per
# configuration: a new one is a function and a name in the list at the end.
# The Qt backend's tests run on Qt's offscreen platform in the gcc
# configurations; the AT-SPI smoke test starts its own D-Bus session and
# virtual X server. Last, the README's installation and examples are followed
# (scripts/check_install.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
molvane_install "${MOLVANE_BUILD_PACKAGES[@]}" "${MOLVANE_TEST_PACKAGES[@]}" \
  "${MOLVANE_QT_PACKAGES[@]}" "${MOLVANE_QT_TEST_PACKAGES[@]}" "${MOLVANE_CLANG_PACKAGES[@]}"
jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# build_and_test FOLDER COMPILER [CMAKE OPTION...]
build_and_test() {
  local folder=$1 compiler
  compiler=$(command -v "$2")
  shift 2
  # CMake drops the options given with a changed compiler, so a folder made
  # with another compiler is made afresh.
  if [ -f "$folder/CMakeCache.txt" ] &&
    ! grep -qx "CMAKE_CXX_COMPILER:[A-Z]*=$compiler" "$folder/CMakeCache.txt"; then
    rm -rf "$folder"
  fi
  cmake -S . -B "$folder" -DCMAKE_CXX_COMPILER="$compiler" -DMOLVANE_TESTS=ON "$@" >/dev/null
  cmake --build "$folder" -j"$jobs"
  ctest --test-dir "$folder" --output-on-failure --no-tests=error -j"$jobs"
}

format() {
  git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
}

optimised() {
  build_and_test build/optimised g++ -DCMAKE_BUILD_TYPE=Release -DMOLVANE_BENCH=ON \
    -DMOLVANE_SANITIZE=OFF -DMOLVANE_FUZZ=OFF -DMOLVANE_WERROR=OFF
}

sanitizer() {
  build_and_test build/asan g++ -DCMAKE_BUILD_TYPE=Debug -DMOLVANE_SANITIZE=ON \
    -DMOLVANE_FUZZ=OFF -DMOLVANE_WERROR=OFF -DMOLVANE_BENCH=OFF
}

clang() {
  build_and_test build/clang clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLVANE_FUZZ=ON \
    -DMOLVANE_WERROR=ON -DMOLVANE_BENCH=OFF -DMOLVANE_QT=OFF
  MOLVANE_FUZZ_BUILD=build/clang bash scripts/fuzz.sh "${MOLVANE_FUZZ_SECONDS:-20}"
}

install_and_examples() {
  bash scripts/check_install.sh
}

for configuration in format optimised sanitizer clang install_and_examples; do
  echo "== $configuration"
  "$configuration"
done
