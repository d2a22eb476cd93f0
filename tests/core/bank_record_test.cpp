#include "bank_record.h"
#include "default_dump.h"
#include "dump_codec.h"

#include <gtest/gtest.h>

using namespace bank_layout;

TEST(BankRecord, DefaultBankDecodesToTheDocumentedContent) {
    const BankRecord r = defaultRecord();
    for (int k = 1; k <= 16; ++k) {
        EXPECT_EQ(r.pot(k), (PotEntry{std::uint8_t(0x30 + k - 1), 91, 0, 127}));
        EXPECT_EQ(r.pot(16 + k), (PotEntry{std::uint8_t(0x30 + k - 1), 93, 0, 127}));
        EXPECT_EQ(r.pot(32 + k), (PotEntry{std::uint8_t(0x30 + k - 1), 74, 0, 127}));
        EXPECT_EQ(r.pot(48 + k), (PotEntry{std::uint8_t(0x30 + k - 1), 7, 0, 127}));
        EXPECT_EQ(r.button(k), (ButtonEntry{std::uint8_t(0x10 + k - 1), 60, 127, 0}));
    }
    EXPECT_EQ(r.potLabel(1), "Reverb # 1");
    EXPECT_EQ(r.potLabel(16), "Reverb #16");
    EXPECT_EQ(r.potLabel(17), "Chorus # 1");
    EXPECT_EQ(r.potLabel(40), "CutOff # 8");
    EXPECT_EQ(r.potLabel(64), "Volume #16");
    EXPECT_EQ(r.potLabelModeChar(1), 'b');
    EXPECT_EQ(r.potLabelModeChar(33), 'c');
    EXPECT_EQ(r.potLabelMode(33), 7);
    EXPECT_EQ(r.button(21).data1, 124);
    EXPECT_EQ(r.button(25).data1, 40);
    EXPECT_EQ(r.button(63).data1, 78);
    EXPECT_EQ(r.button(64), (ButtonEntry{0x1F, 79, 127, 0}));
    EXPECT_EQ(r.bankName(), "Sample Bank");
    EXPECT_EQ(r.mergerMode(), MergerMode::MergerOn);
    EXPECT_EQ(r.potBehaviour(), PotBehaviour::Normal);
    EXPECT_TRUE(r.autoSnapshot());
    EXPECT_FALSE(r.snapShotAtPowerOn() || r.sendPCOnBankChange() || r.receivePCForBankChange());
    EXPECT_EQ(r.morphBank(), 0);
    EXPECT_EQ(r.touchsensorSensitivity(), 3);
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(r.sroutMap(k), k);
    EXPECT_EQ(r.byteAt(0x240), 0x0F);
    EXPECT_EQ(r.byteAt(0x250), 0x47);
    EXPECT_EQ(r.byteAt(0x269), 0x04);
}

TEST(BankRecord, NibblePairsRoundTripWithTheirOffsets) {
    BankRecord r;
    r.setMorphBank(128);
    EXPECT_EQ(r.byteAt(kMorphBank), 0x00);
    EXPECT_EQ(r.byteAt(kMorphBank + 1), 0x08);
    EXPECT_EQ(r.morphBank(), 128);

    // Only the low nibble of each byte counts when reading.
    r.bytes()[kGlobalMidiChannel] = 0x7A;
    r.bytes()[kGlobalMidiChannel + 1] = 0x73;
    EXPECT_EQ(r.globalMidiChannel(), 0x3A);

    r.bytes()[kTouchsensorSensitivity] = 0x0F;
    r.bytes()[kTouchsensorSensitivity + 1] = 0x01;
    EXPECT_EQ(r.touchsensorSensitivity(), 32);
    r.setTouchsensorSensitivity(1);
    EXPECT_EQ(r.byteAt(kTouchsensorSensitivity), 0);

    r.setMorphPotGroup(4, 64);
    EXPECT_EQ(r.byteAt(0x262), 0);
    EXPECT_EQ(r.byteAt(0x263), 4);
    r.setSroutMap(8, 23);
    EXPECT_EQ(r.byteAt(0x28C), 7);
    EXPECT_EQ(r.byteAt(0x28D), 1);
}

TEST(BankRecord, MergerModeAndPotBehaviourFollowTheirFlagBits) {
    BankRecord r;
    r.bytes()[kFlagsA] = 0x00;
    r.bytes()[kFlagsC] = 0x04;
    EXPECT_EQ(r.mergerMode(), MergerMode::LinkFP);
    r.bytes()[kFlagsA] = 0x01;
    EXPECT_EQ(r.mergerMode(), MergerMode::LinkEP);
    r.bytes()[kFlagsC] = 0x00;
    EXPECT_EQ(r.mergerMode(), MergerMode::MergerOff);

    // Changing the merger mode alone keeps the other bits of flags A and C.
    r.bytes()[kFlagsA] = 0x7C;
    r.bytes()[kFlagsC] = 0x73;
    r.setMergerMode(MergerMode::LinkEP);
    EXPECT_EQ(r.byteAt(kFlagsA), 0x7D);
    EXPECT_EQ(r.byteAt(kFlagsC), 0x77);
    r.setMergerMode(MergerMode::MergerOn);
    EXPECT_EQ(r.byteAt(kFlagsA), 0x7C);
    EXPECT_EQ(r.byteAt(kFlagsC), 0x73);

    r.bytes()[kFlagsA] = 0x08;
    r.bytes()[kFlagsB] = 0x00;
    EXPECT_EQ(r.potBehaviour(), PotBehaviour::Relative);
    r.bytes()[kFlagsB] = 0x01;
    EXPECT_EQ(r.potBehaviour(), PotBehaviour::Parallax);
    r.bytes()[kFlagsA] = 0x04;
    r.bytes()[kFlagsB] = 0x00;
    EXPECT_EQ(r.potBehaviour(), PotBehaviour::Snap);
}

