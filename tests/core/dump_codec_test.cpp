#include "default_dump.h"
#include "dump_codec.h"
#include "sysex_protocol.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

namespace {

constexpr int kBlock = sysex::kBlockSize;

Bytes block(const Bytes& dump, int b) {
    return Bytes(dump.begin() + b * kBlock, dump.begin() + (b + 1) * kBlock);
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Lines scanLines(const Bytes& data, bool* taken = nullptr) {
    Lines lines;
    const auto result = scanDump(data, [&](const std::string& l) { lines.push_back(l); });
    if (taken) *taken = result.has_value();
    return lines;
}

std::string wrongBlock(int actual, int expected) {
    return "ERROR: wrong block or wrong order of blocks (actual: #" + std::to_string(actual) +
           ", expected: #" + std::to_string(expected) + ")";
}

const std::string kNotTaken = "ERROR: Dump data not taken due to previous error(s)!";
const std::string kTaken = "Copied SysEx Dump to Configuration Structure";
const std::string kSizeMismatch = "ERROR: internal desaster - mismatch in data dump size - check "
                                  "the sysex structure defined in Unit1!";

// A codec wired the way the editor window wires it, recording what the hooks saw.
struct CodecFixture : ::testing::Test {
    std::unique_ptr<DumpBuffer> outgoing = std::make_unique<DumpBuffer>();
    std::unique_ptr<DumpBuffer> source = std::make_unique<DumpBuffer>();
    BankRecord record;
    Lines events;
    DumpCodec codec{
        *outgoing,
        {[this](const std::string& l) { events.push_back(l); },
         [this] { events.push_back("<load settings>"); },
         [this] { events.push_back("<save settings>"); },
         [this] { events.push_back("<outgoing " + std::to_string(outgoing->length) + ">"); }}};

    int decode(const Bytes& bytes) {
        source->assign(bytes);
        return codec.DumpToRecord(*source, record);
    }
};

} // namespace

TEST(DumpChecksum, MatchesTheControllersSumRule) {
    const Bytes zeros(256, 0);
    EXPECT_EQ(sysex::blockChecksum(0, zeros), 0x00);
    EXPECT_EQ(sysex::blockChecksum(1, zeros), 0x7F);
    EXPECT_EQ(sysex::blockChecksum(7, zeros), 0x79);
    const Bytes dump = defaultDumpBytes();
    const std::uint8_t expected[8] = {0x50, 0x40, 0x6A, 0x7D, 0x13, 0x32, 0x71, 0x70};
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(dump[b * kBlock + sysex::kBlockChecksumIndex], expected[b]) << "block " << b;
    EXPECT_EQ(sysex::ModelName(0x43), "Pultron64");
    EXPECT_EQ(sysex::ModelName(0x42), "unknown");
}

TEST(DumpBuilder, ReproducesTheBuiltInDumpByteForByte) {
    const Bytes dump = defaultDumpBytes();
    Bytes built(2120);
    ASSERT_EQ(buildDump(defaultRecord(), built), 2120);
    EXPECT_EQ(built, dump);
    Bytes tooSmall(2119);
    EXPECT_EQ(buildDump(defaultRecord(), tooSmall), 0);
}

TEST_F(CodecFixture, BuiltInDumpIsTakenWithOneLineAndTheFormLoadedFirst) {
    EXPECT_EQ(decode(defaultDumpBytes()), 0);
    EXPECT_EQ(events, (Lines{"<load settings>", "<outgoing 2120>", kTaken}));
    EXPECT_EQ(record, defaultRecord());
    EXPECT_EQ(outgoing->blockCount, 8);
    EXPECT_EQ(outgoing->blocksLeft, 0);
    EXPECT_EQ(outgoing->sendPosition, 0);
}

TEST_F(CodecFixture, RecordToDumpSavesTheFormFirstAndBuildsEightBlocks) {
    record = defaultRecord();
    auto target = std::make_unique<DumpBuffer>();
    target->length = 99999;
    EXPECT_EQ(codec.RecordToDump(record, *target), 0);
    EXPECT_EQ(events, (Lines{"<save settings>"}));
    EXPECT_EQ(target->length, 2120);
    EXPECT_EQ(target->blockCount, 8);
    EXPECT_EQ(Bytes(target->used().begin(), target->used().end()), defaultDumpBytes());
}

TEST_F(CodecFixture, DecoderKeepsRecordAndOutgoingDumpWhenRejected) {
    ASSERT_EQ(decode(defaultDumpBytes()), 0);
    const BankRecord before = record;
    const Bytes outgoingBefore(outgoing->used().begin(), outgoing->used().end());
    events.clear();

    Bytes broken = defaultDumpBytes();
    broken[4 * kBlock + sysex::kBlockChecksumIndex] ^= 0x01;
    broken[4 * kBlock + 20] = 0x55; // data change that the checksum no longer covers
    EXPECT_EQ(decode(broken), 1);
    const auto data = std::span(broken).subspan(4 * kBlock + sysex::kBlockDataIndex, 256);
    char expected[80];
    std::snprintf(expected, sizeof expected,
                  "ERROR: checksum mismatch in block #5 (actual: 12, expected: %02X)",
                  sysex::blockChecksum(4, data));
    EXPECT_EQ(events, (Lines{expected, kNotTaken}));
    EXPECT_EQ(record, before);
    EXPECT_EQ(Bytes(outgoing->used().begin(), outgoing->used().end()), outgoingBefore);
}

TEST(DumpDecoder, WrongChecksumNamesBlockActualAndExpected) {
    Bytes dump = defaultDumpBytes();
    dump[2 * kBlock + sysex::kBlockChecksumIndex] = 0x00; // block 3 expects 0x6A
    EXPECT_EQ(
        scanLines(dump),
        (Lines{"ERROR: checksum mismatch in block #3 (actual: 00, expected: 6A)", kNotTaken}));
}

TEST(DumpDecoder, BlocksOutOfOrderAreReportedAndRejected) {
    const Bytes d = defaultDumpBytes();
    const Bytes swapped = concat({block(d, 0), block(d, 2), block(d, 1), block(d, 3), block(d, 4),
                                  block(d, 5), block(d, 6), block(d, 7)});
    bool taken = true;
    EXPECT_EQ(scanLines(swapped, &taken), (Lines{wrongBlock(3, 2), wrongBlock(2, 3), kNotTaken}));
    EXPECT_FALSE(taken);
}

TEST(DumpDecoder, MissingBlocksReportBytesThenBlocks) {
    const Bytes d = defaultDumpBytes();
    const Bytes seven(d.begin(), d.begin() + 7 * kBlock);
    EXPECT_EQ(
        scanLines(seven),
        (Lines{"ERROR: dump not complete, got only 1792 bytes (expected 2048 bytes)!",
               "ERROR: dump not complete, got only 7 blocks (expected 8 blocks)!", kNotTaken}));
    EXPECT_EQ(
        scanLines({}),
        (Lines{"ERROR: dump not complete, got only 0 bytes (expected 2048 bytes)!",
               "ERROR: dump not complete, got only 0 blocks (expected 8 blocks)!", kNotTaken}));
}

TEST(DumpDecoder, TwoDumpsInARowAreRejected) {
    const Bytes d = defaultDumpBytes();
    const Lines lines = scanLines(concat({d, d}));
    Lines expected;
    for (int b = 0; b < 8; ++b) {
        expected.push_back(wrongBlock(b + 1, 9 + b));
        expected.insert(expected.end(), 256, kSizeMismatch);
    }
    expected.push_back("ERROR: dump not complete, got only 16 blocks (expected 8 blocks)!");
    expected.push_back(kNotTaken);
    EXPECT_EQ(lines, expected);
}

TEST(DumpDecoder, BlockCutShortByEndOfExclusiveIsDroppedSilently) {
    const Bytes d = defaultDumpBytes();
    Bytes cut(d.begin() + 2 * kBlock, d.begin() + 2 * kBlock + sysex::kBlockDataIndex + 100);
    cut.push_back(0xF7);
    const Bytes data = concat({block(d, 0), block(d, 1), cut, block(d, 3), block(d, 4), block(d, 5),
                               block(d, 6), block(d, 7)});
    EXPECT_EQ(
        scanLines(data),
        (Lines{wrongBlock(4, 3), wrongBlock(5, 4), wrongBlock(6, 5), wrongBlock(7, 6),
               wrongBlock(8, 7),
               "ERROR: dump not complete, got only 1892 bytes (expected 2048 bytes)!",
               "ERROR: dump not complete, got only 7 blocks (expected 8 blocks)!", kNotTaken}));
}

TEST(DumpDecoder, BlockCutShortByTheNextStartLosesTheNextBlockToo) {
    const Bytes d = defaultDumpBytes();
    const Bytes cut(d.begin() + 2 * kBlock, d.begin() + 2 * kBlock + sysex::kBlockDataIndex + 100);
    const Bytes data = concat({block(d, 0), block(d, 1), cut, block(d, 3), block(d, 4), block(d, 5),
                               block(d, 6), block(d, 7)});
    EXPECT_EQ(
        scanLines(data),
        (Lines{wrongBlock(5, 3), wrongBlock(6, 4), wrongBlock(7, 5), wrongBlock(8, 6),
               "ERROR: dump not complete, got only 1636 bytes (expected 2048 bytes)!",
               "ERROR: dump not complete, got only 6 blocks (expected 8 blocks)!", kNotTaken}));
}

TEST(DumpDecoder, WholeFormMessageCountsAsOneBlock) {
    const BankRecord expected = defaultRecord();
    Bytes whole = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x32};
    whole.insert(whole.end(), expected.bytes().begin(), expected.bytes().end());
    whole.push_back(0xF7);
    ASSERT_EQ(whole.size(), 2055u);
    const auto scanned = scanDump(whole, {});
    ASSERT_TRUE(scanned);
    EXPECT_EQ(scanned->blocks, 1);
    EXPECT_EQ(scanned->record, expected);

