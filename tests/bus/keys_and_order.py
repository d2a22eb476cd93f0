"""Smaller keyboard matters, by keys alone: Home and End in the MIDI Monitor's list go to its
first and last line; Enter on a receive counter empties the receive buffer and Space on the
status log clears it; Ctrl+Tab and Ctrl+Shift+Tab change the page from a combo box (which would
otherwise take the keys); and the unsaved-edits question reads its buttons in the order Tab
walks them."""

import atspi_checks as bus
import keyboard_focus as keys

app = bus.program()
log = keys.FocusLog()
bus.wait_for_ports(app)
editor = keys.focus_window("Editor")

# A bank requested: the monitor's list holds the request and the eight blocks of the answer.
keys.tab_to(log, "push button 'MIDI Monitor'")
keys.press("space")
lines = bus.find_one(app, "list", "MIDI messages")
keys.focus_window(window=editor)
keys.tab_to(log, "push button 'Request Sysex Dump'")
keys.press("space")
bus.check(bus.wait_for(lambda: lines.childCount >= 9, timeout=15) is not None,
          "the monitor shows %d lines" % lines.childCount)
keys.focus_window("MIDI Monitor")
log.take()
first, last = (keys.describe(lines.getChildAtIndex(i)) for i in (0, lines.childCount - 1))
keys.tab_to(log, "list 'MIDI messages'", limit=10)
keys.press("End")
keys.expect_moves(log, [last], "End in the monitor's list")
keys.press("Home")
keys.expect_moves(log, [first], "Home in the monitor's list")

# The receive counters and the log, which a click empties, answer Enter and Space.
keys.focus_window(window=editor)
counter = keys.tab_to(log, lambda heard: heard.description == "Bytes received: ")
log_list = keys.tab_to(log, "list 'Status log'")
if counter is None or log_list is None:
    bus.finish()
bus.check(counter.source.name != "0" and log_list.source.childCount > 0,
          "nothing received or logged: %r, %d lines" % (counter.source.name,
                                                        log_list.source.childCount))
keys.press("space")
bus.check(bus.wait_for(lambda: log_list.source.childCount == 0) is not None,
          "Space left %d lines in the log" % log_list.source.childCount)
keys.tab_to(log, counter.text, key="shift+Tab")
keys.press("Return")
bus.check(bus.wait_for(lambda: counter.source.name == "0") is not None,
          "Enter left the counter at %r" % counter.source.name)

# Ctrl+Tab from a combo box of the Box Config page (one without a text field, which would take
# the keys for its search by typing), and back with Ctrl+Shift+Tab.
keys.focus_window(window=editor)
keys.press("ctrl+Tab")
log.take()


def plain_combo(heard):
    return heard.text.startswith("combo box ") and not any(
        child is not None and child.getRoleName() == "text" for child in heard.source)


for _ in range(10):
    keys.press("Tab", settle=0.1)
    combos = [heard for heard in log.peek() if plain_combo(heard)]
    if combos:
        break
bus.check(bool(combos), "no combo box without a text field on the Box Config page")
combo = combos[-1].text if combos else None
log.take()
keys.press("ctrl+Tab")
keys.wait_for_focus_on(log, "spin button 'Pot Nr :'")
moves = log.focus_moves()
bus.check(moves[-1:] == ["spin button 'Pot Nr :'"] and
          not any(move.startswith("list item") for move in moves),
          "Ctrl+Tab from a combo box: the focus went to %r" % moves)
keys.press("ctrl+shift+Tab")
keys.wait_for_focus_on(log, combo)
moves = log.focus_moves()
bus.check(moves[-1:] == [combo], "Ctrl+Shift+Tab back: the focus went to %r" % moves)

# An edit of the bank name, then Ctrl+O: the question about the unsaved edits.
keys.tab_to(log, "text 'Bank Name :'", key="shift+Tab", limit=10)
keys.type_text("X")
keys.press("Tab")
moves = log.focus_moves()
before = moves[-1] if moves else None
keys.press("ctrl+o")
question = bus.find_one(app, "alert", timeout=10)
if question is None:
    bus.finish()
shown = [keys.describe(button) for button in bus.descendants(question, "push button")]
heard = log.focus_moves()
for _ in shown[1:]:
    keys.press("Tab", settle=0.2)
    heard += log.focus_moves()
bus.check(shown == heard and len(shown) == 3,
          "the question reads its buttons as %r, Tab walks them as %r" % (shown, heard))
keys.press("Escape", settle=1.0)
bus.check(bus.wait_for(lambda: not bus.descendants(app, "alert"), timeout=5) is not None,
          "Escape does not close the question")
keys.wait_for_focus_on(log, before)
moves = log.focus_moves()
bus.check(moves == [before], "after the question the focus went to %r, not back to %r" %
          (moves, before))
bus.finish()
