#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop program builds without Qt's test library: configured with Qt
# Test hidden, the tree still makes `molvane`, and its link line names no Qt
# Test (only the tests' input module needs it). Configures only.
set -eu
source=$(cd "$(dirname "$0")/.." && pwd)
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
cmake -S "$source" -B "$build" -G "Unix Makefiles" -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON \
  -DMOLVANE_TESTS=OFF -DMOLVANE_BENCH=OFF -DMOLVANE_PGO=OFF >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
link="$build/app/CMakeFiles/molvane.dir/link.txt"
[ -f "$link" ] || { echo "no molvane target without Qt Test"; exit 1; }
grep -q Qt6Widgets "$link" || { echo "molvane does not link Qt Widgets"; exit 1; }
if grep -q Qt6Test "$link"; then
  echo "molvane links Qt Test"
  exit 1
fi
echo "molvane builds without Qt Test"
