#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates docs/screenshot.png: the run script's conversion on a virtual X
# server with a window manager's frame, whatever display this machine has;
# then docs/window_menu_light.png and docs/window_menu_dark.png, the window
# with its 选项 menu open and the list's focus mark, on the default palette
# and on a dark one as a desktop user sets it: qt6ct (Qt 6.4's own GTK 3
# theme gives no palette) with its "darker" colour scheme and Fusion.
set -euo pipefail
cd "$(dirname "$0")/.."
env -u DISPLAY -u WAYLAND_DISPLAY bash scripts/run.sh
cp build/demo/molvane.png docs/screenshot.png
echo "docs/screenshot.png updated"

. scripts/deps.sh
molvane_install "${MOLVANE_SCREENSHOT_PACKAGES[@]}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/light" "$scratch/dark/qt6ct"
cat >"$scratch/dark/qt6ct/qt6ct.conf" <<'CONF'
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
CONF
menu_shot() {  # name, settings folder, environment...
  local name=$1 config=$2
  shift 2
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$config" "$@" \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/demo.sh build/release/app/molvane \
    docs/sample.txt "$scratch/$name-window.png" 3 "docs/window_menu_$name.png" >/dev/null
  echo "docs/window_menu_$name.png updated"
}
menu_shot light "$scratch/light"
menu_shot dark "$scratch/dark" QT_QPA_PLATFORMTHEME=qt6ct
