"""Roles, names and values as a screen reader meets them: the windows are frames named by their
titles, a change typed from the keyboard marks the editor's title unsaved and is heard as a
name change, the transfer page's test controls are a dial and a button, the desk's buttons say
what they are, and spin buttons give their real range."""

import atspi_checks as bus
import keyboard_focus as keys

app = bus.program()
frames = bus.wait_for(lambda: [w for w in app if w.getRoleName() == "frame" and w.name])
bus.check(frames and len(frames) == len([w for w in app if w.getRoleName() != "filler"]),
          "windows that are no frame: %r" % [(w.getRoleName(), w.name) for w in app])
editor = next((w for w in frames or [] if w.name.startswith("Pultron64 Editor")), None)
bus.check(editor is not None, "no editor frame among %r" % [w.name for w in frames or []])
desk = bus.find_one(app, "frame", "Virtual Pultron : Kelmo's FaderDesk")
if editor is None or desk is None:
    bus.finish()

knob = bus.find_one(editor, "dial", "Test knob")
value = knob.queryValue()
bus.check((value.minimumValue, value.maximumValue) == (0, 127),
          "test knob range %r" % ((value.minimumValue, value.maximumValue),))
bus.find_one(editor, "push button", "Test button")
device = bus.find_one(editor, "spin button", "Device ID:")
bus.check((device.queryValue().minimumValue, device.queryValue().maximumValue) == (0, 7),
          "device id range %r" % ((device.queryValue().minimumValue,
                                   device.queryValue().maximumValue),))
bus.check(bool(bus.descendants(desk, "push button", "Button 64")), "no desk button 'Button 64'")

renamed = []
bus.pyatspi.Registry.registerEventListener(
    lambda event: renamed.append(event.source.name) if event.source == editor else None,
    "object:property-change:accessible-name")
bus.pump(0.5)  # the listener reaches Qt's bridge
tab = bus.find_one(editor, "page tab", "Box Config")
tab.queryAction().doAction(0)
channel = bus.find_one(editor, "spin button", "Global MIDI Channel :")
keys.focus_on(channel)
keys.press("Up")
keys.press("Tab")  # leaving the field makes the value an edit
bus.check(bus.wait_for(lambda: any("*" in name for name in renamed), timeout=10) is not None,
          "no name change with the unsaved mark: %r" % renamed)
bus.check("*" in editor.name, "the frame's name has no unsaved mark: %r" % editor.name)
bus.finish()
