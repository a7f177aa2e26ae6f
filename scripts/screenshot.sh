#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates docs/screenshot.png: the run script's conversion on a virtual X
# server with a window manager's frame, whatever display this machine has.
set -euo pipefail
cd "$(dirname "$0")/.."
env -u DISPLAY -u WAYLAND_DISPLAY bash scripts/run.sh
cp build/demo/molvane.png docs/screenshot.png
echo "docs/screenshot.png updated"
