#include "button_page.h"
#include "dump_codec.h"
#include "edit_combo.h"
#include "page_test_support.h"
#include "pot_page.h"
#include "preset_selector.h"
#include "spin_edit.h"

#include <QLabel>
#include <QSignalSpy>

using namespace page_test;

namespace {

class ButtonPageTest : public EditorTest {
protected:
    void SetUp() override {
        start("[BUTTONPRESETS]\n"
              "903CFF=Note loud: C4 loud\n"
              "B0407F=Sustain Pedal On: Sustain\n");
        page = form->ButtSettings;
        showPage(page);
    }
    void selectButton(int n) { typeAndLeave(page->ButtNumber, QString::number(n)); }
    QStringList captions() const {
        return {page->ButtByte0BLabel->text(), page->ButtByte1Label->text(),
                page->ButtByte2Label->text()};
    }

    ButtonPage* page = nullptr;
};

TEST_F(ButtonPageTest, ShowsButtonOneOfTheBankAtStart) {
    EXPECT_EQ(page->ButtByte0->value(), 0x90);
    EXPECT_EQ(page->ButtByte0A->currentText(), "9 : Note On ");
    EXPECT_EQ(page->ButtByte1->value(), 60);
    EXPECT_EQ(page->ButtByte2HEX->text(), "7F");
    EXPECT_EQ(page->ButtMode->currentText(), "ON/OFF");
    // 0x90 is the design value of the status field: the captions stay as designed.
    EXPECT_EQ(captions(), QStringList({"Midi Channel :", "Byte 1 :", "Byte 2 :"}));
}

TEST_F(ButtonPageTest, ChoosingAModeWritesItAtOnce) {
    selectButton(3);
    choose(page->ButtMode, QStringLiteral("TOGGLE"));
    EXPECT_EQ(form->record.button(3).mode, 2);
    selectButton(4);
    EXPECT_EQ(page->ButtMode->currentText(), "ON/OFF");
    selectButton(3);
    EXPECT_EQ(page->ButtMode->currentText(), "TOGGLE");
}

TEST_F(ButtonPageTest, AnUnknownModeShowsNoneAndStaysUntilAModeIsChosen) {
    ButtonEntry entry = form->record.button(5);
    entry.mode = 3;
    form->record.setButton(5, entry);
    selectButton(5);
    EXPECT_EQ(page->ButtMode->currentIndex(), -1);
    typeInto(page->ButtByte1, QStringLiteral("61"));
    EXPECT_EQ(form->record.button(5).mode, 3);
    choose(page->ButtMode, QStringLiteral("ON ONLY"));
    EXPECT_EQ(form->record.button(5).mode, 1);
}

TEST_F(ButtonPageTest, MetaEventsUseTheButtonPagesOwnCaptions) {
    choose(page->ButtByte0A, QStringLiteral("F : Meta Event "));
    EXPECT_EQ(captions(), QStringList({"Meta ID :", "Meta Event Nr :", "Value :"}));
    choose(page->ButtByte0A, QStringLiteral("C : Program Change "));
    EXPECT_EQ(captions(), QStringList({"Midi Channel :", "Program Nr :", "Not Used :"}));
}

TEST_F(ButtonPageTest, ChoosingPitchBenderKeepsTheChannel) {
    selectButton(6); // note on, channel 6: 0x95
    ASSERT_EQ(page->ButtByte0->value(), 0x95);
    choose(page->ButtByte0A, QStringLiteral("E : Pitch Bender "));
    EXPECT_EQ(page->ButtByte0->value(), 0xE5);
    EXPECT_EQ(page->ButtByte0HEX->text(), "E5");
    EXPECT_EQ(form->record.button(6).status, 0x65);
    EXPECT_EQ(page->ButtByte0B->value(), 6);
    EXPECT_EQ(captions(), QStringList({"Midi Channel :", "Pitch MSB :", "Pitch LSB :"}));
}

TEST_F(ButtonPageTest, PageUpAndDownStopAtBothEnds) {
    selectButton(64);
    page->ButtByte2->setFocus();
    press(page->ButtByte2, Qt::Key_PageUp);
    EXPECT_EQ(page->ButtNumber->value(), 64);
    EXPECT_EQ(page->ButtByte2->value(), 127);
    press(page->ButtByte2, Qt::Key_PageDown);
    EXPECT_EQ(page->ButtNumber->value(), 63);
    selectButton(1);
    press(page->ButtNumber, Qt::Key_PageDown);
    EXPECT_EQ(page->ButtNumber->value(), 1);
}

TEST_F(ButtonPageTest, ButtonEditsLeaveTheDeskAlone) {
    QSignalSpy knobs(form->PotSettings, &PotPage::knobChanged);
    typeInto(page->ButtByte1, QStringLiteral("70"));
    choose(page->ButtByte0A, QStringLiteral("B : Controller "));
    EXPECT_EQ(form->record.button(1).data1, 70);
    EXPECT_TRUE(knobs.isEmpty());
}

TEST_F(ButtonPageTest, ByteTwoAbove127NeverReachesTheDump) {
    typeInto(page->ButtByte2, QStringLiteral("200"));
    EXPECT_EQ(page->ButtByte2HEX->text(), "C8");
    EXPECT_EQ(form->record.button(1).data2, 0x7F);
    leave(page->ButtByte2);
    EXPECT_EQ(page->ButtByte2->value(), 127);

    selectButton(2);
    choose(page->ButtPresetName, QStringLiteral("Note loud: C4 loud"));
    EXPECT_EQ(page->ButtByte2->value(), 127);
    EXPECT_EQ(form->record.button(2).data2, 0x7F);
    EXPECT_EQ(form->record.button(2).data1, 0x3C);
    EXPECT_EQ(page->ButtPresetName->currentText(), "Note loud: C4 loud");

    ASSERT_EQ(form->RecordToDump(form->record, form->OutgoingDump), 0);
    const auto dump = form->OutgoingDump.used();
    ASSERT_EQ(dump.size(), 2120u);
    for (std::size_t i = 0; i < dump.size(); ++i) {
        if (dump[i] != 0xF0 && dump[i] != 0xF7) {
            ASSERT_LT(dump[i], 0x80) << "byte " << i;
        }
    }
}

TEST_F(ButtonPageTest, ThePresetNameShowsForEveryKeyThatAppliesTheseBytes) {
    selectButton(7); // 96 3C 7F: the preset on channel 1 names it as well
    EXPECT_EQ(page->ButtPresetName->currentText(), "Note loud: C4 loud");
    typeInto(page->ButtByte1, QStringLiteral("61"));
    EXPECT_EQ(page->ButtPresetName->currentText(), "Unknown");
    typeInto(page->ButtByte0, QStringLiteral("176"));
    typeInto(page->ButtByte1, QStringLiteral("64"));
    EXPECT_EQ(page->ButtPresetName->currentText(), "Sustain Pedal On: Sustain");
    typeInto(page->ButtByte0, QStringLiteral("144"));
    typeInto(page->ButtByte1, QStringLiteral("60"));
    // 903CFF applies 90 3C 7F, so 90 3C 7F is recognised as that preset.
    EXPECT_EQ(page->ButtPresetName->currentText(), "Note loud: C4 loud");
    typeInto(page->ButtByte2, QStringLiteral("300"));
    EXPECT_EQ(page->ButtPresetName->currentText(), "Unknown");
}

} // namespace
