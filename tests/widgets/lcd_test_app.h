// Test support: the Qt application the LCD tests need, created on first use on the offscreen
// platform.
#pragma once

#include <QApplication>

inline void ensureQtApplication() {
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "widgets_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// A fixture member declared before its widgets, so that the application exists when they are built.
struct QtApplicationForTests {
    QtApplicationForTests() { ensureQtApplication(); }
};
