#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Listens to molvane over AT-SPI as a screen reader does, while a person
works the window with real X input (xdotool): the notation list must report
its current item as its text (selected while the list has the focus) and each
new item once as inserted text, and the result box must report that it took
the focus after a conversion, with no caret move of its own before (a screen
reader follows such a caret silently and then takes the focus as known).

    atspi_events.py PATH/TO/molvane

Exit code 0 when every check holds, 1 otherwise, 77 when no accessibility bus
can be reached (the caller skips).
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

EVENTS = ("object:state-changed:focused", "object:text-changed:insert",
          "object:text-changed:delete", "object:text-caret-moved")
heard = []


def listen(event):
    try:
        heard.append((event.type, event.source.getRoleName(), event.source.name,
                      event.detail1, str(event.any_data)))
    except Exception:  # the source may be gone already
        pass


def pump(seconds):
    context = GLib.MainContext.default()
    deadline = time.time() + seconds
    while time.time() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(condition, seconds):
    """Pumps events until `condition()` holds or `seconds` have passed (a busy
    machine may be slow); then a little longer for events that follow."""
    deadline = time.time() + seconds
    while time.time() < deadline and not condition():
        pump(0.1)
    pump(0.5)


def find(node, role, name=None):
    if node is None:
        return None
    if node.getRole() == role and (name is None or node.name == name):
        return node
    for child in node:
        found = find(child, role, name)
        if found is not None:
            return found
    return None


def application(name, timeout):
    deadline = time.time() + timeout
    while time.time() < deadline:
        pump(0.3)
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name and find(app, pyatspi.ROLE_COMBO_BOX):
                return app
    return None


def text_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return "(no text)"
    return text.getText(0, text.characterCount)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False)
    pump(0.4)


def main():
    failures = []

    def check(ok, what):
        print(("ok: " if ok else "FAILED: ") + what)
        if not ok:
            failures.append(what)

    try:
        for event in EVENTS:
            pyatspi.Registry.registerEventListener(listen, event)
    except Exception as error:
        print(f"no accessibility bus: {error}", file=sys.stderr)
        return 77
    program = subprocess.Popen([sys.argv[1]], stderr=subprocess.DEVNULL)
    try:
        app = application("molvane", 30)
        if app is None:
            print("molvane never appeared on the accessibility bus")
            return 1
        window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                 "^Molvane$"], capture_output=True, text=True).stdout.split()
        xdotool("windowactivate", "--sync", window[0])
        wait_for(lambda: any(e[0] == "object:state-changed:focused" and e[2] == "转换内容"
                             for e in heard), 10)
        combo = find(app, pyatspi.ROLE_COMBO_BOX, "转换为")
        output = find(app, pyatspi.ROLE_TEXT, "转换结果")
        check(combo is not None and output is not None, "the list and the result box are found")
        if failures:
            return 1
        check(text_of(combo) == "老盲文", "the list reads its current item: " + text_of(combo))

        # The input box has the focus: type, then Tab twice to the list and
        # press Down, as a person does.
        xdotool("type", "--delay", "60", "中国")
        typed = lambda: "".join(e[4] for e in heard
                                if e[0].startswith("object:text-changed:insert")
                                and e[2] == "转换内容")
        wait_for(lambda: typed() == "中国", 10)
        check(typed() == "中国", "each typed character was reported as inserted: " + typed())
        rewritten = [e for e in heard
                     if e[0].startswith("object:text-changed:delete") and e[2] == "转换内容"]
        check(not rewritten, "typing removed nothing from the box: " + repr(rewritten))
        xdotool("key", "Tab")
        xdotool("key", "Tab")
        wait_for(lambda: any(e[0] == "object:state-changed:focused" and e[2] == "转换为"
                             and e[3] == 1 for e in heard), 10)
        selection = combo.queryText().getSelection(0)
        check(tuple(selection) == (0, 3), "the focused list's item is selected: " + repr(selection))
        del heard[:]
        xdotool("key", "Down")
        wait_for(lambda: any(e[0].startswith("object:text-changed:insert") and e[2] == "转换为"
                             for e in heard), 15)
        check(text_of(combo) == "新盲文", "the list reads the new item: " + text_of(combo))
        inserted = [e for e in heard
                    if e[0].startswith("object:text-changed:insert") and e[2] == "转换为"]
        check(any(e[4] == "新盲文" for e in inserted),
              "the list reported the new item as inserted text: " + repr(inserted))
        check(len(inserted) == 1, "the new item was reported once")
        deleted = [e for e in heard if e[0].startswith("object:text-changed:delete")]
        check(not deleted, "no removal is reported (it reads as a deleted selection): "
              + repr(deleted))

        # A click on 转换 converts; the program moves the focus to the result
        # box.
        button = find(app, pyatspi.ROLE_PUSH_BUTTON, "转换(Z)")
        box = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        del heard[:]
        xdotool("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2))
        xdotool("click", "1")
        wait_for(lambda: any(e[0] == "object:state-changed:focused" and e[2] == "转换结果"
                             for e in heard), 15)
        focused = [e for e in heard if e[0] == "object:state-changed:focused" and e[3] == 1]
        check(any(e[2] == "转换结果" for e in focused),
              "the result box reported the focus: " + repr(focused))
        box_events = [e[0] for e in heard if e[2] == "转换结果"
                      and e[0] in ("object:state-changed:focused", "object:text-caret-moved")]
        check(box_events[:1] == ["object:state-changed:focused"],
              "the result box's caret is not reported before its focus: " + repr(box_events))
        check(output.getState().contains(pyatspi.STATE_FOCUSED), "the result box is focused")
        check(text_of(output).startswith("146-135"),
              "the result (新盲文) is in the box: " + text_of(output))
    finally:
        program.kill()
        program.wait()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