    whole.back() = 0x00;
    EXPECT_EQ(
        scanLines(whole),
        (Lines{"ERROR: block #1 not complete!",
               "ERROR: dump not complete, got only 0 blocks (expected 1 blocks)!", kNotTaken}));
}

TEST_F(CodecFixture, DumpAmongForeignSysExDecodesAndIsKeptWhole) {
    const Bytes before = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41,
                          0xF7, 0xF0, 0x00, 0x00, 0x7E, 0x44, 0x04, 0x00, 0x01, 0xF7, // other model
                          0xF0, 0x00, 0x00, 0x7E, 0x43, 0x0F, 0xF7};                  // acknowledge
    const Bytes after = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7, 0x90, 0x3C, 0x7F};
    const Bytes data = concat({before, defaultDumpBytes(), after});
    EXPECT_EQ(decode(data), 0);
    EXPECT_EQ(events.back(), kTaken);
    EXPECT_EQ(outgoing->length, static_cast<int>(data.size()));
    EXPECT_EQ(Bytes(outgoing->used().begin(), outgoing->used().end()), data);
}

TEST(DumpDecoder, EveryDeviceIdDecodesAlike) {
    const BankRecord expected = defaultRecord();
    for (int id = 0; id < 16; ++id) {
        Bytes d = defaultDumpBytes();
        for (int b = 0; b < 8; ++b)
            d[b * kBlock + sysex::kDeviceCommandIndex] =
                sysex::deviceCommandByte(id, sysex::BlockDump);
        const auto scanned = scanDump(d, {});
        ASSERT_TRUE(scanned) << "device " << id;
        EXPECT_EQ(scanned->record, expected);
    }
}

