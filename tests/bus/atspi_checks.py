"""Helpers for checks over the AT-SPI bus: find a program's accessible objects by role and
name, wait for what a screen reader would meet, read text and values, count events, and
report failures the way a test does."""

import sys
import time

import pyatspi
from gi.repository import GLib

failures = []


def check(condition, message):
    """Records a failure unless condition holds."""
    if not condition:
        failures.append(message)
        print("FAILED: " + message, file=sys.stderr)
    return condition


def finish():
    """Ends the check: exit status 1 when anything failed."""
    print("%d failure(s)" % len(failures))
    sys.exit(1 if failures else 0)


def pump(seconds=0.0):
    """Lets bus events arrive for the given time."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.05)


def wait_for(what, timeout=30.0):
    """Polls what() until it gives something true; returns that, or None after timeout."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            found = what()
        except Exception:  # objects come and go while windows are built
            found = None
        if found:
            return found
        pump(0.2)
    return None


def application(name, timeout=30.0):
    """The application registered on the bus under name."""
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        return next((app for app in desktop if app is not None and app.name == name), None)
    return wait_for(find, timeout)


def program():
    """vPultron64 as registered on the bus; the check ends at once when it never comes."""
    app = application("vPultron64")
    check(app is not None, "vPultron64 is not on the accessibility bus")
    if app is None:
        finish()
    return app


def wait_for_ports(app):
    """Waits until the program has opened the simulator's ports (Send Sysex is enabled then)."""
    check(wait_for(lambda: find_one(app, "push button", "Send Sysex").getState().contains(
        pyatspi.STATE_ENABLED)), "Send Sysex never enabled: the simulator's ports are not open")


def descendants(root, role=None, name=None):
    """All objects below root with the given role name ("label", "push button", ...) and
    accessible name, breadth first; None matches anything."""
    found, queue = [], [root]
    while queue:
        node = queue.pop(0)
        for child in node:
            if child is None:
                continue
            if (role is None or child.getRoleName() == role) and (name is None or
                                                                   child.name == name):
                found.append(child)
            queue.append(child)
    return found


def find_one(root, role=None, name=None, timeout=30.0):
    """The first object below root with that role and name, waiting for it to appear."""
    found = wait_for(lambda: descendants(root, role, name), timeout)
    check(bool(found), "no %s named %r" % (role, name))
    return found[0] if found else None


def text_of(accessible):
    """The whole text of an object's text interface."""
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


class EventCounter:
    """Counts the bus events of one type ("object:text-changed") sent by one object, or by any
    when source is None."""

    def __init__(self, event_type, source):
        self.count = 0
        self._source = source
        self._type = event_type
        pyatspi.Registry.registerEventListener(self._heard, event_type)

    def _heard(self, event):
        if self._source is None or event.source == self._source:
            self.count += 1

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._heard, self._type)


class Announcements:
    """What a screen reader speaks unasked: the text of each notification that reports becoming
    showing (Orca speaks these without the focus moving)."""

    def __init__(self):
        self.heard = []
        pyatspi.Registry.registerEventListener(self._heard, "object:state-changed:showing")

    def _heard(self, event):
        if event.detail1 and event.source.getRoleName() == "notification":
            self.heard.append(event.source.name)

    def wait_for(self, test, timeout=20.0):
        """The first text heard for which test(text) holds, waiting for it."""
        return wait_for(lambda: next((text for text in self.heard if test(text)), None), timeout)

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._heard, "object:state-changed:showing")
