"""The virtual box's LCD as a screen reader meets it: its four rows are readable as text, a
knob turned through its value interface makes the display announce its new report, and a knob
turned fast through many values is announced a few times, ending on the last value."""

import atspi_checks as bus

app = bus.program()
desk = bus.find_one(app, name="Virtual Pultron : Kelmo's FaderDesk")
lcd = bus.find_one(desk, "label", "Dot-matrix display")
if lcd is None:
    bus.finish()

bus.check("Text" in lcd.get_interfaces(), "the LCD has no text interface")
greeting = bus.wait_for(lambda: bus.text_of(lcd).startswith("  Initialized   "))
rows = bus.text_of(lcd).split("\n")
bus.check(greeting is not None, "the LCD does not read the start-up screen: %r" % rows)
bus.check(rows[:3] == ["  Initialized   ", "    Virtual     ", "   Pultron64    "],
          "start-up rows: %r" % rows)
bus.check(len(rows) == 4 and all(len(row) == 16 for row in rows), "row shape: %r" % rows)

changes = bus.EventCounter("object:text-changed", lcd)
bus.pump(0.5)  # the listener reaches Qt's bridge
knob = bus.find_one(desk, "dial", "Pot 3")
knob.queryValue().currentValue = 64
report = bus.wait_for(lambda: bus.text_of(lcd).startswith("Potmeter Moved  "), timeout=10)
bus.check(report is not None, "the LCD does not read the report: %r" % bus.text_of(lcd))
bus.check(bus.text_of(lcd).split("\n")[3] == "Value   :  64   ", "report: %r" % bus.text_of(lcd))
bus.check(bus.wait_for(lambda: changes.count > 0, timeout=10) is not None,
          "the LCD announced no text change")

# Forty values in a burst: each announcement of the display is a deletion and an insertion of
# its rows; the value label is renamed.
renamed = bus.EventCounter("object:property-change:accessible-name", None)
bus.pump(1.0)
before, names_before = changes.count, renamed.count
for value in range(80, 120):
    knob.queryValue().currentValue = value
bus.pump(1.0)
bus.check(bus.text_of(lcd).split("\n")[3] == "Value   : 119   ", "report: %r" % bus.text_of(lcd))
bus.check(0 < changes.count - before <= 8,
          "%d text changes for 40 values" % (changes.count - before))
bus.check(0 < renamed.count - names_before <= 4,
          "%d name changes for 40 values" % (renamed.count - names_before))
bus.check(any(label.name.strip() == "119" for label in bus.descendants(desk, "label")),
          "no value label reads 119")
changes.close()
renamed.close()
bus.finish()
