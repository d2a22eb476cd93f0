"""Listens on the accessibility bus as a screen reader does (the event kinds Orca asks for), so
that the program's AT-SPI bridge builds and sends every event it would send to one. Counts what
it heard by kind and prints the counts when it is stopped (SIGTERM or SIGINT)."""

import collections
import signal
import sys

import pyatspi
from gi.repository import GLib

KINDS = ("focus:", "window:activate", "window:deactivate", "object:state-changed",
         "object:property-change", "object:text-changed", "object:text-caret-moved",
         "object:text-selection-changed", "object:value-changed", "object:children-changed",
         "object:selection-changed", "object:active-descendant-changed", "object:announcement")

heard = collections.Counter()


def listen(event):
    heard[event.type] += 1


def stop():
    pyatspi.Registry.stop()
    return GLib.SOURCE_REMOVE


for kind in KINDS:
    pyatspi.Registry.registerEventListener(listen, kind)
for number in (signal.SIGTERM, signal.SIGINT):
    GLib.unix_signal_add(GLib.PRIORITY_HIGH, number, stop)
print("screen reader listening", flush=True)
pyatspi.Registry.start()
print("screen reader heard %d events: %s" % (
    sum(heard.values()), ", ".join("%s %d" % kind for kind in heard.most_common(8))))
sys.stdout.flush()
