#!/usr/bin/env bash
# Builds Molvane and converts the sample text into all five notations.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
molvane_install "${MOLVANE_BUILD_PACKAGES[@]}"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLVANE_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target molvane-convert
for notation in current-braille double-braille shuangpin pinyin wubi; do
  echo "== $notation"
  build/release/app/molvane-convert -n "$notation" -s ' ' docs/sample.txt
  echo
done
