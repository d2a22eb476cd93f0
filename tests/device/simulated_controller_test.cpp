#include "simulated_controller.h"

#include "dump_codec.h"
#include "sysex_protocol.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Message = SimulatedController::Message;

namespace {

BankRecord patternedBank(int seed) {
    BankRecord record;
    for (std::size_t i = 0; i < record.bytes().size(); ++i)
        record.bytes()[i] = static_cast<std::uint8_t>((i * 7 + seed) & 0x7F);
    return record;
}

Message dumpOf(const BankRecord& record, int deviceId) {
    Message dump(sysex::kDumpSize);
    buildDump(record, dump);
    for (int b = 0; b < sysex::kBlockCount; ++b)
        dump[b * sysex::kBlockSize + 5] = sysex::deviceCommandByte(deviceId, sysex::BlockDump);
    return dump;
}

Message block(const Message& dump, int b) {
    const auto first = dump.begin() + b * sysex::kBlockSize;
    return Message(first, first + sysex::kBlockSize);
}

Message bankChange(int deviceId, int bank) {
    return {0xF0, 0x00, 0x00, 0x7E, 0x43, std::uint8_t(deviceId << 4 | 0x8), std::uint8_t(bank),
            0xF7};
}

Message dumpRequest(int deviceId) {
    return {0xF0, 0x00, 0x00, 0x7E, 0x43, std::uint8_t(deviceId << 4 | 0x5), 0xF7};
}

Message acknowledge(int deviceId, int b) {
    return {0xF0, 0x00, 0x00, 0x7E, 0x43, std::uint8_t(deviceId << 4 | 0xF), std::uint8_t(b), 0xF7};
}

Message errorReply(int deviceId, int b, std::uint8_t code) {
    return {0xF0, 0x00, 0x00, 0x7E, 0x43, std::uint8_t(deviceId << 4 | 0xE), std::uint8_t(b),
            code, 0xF7};
}

class SimulatedControllerTest : public ::testing::Test {
protected:
    std::vector<Message> send(const Message& bytes, std::chrono::milliseconds at = 0ms) {
        return controller.receive(bytes, start + at);
    }

