#include "bank_job_runner.h"
#include "text_format.h"

#include "record_diff.h"
#include "sysex_protocol.h"

#include <algorithm>
#include <bitset>
#include <cstdio>

using namespace sysex;

namespace {

// How many differing fields a failed verify names.
constexpr std::size_t kNamedDifferences = 3;
// After a block sent more than once is answered, the other sends' replies are awaited this many
// round trips (plus a margin for the event loop) before the next block goes, so that a late
// reply is not taken for the next block's.
constexpr int kSettleRoundTrips = 2;
constexpr int kSettleMarginMs = 10;
// A dump under way counts as stopped short after this many times its longest pause so far.
constexpr int kDumpPauseFactor = 4;

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

// The first of the eight blocks that the messages of `dump` lack; kBlockCount when none is missing.
int firstMissingBlock(std::span<const std::uint8_t> dump) {
    std::bitset<kBlockCount> seen;
    std::size_t start = 0;
    for (std::size_t i = 0; i < dump.size(); ++i) {
        if (dump[i] == kStart) start = i;
        if (dump[i] != kEnd || i + 1 - start != std::size_t(kBlockSize)) continue;
        const auto number = dump[start + kBlockNumberIndex];
        if ((dump[start + kDeviceCommandIndex] & 0x0F) == BlockDump && number < kBlockCount)
            seen.set(number);
    }
    int block = 0;
    while (block < kBlockCount && seen.test(std::size_t(block)))
        ++block;
    return block;
}

// A block 0 after other blocks starts the dump anew (the answer to a second request, after
// stragglers of the first): only it is kept.
void restartAtBlockZero(DumpBuffer& incoming, int blockNumber, int messageLength) {
    if (blockNumber != 0 || incoming.blockCount < 2) return;
    std::copy_n(incoming.data.begin() + incoming.length - messageLength, messageLength,
                incoming.data.begin());
    incoming.length = messageLength;
    incoming.blockCount = 1;
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
            [this] { dumpBlockStored(); },
            {},
            [this] { dumpReceived(); },
            [this](bool acknowledge, int carried) { replyReceived(acknowledge, carried); }});
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
    m_replies = {};
    m_longestDumpPauseMs = 0;
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
        report().dump = m_upload;
        m_block = 0;
        m_tries = 0;
        m_roundTripMs = -1;
        sendBlock();
        return;
    }
    m_requests = 0;
    requestDump();
}

// The reply timer is armed before the block goes, as the reply may come at once.
void BankJobRunner::sendBlock() {
    m_phase = Phase::AwaitingAcknowledge;
    ++m_tries;
    m_clock.callAfter(m_settings.acknowledgeTimeoutMs, [this] { unanswered(); });
    m_replies.sent(m_block);
    m_sentAt = m_clock.nowMs();
    const auto bytes = std::span(m_upload).subspan(std::size_t(m_block * kBlockSize), kBlockSize);
    if (sendMessage(bytes))
        log(formatText("Sent %d bytes to Pultron64 with device ID %02X (@0x%04x)", kBlockSize,
                       m_settings.deviceId, m_block * kBlockDataSize));
}

void BankJobRunner::replyReceived(bool acknowledge, int carried) {
    if (!m_running) return;
    const bool uploading = m_phase == Phase::AwaitingAcknowledge || m_phase == Phase::Settling;
    if (!uploading || !m_replies.answer(carried)) {
        log("Reply ignored: no block awaits one");
        return;
    }
    if (m_phase == Phase::Settling) { // another send's reply to the block answered already
        if (m_replies.awaiting() == 0) nextBlock();
        return;
    }
    acknowledge ? acknowledged() : refused();
}

void BankJobRunner::acknowledged() {
    if (m_tries == 1) m_roundTripMs = std::max(m_roundTripMs, m_clock.nowMs() - m_sentAt);
    ++m_block;
    report().blocksAcknowledged = m_block;
    if (m_hooks.progress) m_hooks.progress({operation().bank, m_block, m_block * kBlockSize});
    if (!m_running) return; // cancelled from the progress hook
    if (m_block == kBlockCount) {
        succeed(formatText("Upload of bank %d complete: %d of %d blocks acknowledged",
                           operation().bank, kBlockCount, kBlockCount));
        return;
    }
    m_tries = 0;
    // Numbered replies name their block, so a late one cannot be taken for the next block's.
    if (m_replies.awaiting() > 0 && m_replies.numbering() != ReplyOrder::Numbering::Numbered) {
        m_phase = Phase::Settling;
        m_clock.callAfter(settleMs(), [this] { nextBlock(); });
        return;
    }
    nextBlock();
}

