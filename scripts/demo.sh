#!/usr/bin/env bash
# Inside an X session: starts molvane, types a text into the input box,
# chooses a notation in the list, clicks 转换, copies the result out of the
# output box, saves a screenshot of the window and closes it from its frame,
# all with real X input events (xdotool), as a person at the keyboard would.
#
#   demo.sh PROGRAM TEXT_FILE SCREENSHOT.png [ITEM]     (ITEM: list index, default 3, 全拼)
set -euo pipefail
program=$1
text_file=$2
shot=$3
item=${4:-3}
names=(老盲文 新盲文 双拼字根 全拼 五笔)
mkdir -p "$(dirname "$shot")"
export QT_QPA_PLATFORM=xcb

pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
# A window manager draws the frame a desktop would, so the picture shows it.
if command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
fi
"$program" &
app=$!
pids+=($app)
win=$(xdotool search --sync --onlyvisible --name '^Molvane$' | head -n 1)
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.3

# Points inside the controls, in client coordinates of the window.
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.2; }
# The input box has the focus when the window opens.
xdotool type --delay 10 "$(cat "$text_file")"
click 490 256  # the notation list opens
for _ in $(seq "$item"); do xdotool key Down; done
xdotool key Return
click 340 256  # 转换
sleep 0.5
click 410 115  # into the output box: select all, copy
xdotool key ctrl+a ctrl+c
sleep 0.2
result=$(xclip -o -selection clipboard 2>/dev/null || true)
import -window "$win" -frame "$shot"
if command -v openbox >/dev/null; then
  # The frame's close button, as a person would end it.
  xdotool key --window "$win" alt+F4
else
  kill "$app"
fi
status=0
wait "$app" || status=$?
echo "Screenshot: $(realpath "$shot")"
echo "Converted $(basename "$text_file") to ${names[$item]}:"
printf '%s\n' "$result"
echo "molvane exited with code $status"
