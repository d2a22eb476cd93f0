#include "dump_codec.h"
#include "text_format.h"

#include "sysex_protocol.h"

#include <algorithm>
#include <cstdio>

using namespace sysex;

namespace {

constexpr int kRecordSize = bank_layout::kRecordSize;

// Walks a byte stream and collects the record bytes of the dump messages in it.
class DumpScanner {
public:
    explicit DumpScanner(const LogSink& log) : m_log(log) {}

    void feed(std::uint8_t byte);
    std::optional<ScannedDump> finish();

private:
    enum class State {
        Idle,
        Start,
        Manufacturer2,
        Manufacturer3,
        Model,
        Command,
        BlockNumber,
        Data,
        Checksum,
        End
    };

    void expectHeaderByte(std::uint8_t byte, std::uint8_t expected, State next) {
        m_state = (byte == expected) ? next : State::Idle;
    }
    void onCommand(std::uint8_t byte);
    void onBlockNumber(std::uint8_t byte);
    void onData(std::uint8_t byte);
    void onChecksum(std::uint8_t byte);
    void onEnd(std::uint8_t byte);
    void log(const std::string& line) const {
        if (m_log) m_log(line);
    }
    void error(const std::string& line) {
        m_error = true;
        log(line);
    }

    const LogSink& m_log;
    State m_state = State::Idle;
    int m_blocksDone = 0;
    int m_collected = 0;
    int m_bytesInBlock = 0;
    int m_blockNumber = 0;
    std::uint8_t m_checksum = 0;
    bool m_wholeForm = false;
    bool m_error = false;
    BankRecord m_scratch;
};

void DumpScanner::feed(std::uint8_t byte) {
    switch (m_state) {
    case State::Idle:
        if (byte == kStart) m_state = State::Start;
        break;
    case State::Start:
        expectHeaderByte(byte, kHeader[1], State::Manufacturer2);
        break;
    case State::Manufacturer2:
        expectHeaderByte(byte, kHeader[2], State::Manufacturer3);
        break;
    case State::Manufacturer3:
        expectHeaderByte(byte, kHeader[3], State::Model);
        break;
    case State::Model:
        expectHeaderByte(byte, kModelId, State::Command);
        break;
    case State::Command:
        onCommand(byte);
        break;
    case State::BlockNumber:
        onBlockNumber(byte);
        break;
    case State::Data:
        onData(byte);
        break;
    case State::Checksum:
        onChecksum(byte);
        break;
    case State::End:
        onEnd(byte);
        break;
    }
}

void DumpScanner::onCommand(std::uint8_t byte) {
    // The device id in the high nibble is ignored: dumps from any device decode alike.
    switch (byte & 0x0F) {
    case WholeDump:
        m_wholeForm = true;
        m_blockNumber = 0;
        m_bytesInBlock = 0;
        m_state = State::Data;
        break;
    case BlockDump:
        m_wholeForm = false;
        m_state = State::BlockNumber;
        break;
    default:
        m_state = State::Idle;
    }
}

void DumpScanner::onBlockNumber(std::uint8_t byte) {
    m_blockNumber = byte;
    if (m_blockNumber != m_blocksDone)
        error(formatText("ERROR: wrong block or wrong order of blocks (actual: #%d, expected: #%d)",
                         m_blockNumber + 1, m_blocksDone + 1));
    m_bytesInBlock = 0;
    m_checksum = byte;
    m_state = State::Data;
}

void DumpScanner::onData(std::uint8_t byte) {
    if (byte >= 0x80) { // a status byte breaks the block off
        m_state = State::Idle;
        return;
    }
    m_checksum = static_cast<std::uint8_t>(m_checksum + byte);
    if (m_collected < kRecordSize)
        m_scratch.bytes()[m_collected++] = byte;
    else
        error("ERROR: internal desaster - mismatch in data dump size - check the sysex structure "
              "defined in Unit1!");
    ++m_bytesInBlock;
    if (m_wholeForm && m_bytesInBlock == kRecordSize)
        m_state = State::End;
    else if (!m_wholeForm && m_bytesInBlock == kBlockDataSize)
        m_state = State::Checksum;
}

void DumpScanner::onChecksum(std::uint8_t byte) {
    const int expected = (0 - m_checksum) & 0x7F;
    if (byte != expected)
        error(formatText("ERROR: checksum mismatch in block #%d (actual: %02X, expected: %02X)",
                         m_blockNumber + 1, byte, expected));
    m_state = State::End;
}

void DumpScanner::onEnd(std::uint8_t byte) {
    if (byte == kEnd)
        ++m_blocksDone;
    else
        error(formatText("ERROR: block #%d not complete!", m_blockNumber + 1));
    m_state = State::Idle;
}

std::optional<ScannedDump> DumpScanner::finish() {
    if (m_collected != kRecordSize)
        error(formatText("ERROR: dump not complete, got only %d bytes (expected %d bytes)!",
                         m_collected, kRecordSize));
    const int expectedBlocks = m_wholeForm ? 1 : kBlockCount;
    if (m_blocksDone != expectedBlocks)
        error(formatText("ERROR: dump not complete, got only %d blocks (expected %d blocks)!",
                         m_blocksDone, expectedBlocks));
    if (m_error) {
        log("ERROR: Dump data not taken due to previous error(s)!");
        return std::nullopt;
    }
    ScannedDump result{m_scratch, m_blocksDone};
    auto& bytes = result.record.bytes();
    // A stored Note Off status becomes Note On on the same channel.
    for (int base : {bank_layout::kPotEntries, bank_layout::kButtonEntries})
        for (int n = 0; n < bank_layout::kEntryCount; ++n)
            if (bytes[base + bank_layout::kEntrySize * n] < 0x10)
                bytes[base + bank_layout::kEntrySize * n] += 0x10;
    return result;
}

} // namespace

