// The editor as a screen reader and a keyboard user meet it: every window is walked for
// controls without a name and for value displays not announced with the value they show.
#include "edit_combo.h"
#include "editor_window.h"
#include "desk_button.h"
#include "fader_desk.h"
#include "hex_byte_edit.h"
#include "live_status.h"
#include "midi_monitor_window.h"
#include "monitor_lines_view.h"
#include "preset_selector.h"
#include "spin_edit.h"
#include "status_log.h"
#include "transfer_page.h"
#include "virtual_box.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace {

QString spokenName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

std::string describe(const QWidget* widget) {
    return std::string(widget->metaObject()->className()) + " " +
           widget->objectName().toStdString();
}

// The text field of a spin box, the tab bar of the page control and the like are announced
// through the control they belong to.
bool partOfCompound(const QWidget* widget) {
    if (widget->objectName().startsWith(QLatin1String("qt_"))) return true;
    for (const QWidget* p = widget->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p))
            return true;
    return false;
}

bool interactive(const QWidget* widget) {
    return !partOfCompound(widget) &&
           ((widget->focusPolicy() & Qt::TabFocus) || qobject_cast<const QAbstractButton*>(widget));
}

// What a value display shows, or nothing when the widget is not one.
std::optional<QString> shownValue(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    const auto* field = qobject_cast<const QLineEdit*>(widget);
    if (field && field->isReadOnly() && !partOfCompound(widget)) return field->text();
    return std::nullopt;
}

struct Counts {
    int controls = 0;
    int values = 0;
};

Counts walk(QWidget& window) {
    Counts counts;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* widget : widgets) {
        if (const auto value = shownValue(widget)) {
            ++counts.values;
            EXPECT_EQ(spokenName(widget), *value) << describe(widget);
        } else if (interactive(widget)) {
            ++counts.controls;
            EXPECT_FALSE(spokenName(widget).trimmed().isEmpty()) << describe(widget);
        }
    }
    return counts;
}

TEST(Accessibility, EveryWindowNamesItsControlsAndAnnouncesItsValues) {
    QTemporaryDir dir;
    TForm1 form({dir.filePath("vpt64presets.ini")});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_EQ(form.FileSheet->BytesToSend->text(), "2120");
    for (int index = 0; index < form.PageControl->count(); ++index)
        form.PageControl->setCurrentIndex(index); // every page is built as its tab is chosen
    const Counts editor = walk(form);
    EXPECT_GE(editor.controls, 60);
    EXPECT_GE(editor.values, 30);

    // The windows that open on demand: the virtual box, and the message of a store that fails.
    form.FaderDesk().GenerateFaderDeskExecute();
    const Counts desk = walk(form.FaderDesk().FaderDesk());
    EXPECT_GE(desk.controls, 128);
    EXPECT_GE(desk.values, 64);

    // The MIDI Monitor: its controls, and each line a list item that reads as its text.
    MidiMonitorWindow& monitor = form.midiMonitor();
    monitor.show();
    EXPECT_GE(walk(monitor).controls, 12);
    const std::uint8_t clock[] = {0xF8};
    monitor.record(midi_meaning::Direction::Out, "synth", clock);
    QTRY_COMPARE(monitor.Lines->model()->rowCount(), 1);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(monitor.Lines);
    ASSERT_TRUE(list && list->childCount() >= 1);
    EXPECT_TRUE(
        list->child(list->childCount() - 1)->text(QAccessible::Name).endsWith("Timing Clock"))
        << list->child(list->childCount() - 1)->text(QAccessible::Name).toStdString();

    form.PresetFileName = dir.filePath("missing/vpt64presets.ini");
    form.StoreAppSettings();
    const auto messages = form.findChildren<QMessageBox*>();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_GE(walk(*messages.front()).controls, 1);
    messages.front()->accept();
}

