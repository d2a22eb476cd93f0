"""No focus event for an object that does not have the keyboard focus, by keys alone: the
Overview page's tables, built while the user moves along the tab bar or following the pot
shown elsewhere, send nothing while the focus is on the tab bar, on "Pot Nr :", in the
Overview's filter, or on a knob of the virtual box."""

import atspi_checks as bus
import keyboard_focus as keys

app = bus.program()
log = keys.FocusLog()
bus.find_one(app, "dial", "Pot 3")  # the virtual box is up
keys.focus_window("Editor")
log.take()

# Along the tab bar to the Overview, which builds its tables with pot 1 and button 1 current.
keys.press("Right", "Right", "Right", "Right")
keys.expect_moves(log, ["page tab 'Box Config'", "page tab 'Pots'", "page tab 'Buttons'",
                        "page tab 'Overview'"], "Right to the Overview")

# Back to the pots; Page Up and Page Down on "Pot Nr :" show another pot, whose row becomes the
# current one of the hidden Overview.
keys.press("Left", "Left", "Tab")
keys.expect_moves(log, ["page tab 'Buttons'", "page tab 'Pots'", "spin button 'Pot Nr :'"],
                  "to Pot Nr")
keys.press("Prior", "Prior", "Next")
keys.expect_moves(log, [], "Page Up and Page Down on Pot Nr")

# Typing in the Overview's filter moves the tables' rows under the current ones.
keys.press("ctrl+Tab", "ctrl+Tab")
keys.wait_for_focus_on(log, "text 'Filter :'")
moves = log.focus_moves()
bus.check(moves[-1:] == ["text 'Filter :'"], "Ctrl+Tab to the Overview: %r" % moves)
keys.type_text("# 3")  # pot 2's row, the current one, goes
keys.expect_moves(log, [], "typing in the filter")
keys.press("ctrl+a", "BackSpace")
keys.expect_moves(log, [], "emptying the filter")

# A knob of the virtual box turned and its turn undone there: the editor shows the pot again.
keys.focus_window("Virtual Pultron")
log.take()
keys.press(*["Tab"] * 5)
keys.expect_moves(log, ["dial 'Pot %d'" % n for n in range(1, 6)], "Tab to the fifth knob")
knob = bus.find_one(app, "dial", "Pot 5")
before = knob.queryValue().currentValue
keys.press("Up", "Up")
bus.check(knob.queryValue().currentValue != before, "Up does not turn the knob")
keys.press("ctrl+z")
bus.check(bus.wait_for(lambda: knob.queryValue().currentValue == before, timeout=5) is not None,
          "Ctrl+Z does not undo the turn: %r" % knob.queryValue().currentValue)
moves = [move for move in log.focus_moves() if move != "dial 'Pot 5'"]
bus.check(moves == [], "turning a knob of the virtual box and Ctrl+Z there: focus went to %r" %
          moves)
bus.finish()
