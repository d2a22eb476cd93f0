#include "box_config_page.h"
#include "button_page.h"
#include "custom_desk.h"
#include "desk_dump.h"
#include "editor_window.h"
#include "fader_desk.h"
#include "knob.h"
#include "lcd_label.h"
#include "midi_in.h"
#include "overview_page.h"
#include "overview_table_model.h"
#include "spin_edit.h"
#include "transfer_controller.h"
#include "transfer_page.h"
#include "virtual_box.h"
#include "wait_for.h"

#include "../files/read_only_folder.h"
#include "registry_settings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class EditorDesk : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        QTest::mouseClick(form.FileSheet->ShowFaderDesk, Qt::LeftButton);
    }
    VirtualBox& box() { return form.FaderDesk(); }
    TKnob* knob(int n) { return box().registry().as<TKnob>(n); }
    void receive(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
        form.MidiIn1->OnShort(form.MidiIn1, status, data1, data2);
    }

    TForm1 form{TForm1::Options{QString(), QStringLiteral("sim")}};
};

TEST_F(EditorDesk, VirtualBoxButtonShowsTheDeskFilledFromTheBank) {
    ASSERT_TRUE(box().deskVisible());
    EXPECT_EQ(knob(1)->Position(), form.record.initialValue(1));
    EXPECT_EQ(knob(1)->Max(), form.record.pot(1).max);
    EXPECT_TRUE(box().FaderDesk().BackLightLCDPanel->caption().startsWith("  Initialized   "));
}

TEST_F(EditorDesk, KnobAndPotEditorStayInStepWithoutAnOutputPort) {
    PotPage& pots = *form.PotSettings;
    pots.PotNumber->setValue(5);
    knob(5)->SetPosition(33);
    EXPECT_EQ(form.record.initialValue(5), 33);
    EXPECT_TRUE(waitFor([&] { return pots.PotInitialValue->value() == 33; })); // within a frame
    pots.PotInitialValue->setValue(44);
    EXPECT_EQ(knob(5)->Position(), 44);
    pots.PotMax->setValue(40);
    EXPECT_EQ(knob(5)->Max(), 40);
    EXPECT_EQ(knob(5)->Position(), 40);
    EXPECT_EQ(form.record.initialValue(5), 40);
}

TEST_F(EditorDesk, KnobsFollowEditsOnTheOverviewAsOnThePotPage) {
    OverviewPage& overview = *form.Overview;
    form.PageControl->setCurrentWidget(&overview);
    overview.PotTable->selectAll();
    overview.BulkMin->setValue(10);
    overview.BulkMax->setValue(90);
    overview.SetRange->click();
    for (int n : {1, 33, 64}) {
        EXPECT_EQ(std::make_pair(knob(n)->Min(), knob(n)->Max()), std::make_pair(10, 90)) << n;
        // The knob raised its position into the range; the bank and the table show it.
        EXPECT_EQ(form.record.initialValue(n), 10) << n;
    }
    OverviewTableModel& pots = overview.model(overview::Controls::Pots);
    const int initial = int(overview::PotColumn::Initial);
    EXPECT_EQ(pots.index(0, initial).data(Qt::EditRole).toString(), "10");

    ASSERT_TRUE(pots.setData(pots.index(2, int(overview::PotColumn::Label)), "Delay"));
    EXPECT_EQ(knob(3)->toolTip(), "Delay");
    ASSERT_TRUE(pots.setData(pots.index(2, initial), "64"));
    EXPECT_EQ(knob(3)->Position(), 64);
}

TEST_F(EditorDesk, RightClicksOpenTheEditorPageOfTheControl) {
    form.hide();
    QTest::mouseClick(knob(17), Qt::RightButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.PageControl->currentWidget(), form.PotSettings);
    EXPECT_EQ(form.PotSettings->selectedPot(), 17);
    for (auto* button : box().FaderDesk().findChildren<QPushButton*>())
        if (button->text() == "3") QTest::mouseClick(button, Qt::RightButton);
    EXPECT_EQ(form.PageControl->currentWidget(), form.ButtSettings);
    EXPECT_EQ(form.ButtSettings->selectedButton(), 3);
}

