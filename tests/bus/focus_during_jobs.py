"""Starting a job by keys moves the focus from its button to the job's Cancel button, whose
description says which job it stops, and back to the button when the job ends; the focus
visits nothing else (not the buttons disabled meanwhile, nor the fields after them). Send Sysex
and Request Sysex Dump on the transfer page, Backup Device…, Verify and Restore to Device… on
the Library page, against the simulated controller."""

import os

import atspi_checks as bus
import keyboard_focus as keys

app = bus.program()
log = keys.FocusLog()
bus.wait_for_ports(app)
keys.focus_window("Editor")


def run_job(start_keys, button, cancel, stops):
    """Presses start_keys with the focus on button; waits for the job to end."""
    log.take()
    keys.press(*start_keys)
    back = bus.wait_for(lambda: [heard.text for heard in log.peek()][-1:] == [button], timeout=30)
    heard = [heard for heard in log.take() if heard.kind == "focus"]
    bus.check(back is not None and [h.text for h in heard] == [cancel, button],
              "%s: the focus went to %r, not to Cancel and back" % (button, heard))
    descriptions = [h.description for h in heard if h.text == cancel]
    bus.check(descriptions == ["Stops the running " + stops],
              "%s: Cancel said %r" % (button, descriptions))


keys.tab_to(log, "push button 'Send Sysex'")
run_job(["space"], "push button 'Send Sysex'", "push button 'Cancel transfer'", "upload of bank 1")
keys.press("Tab")
keys.expect_moves(log, ["push button 'Request Sysex Dump'"], "Tab to Request Sysex Dump")
run_job(["space"], "push button 'Request Sysex Dump'", "push button 'Cancel transfer'",
        "request of bank 1")

# The Library page, with a folder of its own and bank 1 chosen in its table.
folder = os.path.join(os.environ["HOME"], "library")
os.makedirs(folder)
keys.press("ctrl+shift+Tab", "ctrl+shift+Tab")  # round to Help, then Library
keys.tab_to(log, "push button 'Choose Folder…'")
keys.press("space")
bus.check(bus.wait_for(lambda: bus.descendants(app, "dialog", "Library Folder"), timeout=10),
          "no folder dialog")
keys.press("ctrl+a")
keys.type_text(folder)
keys.press("Return", settle=1.0)
keys.tab_to(log, "table 'Banks'")
keys.press("space")  # chooses the current row, bank 1
keys.tab_to(log, "push button 'Backup Device…'")
run_job(["space"], "push button 'Backup Device…'", "push button 'Cancel'", "backup of 1 bank")
bus.check(os.path.isfile(os.path.join(folder, "bank-001.syx")), "bank 1 was not backed up")
keys.tab_to(log, "push button 'Verify'")
run_job(["space"], "push button 'Verify'", "push button 'Cancel'", "verify of 1 bank")

# Restore asks first; the question's own focus comes and goes before the job's.
keys.tab_to(log, "push button 'Restore to Device…'", limit=5, key="shift+Tab")
keys.press("space")
bus.check(bus.wait_for(lambda: bus.descendants(app, "push button", "Restore"), timeout=10),
          "no Restore question")
keys.tab_to(log, "push button 'Restore'", limit=5)
run_job(["space"], "push button 'Restore to Device…'", "push button 'Cancel'",
        "restore of 1 bank")
bus.finish()
