#include "bank_layout.h"
#include "box_config_page.h"
#include "button_page.h"
#include "dump_codec.h"
#include "edit_combo.h"
#include "page_test_support.h"
#include "pot_page.h"
#include "spin_edit.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace page_test;
using namespace bank_layout;

namespace {

// The areas of the bank that no page interprets.
const std::pair<int, int> kReservedAreas[] = {
    {kReserved1, 16}, {0x256, 2}, {0x264, 4}, {0x27C, 2}, {kReserved2, 368}};

class ReservedBytesTest : public EditorTest {};

TEST_F(ReservedBytesTest, ABankEditedOnEveryPageKeepsEveryReservedByte) {
    start();
    // A bank whose reserved bytes all differ, taken in the way a received dump is.
    BankRecord bank = form->record;
    for (const auto& [offset, length] : kReservedAreas)
        for (int i = 0; i < length; ++i)
            bank.bytes()[offset + i] = static_cast<std::uint8_t>((offset + 7 * i) & 0x7F);
    std::array<std::uint8_t, 2120> dump{};
    ASSERT_EQ(buildDump(bank, dump), 2120);
    form->MessageBuffer.assign(dump);
    ASSERT_EQ(form->DumpToRecord(form->MessageBuffer, form->record), 0);

    BoxConfigPage* box = form->BoxSettingsTabsheet;
    showPage(box);
    typeAndLeave(box->BankLabel, QStringLiteral("Edited"));
    choose(box->MIDIMergerMode, QStringLiteral("Pultron Link FP"));
    choose(box->PotBehaviour, QStringLiteral("Snap"));
    box->SendPCOnBankChange->click();
    box->SnapShotAtPowerOn->click();
    typeAndLeave(box->GlobalMIDIChannel, QStringLiteral("12"));
    typeAndLeave(box->TouchsensorSensitivity, QStringLiteral("20"));
    typeAndLeave(box->MorphBank, QStringLiteral("128"));
    typeAndLeave(box->MorphPotGlobal, QStringLiteral("64"));
    for (SpinEdit* group : box->MorphPotG)
        typeAndLeave(group, QStringLiteral("33"));
    for (EditCombo* map : box->SROUT_Map)
        choose(map, 23);

    PotPage* pots = form->PotSettings;
    showPage(pots);
    for (int n : {1, 64}) {
        typeAndLeave(pots->PotNumber, QString::number(n));
        choose(pots->PotByte0A, QStringLiteral("D : Channel Aftertouch "));
        typeAndLeave(pots->PotByte0B, QStringLiteral("9"));
        typeAndLeave(pots->PotByte1, QStringLiteral("100"));
        typeAndLeave(pots->PotMin, QStringLiteral("5"));
        typeAndLeave(pots->PotMax, QStringLiteral("99"));
        typeAndLeave(pots->PotInitialValue, QStringLiteral("50"));
        typeAndLeave(pots->PotLabel, QStringLiteral("Edited label"));
        choose(pots->PotLabelMode, QStringLiteral("+-HEX|"));
    }

    ButtonPage* buttons = form->ButtSettings;
    showPage(buttons);
    for (int n : {1, 64}) {
        typeAndLeave(buttons->ButtNumber, QString::number(n));
        choose(buttons->ButtByte0A, QStringLiteral("B : Controller "));
        typeAndLeave(buttons->ButtByte1, QStringLiteral("64"));
        typeAndLeave(buttons->ButtByte2, QStringLiteral("255"));
        choose(buttons->ButtMode, QStringLiteral("TOGGLE"));
    }

    ASSERT_EQ(form->RecordToDump(form->record, form->OutgoingDump), 0);
    const auto scanned = scanDump(form->OutgoingDump.used(), [](const std::string&) {});
    ASSERT_TRUE(scanned);
    const BankRecord& sent = scanned->record;
    for (const auto& [offset, length] : kReservedAreas)
        for (int i = 0; i < length; ++i)
            EXPECT_EQ(sent.byteAt(offset + i), bank.byteAt(offset + i))
                << "reserved byte 0x" << std::hex << offset + i;

    // The edits themselves went out too.
    EXPECT_EQ(sent.bankName(), "Edited");
    EXPECT_EQ(sent.mergerMode(), MergerMode::LinkFP);
    EXPECT_EQ(sent.potBehaviour(), PotBehaviour::Snap);
    EXPECT_EQ(sent.touchsensorSensitivity(), 20);
    EXPECT_EQ(sent.morphBank(), 128);
    EXPECT_EQ(sent.sroutMap(8), 23);
    EXPECT_TRUE(sent.pot(64) == (PotEntry{0x58, 100, 5, 99}));
    EXPECT_EQ(sent.initialValue(64), 50);
    EXPECT_EQ(sent.potLabel(64), "Edited label");
    EXPECT_EQ(sent.potLabelModeChar(64), 'a');
    EXPECT_TRUE(sent.button(64) == (ButtonEntry{0x3F, 64, 127, 2}));
    for (int i = 0; i < kRecordSize; ++i)
        ASSERT_LT(sent.byteAt(i), 0x80) << "offset 0x" << std::hex << i;
}

} // namespace
