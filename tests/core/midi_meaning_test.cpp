#include "midi_meaning.h"

#include "dump_codec.h"
#include "sysex_protocol.h"
#include "text_format.h"

#include <gtest/gtest.h>

#include <vector>

using namespace midi_meaning;
using Message = std::vector<std::uint8_t>;

namespace {

struct Case {
    Message message;
    std::string meaning;
};

void expectMeanings(const std::vector<Case>& cases, const BankRecord* bank) {
    for (const Case& c : cases)
        EXPECT_EQ(meaning(c.message, bank), c.meaning) << hexBytes(c.message);
}

// Pot 1 sends CC 91 on channel 1 as "Reverb # 1"; button 6 a note C4 on channel 6.
BankRecord namedBank() {
    BankRecord bank;
    bank.setPot(1, {storedStatus(0xB0), 91, 0, 127});
    bank.setPotLabel(1, "Reverb # 1");
    bank.setPot(2, {storedStatus(0xB1), 7, 0, 127});
    bank.setButton(6, {storedStatus(0x95), 60, 127, 0});
    return bank;
}

Message block(int number, bool goodChecksum) {
    std::vector<std::uint8_t> dump(sysex::kDumpSize);
    buildDump(BankRecord{}, dump);
    Message one(dump.begin() + number * sysex::kBlockSize,
                dump.begin() + (number + 1) * sysex::kBlockSize);
    if (!goodChecksum) one[sysex::kBlockChecksumIndex] ^= 1;
    return one;
}

} // namespace

TEST(MidiMeaning, ChannelMessagesInMidiTerms) {
    expectMeanings({{{0xB0, 91, 100}, "Control Change ch 1 cc 91 = 100"},
                    {{0x95, 60, 127}, "Note On ch 6 C4 vel 127"},
                    {{0x80, 61, 64}, "Note Off ch 1 C#4 vel 64"},
                    {{0x9F, 0, 1}, "Note On ch 16 C-1 vel 1"},
                    {{0x90, 60, 0}, "Note On ch 1 C4 vel 0 (note off)"},
                    {{0x80, 60, 0}, "Note Off ch 1 C4 vel 0"},
                    {{0xE0, 0x00, 0x40}, "Pitch Bend ch 1 = 0"},
                    {{0xE1, 0x00, 0x00}, "Pitch Bend ch 2 = -8192"},
                    {{0xE2, 0x7F, 0x7F}, "Pitch Bend ch 3 = 8191"},
                    {{0xC4, 5}, "Program Change ch 5 program 5"},
                    {{0xD0, 64}, "Channel Aftertouch ch 1 = 64"},
                    {{0xA2, 69, 30}, "Poly Aftertouch ch 3 A4 = 30"},
                    {{0xB0, 91}, "Control Change ch 1, malformed (2 bytes)"},
                    {{0x40, 1}, "data bytes without a status"},
                    {{0x40, 1, 0xF7}, "the rest of a SysEx message"},
                    {{}, "empty message"}},
                   nullptr);
}

TEST(MidiMeaning, NamesThePotOrButtonThatSendsExactlyThisEvent) {
    const BankRecord bank = namedBank();
    expectMeanings(
        {{{0xB0, 91, 100}, "Control Change ch 1 cc 91 = 100, pot 1 \"Reverb # 1\" = 100"},
         {{0xB1, 7, 3}, "Control Change ch 2 cc 7 = 3, pot 2 = 3"},
         {{0x95, 60, 127}, "Note On ch 6 C4 vel 127, button 6 pressed"},
         {{0x95, 60, 0}, "Note On ch 6 C4 vel 0 (note off), button 6 released"},
         {{0x95, 60, 64}, "Note On ch 6 C4 vel 64"},
         {{0xB0, 92, 100}, "Control Change ch 1 cc 92 = 100"}},
        &bank);
}

TEST(MidiMeaning, ControlsSharingAnEventAreNamedFirstAndCounted) {
    BankRecord bank = namedBank();
    bank.setPot(5, {storedStatus(0xB0), 91, 0, 127});
    bank.setPot(9, {storedStatus(0xB0), 91, 0, 127});
    bank.setButton(2, {storedStatus(0x95), 60, 127, 0});
    bank.setButton(3, {storedStatus(0x95), 60, 100, 0});
    expectMeanings(
        {{{0xB0, 91, 7}, "Control Change ch 1 cc 91 = 7, pot 1 \"Reverb # 1\" = 7 and 2 more"},
         {{0x95, 60, 127}, "Note On ch 6 C4 vel 127, button 2 pressed and 1 more"},
         {{0x95, 60, 0}, "Note On ch 6 C4 vel 0 (note off), button 2 released and 2 more"},
         {{0x95, 60, 100}, "Note On ch 6 C4 vel 100, button 3 pressed"}},
        &bank);
}

