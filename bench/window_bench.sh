#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pastes the `chinese` corpus of Debian's fortunes-zh (unpacked into a scratch
# folder, as compare.py does) into the window's input box on Qt's offscreen
# platform, chooses the notation, clicks 转换, and prints the round trip from
# the click to the painted result (target: at most 250 ms) and the time one
# typed key takes in the filled box, for each of the five notations in the
# list (or only LIST_ITEM: 0 current braille, 1 double braille, 2 shuangpin,
# 3 full pinyin, 4 Wubi).
#
#   bash bench/window_bench.sh [RUNS] [LIST_ITEM]
set -euo pipefail
cd "$(dirname "$0")/.."
scratch=${MOLVANE_SCRATCH:-/tmp/molvane-compare}
mkdir -p "$scratch"
. scripts/deps.sh
molvane_install "${MOLVANE_BUILD_PACKAGES[@]}" "${MOLVANE_QT_PACKAGES[@]}"
if [ ! -e "$scratch/.unpacked-fortunes-zh" ]; then
  (cd "$scratch" && { apt-get download fortunes-zh >/dev/null 2>&1 ||
    { apt-get update -qq && apt-get download fortunes-zh; }; })
  dpkg -x "$scratch"/fortunes-zh_*.deb "$scratch/root"
  touch "$scratch/.unpacked-fortunes-zh"
fi
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DMOLVANE_BENCH=ON >/dev/null
cmake --build build/release -j"$(nproc)" --target molvane_window_bench >/dev/null
runs=${1:-5}
items=("${2:-0}")
[ $# -ge 2 ] || items=(0 1 2 3 4)
for item in "${items[@]}"; do
  build/release/bench/molvane_window_bench "$scratch/root/usr/share/games/fortunes/chinese" \
    "$runs" "$item"
  echo
done
