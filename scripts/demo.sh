#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Inside an X session: starts molvane, types a text into the input box,
# chooses a notation in the list with the keyboard, clicks 转换, copies the result out of the
# output box, saves a screenshot of the window and closes it from its frame,
# all with real X input events (xdotool), as a person at the keyboard would.
#
#   demo.sh PROGRAM TEXT_FILE SCREENSHOT.png [ITEM] [MENU_SHOT.png]
#
# ITEM is the list index (default 3, 全拼). With MENU_SHOT it also tabs to the
# list (its focus mark shows once the keyboard is in use), opens 选项 with
# Alt+O and saves a picture of the window with the menu open.
set -euo pipefail
program=$1
text_file=$2
shot=$3
item=${4:-3}
menu_shot=${5:-}
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
sleep 0.8  # the window manager frames and maps the window
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win" 2>/dev/null || true
sleep 0.5

# Points inside the controls, in client coordinates of the window.
click() {
  xdotool mousemove --window "$win" "$1" "$2"
  sleep 0.2
  xdotool click 1
  sleep 0.5
}
# The input box has the focus when the window opens.
# Characters beyond the keymap are typed through a remapped key: slowly
# enough that a busy machine reads each before the next remaps it.
xdotool type --delay 100 "$(cat "$text_file")"
sleep 0.3
# Tab to the notation list (past the separator box), arrow down to the item.
xdotool key Tab
sleep 0.2
xdotool key Tab
sleep 0.2
for _ in $(seq "$item"); do xdotool key Down; sleep 0.2; done
click 340 278  # 转换 (the menu bar above the stored layout takes about 21 px)
sleep 0.5
import -window "$win" -frame "$shot"
if [ -n "$menu_shot" ]; then
  # Back in the input box, Tab twice to the list (its focus mark shows once
  # the keyboard is in use), then the menu by its mnemonic.
  click 410 380
  xdotool key Tab
  sleep 0.2
  xdotool key Tab
  sleep 0.3
  xdotool key alt+o
  sleep 0.8
  # The open menu is a window of its own over the frame: the screen there,
  # over the frame the window manager put around the window.
  frame=$(xwininfo -id "$win" -tree | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
  root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  [ -n "$frame" ] && [ "$frame" != "$root" ] || frame=$win
  eval "$(xdotool getwindowgeometry --shell "$frame")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$menu_shot"
  xdotool key Escape
  sleep 0.3
fi
click 410 136  # into the output box: select all, copy
xdotool key ctrl+a
sleep 0.2
xdotool key ctrl+c
sleep 0.3
result=$(xclip -o -selection clipboard 2>/dev/null || true)
if command -v openbox >/dev/null; then
  # The frame's close button, as a person would end it.
  xdotool key alt+F4
else
  kill "$app"
fi
status=0
wait "$app" || status=$?
echo "Screenshot: $(realpath "$shot")"
echo "Converted $(basename "$text_file") to ${names[$item]}:"
printf '%s\n' "$result"
echo "molvane exited with code $status"
