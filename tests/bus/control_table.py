"""Every interactive control of every page and window as a screen reader meets it: the editor's
pages one by one, the virtual box and the MIDI Monitor. Prints a table of role, name and value
for each focusable object shown, and fails for an object without a role of its own, without a
name, or whose kind has a value (a number, a text, a checked state) that it does not give;
numbers must lie in their range. As Qt does on Linux, a combo box is named by the item it shows
and labelled by its caption (the "labelled-by" relation a screen reader reads). Tables and lists
count as one control each."""

import atspi_checks as bus

pyatspi = bus.pyatspi
# Roles that say nothing of what an object does.
NO_ROLE = {"filler", "unknown", "panel", "redundant object", "invalid"}
NUMBER_ROLES = {"spin button", "dial", "slider", "scroll bar", "progress bar"}
CHECKED_ROLES = {"check box", "radio button", "toggle button"}


# Roles read as one control: what lies below them is read through them.
WHOLES = {"combo box", "table", "list", "tree table", "spin button", "dial", "push button"}


def shown_controls(root):
    """The focusable objects shown below root; hidden pages and the insides of a whole (the
    list of a combo box, the cells of a table) are not walked."""
    found, queue = [], [root]
    while queue:
        for node in queue.pop(0):
            if node is None or not node.getState().contains(pyatspi.STATE_SHOWING):
                continue
            if node.getState().contains(pyatspi.STATE_FOCUSABLE):
                found.append(node)
            if node.getRoleName() not in WHOLES:
                queue.append(node)
    return found


def labels_of(node):
    """The names of the objects that label node (its "labelled-by" relation)."""
    return [relation.getTarget(i).name for relation in node.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for i in range(relation.getNTargets())]


def value_of(node):
    """What the object gives as its value, as a screen reader reads it; None for nothing."""
    role = node.getRoleName()
    if role in NUMBER_ROLES:
        value = node.queryValue()
        if not value.minimumValue <= value.currentValue <= value.maximumValue:
            return None
        return "%g in %g..%g" % (value.currentValue, value.minimumValue, value.maximumValue)
    if role in CHECKED_ROLES:
        checked = node.getState().contains(pyatspi.STATE_CHECKED)
        return "checked" if checked else "not checked"
    if role == "text":
        return repr(bus.text_of(node))
    if role in ("table", "list", "tree table"):
        return "%d items" % node.childCount
    return ""  # a button, a list, a table or a tab has no value of its own


def check_window(title, window, seen):
    """Prints and checks the shown controls of window not met before."""
    for node in shown_controls(window):
        if node in seen:
            continue
        seen.append(node)
        role, name, value = node.getRoleName(), node.name.strip(), value_of(node)
        if role == "combo box":  # named by its label; its own name is the item it shows
            name, value = " / ".join(labels_of(node)), repr(node.name)
        print("%-32s %-14s %-40s %s" % (title[:32], role, repr(name)[:40], value))
        where = "%s: %s %r" % (title, role, name)
        bus.check(role not in NO_ROLE, "%s has no role of its own" % where)
        bus.check(bool(name), "%s has no name" % where)
        bus.check(value is not None, "%s gives no value" % where)


app = bus.program()
editor = bus.find_one(app, "frame")
editor = next((w for w in app if w.name.startswith("Pultron64 Editor")), editor)
desk = bus.find_one(app, "frame", "Virtual Pultron : Kelmo's FaderDesk")
if editor is None or desk is None:
    bus.finish()

seen = []
tabs = bus.descendants(editor, "page tab")
bus.check(len(tabs) >= 7, "the editor shows %d pages" % len(tabs))
for tab in tabs:
    tab.queryAction().doAction(0)
    bus.pump(1.0)  # the page builds its controls as it is first shown
    check_window("Editor, " + tab.name, editor, seen)
check_window("Virtual box", desk, seen)

monitor_button = bus.find_one(editor, "push button", "MIDI Monitor")
bus.find_one(editor, "page tab", "MIDI Transfer").queryAction().doAction(0)
bus.wait_for(lambda: monitor_button.getState().contains(pyatspi.STATE_SHOWING))
monitor_button.queryAction().doAction(0)
monitor = bus.find_one(app, "frame", "MIDI Monitor")
if monitor is not None:
    bus.wait_for(lambda: shown_controls(monitor))
    check_window("MIDI Monitor", monitor, seen)
bus.check(len(seen) >= 200, "only %d controls met" % len(seen))
bus.finish()
