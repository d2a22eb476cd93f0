// The order of a question's buttons, Ctrl+Tab from a combo box and Home and End in the MIDI
// Monitor's list, in-process. What a screen reader hears of them, and the focus after dialogs
// (which the offscreen platform gives back by itself), are checked over the bus in tests/bus.
#include "box_config_page.h"
#include "dialog_focus.h"
#include "edit_combo.h"
#include "editor_window.h"
#include "monitor_lines_view.h"
#include "qt_printers.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The buttons of `box` as a screen reader lists them (its accessible children) and as Tab walks
// them from the first.
QStringList accessibleButtons(QDialogButtonBox* box) {
    QStringList texts;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
    for (int i = 0; i < accessible->childCount(); ++i)
        if (accessible->child(i)->role() == QAccessible::Button)
            texts << accessible->child(i)->text(QAccessible::Name);
    return texts;
}

QStringList tabbedButtons(QDialogButtonBox* box) {
    QStringList texts;
    QWidget* first = box->focusProxy() ? box->focusProxy() : box->buttons().value(0);
    QWidget* button = first;
    do {
        if (auto* pushButton = qobject_cast<QPushButton*>(button)) texts << pushButton->text();
        button = button->nextInFocusChain();
    } while (button != first && box->isAncestorOf(button));
    return texts;
}

TEST(KeyboardFocus, AQuestionReadsItsButtonsInTheOrderTabWalksThem) {
    dialog_focus::install(*qApp);
    QWidget window;
    QMessageBox question(QMessageBox::Question, QStringLiteral("Title"), QStringLiteral("Text"),
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &window);
    auto* box = question.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    const QStringList tabbed = tabbedButtons(box);
    ASSERT_EQ(tabbed.size(), 3);
    window.show();
    question.open();
    EXPECT_EQ(accessibleButtons(box), tabbed);
    EXPECT_EQ(tabbedButtons(box), tabbed); // the Tab order is as it was
}

// A combo box without a text field takes Ctrl+Tab for its search by typing.
TEST(KeyboardFocus, CtrlTabTurnsThePageFromAComboBox) {
    TForm1 form{TForm1::Options{QString(), QStringLiteral("sim")}};
    form.show();
    QApplication::setActiveWindow(&form);
    form.PageControl->setCurrentWidget(form.BoxSettingsTabsheet.page());
    QComboBox* combo = form.BoxSettingsTabsheet->PotBehaviour;
    ASSERT_FALSE(combo->isEditable());
    combo->setFocus();
    const int index = combo->currentIndex();
    QTest::keyClick(combo, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form.PageControl->currentWidget(), form.PotSettings.page());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form.PageControl->currentWidget(), form.BoxSettingsTabsheet.page());
    EXPECT_EQ(combo->currentIndex(), index);
    // Round the ends.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form.PageControl->currentIndex(), form.PageControl->count() - 1);
}

TEST(KeyboardFocus, HomeAndEndGoToTheFirstAndLastLineOfTheMonitor) {
    QStringListModel lines(QStringList{"one", "two", "three", "four", "five"});
    MonitorLinesView view;
    view.setModel(&lines);
    view.show();
    view.setFocus();
    view.setCurrentIndex(lines.index(2, 0));
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.currentIndex().row(), 4);
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.currentIndex().row(), 0);
    // Shift extends the selection to the end, as in a list.
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 5);
}

} // namespace
