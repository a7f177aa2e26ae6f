#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window's menus read over AT-SPI: every item by its name with its
# check state, as Orca reads them, with choices remembered from a run before
# (word readings and tone marks on, full text off). Exits 77 (skipped) with
# the reason when the machine cannot run the accessibility bus.
#
#   atspi_menus.sh PATH/TO/molvane
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/atspi_session.sh"
enter_atspi_session pyatspi dbus-run-session xvfb-run /usr/bin/python3 -- "$@"

config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/molvane"
printf '[window]\nreadings=words\ntones=marks\n' >"$config/molvane/molvane.ini"
export XDG_CONFIG_HOME=$config QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$program" 2>/dev/null &
app=$!
menus=$(/usr/bin/python3 "$here/atspi_menus.py" molvane 30)
status=$?
kill "$app" 2>/dev/null
wait "$app" 2>/dev/null
[ $status -eq 77 ] && skip "no accessibility bus in this session"
[ $status -ne 0 ] && { echo "molvane's menus never appeared on the accessibility bus"; exit 1; }
echo "$menus"

failed=0
expect() {  # role, name, checked (0 or 1)
  if ! grep -qP "^\s*$1\t$2\t$3\$" <<<"$menus"; then
    echo "missing: $1 named \"$2\" with checked=$3"
    failed=1
  fi
}
# The shortcut is read after the name, as Qt gives it.
expect "menu item" "文件\\(F\\)" 0
expect "menu item" "打开\\(O\\)\\.\\.\\.\\tCtrl\\+O" 0
expect "menu item" "保存结果\\(S\\)\\.\\.\\.\\tCtrl\\+S" 0
expect "menu item" "退出\\(X\\)" 0
expect "menu item" "选项\\(O\\)" 0
expect "(check menu item|menu item)" "按词注音\\(W\\)" 1
expect "(check menu item|menu item)" "全文\\(A\\)" 0
expect "menu item" "声调\\(T\\)" 0
expect "(radio menu item|menu item)" "标调号\\(M\\)" 1
expect "(radio menu item|menu item)" "不标\\(N\\)" 0
expect "menu item" "关于 Molvane\\(A\\)" 0
exit $failed
