#include "sysex_receiver.h"

#include "built_in_dump.h"
#include "sysex_protocol.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

namespace {

Bytes builtInDump() {
    const auto dump = loadBuiltInDump();
    return dump ? Bytes(dump->begin(), dump->end()) : Bytes{};
}

Bytes message(std::initializer_list<std::uint8_t> bytes) {
    return Bytes(bytes);
}

std::string storedLine(int n, int device, int length, const std::string& address) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "Received SysEx block #%d from device %02X with %d bytes in Pultron64 format %s",
                  n, device, length, address.c_str());
    return text;
}

class SysexReceiverTest : public ::testing::Test {
protected:
    struct Buffers {
        DumpBuffer message, incoming, outgoing;
    };

    SysexReceiverTest()
        : buffers(std::make_unique<Buffers>()),
          codec(buffers->outgoing,
                {[this](const std::string& l) { lines.push_back(l); }, {}, {}, {}}),
          receiver(buffers->message, buffers->incoming,
                   {[this](const std::string& l) { lines.push_back(l); },
                    [this] { ++counterUpdates; }, [this](int bank) { banks.push_back(bank); },
                    [this] {
                        ++decodes;
                        codec.DumpToRecord(buffers->incoming, record);
                    },
                    [this](bool acknowledge, int block) {
                        replies.push_back({acknowledge, block});
                    }}) {}

    void feed(const Bytes& bytes, std::size_t chunk = SIZE_MAX) {
        for (std::size_t i = 0; i < bytes.size(); i += chunk) {
            const auto n = std::min(chunk, bytes.size() - i);
            receiver.MidiIn1SysEx(bytes.data() + i, static_cast<int>(n));
        }
    }

    std::unique_ptr<Buffers> buffers;
    Lines lines;
    std::vector<int> banks;
    std::vector<std::pair<bool, int>> replies; // acknowledge or not, block number or -1
    int counterUpdates = 0;
    int decodes = 0;
    BankRecord record;
    DumpCodec codec;
    SysexReceiver receiver;
};

TEST_F(SysexReceiverTest, RequestedBankIsStoredBlockByBlockAndDecodedAtTheEighth) {
    feed(builtInDump());
    Lines expected;
    for (int b = 0; b < 8; ++b) {
        char address[20];
        std::snprintf(address, sizeof address, "(@0x%04x)", b * 256);
        expected.push_back(storedLine(b + 1, 0, 265, address));
    }
    expected.push_back("Copied SysEx Dump to Configuration Structure");
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(buffers->incoming.length, 2120);
    EXPECT_EQ(buffers->incoming.blockCount, 8);
    EXPECT_EQ(decodes, 1);
    EXPECT_EQ(Bytes(buffers->incoming.data.begin(), buffers->incoming.data.begin() + 2120),
              builtInDump());
    EXPECT_EQ(receiver.state(), SysexReceiver::ReceiverState::Idle);
    EXPECT_EQ(buffers->message.length, 0);
}

TEST_F(SysexReceiverTest, OneChunkEightChunksAndSingleBytesGiveTheSameResult) {
    feed(builtInDump());
    const Lines whole = lines;
    const Bytes stored(buffers->incoming.data.begin(), buffers->incoming.data.begin() + 2120);
    const BankRecord decoded = record;
    for (std::size_t chunk : {std::size_t(265), std::size_t(1), std::size_t(7)}) {
        lines.clear();
        record = BankRecord{};
        receiver.ResetReceiverBuffer();
        feed(builtInDump(), chunk);
        EXPECT_EQ(lines, whole) << chunk;
        EXPECT_EQ(Bytes(buffers->incoming.data.begin(), buffers->incoming.data.begin() + 2120),
                  stored);
        EXPECT_EQ(buffers->incoming.blockCount, 8);
        EXPECT_EQ(record, decoded);
    }
}

TEST_F(SysexReceiverTest, SecondBankWithoutResetIsAppendedAndItsDecodeFails) {
    feed(builtInDump());
    lines.clear();
    feed(builtInDump());
    EXPECT_EQ(buffers->incoming.length, 4240);
    EXPECT_EQ(buffers->incoming.blockCount, 16);
    EXPECT_EQ(decodes, 2);
    EXPECT_EQ(lines[0], storedLine(9, 0, 265, "(@0x0000)"));
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "ERROR: wrong block or wrong order of blocks (actual: #1, expected: #9)"),
              lines.end());
    EXPECT_EQ(lines.back(), "ERROR: Dump data not taken due to previous error(s)!");
}