void BankJobRunner::refused() {
    if (m_tries < m_settings.triesPerBlock) {
        log(formatText("Block #%d of bank %d refused - sending it again (try %d of %d)",
                       m_block + 1, operation().bank, m_tries + 1, m_settings.triesPerBlock));
        sendBlock();
        return;
    }
    if (m_replies.awaiting() > 0) return; // an earlier send may still be acknowledged
    fail(formatText("block #%d refused %d times", m_block + 1, m_tries));
}

void BankJobRunner::unanswered() {
    const int timeout = m_settings.acknowledgeTimeoutMs;
    if (m_tries < m_settings.triesPerBlock) {
        log(formatText("Block #%d of bank %d not acknowledged within %d ms - sending it again "
                       "(try %d of %d)",
                       m_block + 1, operation().bank, timeout, m_tries + 1,
                       m_settings.triesPerBlock));
        sendBlock();
        return;
    }
    fail(formatText("block #%d not acknowledged within %d ms (%d tries)", m_block + 1, timeout,
                    m_tries));
}

// Replies still owed to an earlier block are lost or late; either way they are not this one's.
void BankJobRunner::nextBlock() {
    m_replies.forget();
    sendBlock();
}

// A few of the bank's round trips; before any is known, a quarter of the reply timeout.
int BankJobRunner::settleMs() const {
    const int timeout = m_settings.acknowledgeTimeoutMs;
    if (m_roundTripMs < 0) return timeout / 4;
    return int(std::min<std::int64_t>(kSettleRoundTrips * m_roundTripMs + kSettleMarginMs,
                                      timeout));
}

void BankJobRunner::requestDump() {
    ++m_requests;
    m_receiver->ResetReceiverBuffer();
    m_phase = Phase::AwaitingDump;
    m_lastDumpBlockAt = m_clock.nowMs();
    m_clock.callAfter(m_settings.requestTimeoutMs, [this] {
        dumpStoppedShort(
            readBackReason(formatText("did not arrive within %d ms", m_settings.requestTimeoutMs)));
    });
    if (sendMessage(dumpRequest(m_settings.deviceId)))
        log(formatText("Requested Pultron64 Bank from Device ID %02X", m_settings.deviceId));
}

// Each block of a dump under way gives the rest of it a new deadline.
void BankJobRunner::dumpBlockStored() {
    DumpBuffer& incoming = m_buffers->incoming;
    if (!m_running || m_phase != Phase::AwaitingDump || incoming.blockCount == 0) return;
    restartAtBlockZero(incoming, m_receiver->blockNumber(), m_buffers->message.length);
    const std::int64_t now = m_clock.nowMs();
    m_longestDumpPauseMs = std::max(m_longestDumpPauseMs, now - m_lastDumpBlockAt);
    m_lastDumpBlockAt = now;
    m_clock.callAfter(dumpPauseLimitMs(), [this] {
        dumpStoppedShort(readBackReason(formatText(
            "stopped short: %d of %d blocks arrived", m_buffers->incoming.blockCount, kBlockCount)));
    });
    if (m_hooks.progress)
        m_hooks.progress({operation().bank, incoming.blockCount, incoming.length});
}

int BankJobRunner::dumpPauseLimitMs() const {
    return int(std::clamp<std::int64_t>(kDumpPauseFactor * m_longestDumpPauseMs,
                                        m_settings.dumpPauseMs, m_settings.requestTimeoutMs));
}

void BankJobRunner::dumpReceived() {
    if (!m_running || m_phase != Phase::AwaitingDump) return;
    const auto bytes = m_buffers->incoming.used();
    const auto scanned = scanDump(bytes, m_hooks.log);
    const bool verifying = operation().kind == BankOperation::Kind::Verify;
    if (!scanned) {
        dumpStoppedShort(verifying ? "verification failed: the bank read back was rejected"
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

// "did not arrive", as a request or a verify says it.
std::string BankJobRunner::readBackReason(const std::string& what) const {
    return operation().kind == BankOperation::Kind::Verify ? "verification failed: the bank " + what
                                                           : what;
}

// A dump that did not come whole is requested again before the bank counts as missing with
// `reason`.
void BankJobRunner::dumpStoppedShort(const std::string& reason) {
    if (m_requests < m_settings.requestsPerBank) {
        const int missing = firstMissingBlock(m_buffers->incoming.used());
        const std::string what =
            missing < kBlockCount ? formatText("block #%d of the dump is missing", missing + 1)
                                  : std::string("the dump was rejected");
        log(formatText("Bank %d: %s - requesting the bank again (try %d of %d)", operation().bank,
                       what.c_str(), m_requests + 1, m_settings.requestsPerBank));
        requestDump();
        return;
    }
    fail(reason);
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
    m_replies.forget();
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
