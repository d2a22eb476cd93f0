#include "button_page.h"
#include "edit_combo.h"
#include "page_test_support.h"
#include "pot_page.h"
#include "preset_selector.h"
#include "spin_edit.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>

using namespace page_test;

namespace {

class PotPageTest : public EditorTest {
protected:
    void SetUp() override {
        start("[APPLICATIONCUSTOM]\n"
              "META_PotByte0BLabel=Sysex ID :\n"
              "META_PotByte1Label=Sysex Nr :\n"
              "META_PotMinLabel=Lowest :\n"
              "META_PotMaxLabel=Highest :\n"
              "META_PotInitialValueLabel=Start :\n");
        page = form->PotSettings;
        showPage(page);
    }
    void selectPot(int n) { typeAndLeave(page->PotNumber, QString::number(n)); }
    QStringList captions() const {
        return {page->PotByte1Label->text(), page->PotByte0BLabel->text(),
                page->PotMinLabel->text(), page->PotMaxLabel->text(),
                page->InitialValueLabel->text()};
    }
    std::array<std::uint8_t, 15> labelBytes(int n) const {
        const auto label = form->record.labelRecord(n);
        std::array<std::uint8_t, 15> text{};
        std::copy(label.begin() + 1, label.end(), text.begin());
        return text;
    }

