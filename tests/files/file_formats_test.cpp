// The file forms of a bank: .syx bytes, the two MIDI files and the converter text.
#include "../core/default_dump.h"
#include "converter_ini.h"
#include "midi_file.h"
#include "syx_file.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

std::span<const std::uint8_t> spanOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

} // namespace

TEST(SyxFile, WritesTheTakenDumpUntilTheBankChangesThenAFreshEncoding) {
    const QByteArray taken = QByteArray("\x01\x02", 2) + bytesOf(defaultDumpBytes());
    const BankRecord bank = defaultRecord();
    EXPECT_EQ(syxFileBytes(spanOf(taken), bank, bank, 5), taken);

    BankRecord edited = bank;
    edited.setPotLabel(3, "EDITED");
    const QByteArray fresh = syxFileBytes(spanOf(taken), bank, edited, 5);
    ASSERT_EQ(fresh.size(), 2120);
    for (int block = 0; block < 8; ++block)
        EXPECT_EQ(quint8(fresh[block * 265 + 5]), 0x54) << "device 5, block command";
    const auto decoded = scanDump(spanOf(fresh), {});
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->record, edited);
    EXPECT_EQ(encodeBank(bank, 0), bytesOf(defaultDumpBytes()));
}

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

TEST(MidiFile, SysexFileKeepsOnlyWholeMessagesWithLongDelaysAsMultiByteDeltas) {
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
    bool hasLine(const QByteArray& line) const { return lines().contains(line + '\r'); }
};

} // namespace

TEST_F(ConverterIni, EveryLineEndsInCrLfAndTheSectionsComeInOrder) {
    const QList<QByteArray> all = lines();
    EXPECT_EQ(all.first(), "# Export from vPultron64 : Release : Sep 19 2004\r");
    EXPECT_EQ(all[1], "# Data Generated on : 1970-01-01 00:00:00\r");
    EXPECT_EQ(all.last(), ""); // the text ends with the last button line's CR LF
    for (qsizetype i = 0; i + 1 < all.size(); ++i)
        EXPECT_TRUE(all[i].endsWith('\r')) << i;
    EXPECT_EQ(all.size(), 5 + 15 * 3 + (1 + 8 + 1) + (1 + 64) + (2 + 64) + 1);
    qsizetype last = -1;
    for (const char* section :
         {"[TYPE]", "[BANKNAME]", "[GLOBAL_MIDI_CHANNEL]", "[MORPH_BANK]", "[MORPH_POT_GLOBAL]",
          "[MORPH_POT_G1]", "[MORPH_POT_G4]", "[SNAPSHOT_AT_POWERON]", "[AUTO_SNAPSHOT]",
          "[MIDI_MERGER]", "[SEND_PC_ON_BANKCHANGE]", "[RECEIVE_PC_FOR_BANKCHANGE]",
          "[TOUCHSENSOR_SENSITIVITY]", "[LED_MAP]", "[POTS]", "[BUTTONS]"}) {
        const qsizetype at = all.indexOf(QByteArray(section) + '\r');
        EXPECT_GT(at, last) << section;
        last = at;
    }
}

TEST_F(ConverterIni, LinesOfThePartsCases) {
    bank.setBankName("abc");
    bank.setMergerMode(MergerMode::LinkFP);
    bank.setSroutMap(2, 30);
    pots[6] = {"B0", "07", "00", "7F", 100, "Volume", 'B'};
    pots[1].label = "     ";
    pots[2].modeChar = 'x';
    buttons[3] = {"90", "3C", "7F", 2, {}};
    buttons[4] = {"99", "24", "7F", 7, "Drum: Kick"};
    EXPECT_TRUE(hasLine("   \"abc             \""));
    EXPECT_TRUE(hasLine("   ptlink_fp"));
    EXPECT_TRUE(hasLine("   LED_SR2 = -1"));
    EXPECT_TRUE(hasLine("   7  = B0 07 [00-7F:64] \"Volume\" DEC"));
    EXPECT_TRUE(lines().at(lines().indexOf("[POTS]\r") + 2).contains("\"\""));
    EXPECT_TRUE(lines().at(lines().indexOf("[POTS]\r") + 3).endsWith("\" HEX\r"));
    EXPECT_TRUE(hasLine(" 4  = 90 3C 7F @Toggle   # "));
    EXPECT_TRUE(hasLine(" 5  = 99 24 7F    # Preset : Drum: Kick"));
}

TEST_F(ConverterIni, SwitchWordsFollowTheBank) {
    const struct {
        MergerMode merger;
        const char* word;
    } cases[] = {{MergerMode::MergerOff, "disabled"},
                 {MergerMode::MergerOn, "enabled"},
                 {MergerMode::LinkEP, "ptlink_ep"}};
    for (const auto& c : cases) {
        bank.setMergerMode(c.merger);
        const QList<QByteArray> all = lines();
        EXPECT_EQ(all.at(all.indexOf("[MIDI_MERGER]\r") + 1), QByteArray("   ") + c.word + '\r');
    }
}
