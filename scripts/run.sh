#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Molvane and opens its window. On a desktop ($DISPLAY or
# $WAYLAND_DISPLAY set) that is all. Without a display it runs the same
# program on a virtual X server, converts docs/sample.txt as a person would
# (types it, chooses 全拼, clicks 转换), saves a screenshot, and prints its
# path and the converted text.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
molvane_install "${MOLVANE_BUILD_PACKAGES[@]}" "${MOLVANE_QT_PACKAGES[@]}"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DMOLVANE_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target molvane molvane-convert
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/app/molvane
fi
echo "No display: running molvane on a virtual X server (Xvfb)."
molvane_install "${MOLVANE_QT_TEST_PACKAGES[@]}"
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
  bash scripts/demo.sh build/release/app/molvane docs/sample.txt build/demo/molvane.png