TEST_F(SysexReceiverTest, AcknowledgesAndErrorRepliesOfEveryLength) {
    const auto reply = [](std::uint8_t command, int length) {
        Bytes bytes = {0xF0, 0x00, 0x00, 0x7E, 0x43, command};
        while (static_cast<int>(bytes.size()) < length - 1)
            bytes.push_back(static_cast<std::uint8_t>(bytes.size()));
        bytes.push_back(0xF7);
        return bytes;
    };
    feed(message({0xF0, 0x00, 0x00, 0x7E, 0x43, 0x0F, 0x00, 0x05, 0xF7}));
    feed(message({0xF0, 0x00, 0x00, 0x7E, 0x43, 0x0F, 0xF7}));
    feed(reply(0x0F, 8));
    feed(reply(0x3F, 20));
    feed(reply(0x0F, 21));
    feed(reply(0x0E, 7));
    feed(reply(0x0E, 8));
    feed(reply(0x0E, 9));
    feed(reply(0x0E, 20));
    feed(reply(0x0E, 21));
    EXPECT_EQ(lines, (Lines{
                         "Received Acknowledge Code: 05 - block upload was successfull",
                         "Received Acknowledge - block upload was successfull",
                         "Received Acknowledge - block upload was successfull",
                         "Received Acknowledge Code: 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 - block "
                         "upload was successfull",
                         "Received strange Acknowledge message with too much bytes!",
                         "Received Error Response - request failed!",
                         "Received Error Response - request failed!",
                         "Received Error Code: 07",
                         "Received Error Code: 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12",
                         "Received strange Error Response with too much bytes!",
                     }));
    EXPECT_EQ(buffers->incoming.blockCount, 0);
    EXPECT_EQ(receiver.acknowledges(), 5);
    EXPECT_EQ(receiver.errorResponses(), 5);
    // Byte 6 numbers the block from 8 bytes on.
    EXPECT_EQ(replies, (std::vector<std::pair<bool, int>>{{true, 0x00},
                                                          {true, -1},
                                                          {true, 6},
                                                          {true, 6},
                                                          {true, 6},
                                                          {false, -1},
                                                          {false, 6},
                                                          {false, 6},
                                                          {false, 6},
                                                          {false, 6}}));
}

TEST_F(SysexReceiverTest, OtherCommandsAreLoggedAsNotSavedAndBankNumbersSetTheBank) {
    feed(message({0xF0, 0x00, 0x00, 0x7E, 0x43, 0x05, 0xF7}));
    feed(message({0xF0, 0x00, 0x00, 0x7E, 0x43, 0x57, 0x09, 0x11, 0xF7}));
    EXPECT_EQ(lines, (Lines{"Received SysEx block from device 00 with 7 bytes in Pultron64 "
                            "format - cmd 05 (not saved).",
                            storedLine(1, 5, 9, "")}));
    EXPECT_EQ(banks, std::vector<int>{10});
    EXPECT_EQ(buffers->incoming.length, 9);
    EXPECT_EQ(receiver.blockNumber(), 9);

    lines.clear();
    feed(message({0xF0, 0x00, 0x00, 0x7E, 0x43, 0x07, 0x07, 0xF7}));
    EXPECT_EQ(banks, (std::vector<int>{10, 8}));
    EXPECT_EQ(decodes, 1);
    EXPECT_EQ(lines.at(0), storedLine(2, 0, 8, ""));
    EXPECT_EQ(lines.back(), "ERROR: Dump data not taken due to previous error(s)!");
}

TEST_F(SysexReceiverTest, EchoedBankChangeRequestDoesNotRetakeAnOldDump) {
    feed(builtInDump());
    record = BankRecord{};
    lines.clear();
    // Our own bank change request for bank 8, looped back: byte 6 is 7, but nothing is stored.
    feed(message({0xF0, 0x00, 0x00, 0x7E, 0x43, 0x08, 0x07, 0xF7}));
    EXPECT_EQ(decodes, 1);
    EXPECT_EQ(record, BankRecord{});
    EXPECT_EQ(lines, Lines{"Received SysEx block from device 00 with 8 bytes in Pultron64 format "
                           "- cmd 08 (not saved)."});
}

TEST_F(SysexReceiverTest, StatusBytesBreakMessagesAndRealTimeBytesAreKept) {
    const Bytes dump = builtInDump();
    const Bytes block(dump.begin(), dump.begin() + 265);
    Bytes broken = block;
    broken.insert(broken.begin() + 50, 0x90);
    feed(broken);
    EXPECT_EQ(lines, (Lines{"Received invalid status byte during SysEx transfer --- receiver has "
                            "been reset!",
                            "Received corrupted data block!"}));
    EXPECT_EQ(buffers->incoming.blockCount, 0);

    lines.clear();
    Bytes clocked = block;
    clocked.insert(clocked.begin() + 100, 0xF8);
    feed(clocked);
    EXPECT_EQ(lines, Lines{storedLine(1, 0, 266, "(@0x0000)")});
    EXPECT_EQ(buffers->incoming.data[100], 0xF8);

    lines.clear();
    // An F0 inside the header breaks the message and does not start a new one.
    feed(message({0xF0, 0x00, 0xF0, 0x00, 0x00, 0x7E, 0x43, 0x0F, 0xF7}));
    EXPECT_EQ(lines, Lines{"Received invalid status byte during SysEx transfer --- receiver has "
                           "been reset!"});
    lines.clear();
    feed(message({0xF0, 0x00, 0x00, 0x7E, 0x43, 0xF7}));
    EXPECT_EQ(lines, Lines{"Received corrupted data block!"});
    lines.clear();
    feed(message({0xF0, 0x00, 0x00, 0x7E, 0x42, 0x0F, 0xF7}));
    EXPECT_TRUE(lines.empty());
}