    SimulatedController::Clock::time_point start = SimulatedController::Clock::now();
    SimulatedController controller{patternedBank(0), {3, 0ms, true}};
};

TEST_F(SimulatedControllerTest, DumpRequestSendsTheCurrentBankAsEightBlocksWithItsDeviceId) {
    const auto replies = send(dumpRequest(3));
    ASSERT_EQ(replies.size(), 8u);
    Message joined;
    for (const auto& reply : replies) {
        EXPECT_EQ(reply.size(), std::size_t(sysex::kBlockSize));
        joined.insert(joined.end(), reply.begin(), reply.end());
    }
    EXPECT_EQ(joined, dumpOf(patternedBank(0), 3));
}

TEST_F(SimulatedControllerTest, BankChangeSelectsTheBankThatUploadsAndDumpsUse) {
    EXPECT_TRUE(send(bankChange(3, 4)).empty());
    EXPECT_EQ(controller.currentBank(), 4);
    const Message upload = dumpOf(patternedBank(9), 3);
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(send(block(upload, b)), std::vector<Message>{acknowledge(3, b)}) << b;
    EXPECT_EQ(controller.bank(4), patternedBank(9));
    EXPECT_EQ(controller.bank(0), patternedBank(0));

    send(bankChange(3, 0));
    Message dumped;
    for (const auto& reply : send(dumpRequest(3)))
        dumped.insert(dumped.end(), reply.begin(), reply.end());
    EXPECT_EQ(dumped, dumpOf(patternedBank(0), 3));
    send(bankChange(3, 4));
    dumped.clear();
    for (const auto& reply : send(dumpRequest(3)))
        dumped.insert(dumped.end(), reply.begin(), reply.end());
    EXPECT_EQ(dumped, upload);
}

TEST_F(SimulatedControllerTest, WrongChecksumIsAnsweredWithErrorAndNotStored) {
    Message bad = block(dumpOf(patternedBank(5), 3), 2);
    bad[sysex::kBlockChecksumIndex] ^= 0x01;
    EXPECT_EQ(send(bad), std::vector<Message>{errorReply(3, 2, 0x01)});
    EXPECT_EQ(controller.bank(0), patternedBank(0));
}

TEST_F(SimulatedControllerTest, BlockSoonerThanTheMinimumGapOverflowsTheSlowController) {
    controller.setMinBlockGap(20ms);
    const Message upload = dumpOf(patternedBank(5), 3);
    EXPECT_EQ(send(block(upload, 0), 0ms), std::vector<Message>{acknowledge(3, 0)});
    EXPECT_EQ(send(block(upload, 1), 5ms), std::vector<Message>{errorReply(3, 1, 0x02)});
    EXPECT_EQ(send(block(upload, 1), 30ms), std::vector<Message>{acknowledge(3, 1)});
    EXPECT_EQ(send(block(upload, 2), 50ms), std::vector<Message>{acknowledge(3, 2)});
    const auto& bytes = controller.bank(0).bytes();
    EXPECT_TRUE(
        std::equal(bytes.begin(), bytes.begin() + 3 * 256, patternedBank(5).bytes().begin()));
    EXPECT_TRUE(std::equal(bytes.begin() + 3 * 256, bytes.end(),
                           patternedBank(0).bytes().begin() + 3 * 256));
}

TEST_F(SimulatedControllerTest, MessagesForOtherDeviceIdsAreIgnored) {
    EXPECT_TRUE(send(dumpRequest(2)).empty());
    EXPECT_TRUE(send(bankChange(5, 9)).empty());
    EXPECT_EQ(controller.currentBank(), 0);
    EXPECT_TRUE(send(block(dumpOf(patternedBank(5), 0), 0)).empty());
    EXPECT_EQ(controller.bank(0), patternedBank(0));
}

TEST_F(SimulatedControllerTest, BytesMayArriveInAnyChunksAndBrokenMessagesAreDropped) {
    std::vector<std::string> lines;
    std::vector<Message> received;
    controller.setObserver(
        {[&](SimulatedController::Bytes m) { received.emplace_back(m.begin(), m.end()); },
         {},
         [&](const std::string& line) { lines.push_back(line); }});
    const Message upload = dumpOf(patternedBank(8), 3);
    Message stream = {0xF0, 0x00, 0x00, 0x7E, 0x90, 0x40}; // broken by a Note On
    Message first = block(upload, 0);
    first.insert(first.begin() + 100, 0xF8); // a clock byte inside is no part of the message
    stream.insert(stream.end(), first.begin(), first.end());
    std::vector<Message> replies;
    for (std::uint8_t byte : stream)
        for (auto& reply : send({byte}))
            replies.push_back(reply);
    EXPECT_EQ(replies, std::vector<Message>{acknowledge(3, 0)});
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], block(upload, 0));
    EXPECT_EQ(lines.front(), "Dropped 1 broken or overlong message(s)");
}

TEST_F(SimulatedControllerTest, BadBlocksAndWholeDumps) {
    Message shortBlock = block(dumpOf(patternedBank(5), 3), 1);
    shortBlock.erase(shortBlock.begin() + 10);
    EXPECT_EQ(send(shortBlock), std::vector<Message>{errorReply(3, 1, 0x03)});
    Message beyond = block(dumpOf(patternedBank(5), 3), 1);
    beyond[6] = 8;
    EXPECT_EQ(send(beyond), std::vector<Message>{errorReply(3, 8, 0x03)});

    Message whole = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x32};
    const BankRecord bank = patternedBank(11);
    const auto& data = bank.bytes();
    whole.insert(whole.end(), data.begin(), data.end());
    whole.push_back(0xF7);
    EXPECT_EQ(send(whole), std::vector<Message>{acknowledge(3, 0)});
    EXPECT_EQ(controller.bank(0), patternedBank(11));
}

} // namespace

