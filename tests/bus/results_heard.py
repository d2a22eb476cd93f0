"""Results as a screen reader hears them: a request of a bank run from the keyboard ends with
its line spoken by the transfer page's status line, without the focus moving, Ctrl+Z after a
typed edit says which step it undid, and a number typed outside a field's range is said to be
clamped when the field is left."""

import re

import atspi_checks as bus
import keyboard_focus as keys

app = bus.program()
heard = bus.Announcements()
request = bus.find_one(app, "push button", "Request Sysex Dump")
bus.wait_for(lambda: request.getState().contains(bus.pyatspi.STATE_SENSITIVE))
keys.focus_on(request)
keys.press("space")
ended = heard.wait_for(lambda text: re.fullmatch(r"Request of bank \d+ complete", text))
bus.check(ended is not None, "the end of the request was not heard: %r" % heard.heard)
if ended is None:
    bus.finish()
line = bus.find_one(app, "notification", "Request of bank %s complete" % ended.split()[3])
bus.check(line is None or not line.getState().contains(bus.pyatspi.STATE_FOCUSABLE),
          "the status line takes the focus")

# A pot's controller stepped on the Pots page, then Ctrl+Z: the step undone is said.
keys.press("ctrl+Tab")
keys.press("ctrl+Tab")
controller = bus.find_one(app, "spin button", "Control Nr :")
keys.focus_on(controller)
keys.press("Up")
keys.press("Tab")  # leaving the field makes the value a step
keys.press("ctrl+z")
undone = heard.wait_for(lambda text: text.startswith("Undo pot 1 "))
bus.check(undone is not None, "the undone step was not heard: %r" % heard.heard)

keys.focus_on(controller)
keys.press("ctrl+a")
keys.type_text("300")
keys.press("Tab")
clamped = "Control Nr: 300 is outside 0 to 127, set to 127"
bus.check(heard.wait_for(lambda text: text == clamped) is not None,
          "the clamped number was not heard: %r" % heard.heard)
heard.close()
bus.finish()