TEST(DumpDecoder, NoteOffStatusesBecomeNoteOnOnTheSameChannel) {
    BankRecord r = defaultRecord();
    r.setPot(1, {0x05, 1, 0, 127});
    r.setButton(64, {0x0F, 2, 3, 1});
    r.setPot(2, {0x10, 1, 0, 127});
    Bytes d(2120);
    buildDump(r, d);
    const auto scanned = scanDump(d, {});
    ASSERT_TRUE(scanned);
    EXPECT_EQ(scanned->record.pot(1).status, 0x15);
    EXPECT_EQ(scanned->record.button(64).status, 0x1F);
    EXPECT_EQ(scanned->record.pot(2).status, 0x10);
}

TEST(DumpDecoder, ReservedBytesSurviveDecodeAndEncode) {
    BankRecord r = defaultRecord();
    for (int o = bank_layout::kReserved2; o < bank_layout::kPotLabels; ++o)
        r.bytes()[o] = static_cast<std::uint8_t>(o & 0x7F);
    r.bytes()[0x256] = 0x11;
    r.bytes()[0x27C] = 0x22;
    Bytes d(2120);
    buildDump(r, d);
    const auto scanned = scanDump(d, {});
    ASSERT_TRUE(scanned);
    EXPECT_EQ(scanned->record, r);
}

TEST_F(CodecFixture, RandomAndMutatedInputNeverCorruptsTheRecord) {
    ASSERT_EQ(decode(defaultDumpBytes()), 0);
    const BankRecord good = record;
    std::mt19937 rng(20261207);
    const Bytes base = defaultDumpBytes();
    for (int round = 0; round < 3000; ++round) {
        Bytes data = base;
        const int kind = round % 4;
        if (kind == 0) { // flip random bytes
            for (int i = 0; i < 1 + int(rng() % 4); ++i)
                data[rng() % data.size()] = static_cast<std::uint8_t>(rng());
        } else if (kind == 1) { // cut at a random place
            data.resize(rng() % data.size());
        } else if (kind == 2) { // pure noise
            data.assign(rng() % 3000, 0);
            for (auto& b : data)
                b = static_cast<std::uint8_t>(rng());
        } else { // insert a stray status or data byte
            data.insert(data.begin() + rng() % data.size(), static_cast<std::uint8_t>(rng()));
        }
        record = good;
        events.clear();
        const auto scanned = scanDump(data, {});
        const int result = decode(data);
        ASSERT_EQ(result == 0, scanned.has_value());
        ASSERT_FALSE(events.empty());
        if (result == 0)
            ASSERT_EQ(record, scanned->record);
        else
            ASSERT_EQ(record, good) << "round " << round;
    }
}

TEST_F(CodecFixture, FullBufferOfEndlessDumpsIsRejectedWithoutHanging) {
    Bytes data;
    const Bytes d = defaultDumpBytes();
    while (data.size() + d.size() <= DumpBuffer::kCapacity)
        data.insert(data.end(), d.begin(), d.end());
    data.resize(DumpBuffer::kCapacity, 0x7F);
    EXPECT_EQ(decode(data), 1);
    EXPECT_EQ(events.back(), kNotTaken);
    EXPECT_EQ(record, BankRecord{});
}