TEST(MidiMeaning, ControllerProtocolInWords) {
    expectMeanings(
        {{{0xF0, 0, 0, 0x7E, 0x43, 0x08, 0x04, 0xF7}, "bank change request to bank 5 (device 0)"},
         {{0xF0, 0, 0, 0x7E, 0x43, 0x35, 0xF7}, "dump request (device 3)"},
         {block(2, true), "dump block 3 of 8 (device 0, 265 bytes, checksum ok)"},
         {block(7, false), "dump block 8 of 8 (device 0, 265 bytes, checksum wrong)"},
         {{0xF0, 0, 0, 0x7E, 0x43, 0x04, 0x01, 0xF7},
          "dump block (device 0, 8 bytes, wrong length)"},
         {{0xF0, 0, 0, 0x7E, 0x43, 0x0F, 0x00, 0x05, 0xF7}, "acknowledge 05"},
         {{0xF0, 0, 0, 0x7E, 0x43, 0x0F, 0xF7}, "acknowledge"},
         {{0xF0, 0, 0, 0x7E, 0x43, 0x0E, 0x00, 0x00, 0x01, 0xF7}, "error reply 00 01"},
         {{0xF0, 0, 0, 0x7E, 0x43, 0x07, 0x09, 0xF7}, "bank number 10 (device 0)"},
         {{0xF0, 0, 0, 0x7E, 0x43, 0x03, 0xF7}, "Pultron64 command 3 (device 0, 7 bytes)"},
         {{0xF0, 0x41, 0x10, 0x42, 0xF7}, "SysEx, 5 bytes, manufacturer 41"},
         {{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7},
          "SysEx, 6 bytes, manufacturer universal non-real-time"},
         {{0xF0, 0x00, 0x20, 0x29, 0x02, 0xF7}, "SysEx, 6 bytes, manufacturer 00 20 29"},
         {{0xF0, 0, 0, 0x7E, 0x43, 0x02, 0x11, 0x90},
          "whole dump (device 0, 8 bytes), cut off by 90"},
         {{0xF0, 0x41, 0x10}, "SysEx, 3 bytes, manufacturer 41, cut off"}},
        nullptr);
}

TEST(MidiMeaning, SystemMessagesByName) {
    expectMeanings({{{0xF8}, "Timing Clock"},
                    {{0xFA}, "Start"},
                    {{0xFB}, "Continue"},
                    {{0xFC}, "Stop"},
                    {{0xFE}, "Active Sensing"},
                    {{0xFF}, "System Reset"},
                    {{0xF9}, "Undefined F9"},
                    {{0xF1, 0x23}, "MTC Quarter Frame 23"},
                    {{0xF2, 0x01, 0x02}, "Song Position 257"},
                    {{0xF3, 5}, "Song Select 5"},
                    {{0xF6}, "Tune Request"}},
                   nullptr);
}

TEST(MidiMeaning, CategoryChannelAndBytes) {
    const Message cc{0xB3, 1, 2};
    EXPECT_EQ(category(cc), Category::Channel);
    EXPECT_EQ(channel(cc), 4);
    EXPECT_EQ(category(Message{0xF0, 1, 0xF7}), Category::SysEx);
    EXPECT_EQ(category(Message{0xF8}), Category::RealTime);
    EXPECT_EQ(category(Message{0xF2, 0, 0}), Category::Common);
    EXPECT_EQ(channel(Message{0xF8}), 0);
    EXPECT_EQ(hexBytes(Message{0xB0, 0x5B, 0x64}), "B0 5B 64");
    EXPECT_EQ(hexBytes(block(0, true)), "F0 00 00 7E 43 04 00 00 ... (265 bytes)");
    Message sixteen(16, 0x01);
    sixteen.front() = 0xF0;
    EXPECT_EQ(hexBytes(sixteen), "F0 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01");
    EXPECT_EQ(hexBytes(Message(17, 0x01)), "01 01 01 01 01 01 01 01 ... (17 bytes)");
}

TEST(MidiMeaning, MonitorLineHoldsTimeDirectionPortBytesAndMeaning) {
    const BankRecord bank = namedBank();
    EXPECT_EQ(
        monitorLine(1234, Direction::In, "in1", Message{0xB0, 91, 100}, &bank),
        "    1234 in  in1  B0 5B 64  Control Change ch 1 cc 91 = 100, pot 1 \"Reverb # 1\" = 100");
    EXPECT_EQ(monitorLine(5, Direction::Out, "synth", Message{0xFC}, nullptr),
              "       5 out synth  FC  Stop");
}

// Short texts are formatted in one pass; longer ones (a long port name) must come out whole too.
TEST(MidiMeaning, LinesOfAnyLengthComeOutWhole) {
    for (const std::size_t length : {0, 100, 127, 128, 300}) {
        const std::string port(length, 'p');
        EXPECT_EQ(monitorLine(7, Direction::In, port, Message{0xFA}, nullptr),
                  "       7 in  " + port + "  FA  Start");
        EXPECT_EQ(formatText("%s|%d", port.c_str(), 42), port + "|42");
    }
}
