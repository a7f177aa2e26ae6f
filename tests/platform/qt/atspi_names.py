#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints the role and name of every accessible object of one application,
read over AT-SPI the way a screen reader reads them ("role<TAB>name" lines).

    atspi_names.py APP_NAME [TIMEOUT_SECONDS]

Waits until the application has registered on the accessibility bus. Exit
code 0 with the dump, 1 when the application never appeared, 77 when no
accessibility bus can be reached (the caller skips).
"""
import sys
import time

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"


def a11y_bus():
    session = dbus.SessionBus()
    launcher = session.get_object("org.a11y.Bus", "/org/a11y/bus")
    address = launcher.GetAddress(dbus_interface="org.a11y.Bus")
    return dbus.bus.BusConnection(str(address))


def node(bus, ref):
    return bus.get_object(str(ref[0]), str(ref[1]), introspect=False)


def walk(bus, ref, depth, out):
    obj = node(bus, ref)
    props = dbus.Interface(obj, "org.freedesktop.DBus.Properties")
    name = str(props.Get(ACCESSIBLE, "Name"))
    role = str(obj.GetRoleName(dbus_interface=ACCESSIBLE))
    out.append((depth, role, name))
    if depth < 6:
        for child in obj.GetChildren(dbus_interface=ACCESSIBLE):
            walk(bus, child, depth + 1, out)


def find_app(bus, app_name):
    root = ("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
    for ref in node(bus, root).GetChildren(dbus_interface=ACCESSIBLE):
        props = dbus.Interface(node(bus, ref), "org.freedesktop.DBus.Properties")
        if str(props.Get(ACCESSIBLE, "Name")) == app_name:
            return ref
    return None


def main():
    app_name = sys.argv[1]
    timeout = float(sys.argv[2]) if len(sys.argv) > 2 else 20
    try:
        bus = a11y_bus()
    except dbus.DBusException as error:
        print(f"no accessibility bus: {error}", file=sys.stderr)
        return 77
    deadline = time.time() + timeout
    while time.time() < deadline:
        try:
            ref = find_app(bus, app_name)
            if ref is not None:
                out = []
                walk(bus, ref, 0, out)
                # The tree fills in as the window is shown; wait for controls.
                if any(role in ("push button", "combo box") for _, role, _ in out):
                    for depth, role, name in out:
                        print(f"{'  ' * depth}{role}\t{name}")
                    return 0
        except dbus.DBusException:
            pass
        time.sleep(0.3)
    print(f"{app_name} did not appear on the accessibility bus", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
