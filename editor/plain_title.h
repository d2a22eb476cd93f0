// The title of a window without the place holder of its unsaved mark, for the captions of the
// messages it shows.
#pragma once

#include <QWidget>

inline QString plainTitle(const QWidget& window) {
    return window.windowTitle().remove(QStringLiteral("[*]"));
}
