// The file forms of a bank: the two MIDI files and the converter text.
#include "../core/default_dump.h"
#include "converter_ini.h"
#include "midi_file.h"

#include <QList>
#include <gtest/gtest.h>

TEST(MidiFile, RecordFileIs2071BytesWithTrackLength2049) {
    const BankRecord bank = defaultRecord();
    const QByteArray file = recordMidiFile(bank);
    ASSERT_EQ(file.size(), 2071);
    EXPECT_EQ(file.left(23).toHex(), "4d546864"
                                     "00000006"
                                     "0000"
                                     "0001"
                                     "e728"
                                     "4d54726b"
                                     "00000801"
                                     "04");
    EXPECT_EQ(file.mid(23), QByteArray(reinterpret_cast<const char*>(bank.bytes().data()), 2048));
}

TEST(MidiFile, SysexFileKeepsWholeMessagesAndWritesLongDelaysAsMultiByteDeltas) {
    const QByteArray dump = QByteArray::fromHex("11f0017ff7"
                                                "f002"
                                                "f00304f7"
                                                "f005");
    EXPECT_EQ(sysexMidiFile(dump, 750).toHex(), "4d546864000000060000000101f4"
                                                "4d54726b00000011"
                                                "00f003017ff7"
                                                "856ef0030304f7"
                                                "00ff2f00");
}

namespace {

struct ConverterIni : ::testing::Test {
    BankRecord bank = defaultRecord();
    std::vector<ConverterIniPot> pots = converterIniPots(bank);
    std::vector<ConverterIniButton> buttons = converterIniButtons(bank, {}, {});

    QList<QByteArray> lines() const {
        const ConverterIniHeader header{"Release : Sep 19 2004", "https://example.org/",
                                        QDateTime::fromSecsSinceEpoch(0, Qt::UTC)};
        return converterIniText(header, bank, pots, buttons).split('\n');
    }
    QByteArray lineAfter(const QByteArray& line, int n = 1) const {
        return lines().value(lines().indexOf(line + '\r') + n);
    }
};

} // namespace

TEST_F(ConverterIni, EveryLineEndsInCrLfAndTheSectionsComeInOrder) {
    const QList<QByteArray> all = lines();
    EXPECT_EQ(all[0], "# Export from vPultron64 : Release : Sep 19 2004\r");
    EXPECT_EQ(all[1], "# Data Generated on : 1970-01-01 00:00:00\r");
    EXPECT_EQ(all.last(), ""); // the text ends with the last button line's CR LF
    EXPECT_EQ(all.size(), 5 + 15 * 3 + (1 + 8 + 1) + (1 + 64) + (2 + 64) + 1);
    for (qsizetype i = 0; i + 1 < all.size(); ++i)
        EXPECT_TRUE(all[i].endsWith('\r')) << i;
    QList<QByteArray> sections;
    for (const QByteArray& line : all)
        if (line.startsWith('[')) sections << line.chopped(1);
    EXPECT_EQ(sections,
              QList<QByteArray>({"[TYPE]", "[BANKNAME]", "[GLOBAL_MIDI_CHANNEL]", "[MORPH_BANK]",
                                 "[MORPH_POT_GLOBAL]", "[MORPH_POT_G1]", "[MORPH_POT_G2]",
                                 "[MORPH_POT_G3]", "[MORPH_POT_G4]", "[SNAPSHOT_AT_POWERON]",
                                 "[AUTO_SNAPSHOT]", "[MIDI_MERGER]", "[SEND_PC_ON_BANKCHANGE]",
                                 "[RECEIVE_PC_FOR_BANKCHANGE]", "[TOUCHSENSOR_SENSITIVITY]",
                                 "[LED_MAP]", "[POTS]", "[BUTTONS]"}));
}

TEST_F(ConverterIni, LinesOfThePartsCases) {
    bank.setBankName("abc");
    bank.setSroutMap(2, 30);
    pots[6] = {"B0", "07", "00", "7F", 100, "Volume", 'B'};
    pots[1].label = "     ";
    pots[2].modeChar = 'x';
    buttons[3] = {"90", "3C", "7F", 2, {}};
    buttons[4] = {"99", "24", "7F", 7, "Drum: Kick"};
    EXPECT_EQ(lineAfter("[BANKNAME]"), "   \"abc             \"\r");
    EXPECT_EQ(lineAfter("[LED_MAP]", 2), "   LED_SR2 = -1\r");
    EXPECT_EQ(lineAfter("[POTS]", 7), "   7  = B0 07 [00-7F:64] \"Volume\" DEC\r");
    EXPECT_TRUE(lineAfter("[POTS]", 2).contains("] \"\" "));
    EXPECT_TRUE(lineAfter("[POTS]", 3).endsWith("\" HEX\r"));
    EXPECT_EQ(lineAfter("[BUTTONS]", 4), " 4  = 90 3C 7F @Toggle   # \r");
    EXPECT_EQ(lineAfter("[BUTTONS]", 5), " 5  = 99 24 7F    # Preset : Drum: Kick\r");
    const std::pair<MergerMode, QByteArray> mergers[] = {{MergerMode::MergerOff, "disabled"},
                                                         {MergerMode::MergerOn, "enabled"},
                                                         {MergerMode::LinkEP, "ptlink_ep"},
                                                         {MergerMode::LinkFP, "ptlink_fp"}};
    for (const auto& [mode, word] : mergers) {
        bank.setMergerMode(mode);
        EXPECT_EQ(lineAfter("[MIDI_MERGER]"), "   " + word + '\r');
    }
}