namespace {

// Uploads `record` into bank `bank` and returns the replies, one per block.
std::vector<Message> uploadInto(SimulatedController& controller, int bank,
                                const BankRecord& record) {
    const auto now = SimulatedController::Clock::now();
    controller.receive(bankChange(3, bank), now);
    std::vector<Message> replies;
    const Message upload = dumpOf(record, 3);
    for (int b = 0; b < 8; ++b)
        for (auto& reply : controller.receive(block(upload, b), now))
            replies.push_back(std::move(reply));
    return replies;
}

std::vector<Message> acknowledgesOfAllBlocks() {
    std::vector<Message> replies;
    for (int b = 0; b < 8; ++b)
        replies.push_back(acknowledge(3, b));
    return replies;
}

TEST_F(SimulatedControllerTest, RefusedBlockIsAnsweredWithErrorOnceOrAlways) {
    controller.inject(SimulatedController::Fault::RefuseBlock, 6, 2);
    controller.inject(SimulatedController::Fault::RefuseBlock, 7, 4, true);
    auto expected = acknowledgesOfAllBlocks();
    expected[2] = errorReply(3, 2, 0x01);
    EXPECT_EQ(uploadInto(controller, 6, patternedBank(1)), expected);
    EXPECT_EQ(uploadInto(controller, 6, patternedBank(1)), acknowledgesOfAllBlocks());
    expected = acknowledgesOfAllBlocks();
    expected[4] = errorReply(3, 4, 0x01);
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(uploadInto(controller, 7, patternedBank(1)), expected) << round;
    EXPECT_EQ(uploadInto(controller, 5, patternedBank(1)), acknowledgesOfAllBlocks());
}

TEST_F(SimulatedControllerTest, SilentBankAnswersNothingWhileOthersDo) {
    controller.silenceBank(9);
    EXPECT_TRUE(uploadInto(controller, 9, patternedBank(2)).empty());
    EXPECT_TRUE(send(dumpRequest(3)).empty());
    EXPECT_EQ(controller.bank(9), patternedBank(0));
    send(bankChange(3, 10));
    EXPECT_EQ(send(dumpRequest(3)).size(), 8u);
}

TEST_F(SimulatedControllerTest, CorruptedBankIsAcknowledgedButStoredWithOneByteChanged) {
    controller.corruptStoredByte(4, 0x300);
    EXPECT_EQ(uploadInto(controller, 4, patternedBank(2)), acknowledgesOfAllBlocks());
    BankRecord expected = patternedBank(2);
    expected.bytes()[0x300] = (expected.bytes()[0x300] + 1) & 0x7F;
    EXPECT_EQ(controller.bank(4), expected);
}

// Unnumbered, the controller answers as in its protocol's example: 00 and a code after the
// command. Lost messages take their reply, or their dump block, with them, once.
TEST(SimulatedControllerFaults, LostMessagesAndRepliesWithoutBlockNumbers) {
    using Fault = SimulatedController::Fault;
    SimulatedController controller{patternedBank(0), {3, 0ms}};
    controller.inject(Fault::LoseBlock, 6, 1);
    controller.inject(Fault::LoseReply, 6, 2);
    controller.inject(Fault::RefuseBlock, 6, 3);
    controller.inject(Fault::LoseDumpBlock, 6, 5);
    const auto now = SimulatedController::Clock::now();
    const Message ack{0xF0, 0x00, 0x00, 0x7E, 0x43, 0x3F, 0x00, 0x05, 0xF7};
    auto expected = std::vector<Message>(8, ack);
    expected.erase(expected.begin() + 1, expected.begin() + 3);
    expected[1] = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x3E, 0x00, 0x01, 0xF7};
    EXPECT_EQ(uploadInto(controller, 6, patternedBank(1)), expected);
    EXPECT_NE(controller.bank(6), patternedBank(1)) << "blocks 2 and 4 are missing";
    EXPECT_EQ(uploadInto(controller, 6, patternedBank(1)), std::vector<Message>(8, ack));
    EXPECT_EQ(controller.bank(6), patternedBank(1));
    EXPECT_EQ(controller.receive(dumpRequest(3), now).size(), 7u);
    EXPECT_EQ(controller.receive(dumpRequest(3), now).size(), 8u);
}

} // namespace
