#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the running window through the accessibility bus, as a screen reader
does: every showing control a user can operate must have a name, and Tab must
visit the main window's controls in reading order. Exits non-zero on the
first window that fails, naming what is wrong."""
import subprocess
import sys
import time

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER, pyatspi.ROLE_PASSWORD_TEXT,
}

# The main window's tab stops as it reads: Actions, Audio Settings, Sleep
# Timer, Noise Settings, File Settings, Gentle Sound. The names are the
# captions a reader hears, without mnemonics and colons.
READING_ORDER = [
    "Play", "Stop", "To File", "Tools", "Help", "Exit", "Sound Device", "Volume",
    "Stop after", "Fade out over (min)", "Then quit Susurra", "Select Setting", "Save Setting",
    "Physiological Noise", "White Noise", "Pink Noise", "Tinnitus Finder", "Brown Noise", "Match\u2026",
    "Frequency (Hz)", "Frequency (Hz)", "Lower Limit (Hz)", "Upper Limit (Hz)", "Strength (%)",
    "Period (s)", "Endless (never repeats)", "Shape to my hearing", "Hearing Check\u2026",
    "Notch at tinnitus frequency", "Width", "Stereo (2 ears)", "Left ear", "Right ear", "Tone in",
    "Select Setting", "Save Setting", "Fade-in (s)", "Fade-out (s)", "Total Playing Time",
    "File Name", "Browse", "Keep the computer awake while playing", "Fade in at Play (s)",
    "Glide between sounds",
]

failures = []


def fail(text):
    failures.append(text)
    print("accessibility: " + text, file=sys.stderr)


def wait_for(what, probe, seconds=15.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = probe()
        if found is not None:
            return found
        time.sleep(0.1)
    raise SystemExit("accessibility: no " + what)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "susurra":
            return app
    return None


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def window(title):
    def probe():
        app = application()
        if app is None:
            return None
        for top in app:
            if top is not None and top.name == title and top.getState().contains(pyatspi.STATE_SHOWING):
                return top
        return None
    return wait_for("window \"%s\"" % title, probe)


def spoken_name(node):
    """The name a screen reader speaks: the accessible name, or for a box
    that names itself by its value, the label that labels it."""
    name = node.name or ""
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets() > 0:
                return relation.getTarget(0).name.replace("&", "").rstrip(":").strip()
    return name


def check_names(title):
    top = window(title)
    seen = 0
    for node in walk(top):
        if node.getRole() not in INTERACTIVE or not node.getState().contains(pyatspi.STATE_SHOWING):
            continue
        # A box's own edit field is read as part of the box.
        parent = node.parent
        if parent is not None and parent.getRole() in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON):
            continue
        seen += 1
        if "-v" in sys.argv:
            print("  %s %r %r" % (node.getRoleName(), node.name, spoken_name(node)))
        if not spoken_name(node).strip():
            fail("%s: a %s without a name" % (title, node.getRoleName()))
    if seen == 0:
        fail("%s: no controls read" % title)
    print("accessibility: %s: %d controls named" % (title, seen))
    return top


def find(top, name, role=None):
    for node in walk(top):
        if spoken_name(node) == name and (role is None or node.getRole() == role):
            return node
    raise SystemExit("accessibility: no \"%s\" in %s" % (name, top.name))


def press(top, name):
    node = find(top, name)
    node.queryAction().doAction(0)


def focused(top):
    for node in walk(top):
        if node.getState().contains(pyatspi.STATE_FOCUSED) and node.getRole() in INTERACTIVE:
            return node
    return None


def check_tab_order(top, x_window):
    expected = []
    for name in READING_ORDER:
        candidates = [n for n in walk(top) if spoken_name(n) == name and n.getRole() in INTERACTIVE]
        node = candidates[sum(1 for e in expected if e[0] == name) if len(candidates) > 1 else 0]
        state = node.getState()
        if not state.contains(pyatspi.STATE_ENABLED):
            continue
        # Tab enters a group of radio buttons once, at its first button;
        # the arrow keys move within it.
        if node.getRole() == pyatspi.ROLE_RADIO_BUTTON and expected and expected[-1][1].getRole() == node.getRole():
            continue
        expected.append((name, node))
    find(top, "Play").queryComponent().grabFocus()
    subprocess.run(["xdotool", "windowfocus", "--sync", x_window], check=True)
    visited = []
    last = None
    for _ in range(len(expected) + 10):
        node = wait_for("focus", lambda: focused(top), 5)
        here = (spoken_name(node), node.getRole())
        # A time field's Tab steps through its hours, minutes and seconds.
        if here != last:
            if visited and here[0] == visited[0]:
                break
            visited.append(here[0])
        last = here
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        time.sleep(0.15)
    wanted = [name for name, _ in expected]
    if visited != wanted:
        fail("Tab visits %s, not %s" % (visited, wanted))


def main():
    x_window = sys.argv[1]
    main_title = "Susurra - Denoise by Noise"
    top = check_names(main_title)
    # A button with a tooltip is described by it.
    for name, tip in (("Play", "Update the settings and play the sound"), ("Browse", "Choose a file ...")):
        description = find(top, name).description
        if description != tip:
            fail("%s is described as %r, not by its tooltip %r" % (name, description, tip))
    check_tab_order(top, x_window)

    press(top, "Tools")
    about = check_names("About Susurra")
    press(about, "OK")

    press(top, "Save Setting")
    manage = check_names("Manage Settings")
    press(manage, "Finished")

    press(top, "Tinnitus Finder")
    press(top, "Match\u2026")
    match = check_names("Match the Tinnitus Frequency")
    press(match, "Cancel")
    wait_for("Match to close", lambda: None if any(
        w is not None and w.name == match.name and w.getState().contains(pyatspi.STATE_SHOWING)
        for w in application()) else True)

    press(top, "Hearing Check\u2026")
    hearing = check_names("Hearing Check")
    press(hearing, "Close")
    wait_for("Hearing Check to close", lambda: None if any(
        w is not None and w.name == hearing.name and w.getState().contains(pyatspi.STATE_SHOWING)
        for w in application()) else True)

    # A value out of range gets a message box.
    lower = find(top, "Lower Limit (Hz)")
    lower.queryEditableText().setTextContents("1")
    press(top, "Play")
    box = wait_for("message box", lambda: next(
        (w for w in application() if w is not None and w.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT)
         and w.name not in (main_title, match.name) and w.getState().contains(pyatspi.STATE_SHOWING)), None))
    check_names(box.name)
    press(box, "OK")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