TEST_F(EditorDesk, LearnTakesTheNextSuitableMessageIntoTheShownEntry) {
    PotPage& pots = *form.PotSettings;
    ButtonPage& buttons = *form.ButtSettings;
    pots.PotNumber->setValue(12);
    pots.LearnPot->setChecked(true);
    EXPECT_FALSE(pots.vMotPots->isEnabled());
    receive(0x80, 0x3C, 0x00); // note-off: ignored
    EXPECT_NE(form.record.pot(12).data, 0x3C);
    receive(0xB2, 0x4A, 0x40);
    EXPECT_EQ(form.PageControl->currentWidget(), &pots);
    EXPECT_EQ(pots.PotByte0->value(), 0xB2);
    EXPECT_EQ(form.record.pot(12).status, 0x32);
    EXPECT_EQ(form.record.pot(12).data, 74);
    EXPECT_EQ(form.record.initialValue(12), 64);

    buttons.ButtNumber->setValue(7);
    buttons.LearnButt->setChecked(true);
    EXPECT_FALSE(pots.LearnPot->isChecked());
    EXPECT_FALSE(pots.vMotPots->isEnabled());
    receive(0x90, 0x3C, 0x00);
    EXPECT_EQ(form.PageControl->currentWidget(), &buttons);
    EXPECT_EQ(form.record.button(7), (ButtonEntry{0x10, 0x3C, 0x00, form.record.button(7).mode}));
    buttons.LearnButt->setChecked(false);
    EXPECT_TRUE(pots.vMotPots->isEnabled());
}

TEST_F(EditorDesk, MotorisedPotsFollowIncomingMessagesOnlyWhenChecked) {
    const PotEntry first = form.record.pot(1);
    const std::uint8_t status = fullStatus(first.status);
    const int before = knob(1)->Position();
    receive(status, first.data, 99);
    EXPECT_EQ(knob(1)->Position(), before);
    form.PotSettings->vMotPots->setChecked(true);
    receive(status, first.data, 99);
    EXPECT_EQ(knob(1)->Position(), std::clamp(99, int(first.min), int(first.max)));
    EXPECT_EQ(form.record.initialValue(1), knob(1)->Position());
}

TEST_F(EditorDesk, ReceivedOrOpenedBankRebuildsTheDeskHiddenAndKeepsTheRecord) {
    knob(2)->SetPosition(5);
    form.record.setInitialValue(3, 9);
    const BankRecord record = form.record;
    emit form.transfer().receivedBankDecoded();
    EXPECT_FALSE(box().deskVisible());
    EXPECT_EQ(form.record, record);
    EXPECT_EQ(knob(3)->Position(), std::clamp(9, int(record.pot(3).min), int(record.pot(3).max)));
    EXPECT_EQ(box().FaderDesk().findChildren<TKnob*>().size(), 65);

    box().GenerateFaderDeskExecute();
    form.openSysexFile(QStringLiteral(VPT64_DEFAULT_DUMP));
    EXPECT_FALSE(box().deskVisible());
    EXPECT_EQ(knob(3)->Position(), form.record.initialValue(3));
    EXPECT_EQ(box().FaderDesk().findChildren<TKnob*>().size(), 65);
}

TEST_F(EditorDesk, ChosenDeskFileReplacesTheStandardDesk) {
    EXPECT_FALSE(form.selectCustomDesk(QStringLiteral(VPT64_EXAMPLE_DESKS) + "/none.vpt"));
    EXPECT_EQ(box().customDesk(), nullptr);
    ASSERT_TRUE(
        form.selectCustomDesk(QStringLiteral(VPT64_EXAMPLE_DESKS) + "/../customfiles/pads.vpt"));
    EXPECT_EQ(form.CustomDeskFile, QStringLiteral(VPT64_EXAMPLE_DESKS) + "/pads.vpt");
    EXPECT_EQ(form.VPTOpenDialogDir, QStringLiteral(VPT64_EXAMPLE_DESKS));
    ASSERT_NE(box().customDesk(), nullptr);
    EXPECT_TRUE(box().customDesk()->isVisible());
    EXPECT_FALSE(box().FaderDesk().isVisible());
    const TCustomDesk* first = box().customDesk();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F11, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_NE(box().customDesk(), first); // rebuilt
    TCustomDesk* second = box().customDesk();
    second->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(second));
    QTest::keyClick(second, Qt::Key_F11, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_NE(box().customDesk(), second); // also from the desk itself, which it replaces
    EXPECT_EQ(form.DumpFormToINI->shortcut(), QKeySequence("Shift+Ctrl+F10"));
}

TEST_F(EditorDesk, StartupTimerShowsTheDeskOnlyWithAutoshowAndHidesTheEditorOnRequest) {
    box().FaderDesk().hide();
    form.CustomDeskFile = QStringLiteral(VPT64_EXAMPLE_DESKS) + "/minimal.vpt";
    form.startUpDone(); // it ticks once
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.StartupTimer->isActive(); }));
    EXPECT_EQ(box().customDesk(), nullptr);

    form.BoxSettingsTabsheet->autoshow_customdesk_yes_no->setChecked(true);
    form.BoxSettingsTabsheet->autoshow_customdesk_hide_editor->setChecked(true);
    form.StartupTimerTimer();
    ASSERT_NE(box().customDesk(), nullptr);
    EXPECT_FALSE(form.isVisible());
    box().customDesk()->close();
    EXPECT_TRUE(form.isVisible());
}