TEST(BankRecord, WritingGlobalFlagsRewritesFormatAndWholeFlagBytes) {
    BankRecord r;
    r.bytes()[kFlagsA] = 0x7F;
    r.bytes()[kFlagsB] = 0x7F;
    r.bytes()[kFlagsC] = 0x7F;
    r.bytes()[kFlagsD] = 0x7F;
    r.writeGlobalFlags({MergerMode::LinkEP, PotBehaviour::Parallax, true, false, true, true});
    EXPECT_EQ(r.byteAt(kFormatByte1), 0x47);
    EXPECT_EQ(r.byteAt(kFormatByte2), 0x11);
    EXPECT_EQ(r.byteAt(kFormatByte3), 0x00);
    EXPECT_EQ(r.byteAt(kFormatByte4), 0x04);
    EXPECT_EQ(r.byteAt(kFlagsA), 0x0D);
    EXPECT_EQ(r.byteAt(kFlagsB), 0x01);
    EXPECT_EQ(r.byteAt(kFlagsC), 0x05);
    EXPECT_EQ(r.byteAt(kFlagsD), 0x05);
    EXPECT_EQ(r.mergerMode(), MergerMode::LinkEP);
    EXPECT_EQ(r.potBehaviour(), PotBehaviour::Parallax);

    r.writeGlobalFlags({MergerMode::MergerOn, PotBehaviour::Normal, false, true, false, false});
    EXPECT_EQ(r.byteAt(kFlagsA), 0x00);
    EXPECT_EQ(r.byteAt(kFlagsB), 0x00);
    EXPECT_EQ(r.byteAt(kFlagsC), 0x02);
    EXPECT_EQ(r.byteAt(kFlagsD), 0x00);
}

TEST(BankRecord, TextFieldsFollowTheirReadingAndWritingRules) {
    BankRecord r;
    r.setBankName("Live Set");
    EXPECT_EQ(r.bankName(), "Live Set");
    EXPECT_EQ(r.byteAt(kBankLabel + 15), ' ');
    // A zero byte ends the name early.
    r.setBankName("ABCDEFGHIJ");
    r.bytes()[kBankLabel + 5] = 0;
    EXPECT_EQ(r.bankName(), "ABCDE");
    // Characters are stored with bit 7 cleared; longer names are cut at 16.
    r.setBankName("\xC1xtra long bank name");
    EXPECT_EQ(r.byteAt(kBankLabel), 0x41);
    EXPECT_EQ(r.bankName(), "Axtra long bank");

    r.setPotLabel(3, "Cut");
    const auto label = r.labelRecord(3);
    EXPECT_EQ(std::string(label.begin() + 1, label.begin() + 4), "Cut");
    EXPECT_EQ(label[4], 0);
    for (int i = 5; i < 16; ++i)
        EXPECT_EQ(label[i], ' ');
    r.setPotLabel(3, "123456789012345");
    EXPECT_EQ(r.labelRecord(3)[15], '5');
    EXPECT_EQ(r.potLabel(3), "123456789012345");
    r.setPotLabel(3, "");
    EXPECT_EQ(r.labelRecord(3)[1], 0);
    EXPECT_EQ(r.labelRecord(3)[15], ' ');
    EXPECT_EQ(r.potLabel(3), "");

    r.setPotLabelModeChar(5, 'Z');
    EXPECT_EQ(r.potLabelMode(5), 0); // unknown characters read as "HEX"
    r.setPotLabelModeChar(5, '`');
    EXPECT_EQ(r.potLabelMode(5), 4);
}

TEST(BankRecord, EntriesUseOneBasedNumbersAtTheirOffsets) {
    BankRecord r;
    r.setPot(64, {0x3F, 1, 2, 3});
    r.setButton(1, {0x10, 4, 5, 2});
    r.setInitialValue(64, 99);
    EXPECT_EQ(r.byteAt(0xFC), 0x3F);
    EXPECT_EQ(r.byteAt(0xFF), 3);
    EXPECT_EQ(r.byteAt(0x100), 0x10);
    EXPECT_EQ(r.byteAt(0x103), 2);
    EXPECT_EQ(r.byteAt(0x23F), 99);
    EXPECT_EQ(r.initialValue(64), 99);
    EXPECT_EQ(fullStatus(0x3F), 0xBF);
    EXPECT_EQ(storedStatus(0xB3), 0x33);
    EXPECT_THROW(r.pot(0), std::out_of_range);
    EXPECT_THROW(r.setButton(65, {}), std::out_of_range);
}
