#include "bank_job_runner.h"
#include "text_format.h"

#include "record_diff.h"
#include "sysex_protocol.h"

#include <cstdio>

using namespace sysex;

namespace {

// How many differing fields a failed verify names.
constexpr std::size_t kNamedDifferences = 3;

std::vector<std::uint8_t> bankChangeRequest(int deviceId, int bank) {
    return {kStart,
            kHeader[1],
            kHeader[2],
            kHeader[3],
            kModelId,
            deviceCommandByte(deviceId, BankChangeRequest),
            std::uint8_t((bank - 1) & 0x7F),
            kEnd};
}

std::vector<std::uint8_t> dumpRequest(int deviceId) {
    return {kStart,     kHeader[1], kHeader[2],
            kHeader[3], kModelId,   deviceCommandByte(deviceId, DumpRequest),
            kEnd};
}

std::vector<std::uint8_t> uploadBlocks(const BankRecord& record, int deviceId) {
    std::vector<std::uint8_t> dump(kDumpSize);
    buildDump(record, dump);
    for (int b = 0; b < kBlockCount; ++b)
        dump[std::size_t(b * kBlockSize + kDeviceCommandIndex)] =
            deviceCommandByte(deviceId, BlockDump);
    return dump;
}

// `bank name "Restored 007" reads "Sestored 007"`, for the first few differing fields.
std::string readBackDifferences(const BankRecord& uploaded, const BankRecord& readBack) {
    const auto differences = recordDifferences(uploaded, readBack);
    std::string text;
    for (std::size_t i = 0; i < std::min(differences.size(), kNamedDifferences); ++i) {
        const auto& difference = differences[i];
        text += (i == 0 ? ": " : ", ") + difference.field + " " + difference.before + " reads " +
                difference.after;
    }
    if (differences.size() > kNamedDifferences)
        text += formatText(" and %d more", int(differences.size() - kNamedDifferences));
    return text;
}

} // namespace

struct BankJobRunner::Buffers {
    DumpBuffer message;
    DumpBuffer incoming;
};

BankJobRunner::BankJobRunner(TransferClock& clock, Settings settings, Hooks hooks)
    : m_clock(clock), m_settings(settings), m_hooks(std::move(hooks)),
      m_buffers(std::make_unique<Buffers>()) {
    m_settings.deviceId &= 0x07;
    m_receiver = std::make_unique<SysexReceiver>(
        m_buffers->message, m_buffers->incoming,
        SysexReceiver::Hooks{
            m_hooks.log,
            [this] {
                if (m_running && m_phase == Phase::AwaitingDump && m_hooks.progress)
                    m_hooks.progress({operation().bank, m_buffers->incoming.blockCount,
                                      m_buffers->incoming.length});
            },
            {},
            [this] { dumpReceived(); },
            [this](bool acknowledge, int block) { replyReceived(acknowledge, block); }});
}

BankJobRunner::~BankJobRunner() {
    m_clock.cancel();
}

bool BankJobRunner::start(std::vector<BankOperation> operations) {
    if (m_running) return false;
    m_operations = std::move(operations);
    m_reports.assign(m_operations.size(), {});
    for (std::size_t i = 0; i < m_operations.size(); ++i) {
        m_reports[i].kind = m_operations[i].kind;
        m_reports[i].bank = m_operations[i].bank;
    }
    m_index = 0;
    m_running = true;
    startNext();
    return true;
}

void BankJobRunner::receive(std::span<const std::uint8_t> bytes) {
    m_receiver->MidiIn1SysEx(bytes.data(), static_cast<int>(bytes.size()));
}

void BankJobRunner::startNext() {
    if (m_index >= m_operations.size()) {
        finish();
        return;
    }
    const BankOperation& op = operation();
    m_started = m_clock.nowMs();
    if (op.kind == BankOperation::Kind::Verify && uploadFailedBefore(op.bank)) {
        end(BankReport::Outcome::NotRun, "not verified, as its upload failed");
        return;
    }
    m_phase = Phase::BankChange;
    const std::string line = formatText(
        "Requested Pultron64 Bank Change to #%d from Device ID %02X", op.bank, m_settings.deviceId);
    m_clock.callAfter(m_settings.bankChangeWaitMs, [this] { afterBankChange(); });
    if (sendMessage(bankChangeRequest(m_settings.deviceId, op.bank))) log(line);
}

bool BankJobRunner::uploadFailedBefore(int bank) const {
    for (std::size_t i = m_index; i-- > 0;)
        if (m_reports[i].bank == bank && m_reports[i].kind == BankOperation::Kind::Upload)
            return m_reports[i].outcome != BankReport::Outcome::Done;
    return false;
}

void BankJobRunner::afterBankChange() {
    const BankOperation& op = operation();
    if (op.kind == BankOperation::Kind::Upload) {
        m_upload = uploadBlocks(op.record, m_settings.deviceId);
        m_block = 0;
        m_tries = 0;
        sendBlock();
        return;
    }
    m_receiver->ResetReceiverBuffer();
    m_phase = Phase::AwaitingDump;
    m_clock.callAfter(m_settings.requestTimeoutMs, [this] { dumpTimedOut(); });
    if (sendMessage(dumpRequest(m_settings.deviceId)))
        log(formatText("Requested Pultron64 Bank from Device ID %02X", m_settings.deviceId));
}

