"""What the mouse does, done from the keyboard: the context menu key and Shift+F10 on a desk
knob or button open its page in the editor, and Space on the LCD steps its display mode. (Enter
and Space on the receive counters and the log are checked in-process.)"""

import atspi_checks as bus
import keyboard_focus as keys

app = bus.program()
desk = bus.find_one(app, "frame", "Virtual Pultron : Kelmo's FaderDesk")
if desk is None:
    bus.finish()


def shown_number(field):
    """The number in the page's field, once the page that holds it is shown."""
    found = [f for f in bus.descendants(app, "spin button", field)
             if f.getState().contains(bus.pyatspi.STATE_SHOWING)]
    return int(found[0].queryValue().currentValue) if found else None


for control, key, field, number in ((("dial", "Pot 5"), "Menu", "Pot Nr :", 5),
                                     (("push button", "Button 7"), "shift+F10", "Button Nr :", 7)):
    target = bus.find_one(desk, *control)
    keys.focus_on(target)
    bus.check(target.getState().contains(bus.pyatspi.STATE_FOCUSED), "no focus on %r" % (control,))
    keys.press(key)
    bus.check(bus.wait_for(lambda: shown_number(field) == number, timeout=10) is not None,
              "%s on %r showed %r %r, not %d" % (key, control, field, shown_number(field), number))

lcd = bus.find_one(desk, "label", "Dot-matrix display")
keys.focus_on(lcd)
before = bus.text_of(lcd)
keys.press("space")
bus.check(bus.wait_for(lambda: bus.text_of(lcd) != before, timeout=10) is not None,
          "Space on the LCD left its display as it was: %r" % before)

bus.finish()