TEST(Accessibility, TheTabKeyReachesEveryEnabledControlOfEveryPage) {
    TForm1 form({});
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTabWidget* pages = form.PageControl;
    for (int index = 0; index < pages->count(); ++index) {
        pages->setCurrentIndex(index);
        QWidget* page = pages->currentWidget();
        QList<QWidget*> expected;
        for (QWidget* widget : page->findChildren<QWidget*>())
            if (interactive(widget) && widget->isEnabled() && widget->isVisibleTo(page))
                expected << widget;
        ASSERT_FALSE(expected.isEmpty()) << describe(page);

        QSet<QWidget*> reached;
        expected.front()->setFocus(Qt::TabFocusReason);
        for (int step = 0; step < 4 * form.findChildren<QWidget*>().size(); ++step) {
            reached.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        for (QWidget* widget : expected)
            EXPECT_TRUE(reached.contains(widget) || reached.contains(widget->focusProxy()))
                << describe(page) << ": " << describe(widget);
    }
}

// The numbers a tooltip states after `pattern`'s groups, read in `base`.
std::vector<int> statedNumbers(const QString& tip, const QString& pattern, int base = 10) {
    std::vector<int> numbers;
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(tip);
    for (int group = 1; group <= match.lastCapturedIndex(); ++group)
        numbers.push_back(match.captured(group).toInt(nullptr, base));
    return numbers;
}

// The range a field enforces and the same range as its tooltip states it; empty for a field
// whose items change as it is used (presets, ports) and for check boxes.
std::pair<std::vector<int>, std::vector<int>> enforcedAndStated(const QWidget* field) {
    const QString tip = field->toolTip();
    if (const auto* hex = qobject_cast<const HexByteEdit*>(field))
        return {{hex->field()->minimum(), hex->field()->maximum()},
                statedNumbers(tip, "\\b([0-9A-F]{2}) to ([0-9A-F]{2})\\b", 16)};
    if (const auto* number = qobject_cast<const SpinEdit*>(field))
        return {{number->minimum(), number->maximum()}, statedNumbers(tip, "(\\d+) to (\\d+)")};
    if (const auto* text = qobject_cast<const QLineEdit*>(field))
        return {text->maxLength() < 32767 ? std::vector{text->maxLength()} : std::vector<int>{},
                statedNumbers(tip, "(\\d+) characters")}; // a filter without limit states none
    if (qobject_cast<const EditCombo*>(field) && !qobject_cast<const PresetSelector*>(field))
        return {{static_cast<const QComboBox*>(field)->count()},
                statedNumbers(tip, "(\\d+) items")};
    return {};
}

bool isField(const QWidget* widget) {
    return !partOfCompound(widget) &&
           (qobject_cast<const QAbstractSpinBox*>(widget) ||
            qobject_cast<const QComboBox*>(widget) || qobject_cast<const QCheckBox*>(widget) ||
            (qobject_cast<const QLineEdit*>(widget) &&
             !static_cast<const QLineEdit*>(widget)->isReadOnly()));
}

TEST(Accessibility, EveryFieldOfThePagesHasATooltipStatingTheRangeItEnforces) {
    QTemporaryDir dir;
    TForm1 form({dir.filePath("vpt64presets.ini")});
    form.show();
    int fields = 0, ranges = 0;
    for (const char* name : {"PotSettings", "ButtSettings", "BoxSettingsTabsheet", "FileSheet",
                             "OverviewSheet"}) {
        auto* page = form.PageControl->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(page, nullptr) << name;
        form.PageControl->setCurrentWidget(page); // a page is built as its tab is chosen
        for (const QWidget* field : page->findChildren<QWidget*>()) {
            if (!isField(field)) continue;
            ++fields;
            EXPECT_FALSE(field->toolTip().trimmed().isEmpty()) << describe(field);
            const auto [enforced, stated] = enforcedAndStated(field);
            ranges += !enforced.empty();
            EXPECT_EQ(stated, enforced)
                << describe(field) << ": " << field->toolTip().toStdString();
        }
    }
    EXPECT_GE(fields, 60);
    EXPECT_GE(ranges, 40);
}

// What a screen reader hears of one control: its role, its name, and its range when it has one.
struct Heard {
    QAccessible::Role role;
    QString name;
    std::optional<std::pair<int, int>> range;
};

Heard heard(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    if (!accessible) return {QAccessible::NoRole, {}, {}};
    Heard result{accessible->role(), accessible->text(QAccessible::Name), {}};
    if (QAccessibleValueInterface* value = accessible->valueInterface())
        result.range = {value->minimumValue().toInt(), value->maximumValue().toInt()};
    return result;
}

TEST(Accessibility, ControlsAndWindowsHaveTheirRoleNameAndRealRange) {
    TForm1 form({});
    form.setWindowTitle(QStringLiteral("bank[*]"));
    form.setWindowModified(true);
    form.FaderDesk().GenerateFaderDeskExecute();
    TFaderDesk& desk = form.FaderDesk().FaderDesk();
    TransferPage* transfer = form.FileSheet;
    using R = QAccessible::Role;
    const std::vector<std::pair<QObject*, Heard>> table = {
        {&form, {R::Window, "bank*", {}}},
        {&desk, {R::Window, desk.windowTitle(), {}}},
        {&form.midiMonitor(), {R::Window, form.midiMonitor().windowTitle(), {}}},
        {transfer->TestKnob, {R::Dial, "Test knob", std::pair{0, 127}}},
        {transfer->TestButton, {R::Button, "Test button", {}}},
        {transfer->DeviceID, {R::SpinBox, "Device ID:", std::pair{0, 7}}},
        {transfer->PatternNumber, {R::SpinBox, "Bank Number:", std::pair{1, 128}}},
        {transfer->ResultLine, {R::Notification, "", {}}},
        {desk.findChildren<DeskButton*>().front(), {R::Button, "Button 1", {}}},
    };
    for (const auto& [object, expected] : table) {
        const Heard got = heard(object);
        EXPECT_EQ(got.role, expected.role) << object->objectName().toStdString();
        EXPECT_EQ(got.name, expected.name) << object->objectName().toStdString();
        EXPECT_EQ(got.range, expected.range) << object->objectName().toStdString();
    }
}

TEST(Accessibility, UndoAndRedoSayWhichStepTheyTook) {
    TForm1 form({});
    form.document().history().stack().push(new QUndoCommand(QStringLiteral("pot 5 controller")));
    const std::vector<std::pair<bool, QString>> steps = {
        {true, "Undo pot 5 controller"}, {false, "Redo pot 5 controller"}};
    for (const auto& [back, said] : steps) {
        form.stepHistory(back);
        EXPECT_EQ(heard(form.FileSheet->ResultLine).name, said);
    }
    form.FileSheet->ResultLine->clear();
    form.stepHistory(false); // nothing left to redo: nothing said
    EXPECT_EQ(heard(form.FileSheet->ResultLine).name, "");
}

TEST(Accessibility, MouseOnlyFunctionsAnswerTheirKeys) {
    TForm1 form({});
    TransferPage* transfer = form.FileSheet;
    for (int key : {Qt::Key_Return, Qt::Key_Space}) {
        transfer->ListBox->WriteMsg(QStringLiteral("line"));
        QTest::keyClick(transfer->ListBox, Qt::Key(key));
        EXPECT_EQ(transfer->ListBox->count(), 0) << key;

        transfer->BytesReceived->setText(QStringLiteral("265"));
        QTest::keyClick(transfer->BytesReceived, Qt::Key(key));
        EXPECT_EQ(transfer->BytesReceived->text(), "0") << key;
    }
    EXPECT_EQ(transfer->BytesReceived->focusPolicy(), Qt::StrongFocus);
}

} // namespace