// The program ends with the editor window, whichever desk is open: no window stays behind.
TEST_F(EditorDesk, ClosingTheEditorEndsTheProgramEvenWithADeskOpen) {
    for (const QString& deskFile :
         {QString(), QStringLiteral(VPT64_EXAMPLE_DESKS "/minimal.vpt")}) {
        SCOPED_TRACE(deskFile.toStdString());
        form.CustomDeskFile = deskFile;
        form.show();
        box().GenerateFaderDeskExecute(); // the chosen desk
        ASSERT_TRUE(box().deskVisible());
        QTimer hang; // ends the loop should the program keep running
        hang.setSingleShot(true);
        QObject::connect(&hang, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        hang.start(5000);
        QTimer::singleShot(0, &form, &QWidget::close);
        EXPECT_EQ(QApplication::exec(), 0) << "the program kept running";
        for (const QWidget* window : QApplication::topLevelWidgets())
            EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
    }
}

// "Virtual Box" is the standard desk and "Custom Box…" a desk file, whatever was chosen before;
// Cancel changes nothing. The next run starts with the desk chosen last, where it was.
TEST(DeskChoice, VirtualBoxIsTheStandardDeskCancelKeepsTheChoiceAndTheNextRunRemembers) {
    const QString desks = QStringLiteral(VPT64_EXAMPLE_DESKS "/");
    // "button" and "menu" are Virtual Box; a file name is chosen with Custom Box…, "" cancels it.
    const struct {
        const char* name;
        QStringList steps;
        QString chosen;
    } cases[] = {
        {"button after a custom desk", {"pads.vpt", "button"}, {}},
        {"menu after a custom desk", {"minimal.vpt", "menu"}, {}},
        {"cancel keeps a custom desk", {"pads.vpt", ""}, desks + "pads.vpt"},
        {"cancel keeps the standard desk", {"pads.vpt", "button", ""}, {}},
        {"another custom desk", {"pads.vpt", "minimal.vpt"}, desks + "minimal.vpt"},
    };
    const auto run = [&desks](TForm1& form, const QString& step) {
        if (step == "button")
            return QTest::mouseClick(form.FileSheet->ShowFaderDesk, Qt::LeftButton);
        if (step == "menu") return form.findChild<QAction*>("VirtualBoxAction")->trigger();
        QTimer::singleShot(0, [file = step.isEmpty() ? step : desks + step] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (file.isEmpty()) return dialog->reject();
            dialog->selectFile(file);
            static_cast<QDialog*>(dialog)->accept();
        });
        form.findChild<QAction*>("CustomBoxAction")->trigger();
    };
    const auto deskInUse = [](const QString& chosen, VirtualBox& box) -> QWidget* {
        return chosen.isEmpty() ? &box.FaderDesk() : static_cast<QWidget*>(box.customDesk());
    };
    const TForm1::Options options{QString(), QStringLiteral("sim")};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        registry_settings::open()->clear();
        auto form = std::make_unique<TForm1>(options);
        form->show();
        for (const QString& step : c.steps)
            run(*form, step);
        VirtualBox& box = form->FaderDesk();
        EXPECT_EQ(form->CustomDeskFile, c.chosen);
        EXPECT_EQ(box.FaderDesk().isVisible(), c.chosen.isEmpty());
        EXPECT_EQ(box.customDesk() && box.customDesk()->isVisible(), !c.chosen.isEmpty());
        QWidget* shown = deskInUse(c.chosen, box);
        ASSERT_NE(shown, nullptr);
        const QRect place(40, 70, 600, 400);
        shown->resize(place.size());
        shown->move(place.topLeft());
        form->close();

        form = std::make_unique<TForm1>(options);
        EXPECT_EQ(form->CustomDeskFile, c.chosen);
        form->FaderDesk().GenerateFaderDeskExecute();
        const QWidget* again = deskInUse(c.chosen, form->FaderDesk());
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(QRect(again->pos(), again->size()), place);
    }
}

TEST_F(EditorDesk, DumpGoesToTheDocumentsFolderWhenTheProgramFolderIsReadOnly) {
    QTemporaryDir program;
    EXPECT_EQ(deskDumpPath(program.path()), program.filePath("customdesk.ini"));
    ReadOnlyFolder readOnly(program.path());
    if (!readOnly.effective()) GTEST_SKIP() << "the folder cannot be made read-only here";
    EXPECT_EQ(deskDumpPath(program.path()),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                  "/customdesk.ini");
}

} // namespace
