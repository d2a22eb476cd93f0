"""A custom desk as a screen reader meets it: a button is named by the caption it shows, a
value label is named by the text it shows and grows with it, and an LCD label reads its rows."""

import atspi_checks as bus

app = bus.program()
desk = bus.find_one(app, name="Bus Desk")
if desk is None:
    bus.finish()

bus.find_one(desk, "push button", "Pad Six, button 6")
lcd = bus.find_one(desk, "label", "Dot-matrix display")
first = bus.find_one(desk, "label", "0 2")
if lcd is None or first is None:
    bus.finish()
bus.check(bus.text_of(lcd) == "Bus", "custom LCD reads %r" % bus.text_of(lcd))
narrow = first.queryComponent().getSize()[0]

bus.find_one(desk, "dial", "Pot 1").queryValue().currentValue = 100
grown = bus.find_one(desk, "label", "100 2", timeout=10)
if grown is not None:
    wide = grown.queryComponent().getSize()[0]
    bus.check(wide > narrow, "the label stays %d px wide for '100 2' (%d for '0 2')" %
              (wide, narrow))
rows = bus.wait_for(lambda: bus.text_of(lcd).startswith("Potmeter Moved  "), timeout=10)
bus.check(rows is not None, "custom LCD reads %r after the knob moved" % bus.text_of(lcd))
bus.finish()
