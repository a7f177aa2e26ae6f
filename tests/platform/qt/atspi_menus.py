#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads molvane's menu bar over AT-SPI as a screen reader does: every menu
item with its role and whether it is checked ("role<TAB>name<TAB>checked"
lines, indented by depth below the bar).

    atspi_menus.py APP_NAME [TIMEOUT_SECONDS]

Exit code 0 with the dump, 1 when no menu bar appeared, 77 when no
accessibility bus can be reached (the caller skips).
"""
import sys
import time

import pyatspi
from gi.repository import GLib


def pump(seconds):
    context = GLib.MainContext.default()
    deadline = time.time() + seconds
    while time.time() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def find(node, role):
    if node is None:
        return None
    if node.getRole() == role:
        return node
    for child in node:
        found = find(child, role)
        if found is not None:
            return found
    return None


def walk(node, depth, out):
    for child in node:
        if child is None:
            continue
        checked = child.getState().contains(pyatspi.STATE_CHECKED)
        out.append(f"{'  ' * depth}{child.getRoleName()}\t{child.name}\t{int(checked)}")
        walk(child, depth + 1, out)


def main():
    name = sys.argv[1]
    timeout = float(sys.argv[2]) if len(sys.argv) > 2 else 20
    try:
        desktop = pyatspi.Registry.getDesktop(0)
    except Exception as error:  # no bus to talk to
        print(f"no accessibility bus: {error}", file=sys.stderr)
        return 77
    deadline = time.time() + timeout
    while time.time() < deadline:
        pump(0.3)
        for app in desktop:
            if app is None or app.name != name:
                continue
            bar = find(app, pyatspi.ROLE_MENU_BAR)
            if bar is None:
                continue
            out = []
            walk(bar, 0, out)
            if any("\t" in line and line.startswith("  ") for line in out):
                print("\n".join(out))
                return 0
    print(f"{name} showed no menu bar on the accessibility bus", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
