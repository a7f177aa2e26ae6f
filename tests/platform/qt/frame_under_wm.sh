#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the frame test of the Qt suite on Xvfb under a real window manager
# (openbox), where the frame is drawn around the window. Exits 77 (skipped)
# when Xvfb or openbox is missing.
#
#   frame_under_wm.sh PATH/TO/platform_qt_tests
set -u
tests=$1
skip() { echo "skipped: $*"; exit 77; }
if [ -z "${MOLVANE_WM_INNER:-}" ]; then
  command -v xvfb-run >/dev/null || skip "xvfb is not installed"
  command -v openbox >/dev/null || skip "openbox is not installed"
  exec env MOLVANE_WM_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 0.5
QT_QPA_PLATFORM=xcb "$tests" --gtest_filter='*OuterSizeIncludesTheWindowManagersFrame*'
status=$?
kill "$wm" 2>/dev/null
exit $status
