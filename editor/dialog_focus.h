// dialog_focus: the keyboard and a screen reader meet a dialog's buttons in one order, and the
// focus comes back after a dialog.
//
// A screen reader reads a dialog's buttons in the order they were made in (Save, Cancel,
// Discard), while the dialog shows them, and Tab walks them, in the order of the platform's
// layout (Save, Discard, Cancel): a dialog that is shown has its buttons put in the order shown.
//
// When a dialog closes, nothing but a window manager activates the window it came from; without
// one, or with one that leaves it, no window is active: no control has the focus, a screen reader
// hears nothing, and Tab does nothing. A dialog that closes while the program has the keyboard,
// and leaves none of its windows active, activates the window it came from, whose focus returns
// to the control that had it there (the one that opened the dialog, or the next one when that
// one has gone or was disabled).
#pragma once

class QApplication;
class QWidget;

namespace dialog_focus {

// Both for every dialog of the application from now on; a second call changes nothing.
void install(QApplication& application);

// The buttons of the dialog's button boxes in the order the boxes show them.
void orderButtonsAsShown(QWidget& dialog);

} // namespace dialog_focus