// The acknowledge timer is armed before the block goes, as the reply may come at once.
void BankJobRunner::sendBlock() {
    m_phase = Phase::AwaitingAcknowledge;
    ++m_tries;
    const int block = m_block;
    m_clock.callAfter(m_settings.acknowledgeTimeoutMs, [this, block] {
        fail(formatText("block #%d not acknowledged within %d ms", block + 1,
                        m_settings.acknowledgeTimeoutMs));
    });
    const auto bytes = std::span(m_upload).subspan(std::size_t(block * kBlockSize), kBlockSize);
    if (sendMessage(bytes))
        log(formatText("Sent %d bytes to Pultron64 with device ID %02X (@0x%04x)", kBlockSize,
                       m_settings.deviceId, block * kBlockDataSize));
}

// A reply without a block number answers the block awaiting one, as the controller answers in
// order; one naming another block is late and left alone.
void BankJobRunner::replyReceived(bool acknowledge, int block) {
    if (!m_running || m_phase != Phase::AwaitingAcknowledge || (block >= 0 && block != m_block))
        return;
    if (acknowledge) {
        acknowledged();
        return;
    }
    if (m_tries >= m_settings.triesPerBlock) {
        fail(formatText("block #%d refused %d times", m_block + 1, m_tries));
        return;
    }
    log(formatText("Block #%d of bank %d refused - sending it again (try %d of %d)", m_block + 1,
                   operation().bank, m_tries + 1, m_settings.triesPerBlock));
    sendBlock();
}

void BankJobRunner::acknowledged() {
    ++m_block;
    report().blocksAcknowledged = m_block;
    if (m_hooks.progress) m_hooks.progress({operation().bank, m_block, m_block * kBlockSize});
    if (!m_running) return; // cancelled from the progress hook
    if (m_block < kBlockCount) {
        m_tries = 0;
        sendBlock();
        return;
    }
    succeed(formatText("Upload of bank %d complete: %d of %d blocks acknowledged", operation().bank,
                       kBlockCount, kBlockCount));
}

void BankJobRunner::dumpReceived() {
    if (!m_running || m_phase != Phase::AwaitingDump) return;
    const auto bytes = m_buffers->incoming.used();
    const auto scanned = scanDump(bytes, m_hooks.log);
    const bool verifying = operation().kind == BankOperation::Kind::Verify;
    if (!scanned) {
        fail(verifying ? "verification failed: the bank read back was rejected"
                       : "the dump was rejected");
        return;
    }
    report().dump.assign(bytes.begin(), bytes.end());
    if (verifying) {
        compareReadBack(scanned->record);
        return;
    }
    succeed(formatText("Bank %d received: %d bytes", operation().bank, int(bytes.size())));
}

void BankJobRunner::compareReadBack(const BankRecord& readBack) {
    if (readBack == operation().record) {
        succeed(formatText("Bank %d verified: it reads back as uploaded", operation().bank));
        return;
    }
    fail("verification failed" + readBackDifferences(operation().record, readBack));
}

void BankJobRunner::dumpTimedOut() {
    const std::string late = formatText("did not arrive within %d ms", m_settings.requestTimeoutMs);
    fail(operation().kind == BankOperation::Kind::Verify ? "verification failed: the bank " + late
                                                         : late);
}

void BankJobRunner::cancel() {
    if (!m_running) return;
    const BankOperation& op = operation();
    if (op.kind != BankOperation::Kind::Upload)
        end(BankReport::Outcome::Cancelled, "cancelled");
    else if (m_phase == Phase::BankChange)
        end(BankReport::Outcome::Cancelled,
            formatText("cancelled before any block went out: bank %d is unchanged", op.bank));
    else
        end(BankReport::Outcome::Cancelled,
            formatText("cancelled: bank %d left half-written (%d of %d blocks acknowledged)",
                       op.bank, m_block, kBlockCount));
}

void BankJobRunner::succeed(const std::string& line) {
    log(line);
    end(BankReport::Outcome::Done, {});
}

void BankJobRunner::fail(const std::string& reason) {
    end(BankReport::Outcome::Failed, reason);
}

void BankJobRunner::end(BankReport::Outcome outcome, const std::string& reason) {
    m_clock.cancel();
    BankReport& done = report();
    done.outcome = outcome;
    done.reason = reason;
    done.elapsedMs = m_clock.nowMs() - m_started;
    if (!reason.empty()) log(formatText("Bank %d: %s", done.bank, reason.c_str()));
    if (m_hooks.operationEnded) m_hooks.operationEnded(done);
    ++m_index;
    if (outcome == BankReport::Outcome::Cancelled)
        m_index = m_operations.size(); // the rest stay NotRun
    startNext();
}

void BankJobRunner::finish() {
    m_running = false;
    if (m_hooks.finished) m_hooks.finished();
}

bool BankJobRunner::sendMessage(std::span<const std::uint8_t> bytes) {
    if (m_hooks.send(bytes)) return true;
    fail(formatText("could not send %d bytes - MIDI OUT Port not ready!", int(bytes.size())));
    return false;
}

void BankJobRunner::log(const std::string& line) const {
    if (m_hooks.log) m_hooks.log(line);
}
