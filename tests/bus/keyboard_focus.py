"""Keys pressed as a user presses them, and the focus followed as a screen reader follows it.

The keys go through the X server (xdotool) to the window that has the keyboard focus there, as
real key presses do. Every focus event and window activation the program sends over the bus is
written down in order, each with what a screen reader would say of its object then."""

import os
import subprocess

import atspi_checks as bus

pyatspi = bus.pyatspi


def describe(accessible):
    """Role and name, as "push button 'Cancel'"; "gone" for an object no longer there."""
    try:
        return "%s %r" % (accessible.getRoleName(), accessible.name)
    except Exception:  # the object has gone since
        return "gone"


class Heard:
    """A focus event ("focus") or window activation ("activate"): what a screen reader would say
    of its object then (role and name, description) and the object."""

    def __init__(self, kind, source):
        self.kind = kind
        self.text = describe(source)
        try:
            self.description = source.description
        except Exception:
            self.description = ""
        self.source = source

    def __repr__(self):
        return "%s %s" % (self.kind, self.text)


class FocusLog:
    """The focus events and window activations heard since the last take(), in order."""

    def __init__(self):
        self._heard = []
        pyatspi.Registry.registerEventListener(self._focused, "object:state-changed:focused")
        pyatspi.Registry.registerEventListener(self._activated, "window:activate")

    def _focused(self, event):
        if event.detail1:
            self._heard.append(Heard("focus", event.source))

    def _activated(self, event):
        self._heard.append(Heard("activate", event.source))

    def peek(self):
        return list(self._heard)

    def take(self):
        """What was heard since the last call, and forget it."""
        heard, self._heard = self._heard, []
        return heard

    def focus_moves(self):
        """The descriptions of the objects that took the focus since the last take()."""
        return [heard.text for heard in self.take() if heard.kind == "focus"]


def xdotool(*arguments):
    return subprocess.run(["xdotool"] + list(arguments), check=True, capture_output=True,
                          text=True).stdout


def press(*keys, settle=0.6):
    """Presses each key ("Tab", "ctrl+z", "Prior") in turn, then lets the program answer."""
    for key in keys:
        xdotool("key", "--clearmodifiers", key)
        bus.pump(0.15)
    bus.pump(settle)


def type_text(text, settle=0.6):
    xdotool("type", "--delay", "20", text)
    bus.pump(settle)


def focus_window(title_part=None, window=None):
    """Gives the keyboard focus to the program's window whose title holds title_part (or to
    the X window given), as a window manager does for a window the user goes to; returns the
    window, to come back to it when its title has changed."""
    def find():
        for found in xdotool("search", "--onlyvisible", "--pid",
                             os.environ["BUS_PROGRAM_PID"]).split():
            if title_part in xdotool("getwindowname", found):
                return found
        return None
    if window is None:
        window = bus.wait_for(find)
        bus.check(window is not None, "no window titled %r" % title_part)
    if window:
        xdotool("windowfocus", "--sync", window)
        bus.pump(0.5)
    return window


def focus_on(accessible):
    """Gives an object the keyboard focus through its component, as a screen reader does, in its
    window made the X input focus first (no window manager does that here)."""
    window = accessible
    while window.parent.getRoleName() != "application":
        window = window.parent
    focus_window(window.name)
    accessible.queryComponent().grabFocus()
    bus.pump(0.3)


def focus_events(log):
    return [heard for heard in log.peek() if heard.kind == "focus"]


def wait_for_focus_on(log, target, timeout=10.0):
    """Waits until the last focus event heard is for the object described as target."""
    return bus.wait_for(lambda: [h.text for h in focus_events(log)][-1:] == [target], timeout)


def expect_moves(log, expected, what):
    """Checks that the focus went to exactly the objects described, in order, since the last
    take() (and forgets what was heard). Waits for as many moves as expected, and a little
    longer for any more."""
    bus.wait_for(lambda: len(focus_events(log)) >= len(expected), timeout=10.0)
    bus.pump(0.3)
    moves = log.focus_moves()
    return bus.check(moves == expected, "%s: focus went to %r, not %r" % (what, moves, expected))


def tab_to(log, target, limit=40, key="Tab"):
    """Presses Tab (or key) until the focus is on the object described as target, or on one
    whose Heard passes target(heard); returns that Heard."""
    reached = target if callable(target) else (lambda heard: heard.text == target)
    log.take()
    for _ in range(limit):
        press(key, settle=0.1)
        if log.peek() and reached(log.peek()[-1]):
            return log.take()[-1]
    bus.check(False, "Tab never reached %s" % target)
    return None
