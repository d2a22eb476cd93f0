"""The MIDI Monitor as a screen reader meets it: its lines are a list whose items read as the
lines, here those of a bank requested from the simulated controller."""

import atspi_checks as bus

app = bus.program()


def press(caption):
    """Presses the button once it is there and enabled (objects come and go at start)."""
    def attempt():
        button = bus.descendants(app, "push button", caption)[0]
        return button.getState().contains(bus.pyatspi.STATE_ENABLED) and \
            button.queryAction().doAction(0)
    bus.check(bus.wait_for(attempt) is not None, "cannot press %r" % caption)


press("MIDI Monitor")
press("Request Sysex Dump")

lines = bus.find_one(app, "list", "MIDI messages")
if lines is None:
    bus.finish()
bus.check(bus.wait_for(lambda: lines.childCount >= 10) is not None,
          "the list holds %d items, not the 10 lines of a bank request" % lines.childCount)
items = [lines.getChildAtIndex(i) for i in range(lines.childCount)]
bus.check(all(item.getRoleName() == "list item" for item in items),
          "roles: %r" % sorted({item.getRoleName() for item in items}))
names = [item.name for item in items]
for meaning in ("dump request (device 0)", "dump block 8 of 8 (device 0, 265 bytes, checksum ok)"):
    bus.check(any(name.endswith(meaning) for name in names), "no line %r in %r" % (meaning, names))
bus.check(all(items[i].getIndexInParent() == i for i in range(len(items))),
          "items do not know their place in the list")
bus.finish()