std::uint8_t sysex::blockChecksum(int blockNumber, std::span<const std::uint8_t> data) {
    unsigned sum = static_cast<unsigned>(blockNumber);
    for (std::uint8_t b : data)
        sum += b;
    return static_cast<std::uint8_t>((0u - sum) & 0x7F);
}

std::string_view sysex::ModelName(std::uint8_t modelId) {
    return modelId == kModelId ? "Pultron64" : "unknown";
}

std::optional<ScannedDump> scanDump(std::span<const std::uint8_t> data, const LogSink& log) {
    DumpScanner scanner(log);
    for (std::uint8_t byte : data)
        scanner.feed(byte);
    return scanner.finish();
}

int buildDump(const BankRecord& record, std::span<std::uint8_t> out) {
    if (out.size() < static_cast<std::size_t>(kDumpSize)) return 0;
    int pos = 0;
    for (int b = 0; b < kBlockCount; ++b) {
        const auto blockData = std::span<const std::uint8_t>(record.bytes())
                                   .subspan(b * kBlockDataSize, kBlockDataSize);
        pos = static_cast<int>(std::copy(kHeader.begin(), kHeader.end(), out.begin() + pos) -
                               out.begin());
        out[pos++] = deviceCommandByte(0, BlockDump);
        out[pos++] = static_cast<std::uint8_t>(b);
        pos = static_cast<int>(std::copy(blockData.begin(), blockData.end(), out.begin() + pos) -
                               out.begin());
        out[pos++] = blockChecksum(b, blockData);
        out[pos++] = kEnd;
    }
    return pos;
}

DumpCodec::DumpCodec(DumpBuffer& outgoingDump, Hooks hooks)
    : m_outgoingDump(outgoingDump), m_hooks(std::move(hooks)) {}

int DumpCodec::DumpToRecord(const DumpBuffer& source, BankRecord& record) {
    const auto scanned = scanDump(source.used(), m_hooks.writeMsg);
    if (!scanned) return 1;
    record = scanned->record;
    run(m_hooks.loadSettingsToForm);
    if (&source != &m_outgoingDump) m_outgoingDump.assign(source.used());
    m_outgoingDump.blockCount = scanned->blocks;
    m_outgoingDump.blocksLeft = 0;
    m_outgoingDump.sendPosition = 0;
    run(m_hooks.outgoingDumpChanged);
    m_hooks.writeMsg("Copied SysEx Dump to Configuration Structure");
    return 0;
}

int DumpCodec::RecordToDump(BankRecord& record, DumpBuffer& target) {
    run(m_hooks.saveSettingsFromForm);
    const int written = buildDump(record, target.data);
    target.blockCount = kBlockCount;
    target.length = written;
    if (written != kDumpSize) {
        m_hooks.writeMsg(
            formatText("Internal Error in RecordToDump - tried to send %d bytes!", written));
        return 1;
    }
    return 0;
}
