#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What Orca says while a person works the window: molvane and Orca on a
# virtual X server under a window manager, in their own D-Bus session, with
# real X input (xdotool); Orca's debug log records every utterance. Exits 77
# (skipped) when Orca, its speech service or the tools are missing, and
# unless MOLVANE_ORCA=1: it waits fixed times for Orca to speak, so on a
# loaded machine (a shared CI runner) it can miss an utterance; the AT-SPI
# events test checks the same events without timing.
#
#   orca_speech.sh PATH/TO/molvane
set -u
skip() { echo "skipped: $*"; exit 77; }
[ "${MOLVANE_ORCA:-}" = 1 ] || skip "set MOLVANE_ORCA=1 to hear what Orca says"
if [ -z "${MOLVANE_ORCA_INNER:-}" ]; then
  for tool in orca dbus-run-session xvfb-run xdotool openbox; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
  done
  exec env MOLVANE_ORCA_INNER=1 timeout 100 dbus-run-session -- \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

program=$1
scratch=$(mktemp -d /tmp/molvane-orca-XXXXXX)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$scratch"' EXIT
# Orca's settings stay in the scratch folder.
export HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 0.5
orca --debug-file="$scratch/orca.log" -d braille -r >/dev/null 2>&1 &
orca=$!
pids+=($orca)
sleep 6
"$program" 2>/dev/null &
pids+=($!)
win=$(timeout 30 xdotool search --sync --onlyvisible --name '^Molvane$' | head -n 1)
[ -n "$win" ] || { echo "the window never appeared"; exit 1; }
sleep 1
step() {  # an xdotool command, then time for Orca to speak
  xdotool "$@"
  sleep 1.5
}
step windowactivate --sync "$win"
step type --delay 80 "中国"
step key Tab
step key Tab
step key Down
step mousemove --window "$win" 340 256
step click 1
sleep 2
# Orca writes its log in full when it ends.
kill "$orca"
for _ in $(seq 20); do
  kill -0 "$orca" 2>/dev/null || break
  sleep 0.5
done
# Without a speech service Orca says nothing, so there is nothing to check.
grep -aq "SPEECH: Not available" "$scratch/orca.log" && skip "Orca has no speech service here"
said=$(grep -a -o "SPEECH OUTPUT: '[^']*'" "$scratch/orca.log" | sed "s/SPEECH OUTPUT: //")
echo "$said"

failed=0
expect() {  # an utterance, then the one that must follow it
  if ! grep -A1 -xF "'$1'" <<<"$said" | grep -qxF "'$2'"; then
    echo "missing: '$1' followed by '$2'"
    failed=1
  fi
}
expect "转换为 combo box." "老盲文."     # the list with its current item
expect "老盲文." "新盲文"               # Down: the new item
expect "新盲文" "转换结果 text."        # the click: the result box takes the focus
[ $failed -ne 0 ] && [ -n "${MOLVANE_ORCA_KEEP:-}" ] && cp "$scratch/orca.log" "$MOLVANE_ORCA_KEEP"
exit $failed