// Input lost before the receiver saw it is said once, and the next F0 starts a clean message
// instead of breaking the one that lost bytes.
TEST_F(SysexReceiverTest, InputLostOnTheWayIsLoggedOnceAndTheNextMessageStartsClean) {
    const Bytes ack = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x0F, 0xF7};
    const std::string ackLine = "Received Acknowledge - block upload was successfull";
    const Bytes blockStart = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x04, 0x00, 0x11, 0x22};
    struct Case {
        const char* name;
        std::function<void()> lose;
        Lines expected;
    } cases[] = {
        {"messages dropped by the input port",
         [&] { receiver.inputDropped(32000); },
         {"MIDI input overflow - 32000 messages dropped!", ackLine}},
        {"an overlong message broken off by a new one",
         [&] { receiver.sysExCut(66000000, true); },
         {"Received SysEx message longer than 256000 bytes - 66000000 more bytes dropped!",
          ackLine}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lines.clear();
        feed(blockStart);
        c.lose();
        feed(ack);
        EXPECT_EQ(lines, c.expected);
    }
    // An overlong message that ended with its F7 is still classified, as without the cut.
    lines.clear();
    feed(blockStart);
    feed({0xF7});
    receiver.sysExCut(5, false);
    EXPECT_EQ(lines.back(),
              "Received SysEx message longer than 256000 bytes - 5 more bytes dropped!");
    EXPECT_EQ(lines.size(), 2u);
}

TEST_F(SysexReceiverTest, OverlongMessageIsCutAt256000BytesAndAFullBufferIgnoresBlocks) {
    Bytes endless = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x04, 0x07};
    endless.resize(300000, 0x11);
    feed(endless, 2048);
    EXPECT_EQ(buffers->message.length, 256000);
    EXPECT_EQ(receiver.state(), SysexReceiver::ReceiverState::Payload);
    EXPECT_TRUE(lines.empty());
    feed({0xF7});
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(lines[0], storedLine(1, 0, 256000, "(@0x0700)"));
    EXPECT_EQ(buffers->incoming.length, 256000);
    EXPECT_EQ(decodes, 1);

    lines.clear();
    const Bytes dump = builtInDump();
    const Bytes last(dump.end() - 265, dump.end());
    feed(last);
    EXPECT_EQ(lines,
              (Lines{storedLine(2, 0, 265, "(@0x0700)"), "Buffer is full -- block ignored!!!"}));
    EXPECT_EQ(buffers->incoming.blockCount, 1);
    EXPECT_EQ(decodes, 1); // a block turned away completes no bank
}

TEST_F(SysexReceiverTest, ResetEmptiesTheStoreButKeepsTheMessageBeingAssembled) {
    const Bytes dump = builtInDump();
    feed(Bytes(dump.begin(), dump.begin() + 400));
    receiver.ResetReceiverBuffer();
    EXPECT_EQ(buffers->incoming.length, 0);
    EXPECT_EQ(buffers->incoming.blockCount, 0);
    EXPECT_EQ(receiver.state(), SysexReceiver::ReceiverState::Payload);
    lines.clear();
    feed(Bytes(dump.begin() + 400, dump.begin() + 530));
    EXPECT_EQ(lines, Lines{storedLine(1, 0, 265, "(@0x0100)")});
    EXPECT_GT(counterUpdates, 0);
}

TEST_F(SysexReceiverTest, RandomBytesNeverOverrunTheBuffersNorTakeABank) {
    std::mt19937 random(64);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes noise(2'000'000);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(byte(random));
    // Headers of ours now and then, so that the deeper states are reached as well.
    for (std::size_t i = 0; i + 8 < noise.size(); i += 997) {
        const Bytes header = {0xF0, 0x00, 0x00, 0x7E, 0x43, std::uint8_t(byte(random) & 0x7F)};
        std::copy(header.begin(), header.end(), noise.begin() + static_cast<long>(i));
    }
    feed(noise, 333);
    EXPECT_LE(buffers->message.length, DumpBuffer::kCapacity);
    EXPECT_LE(buffers->incoming.length, DumpBuffer::kCapacity);
    EXPECT_EQ(record, BankRecord{});
    EXPECT_FALSE(lines.empty());
}

} // namespace