    PotPage* page = nullptr;
};

TEST_F(PotPageTest, ShowsPotOneOfTheBankAtStart) {
    EXPECT_EQ(page->PotNumber->value(), 1);
    EXPECT_EQ(page->PotByte0->value(), 0xB0);
    EXPECT_EQ(page->PotByte0HEX->text(), "B0");
    EXPECT_EQ(page->PotByte0A->currentText(), "B : Controller ");
    EXPECT_EQ(page->PotByte0B->value(), 1);
    EXPECT_EQ(page->PotByte1->value(), 91);
    EXPECT_EQ(page->PotByte1HEX->text(), "5B");
    EXPECT_EQ(page->PotMaxHEX->text(), "7F");
    EXPECT_EQ(page->PotLabel->text(), "Reverb # 1");
    EXPECT_EQ(page->PotLabelMode->currentText(), "DEC|");
    EXPECT_EQ(captions(),
              QStringList({"Control Nr :", "Midi Channel:", "Min :", "Max :", "Initial Value :"}));
    EXPECT_EQ(page->PotByte1->accessibleName(), "Control Nr :");
    EXPECT_TRUE(page->PresetCopiesNameCheckBox->isChecked());
    EXPECT_EQ(page->PotPresetName->currentText(), "Unknown");
}

TEST_F(PotPageTest, TypingSeventeenIntoTheChannelMovesOnToTheNextEventType) {
    ASSERT_EQ(form->record.pot(1).status, 0x30); // 0xB0, controller on channel 1
    typeInto(page->PotByte0B, QStringLiteral("17"));
    EXPECT_EQ(page->PotByte0->value(), 0xC0);
    EXPECT_EQ(page->PotByte0A->currentText(), "C : Program Change ");
    EXPECT_EQ(page->PotByte0B->value(), 1);
    EXPECT_EQ(page->PotByte0HEX->text(), "C0");
    EXPECT_EQ(form->record.pot(1).status, 0x40);
    EXPECT_EQ(page->PotByte1Label->text(), "Program Nr :");
}

TEST_F(PotPageTest, ChoosingAnEventTypeKeepsTheChannel) {
    selectPot(4);
    ASSERT_EQ(page->PotByte0->value(), 0xB3);
    choose(page->PotByte0A, QStringLiteral("C : Program Change "));
    EXPECT_EQ(page->PotByte0->value(), 0xC3);
    EXPECT_EQ(page->PotByte0B->value(), 4);
    EXPECT_EQ(form->record.pot(4).status, 0x43);

    choose(page->PotByte0A, QStringLiteral("E : Pitch Bender "));
    EXPECT_EQ(captions(),
              QStringList({"Pitch MSB :", "Midi Channel:", "Min :", "Max :", "Pitch LSB :"}));
}

TEST_F(PotPageTest, MetaEventsTakeTheirCaptionsFromTheSettingsFile) {
    choose(page->PotByte0A, QStringLiteral("F : Meta Event "));
    typeInto(page->PotByte0B, QStringLiteral("12"));
    EXPECT_EQ(page->PotByte0->value(), 0xFB);
    EXPECT_EQ(form->record.pot(1).status, 0x7B);
    EXPECT_EQ(captions(),
              QStringList({"Sysex Nr :", "Sysex ID :", "Lowest :", "Highest :", "Start :"}));
    EXPECT_EQ(page->PotByte0B->accessibleName(), "Sysex ID :");
}

TEST_F(PotPageTest, LabelsAreStoredWithOneZeroByteAndSpaces) {
    using Text = std::array<std::uint8_t, 15>;
    typeInto(page->PotLabel, QStringLiteral("Vol"));
    EXPECT_EQ(labelBytes(1),
              (Text{'V', 'o', 'l', 0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    typeInto(page->PotLabel, QStringLiteral("Fifteen chars!!"));
    EXPECT_EQ(labelBytes(1),
              (Text{'F', 'i', 'f', 't', 'e', 'e', 'n', ' ', 'c', 'h', 'a', 'r', 's', '!', '!'}));
    typeInto(page->PotLabel, QStringLiteral("and one more"));
    EXPECT_EQ(page->PotLabel->text(), "and one more");
    typeInto(page->PotLabel, QString());
    EXPECT_EQ(labelBytes(1),
              (Text{0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(form->record.potLabelModeChar(1), 'b'); // the mode is left alone
}

TEST_F(PotPageTest, LabelModeStoresItsCharacterAndTypedTextStoresHex) {
    choose(page->PotLabelMode, QStringLiteral("+-DEC"));
    EXPECT_EQ(form->record.potLabelModeChar(1), 'C');
    typeInto(page->PotLabelMode, QStringLiteral("xy"));
    EXPECT_EQ(page->PotLabelMode->currentText(), "x"); // one character only
    EXPECT_EQ(page->PotLabelMode->currentIndex(), -1);
    EXPECT_EQ(form->record.potLabelModeChar(1), '@');
}

TEST_F(PotPageTest, SwitchingPotsChangesNoByte) {
    selectPot(5);
    const BankRecord before = form->record;
    page->PotLabel->setFocus();
    press(page->PotLabel, Qt::Key_PageUp);
    EXPECT_EQ(page->PotNumber->value(), 6);
    EXPECT_EQ(page->PotLabel->text(), "Reverb # 6");
    press(page->PotLabel, Qt::Key_PageDown);
    EXPECT_EQ(page->PotNumber->value(), 5);
    selectPot(37);
    selectPot(5);
    EXPECT_TRUE(form->record == before);
}

TEST_F(PotPageTest, PageUpAndDownStopAtBothEnds) {
    selectPot(64);
    page->PotMin->setFocus();
    press(page->PotMin, Qt::Key_PageUp);
    EXPECT_EQ(page->PotNumber->value(), 64);
    EXPECT_EQ(page->PotMin->value(), 0); // the focused field never saw the key
    selectPot(1);
    press(page->PotNumber, Qt::Key_PageDown);
    EXPECT_EQ(page->PotNumber->value(), 1);
    press(page->PotNumber, Qt::Key_PageUp);
    EXPECT_EQ(page->PotNumber->value(), 2);
}

TEST_F(PotPageTest, APotNumberTypedOutOfRangeKeepsTheLastPotUntilLeft) {
    selectPot(3);
    const BankRecord before = form->record;
    // "7" selects pot 7; "70" lies beyond the last pot.
    typeInto(page->PotNumber, QStringLiteral("70"));
    EXPECT_EQ(page->PotNumber->value(), 70);
    EXPECT_EQ(page->selectedPot(), 7);
    EXPECT_EQ(page->PotLabel->text(), "Reverb # 7");
    EXPECT_TRUE(form->record == before);
    leave(page->PotNumber);
    EXPECT_EQ(page->PotNumber->value(), 64);
    EXPECT_EQ(page->PotLabel->text(), "Volume #16");
}

TEST_F(PotPageTest, ValuesTypedBeyondTheRangeReachTheBankClamped) {
    typeInto(page->PotMin, QStringLiteral("200"));
    EXPECT_EQ(page->PotMinHEX->text(), "C8");
    EXPECT_EQ(form->record.pot(1).min, 127);
    leave(page->PotMin);
    EXPECT_EQ(page->PotMin->value(), 127);
    EXPECT_EQ(page->PotMinHEX->text(), "7F");

    // On the way to 0xA0 the status field holds 1 for a moment.
    typeInto(page->PotByte0, QStringLiteral("1"));
    EXPECT_EQ(page->PotByte0A->currentIndex(), -1);
    EXPECT_EQ(form->record.pot(1).status, 0x10);
    QTest::keyClicks(page->PotByte0, QStringLiteral("60"));
    EXPECT_EQ(form->record.pot(1).status, 0x20);
    EXPECT_EQ(page->PotByte0A->currentText(), "A : Poly Aftertouch ");
}

TEST_F(PotPageTest, AnEmptyFieldReadsAsItsMinimum) {
    typeInto(page->PotByte1, QString());
    EXPECT_EQ(form->record.pot(1).data, 0);
    EXPECT_EQ(page->PotByte1HEX->text(), "00");
    leave(page->PotByte1);
    EXPECT_EQ(page->PotByte1->text(), "0");
}

TEST_F(PotPageTest, RangeAndInitialValueChangesReachTheDeskControlOfThatPotOnly) {
    selectPot(7);
    QSignalSpy knobs(page, &PotPage::knobChanged);
    QSignalSpy hints(page, &PotPage::hintChanged);
    typeInto(page->PotMin, QStringLiteral("12"));
    ASSERT_EQ(knobs.size(), 2); // "1", then "12"
    EXPECT_EQ(knobs.last().at(0).toInt(), 7);
    EXPECT_EQ(knobs.last().at(1).value<PotPage::KnobProperty>(), PotPage::KnobProperty::Minimum);
    EXPECT_EQ(knobs.last().at(2).toInt(), 12);
    typeInto(page->PotInitialValue, QStringLiteral("99"));
    EXPECT_EQ(knobs.last().at(1).value<PotPage::KnobProperty>(), PotPage::KnobProperty::Position);
    EXPECT_EQ(knobs.last().at(2).toInt(), 99);
    EXPECT_EQ(form->record.initialValue(7), 99);
    typeInto(page->PotLabel, QStringLiteral("Seven"));
    EXPECT_EQ(hints.last().at(0).toInt(), 7);
    EXPECT_EQ(hints.last().at(1).toString(), "Seven");
    typeInto(page->PotByte1, QStringLiteral("3"));
    EXPECT_EQ(knobs.last().at(2).toInt(), 99); // the data byte is not the knob's business
}

// Typing into a hex box once went to the field that had the focus; now each box is an input.
TEST_F(EditorTest, HexBoxesTakeWhatIsTypedIntoThem) {
    start();
    PotPage* pots = form->PotSettings;
    ButtonPage* buttons = form->ButtSettings;
    const struct {
        QWidget* page;
        HexByteEdit* box;
        SpinEdit* field;
        const char* typed;
        int value;
        const char* refused; // beyond the field's range
    } boxes[] = {
        {pots, pots->PotByte0HEX, pots->PotByte0, "c3", 0xC3, "3C"},
        {pots, pots->PotByte1HEX, pots->PotByte1, "3C", 60, "80"},
        {pots, pots->PotMinHEX, pots->PotMin, "3C", 60, "FF"},
        {pots, pots->PotMaxHEX, pots->PotMax, "3C", 60, "100"},
        {pots, pots->PotInitialValueHEX, pots->PotInitialValue, "3C", 60, "80"},
        {buttons, buttons->ButtByte0HEX, buttons->ButtByte0, "E5", 0xE5, "8F"},
        {buttons, buttons->ButtByte1HEX, buttons->ButtByte1, "3C", 60, "80"},
        {buttons, buttons->ButtByte2HEX, buttons->ButtByte2, "3C", 60, "C8"},
    };
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.box->objectName().toStdString());
        showPage(b.page);
        // The field that has the focus before: it once took what was typed.
        SpinEdit* other = b.page == buttons         ? buttons->ButtNumber
                          : b.field == pots->PotMax ? pots->PotMin
                                                    : pots->PotMax;
        other->setFocus(Qt::TabFocusReason);
        const int otherValue = other->value();
        QTest::mouseDClick(b.box, Qt::LeftButton);
        QTest::keyClicks(b.box, QString::fromLatin1(b.typed));
        press(b.box, Qt::Key_Return);
        EXPECT_EQ(b.field->value(), b.value);
        EXPECT_EQ(b.box->text(), QString::asprintf("%02X", b.value));
        EXPECT_EQ(other->value(), otherValue);
        EXPECT_TRUE(b.box->accessibleName().endsWith(" HEX " + b.box->text()))
            << b.box->accessibleName().toStdString();

        typeInto(b.box, QString::fromLatin1(b.refused));
        press(b.box, Qt::Key_Return);
        EXPECT_EQ(b.field->value(), b.value);
        EXPECT_EQ(b.box->text(), QString::asprintf("%02X", b.value));
        typeInto(b.box, QStringLiteral("x")); // not a digit: the key is refused
        EXPECT_EQ(b.box->text(), QString::asprintf("%02X", b.value));
        typeAndLeave(b.box, QString());
        EXPECT_EQ(b.field->value(), b.value);
        EXPECT_EQ(b.box->text(), QString::asprintf("%02X", b.value));

        // Leaving the box enters what it holds too; leading zeros do no harm.
        typeAndLeave(b.box, QString::asprintf("00%x", b.value - 1));
        EXPECT_EQ(b.field->value(), b.value - 1);
    }
    EXPECT_TRUE(form->record.pot(1) == (PotEntry{0x42, 59, 59, 59}));
    EXPECT_EQ(form->record.initialValue(1), 59);
    EXPECT_TRUE(form->record.button(1) == (ButtonEntry{0x64, 59, 59, 0}));
}

TEST(PotPageDesign, CaptionsStayAsDesignedWhileTheStatusByteKeepsItsDesignValue) {
    BankRecord record;
    record.setPot(1, {0x10, 60, 0, 127});
    PotPage page(record);
    page.UpdatePotProps(); // before it is built: shown once it is
    page.ensureBuilt();
    EXPECT_EQ(page.PotByte1Label->text(), "Byte 1 :");
    EXPECT_EQ(page.PotByte0BLabel->text(), "Midi Channel :");
    EXPECT_EQ(page.PotByte1->value(), 60);
    record.setPot(2, {0x10 + 0x2F, 0, 0, 0}); // 0xBF
    page.PotNumber->setValue(2);
    EXPECT_EQ(page.PotByte1Label->text(), "Control Nr :");
    EXPECT_EQ(page.PotByte0B->value(), 16);
    EXPECT_TRUE(record.pot(1) == (PotEntry{0x10, 60, 0, 127}));
}

} // namespace
