#include "box_config_page.h"
#include "button_page.h"
#include "dump_codec.h"
#include "help_page.h"
#include "page_test_support.h"
#include "pot_page.h"
#include "preset_selector.h"
#include "spin_edit.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QMessageBox>

using namespace page_test;

namespace {

const QByteArray kSettings = "; presets for the tests\n"
                             "[PotPresets]\n"
                             "b05b007f=Reverb: Reverb Send\n"
                             "B007007F.40=CC 7 Channel Volume: Main Volume Left\n"
                             "B00A007F=Pan without separator name\n"
                             "B00B007F=Sound: Filter: Cutoff\n"
                             "B001007F=Twin\n"
                             "B002007F=Twin\n"
                             "Volume=Broken: Broken label\n"
                             "\n"
                             "[BUTTONPRESETS]\n"
                             "993C7F=Drum: Hi Bongo\n"
                             "\n"
                             "[CustomDesk]\n"
                             "FILENAME=self\n"
                             "AUTOSHOW=1\n"
                             "EditorHide=0\n"
                             "\n"
                             "[CUSTOMSYSEX]\n"
                             "FILENAME=start.syx\n";

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PresetActionsTest : public EditorTest {
protected:
    void SetUp() override {
        start(kSettings);
        pots = form->PotSettings;
        showPage(pots);
    }
    void selectPot(int n) { typeAndLeave(pots->PotNumber, QString::number(n)); }

    PotPage* pots = nullptr;
};

TEST_F(PresetActionsTest, TheSettingsFileFillsTheSelectorsAndOptions) {
    EXPECT_EQ(form->PresetFileName, settingsFile);
    ASSERT_EQ(pots->PotPresetName->count(), 7);
    EXPECT_EQ(pots->PotPresetName->itemText(0), "Reverb: Reverb Send");
    EXPECT_EQ(pots->PotPresetName->itemText(6), "Broken: Broken label");
    ASSERT_EQ(form->ButtSettings->ButtPresetName->count(), 1);
    EXPECT_TRUE(form->BoxSettingsTabsheet->autoshow_customdesk_yes_no->isChecked());
    EXPECT_FALSE(form->BoxSettingsTabsheet->autoshow_customdesk_hide_editor->isChecked());
    EXPECT_EQ(form->CustomDeskFile, settingsFile);
    EXPECT_EQ(form->CustomSysexFileName, dir.filePath("start.syx"));
    // The key b05b007f matches pot 1 (B0 5B 00 7F) whatever the letter case.
    EXPECT_EQ(pots->PotPresetName->currentText(), "Reverb: Reverb Send");
    // Button 1 (90 3C 7F) is the drum preset's event on another channel.
    EXPECT_EQ(form->ButtSettings->ButtPresetName->currentText(), "Drum: Hi Bongo");
}

TEST_F(PresetActionsTest, AppliedPresetsKeepTheirNameUntilThePotIsShownAgain) {
    selectPot(2);
    choose(pots->PotPresetName, QStringLiteral("CC 7 Channel Volume: Main Volume Left"));
    EXPECT_TRUE(form->record.pot(2) == (PotEntry{0x31, 7, 0, 127}));
    EXPECT_EQ(form->record.initialValue(2), 0x40);
    EXPECT_EQ(form->record.potLabel(2), "Main Volume Lef");
    EXPECT_EQ(pots->PotPresetName->currentText(), "CC 7 Channel Volume: Main Volume Left");
    pots->PotLabel->setFocus();
    press(pots->PotLabel, Qt::Key_PageUp);
    press(pots->PotLabel, Qt::Key_PageDown);
    // The lookup has no initial value part, so the key with ".40" never matches.
    EXPECT_EQ(pots->PotPresetName->currentText(), "Unknown");
}

TEST_F(PresetActionsTest, PresetsMatchAndApplyWhateverTheChannel) {
    selectPot(5); // controller 91 on channel 5
    EXPECT_EQ(pots->PotPresetName->currentText(), "Reverb: Reverb Send");
    choose(pots->PotPresetName, QStringLiteral("CC 7 Channel Volume: Main Volume Left"));
    EXPECT_TRUE(form->record.pot(5) == (PotEntry{0x34, 7, 0, 127}));
    EXPECT_EQ(pots->PotByte0B->value(), 5);

    ButtonPage* buttons = form->ButtSettings;
    showPage(buttons);
    typeAndLeave(buttons->ButtNumber, QStringLiteral("3")); // 92 3C 7F
    EXPECT_EQ(buttons->ButtPresetName->currentText(), "Drum: Hi Bongo");
    typeAndLeave(buttons->ButtByte1, QStringLiteral("61"));
    choose(buttons->ButtPresetName, QStringLiteral("Drum: Hi Bongo"));
    EXPECT_TRUE(form->record.button(3) == (ButtonEntry{0x12, 0x3C, 0x7F, 0}));
}

TEST_F(PresetActionsTest, LabelsComeFromTheNameAfterItsFirstSeparator) {
    choose(pots->PotPresetName, QStringLiteral("Pan without separator name"));
    EXPECT_EQ(pots->PotLabel->text(), "Pan without sep");
    EXPECT_EQ(form->record.pot(1).data, 10);
    choose(pots->PotPresetName, QStringLiteral("Sound: Filter: Cutoff"));
    EXPECT_EQ(form->record.potLabel(1), "Filter: Cutoff");
    pots->PresetCopiesNameCheckBox->click();
    choose(pots->PotPresetName, QStringLiteral("Reverb: Reverb Send"));
    EXPECT_EQ(form->record.potLabel(1), "Filter: Cutoff");
    EXPECT_EQ(form->record.pot(1).data, 91);
}

TEST_F(PresetActionsTest, ItemsWithTheSameNameApplyTheirOwnKeys) {
    choose(pots->PotPresetName, 5);
    EXPECT_EQ(form->record.pot(1).data, 2);
    choose(pots->PotPresetName, 4);
    EXPECT_EQ(form->record.pot(1).data, 1);
    EXPECT_EQ(form->record.potLabel(1), "Twin");
}

TEST_F(PresetActionsTest, AKeyWithoutANumberGivesOnlyTheLabel) {
    const PotEntry before = form->record.pot(1);
    choose(pots->PotPresetName, QStringLiteral("Broken: Broken label"));
    EXPECT_EQ(form->record.potLabel(1), "Broken label");
    EXPECT_TRUE(form->record.pot(1) == before);
}

TEST_F(PresetActionsTest, TextTypedIntoTheSelectorAppliesNothing) {
    const BankRecord before = form->record;
    typeInto(pots->PotPresetName, QStringLiteral("Twi"));
    typeInto(pots->PotPresetName, QStringLiteral("Sound: Filter"));
    EXPECT_TRUE(form->record == before);
}

// A text field keeps Ctrl+C and Ctrl+V for its text; the number fields and lists copy the pot.
TEST_F(PresetActionsTest, CopyAndPasteMovePotsButATextFieldCopiesText) {
    QGuiApplication::clipboard()->setText(QStringLiteral("from the clipboard"));
    selectPot(35);
    const PotEntry entry = form->record.pot(35);
    const auto label = form->record.labelRecord(35);
    pots->PotLabel->setFocus();
    pots->PotLabel->selectAll();
    press(pots->PotLabel, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "CutOff # 3");
    QGuiApplication::clipboard()->setText(QStringLiteral("from the clipboard"));
    pots->PotByte1->setFocus();
    press(pots->PotByte1, Qt::Key_C, Qt::ControlModifier);
    selectPot(9);
    const std::uint8_t initialValue = form->record.initialValue(9);
    pots->PotByte1->setFocus();
    press(pots->PotByte1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(form->record.pot(9) == entry);
    EXPECT_EQ(form->record.labelRecord(9), label);
    EXPECT_EQ(form->record.initialValue(9), initialValue);
    EXPECT_EQ(pots->PotLabel->text(), "CutOff # 3");
    EXPECT_EQ(pots->PotByte1->value(), 74);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "from the clipboard");
}

TEST_F(PresetActionsTest, PastingBeforeAnyCopyWritesZeros) {
    selectPot(10);
    press(pots->PotNumber, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(form->record.pot(10) == PotEntry{});
    EXPECT_EQ(form->record.labelRecord(10), (std::array<std::uint8_t, 16>{}));
    // The field cannot show 0x00; the bank keeps it until byte 0 is edited.
    EXPECT_EQ(pots->PotByte0->value(), 0x90);
    EXPECT_EQ(form->record.pot(10).status, 0x00);
    typeInto(pots->PotByte0B, QStringLiteral("2"));
    EXPECT_EQ(form->record.pot(10).status, 0x11);
}

TEST_F(PresetActionsTest, CopyAndPasteMoveButtonsOnTheButtonPage) {
    ButtonPage* buttons = form->ButtSettings;
    showPage(buttons);
    typeAndLeave(buttons->ButtNumber, QStringLiteral("64"));
    press(buttons->ButtNumber, Qt::Key_C, Qt::ControlModifier);
    typeAndLeave(buttons->ButtNumber, QStringLiteral("2"));
    press(buttons->ButtNumber, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(form->record.button(2) == form->record.button(64));
    EXPECT_EQ(buttons->ButtByte0->value(), 0x9F);
}

TEST_F(PresetActionsTest, CopyAndPasteDoNothingOnOtherPages) {
    showPage(form->BoxSettingsTabsheet);
    const BankRecord before = form->record;
    form->CopyPot();
    form->PastePot();
    form->BoxSettingsTabsheet->BankLabel->setFocus();
    press(form->BoxSettingsTabsheet->BankLabel, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(form->record == before);
    EXPECT_TRUE(form->PotCopyBuffer.entry == PotEntry{});
}

TEST_F(PresetActionsTest, StoringAppSettingsWritesOnlyItsThreeKeys) {
    form->BoxSettingsTabsheet->autoshow_customdesk_hide_editor->click();
    press(pots->PotLabel, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    QByteArray expected = kSettings;
    expected.replace("FILENAME=self", "FILENAME=" + settingsFile.toUtf8());
    expected.replace("EditorHide=0", "EditorHide=1");
    EXPECT_EQ(fileBytes(settingsFile), expected);
    EXPECT_EQ(pots->PotLabel->text(), "Reverb # 1");
}

TEST_F(PresetActionsTest, AFailedStoreTellsTheUser) {
    form->PresetFileName = dir.filePath("missing/vpt64presets.ini");
    press(form.get(), Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    const auto messages = form->findChildren<QMessageBox*>();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.front()->text(), "Unable to write to " + form->PresetFileName);
    messages.front()->accept();
}

TEST(PresetStartUp, ABareSettingsFileNameIsUsedAndCreatedInTheCurrentFolder) {
    QTemporaryDir dir;
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    {
        TForm1 form({QStringLiteral("bare.ini")});
        EXPECT_EQ(form.PresetFileName, "bare.ini");
        EXPECT_EQ(form.CustomDeskFile,
                  QCoreApplication::applicationDirPath() + QStringLiteral("/customdesk.vpt"));
        EXPECT_EQ(form.PotSettings->PotPresetName->count(), 0);
        form.StoreAppSettings();
    }
    QDir::setCurrent(saved);
    EXPECT_EQ(fileBytes(dir.filePath("bare.ini")),
              "[CUSTOMDESK]\nFILENAME=" + QCoreApplication::applicationDirPath().toUtf8() +
                  "/customdesk.vpt\nAUTOSHOW=0\nEDITORHIDE=0\n");
}

TEST(PresetStartUp, CustomDesksAreChosenFromTheCustomFilesFolderWhenItExists) {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString customFiles = programDir + QStringLiteral("/customfiles");
    QTemporaryDir dir;
    {
        TForm1 form({dir.filePath("none.ini")});
        EXPECT_EQ(form.VPTOpenDialogDir, QDir(customFiles).exists() ? customFiles : programDir);
    }
    if (QDir(customFiles).exists()) return;
    ASSERT_TRUE(QDir().mkpath(customFiles));
    TForm1 form({dir.filePath("none.ini")});
    QDir(customFiles).removeRecursively();
    EXPECT_EQ(form.VPTOpenDialogDir, customFiles);
}

TEST_F(PresetActionsTest, ABankNamedOnTheCommandLineReplacesTheSettingsStartUpBank) {
    TForm1 named({settingsFile, QStringLiteral("sim"), dir.filePath("mine.syx")});
    EXPECT_EQ(named.CustomSysexFileName, dir.filePath("mine.syx"));
    EXPECT_EQ(named.PresetFileName, settingsFile);
}

// Start-up builds only the transfer page. The others are built as their tabs are first chosen,
// with the settings file's presets and options and the bank as it is by then.
TEST_F(EditorTest, PagesAreBuiltWhenFirstChosenWithWhatArrivedMeanwhile) {
    start(kSettings);
    EXPECT_FALSE(form->BoxSettingsTabsheet.ifBuilt());
    EXPECT_FALSE(form->PotSettings.ifBuilt());
    EXPECT_FALSE(form->ButtSettings.ifBuilt());
    EXPECT_FALSE(form->HelpTabSheet.ifBuilt());

    // Storing the settings keeps the desk options that no page has shown yet.
    press(form.get(), Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    QByteArray expected = kSettings;
    expected.replace("FILENAME=self", "FILENAME=" + settingsFile.toUtf8());
    EXPECT_EQ(fileBytes(settingsFile), expected);

    BankRecord bank = form->record;
    bank.setBankName("Arrived later");
    bank.setPot(1, {0x30, 0x0B, 0, 0x7F});
    std::array<std::uint8_t, 2120> dump{};
    ASSERT_EQ(buildDump(bank, dump), 2120);
    form->MessageBuffer.assign(dump);
    ASSERT_EQ(form->DumpToRecord(form->MessageBuffer, form->record), 0);
    EXPECT_FALSE(form->PotSettings.ifBuilt());

    QWidget* const deferred[] = {form->BoxSettingsTabsheet.page(), form->PotSettings.page(),
                                 form->ButtSettings.page()};
    for (QWidget* page : deferred) {
        showPage(page);
        // Built as it is shown: its controls are in place at once, not an event later.
        for (QWidget* part : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(part->isVisible() && !part->geometry().isEmpty())
                << part->metaObject()->className();
    }
    BoxConfigPage* box = form->BoxSettingsTabsheet.ifBuilt();
    PotPage* pots = form->PotSettings.ifBuilt();
    ButtonPage* buttons = form->ButtSettings.ifBuilt();
    ASSERT_TRUE(box && pots && buttons);
    EXPECT_EQ(box->BankLabel->text(), "Arrived later");
    EXPECT_TRUE(box->autoshow_customdesk_yes_no->isChecked());
    EXPECT_FALSE(box->autoshow_customdesk_hide_editor->isChecked());
    EXPECT_EQ(pots->PotPresetName->count(), 7);
    EXPECT_EQ(pots->PotPresetName->currentText(), "Sound: Filter: Cutoff");
    EXPECT_EQ(pots->PotByte1->value(), 0x0B);
    EXPECT_EQ(buttons->ButtPresetName->count(), 1);
    EXPECT_TRUE(form->record == bank) << "building the pages changed the bank";
}

} // namespace
