#include "bank_layout.h"
#include "box_config_page.h"
#include "button_page.h"
#include "edit_combo.h"
#include "page_test_support.h"
#include "pot_page.h"
#include "spin_edit.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QLineEdit>

using namespace page_test;
using namespace bank_layout;

namespace {

class BoxConfigPageTest : public EditorTest {
protected:
    void SetUp() override {
        start();
        page = form->BoxSettingsTabsheet;
        showPage(page);
    }
    std::uint8_t byte(int offset) const { return form->record.byteAt(offset); }
    void setByte(int offset, std::uint8_t value) { form->record.bytes()[offset] = value; }

    BoxConfigPage* page = nullptr;
};

TEST(BoxConfigPageDesign, StartsEmptyBeforeTheFirstBank) {
    BankRecord record;
    BoxConfigPage page(record);
    page.ensureBuilt();
    EXPECT_EQ(page.GlobalMIDIChannel->value(), 0);
    EXPECT_EQ(page.TouchsensorSensitivity->value(), 3);
    EXPECT_EQ(page.MorphBank->value(), 1);
    EXPECT_EQ(page.MorphPotGlobal->value(), 1);
    for (SpinEdit* group : page.MorphPotG)
        EXPECT_EQ(group->value(), 1);
    EXPECT_EQ(page.MIDIMergerMode->currentIndex(), -1);
    EXPECT_EQ(page.PotBehaviour->currentIndex(), -1);
    for (EditCombo* map : page.SROUT_Map)
        EXPECT_EQ(map->currentIndex(), -1);
    EXPECT_FALSE(page.AutoSnapshot->isChecked());
    EXPECT_EQ(page.SROUT_Map[7]->objectName(), "SROUT_Map_8");
    EXPECT_EQ(page.SROUT_Map[7]->accessibleName(), "SR #8");
    EXPECT_EQ(BoxConfigPage::ledMapItems().size(), 24);
    EXPECT_EQ(BoxConfigPage::ledMapItems()[8], "DIN SR #8 (Button ID #56-63)");
    EXPECT_EQ(BoxConfigPage::ledMapItems()[15], "reserved");
    EXPECT_EQ(BoxConfigPage::ledMapItems()[23], "MIDI Status rec. for Entry #56-63");
}

// A page not built yet gives a bank back exactly as its controls would have: storing an
// unchanged bank must not depend on whether the page was ever looked at.
TEST(BoxConfigPageDesign, GivesTheSameBankBackBuiltOrNot) {
    const auto filled = [](std::uint8_t value, const char* name) {
        BankRecord record;
        for (int offset = kGlobalSettings; offset < kGlobalMidiChannel + 2; ++offset)
            record.bytes()[offset] = value;
        record.setBankName(name);
        return record;
    };
    const BankRecord cases[] = {BankRecord{}, filled(0x7F, "Sample Bank"),
                                filled(0x55, "  spaced  "), filled(0x0A, "\x01\x7F~")};
    for (const BankRecord& bank : cases) {
        BankRecord unbuiltCopy = bank;
        BankRecord builtCopy = bank;
        BoxConfigPage unbuilt(unbuiltCopy);
        BoxConfigPage built(builtCopy);
        for (BoxConfigPage* page : {&unbuilt, &built})
            page->loadFromRecord();
        built.ensureBuilt();
        unbuilt.saveToRecord();
        built.saveToRecord();
        EXPECT_FALSE(unbuilt.isBuilt());
        EXPECT_TRUE(unbuiltCopy == builtCopy) << "bank name '" << bank.bankName() << "'";
    }
}

TEST_F(BoxConfigPageTest, ShowsTheBuiltInBank) {
    EXPECT_EQ(page->BankLabel->text(), "Sample Bank");
    EXPECT_EQ(page->MIDIMergerMode->currentText(), "MIDI Merger on");
    EXPECT_EQ(page->PotBehaviour->currentText(), "Normal");
    EXPECT_TRUE(page->AutoSnapshot->isChecked());
    EXPECT_FALSE(page->SnapShotAtPowerOn->isChecked());
    EXPECT_EQ(page->MorphBank->value(), 1); // the bank holds 0, below the field's range
    EXPECT_EQ(page->TouchsensorSensitivity->value(), 3);
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(page->SROUT_Map[k - 1]->currentIndex(), k);
}

TEST_F(BoxConfigPageTest, LoadThenSaveTouchesOnlyFormatFlagsClampedValuesAndTheName) {
    auto& bytes = form->record.bytes();
    bytes[kFormatByte1] = 0x01;
    bytes[kFormatByte3] = 0x33;
    bytes[kFlagsA] = 0x7F; // merger off, relative, and bits the page does not know
    bytes[kFlagsB] = 0x40;
    bytes[kFlagsC] = 0x7B; // send and receive PC, no link mode, unknown bits
    bytes[kFlagsD] = 0x7A;
    bytes[kMorphBank] = 0;
    bytes[kMorphBank + 1] = 0;
    bytes[kGlobalMidiChannel] = 0x04;
    bytes[kGlobalMidiChannel + 1] = 0x05; // 84, beyond 64
    bytes[kTouchsensorSensitivity] = 0x0F;
    bytes[kTouchsensorSensitivity + 1] = 0x02; // 47 + 1, beyond 32
    bytes[kSroutMap1 + 4] = 0x09;
    bytes[kSroutMap1 + 5] = 0x01; // 25: no item
    for (int i = 0; i < 16; ++i)
        bytes[kBankLabel + i] = "Short\0Hidden    "[i];
    const BankRecord loaded = form->record;
    form->LoadSettingsToForm();
    EXPECT_TRUE(form->record == loaded) << "loading wrote into the record";
    EXPECT_EQ(page->PotBehaviour->currentText(), "Relative");
    EXPECT_EQ(page->GlobalMIDIChannel->value(), 64);
    EXPECT_EQ(page->TouchsensorSensitivity->value(), 32);
    EXPECT_EQ(page->SROUT_Map[2]->currentIndex(), -1);
    EXPECT_EQ(page->BankLabel->text(), "Short");

    form->SaveSettingsFromForm();
    BankRecord expected = loaded;
    auto& e = expected.bytes();
    e[kFormatByte1] = 0x47;
    e[kFormatByte3] = 0x00;
    e[kFlagsA] = 0x01 | 0x04 | 0x08;
    e[kFlagsB] = 0x00;
    e[kFlagsC] = 0x03;
    e[kFlagsD] = 0x00;
    e[kMorphBank] = 1;
    e[kGlobalMidiChannel] = 0;
    e[kGlobalMidiChannel + 1] = 4;
    e[kTouchsensorSensitivity + 1] = 0x01; // 31
    for (int i = 0; i < 16; ++i)
        e[kBankLabel + i] = "Short           "[i];
    for (int i = 0; i < kRecordSize; ++i)
        EXPECT_EQ(form->record.byteAt(i), expected.byteAt(i)) << "offset 0x" << std::hex << i;
}

// A typed value counts when its field is left, a click or a choice at once: each is an edit that
// can be undone.
TEST_F(BoxConfigPageTest, EditsReachTheRecordWhenTheyCount) {
    typeInto(page->BankLabel, QStringLiteral("Sixteen chars ok"));
    EXPECT_EQ(form->record.bankName(), "Sample Bank");
    leave(page->BankLabel);
    EXPECT_EQ(form->record.bankName(), "Sixteen chars ok");
    typeAndLeave(page->MorphPotG[2], QStringLiteral("20"));
    page->SnapShotAtPowerOn->click();
    EXPECT_EQ(byte(kFlagsB), 0);
    choose(page->PotBehaviour, QStringLiteral("Parallax"));
    EXPECT_EQ(form->record.bankName(), "Sixteen chars ok");
    EXPECT_EQ(form->record.morphPotGroup(3), 20);
    EXPECT_EQ(byte(kFlagsA) & 0x0C, 0x0C);
    EXPECT_EQ(byte(kFlagsB), 0x01);
    EXPECT_EQ(byte(kFlagsD), 0x05);
}

TEST_F(BoxConfigPageTest, AnEditIsDiscardedByTheNextBank) {
    typeInto(page->TouchsensorSensitivity, QStringLiteral("10"));
    const BankRecord bank = form->record;
    form->MessageBuffer.assign(form->OutgoingDump.used());
    ASSERT_EQ(form->DumpToRecord(form->MessageBuffer, form->record), 0);
    EXPECT_EQ(page->TouchsensorSensitivity->value(), 3);
    EXPECT_TRUE(form->record == bank);
}

TEST_F(BoxConfigPageTest, TheMergerModeIsWrittenAtOnceAndOnlyItsTwoBits) {
    setByte(kFlagsA, 0x48);
    setByte(kFlagsC, 0x21);
    form->LoadSettingsToForm();
    ASSERT_EQ(page->MIDIMergerMode->currentText(), "MIDI Merger on");
    choose(page->MIDIMergerMode, QStringLiteral("Pultron Link EP"));
    EXPECT_EQ(byte(kFlagsA), 0x49);
    EXPECT_EQ(byte(kFlagsC), 0x25);
}

TEST_F(BoxConfigPageTest, AMergerTextTypedByHandCountsAsNoItem) {
    typeInto(page->MIDIMergerMode, QStringLiteral("midi merger off"));
    EXPECT_EQ(page->MIDIMergerMode->currentIndex(), 0);
    EXPECT_EQ(page->MIDIMergerMode->currentText(), "midi merger off");
    EXPECT_EQ(form->record.mergerMode(), MergerMode::MergerOff);
    typeInto(page->MIDIMergerMode, QStringLiteral("Merge all"));
    EXPECT_EQ(page->MIDIMergerMode->currentIndex(), -1);
    EXPECT_EQ(byte(kFlagsA) & 0x01, 0);
    EXPECT_EQ(byte(kFlagsC) & 0x04, 0x04);
    EXPECT_EQ(form->record.mergerMode(), MergerMode::LinkFP);
    form->SaveSettingsFromForm();
    EXPECT_EQ(form->record.mergerMode(), MergerMode::LinkFP);
}

TEST_F(BoxConfigPageTest, TheLedMapIsWrittenAtOnceAndOnlyByItsSelectors) {
    choose(page->SROUT_Map[0], 16);
    EXPECT_EQ(byte(kSroutMap1), 0x00);
    EXPECT_EQ(byte(kSroutMap1 + 1), 0x01);
    typeInto(page->SROUT_Map[2], QStringLiteral("my own"));
    EXPECT_EQ(byte(kSroutMap1 + 4), 0x0F);
    EXPECT_EQ(byte(kSroutMap1 + 5), 0x0F);
    form->SaveSettingsFromForm();
    EXPECT_EQ(byte(kSroutMap1 + 4), 0x0F);
    form->LoadSettingsToForm();
    EXPECT_EQ(page->SROUT_Map[2]->currentIndex(), -1);
    EXPECT_EQ(page->SROUT_Map[0]->currentText(), "MIDI Status rec. for Entry #0-7");
}

TEST_F(BoxConfigPageTest, LoadingABankLeavesTheDeskOptionsAlone) {
    page->autoshow_customdesk_yes_no->click();
    form->LoadSettingsToForm();
    EXPECT_TRUE(page->autoshow_customdesk_yes_no->isChecked());
    EXPECT_FALSE(page->autoshow_customdesk_hide_editor->isChecked());
}

TEST_F(BoxConfigPageTest, EveryControlOfTheEditorPagesHasANameAndACaption) {
    int controls = 0;
    for (QWidget* page :
         {static_cast<QWidget*>(form->BoxSettingsTabsheet),
          static_cast<QWidget*>(form->PotSettings), static_cast<QWidget*>(form->ButtSettings)}) {
        for (QWidget* widget : page->findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QComboBox*>(widget) ||
                qobject_cast<QCheckBox*>(widget) || qobject_cast<QLineEdit*>(widget);
            // The text fields inside spin boxes and combo boxes belong to those.
            const bool inner = qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) ||
                               qobject_cast<QComboBox*>(widget->parentWidget());
            if (!control || inner) continue;
            ++controls;
            EXPECT_FALSE(widget->objectName().isEmpty()) << widget->metaObject()->className();
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
    EXPECT_EQ(controls, 25 + 19 + 12);
}

} // namespace
