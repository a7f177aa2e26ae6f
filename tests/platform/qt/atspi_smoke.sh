#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads the window's controls over AT-SPI, as Orca would: molvane on a
# virtual X server inside its own D-Bus session, its accessible names and
# roles walked by atspi_names.py. Exits 77 (skipped) with the reason when the
# machine cannot run the accessibility bus.
#
#   atspi_smoke.sh PATH/TO/molvane
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/atspi_session.sh"
enter_atspi_session dbus dbus-run-session xvfb-run /usr/bin/python3 -- "$@"

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$program" 2>/dev/null &
app=$!
tree=$(/usr/bin/python3 "$here/atspi_names.py" molvane 30)
status=$?
kill "$app" 2>/dev/null
wait "$app" 2>/dev/null
[ $status -eq 77 ] && skip "no accessibility bus in this session"
[ $status -ne 0 ] && { echo "molvane never appeared on the accessibility bus"; exit 1; }
echo "$tree"

failed=0
expect() {  # role, name
  if ! grep -qP "^\s*$1\t$2\$" <<<"$tree"; then
    echo "missing: $1 named \"$2\""
    failed=1
  fi
}
expect "frame" "Molvane"
expect "(text|entry)" "转换内容"
expect "(text|entry)" "转换结果"
expect "(text|entry)" "分隔符，留空为换行符"
expect "combo box" "转换为"
expect "push button" "转换\\(Z\\)"
exit $failed
