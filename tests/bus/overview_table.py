"""The "Overview" page as a screen reader meets it: the pots table reads cell by cell, rows are
chosen through the cells' own action, and a bulk edit run from its button changes the cells
and says how many pots it changed."""

import atspi_checks as bus

app = bus.program()
tab = bus.find_one(app, "page tab", "Overview")
tab.queryAction().doAction(0)
table = bus.find_one(app, "table", "Pots")
if table is None:
    bus.finish()
cells = table.queryTable()
bus.check((cells.nRows, cells.nColumns) == (64, 12), "table shape %r" %
          ((cells.nRows, cells.nColumns),))
row = [cells.getAccessibleAt(1, column).name for column in range(cells.nColumns)]
bus.check(row == ["2", "Reverb # 2", "CC 91 ch 2", "2", "177", "B1", "91", "5B", "0", "127",
                  "0", "DEC|"], "row of pot 2: %r" % row)

# Pot 1's row is chosen at start; toggling a cell chooses its row as well.
for pot in (2, 3):
    cells.getAccessibleAt(pot - 1, 0).queryAction().doAction(0)
chosen = bus.wait_for(lambda: bus.descendants(
    app, "label", "Bulk edits act on the chosen rows: 3 pots"), timeout=10)
bus.check(chosen is not None, "three pots are not chosen")

channel = bus.find_one(app, "spin button", "Channel :")
channel.queryValue().currentValue = 10
bus.find_one(app, "push button", "Set Channel").queryAction().doAction(0)
line = "Overview: Set channel 10: 3 of 3 pots changed"
bus.check(bus.wait_for(lambda: bus.descendants(app, "notification", line), timeout=10) is not None,
          "no line %r" % line)
channels = [cells.getAccessibleAt(pot - 1, 3).name for pot in (1, 2, 3, 4)]
bus.check(channels == ["10", "10", "10", "4"], "channels after the bulk edit: %r" % channels)
bus.finish()
