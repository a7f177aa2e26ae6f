#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts a molvane binary on the current X display and checks that its window
# carries the class the desktop entry promises and an icon of its own.
# Usage: check_window_identity.sh MOLVANE-BINARY EXPECTED-CLASS
# The properties are polled: a loaded machine may map the window before its
# icon is set.
set -u
binary=$1 promised=$2
# A loaded machine may still be bringing the server up.
for _ in $(seq 50); do
  xprop -root >/dev/null 2>&1 && break
  sleep 0.2
done
"$binary" >/dev/null 2>"${MOLVANE_LOG:-/dev/null}" &
app=$!
window= class= icon=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --class molvane 2>/dev/null | head -1) || true
  if [ -n "$window" ]; then
    class=$(xprop -id "$window" WM_CLASS 2>/dev/null | sed -nE 's/.*, "(.*)"$/\1/p') || true
    xprop -id "$window" _NET_WM_ICON 2>/dev/null | grep -q "Icon (" && icon=yes
    [ -n "$class" ] && [ -n "$icon" ] && break
  fi
  sleep 0.2
done
kill "$app" 2>/dev/null
wait "$app" 2>/dev/null
status=0
[ -n "$class" ] && [ "$class" = "$promised" ] ||
  { echo "FAILED: the window's class is '$class', the desktop entry says '$promised'" >&2; status=1; }
[ -n "$icon" ] || { echo "FAILED: the window shows no icon of its own" >&2; status=1; }
exit $status
