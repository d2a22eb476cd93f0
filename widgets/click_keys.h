// The keys that click what is clicked with the mouse but is no button: Enter and Space.
#pragma once

#include <QKeyEvent>

inline bool isClickKey(const QKeyEvent& event) {
    const int key = event.key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}
