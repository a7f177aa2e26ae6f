#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Listens to molvane's accessibility events as Orca would while real X input
# works the window (atspi_events.py): molvane on a virtual X server under a
# window manager, inside its own D-Bus session. Exits 77 (skipped) with the
# reason when the machine cannot run the accessibility bus.
#
#   atspi_events.sh PATH/TO/molvane
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/atspi_session.sh"
enter_atspi_session pyatspi dbus-run-session xvfb-run xdotool xmodmap openbox /usr/bin/python3 -- "$@"

# The characters the test types get keys of their own before the window
# starts: xdotool otherwise binds a spare key to each just before pressing it,
# and a client that has not yet read the new binding loses the character.
xmodmap -e "keycode 200 = U4E2D" -e "keycode 201 = U56FD"

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 0.5
/usr/bin/python3 "$here/atspi_events.py" "$1"
status=$?
kill "$wm" 2>/dev/null
exit $status
