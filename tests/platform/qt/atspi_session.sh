# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the AT-SPI tests. `skip` ends a test as skipped (77) with the
# reason; `enter_atspi_session MODULE TOOL... -- ARG...` runs the sourcing
# script again, with ARG..., inside a D-Bus session of its own on a virtual X
# server, once the tools, Python's MODULE and the accessibility bus are
# there; inside that session it returns at once.
skip() {
  echo "skipped: $*"
  exit 77
}

enter_atspi_session() {
  [ -z "${MOLVANE_ATSPI_INNER:-}" ] || return 0
  local module=$1
  shift
  while [ "$1" != "--" ]; do
    command -v "$1" >/dev/null || skip "$1 is not installed"
    shift
  done
  shift
  /usr/bin/python3 -c "import $module" 2>/dev/null || skip "python3-$module is not installed"
  [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core is not installed"
  exec env MOLVANE_ATSPI_INNER=1 dbus-run-session -- \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
}
