"""The focus comes back after a file dialog, by keys alone: Library "Choose Folder…", File >
Store As… and File > Open…, each with a path typed and Return. The editor window is activated
again, the control that had the focus has it again, and Tab goes on from there."""

import os

import atspi_checks as bus
import keyboard_focus as keys

app = bus.program()
log = keys.FocusLog()
keys.focus_window("Editor")
log.take()
folder = os.path.join(os.environ["HOME"], "library")
os.makedirs(folder)
bank_file = os.path.join(folder, "typed.syx")


def run_dialog(open_keys, dialog, path, opener):
    """Opens a file dialog with open_keys, types path into it and presses Return; the window
    comes back with the focus on opener."""
    log.take()
    keys.press(*open_keys)
    bus.check(bus.wait_for(lambda: bus.descendants(app, "dialog", dialog), timeout=10),
              "no dialog %r" % dialog)
    keys.press("ctrl+a")
    keys.type_text(path)
    log.take()
    keys.press("Return")
    keys.wait_for_focus_on(log, opener)
    heard = [(heard.kind, heard.text) for heard in log.take()]
    bus.check(any(kind == "activate" and text.startswith("frame ") for kind, text in heard),
              "%s: the editor window was not activated: %r" % (dialog, heard))
    moves = [text for kind, text in heard if kind == "focus"]
    bus.check(moves == [opener], "%s: the focus went to %r, not to %r" % (dialog, moves, opener))


keys.press(*["Right"] * 5, "Tab")
keys.expect_moves(log, ["page tab 'Box Config'", "page tab 'Pots'", "page tab 'Buttons'",
                        "page tab 'Overview'", "page tab 'Library'",
                        "push button 'Choose Folder…'"], "to Choose Folder")
run_dialog(["space"], "Library Folder", folder, "push button 'Choose Folder…'")
bus.check(bus.wait_for(lambda: bus.descendants(app, "label", folder), timeout=5),
          "the library folder is not %r" % folder)
keys.press("Tab")
keys.expect_moves(log, ["text 'Search the banks'"], "Tab after the dialog")
keys.press("shift+Tab")
keys.expect_moves(log, ["push button 'Choose Folder…'"], "Shift+Tab after the dialog")

# The window's keys open the dialogs: the focus comes back to the control it was on.
run_dialog(["ctrl+shift+s"], "Save Sysex File To ...", bank_file, "push button 'Choose Folder…'")
bus.check(bus.wait_for(lambda: os.path.isfile(bank_file), timeout=5), "no file %r" % bank_file)
run_dialog(["ctrl+o"], "Open Sysex File", bank_file, "push button 'Choose Folder…'")
bus.check(bus.wait_for(lambda: "typed.syx" in bus.find_one(app, "frame").name, timeout=5),
          "the title does not name the file opened: %r" % bus.find_one(app, "frame").name)
bus.finish()
