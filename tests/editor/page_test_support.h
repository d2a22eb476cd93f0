// Drives the editor window as a user would: typing into fields, choosing items, pressing keys.
#pragma once

#include "editor_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace page_test {

// Gives `field` the focus, selects what it shows and types `text` over it.
inline void typeInto(QWidget* field, const QString& text) {
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

// Leaves the focused field the way a user does, with the Tab key.
inline void leave(QWidget* field) {
    QTest::keyClick(field, Qt::Key_Tab);
    ASSERT_FALSE(field->hasFocus());
}

inline void typeAndLeave(QWidget* field, const QString& text) {
    typeInto(field, text);
    leave(field);
}

// Opens the list of `combo` and picks item `index` with the keyboard.
inline void choose(QComboBox* combo, int index) {
    combo->setFocus(Qt::TabFocusReason);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    list->setCurrentIndex(combo->model()->index(index, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
}

inline void choose(QComboBox* combo, const QString& item) {
    const int index = combo->findText(item, Qt::MatchExactly);
    ASSERT_GE(index, 0) << item.toStdString();
    choose(combo, index);
}

inline void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(target, key, modifiers);
}

// An editor window started with a settings file of its own in a temporary folder.
class EditorTest : public ::testing::Test {
protected:
    void start(const QByteArray& settings = {}) {
        settingsFile = dir.filePath(QStringLiteral("vpt64presets.ini"));
        if (!settings.isEmpty()) {
            QFile file(settingsFile);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(settings);
        }
        form = std::make_unique<TForm1>(TForm1::Options{settingsFile});
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void showPage(QWidget* page) { form->PageControl->setCurrentWidget(page); }

    QTemporaryDir dir;
    QString settingsFile;
    std::unique_ptr<TForm1> form;
};

} // namespace page_test
