#include "simulated_controller.h"
#include "text_format.h"

#include "dump_codec.h"
#include "sysex_protocol.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

using namespace sysex;

namespace {

// The longest message the controller takes is the whole-form dump.
constexpr std::size_t kMaxMessage = 4096;

std::uint8_t numberOf(int blockNumber) {
    return static_cast<std::uint8_t>(blockNumber & 0x7F);
}

bool hasOurHeader(SimulatedController::Bytes message) {
    return message.size() >= 7 && std::equal(kHeader.begin(), kHeader.end(), message.begin());
}

} // namespace

SimulatedController::SimulatedController(const BankRecord& initialBank, Settings settings)
    : m_settings(settings), m_initialBank(initialBank), m_assembler(kMaxMessage) {
    m_settings.deviceId &= 0x07;
}

const BankRecord& SimulatedController::bank(int n) const {
    if (n < 0 || n >= kBankCount) throw std::out_of_range("no such bank");
    const auto written = m_writtenBanks.find(n);
    return written != m_writtenBanks.end() ? written->second : m_initialBank;
}

BankRecord& SimulatedController::writableBank(int n) {
    if (n < 0 || n >= kBankCount) throw std::out_of_range("no such bank");
    return m_writtenBanks.try_emplace(n, m_initialBank).first->second;
}

std::vector<SimulatedController::Message> SimulatedController::receive(Bytes bytes,
                                                                       Clock::time_point now) {
    std::vector<Message> replies;
    const int droppedBefore = m_assembler.dropped();
    m_assembler.feed(bytes, [&](Bytes message) { handle(message, now, replies); });
    if (const int dropped = m_assembler.dropped() - droppedBefore; dropped > 0)
        log(formatText("Dropped %d broken or overlong message(s)", dropped));
    return replies;
}

void SimulatedController::handle(Bytes message, Clock::time_point now,
                                 std::vector<Message>& replies) {
    if (m_observer.received) m_observer.received(message);
    if (!hasOurHeader(message)) {
        log(formatText("Ignored a message of %d bytes for another model", int(message.size())));
        return;
    }
    const int deviceId = message[kDeviceCommandIndex] >> 4;
    const int command = message[kDeviceCommandIndex] & 0x0F;
    if (deviceId != m_settings.deviceId) {
        log(formatText("Ignored a message for device %02X (command %02X)", deviceId, command));
        return;
    }
    if (command != BankChangeRequest && m_silentBanks.contains(m_currentBank)) {
        log(formatText("Bank #%d is silent: ignored a message with command %02X", m_currentBank + 1,
                       command));
        return;
    }
    switch (command) {
    case BankChangeRequest:
        bankChange(message);
        break;
    case DumpRequest:
        dumpCurrentBank(replies);
        break;
    case BlockDump:
        storeBlock(message, now, replies);
        break;
    case WholeDump:
        storeWholeDump(message, replies);
        break;
    default:
        log(formatText("Ignored a message with command %02X", command));
    }
}

void SimulatedController::bankChange(Bytes message) {
    m_currentBank = message[kBlockNumberIndex] & 0x7F;
    log(formatText("Received bank change request: now at bank #%d", m_currentBank + 1));
}

void SimulatedController::dumpCurrentBank(std::vector<Message>& replies) {
    log(formatText("Received dump request: sending bank #%d as %d blocks", m_currentBank + 1,
                   kBlockCount));
    Message dump(kDumpSize);
    buildDump(bank(m_currentBank), dump);
    for (int b = 0; b < kBlockCount; ++b) {
        const auto first = dump.begin() + b * kBlockSize;
        Message block(first, first + kBlockSize);
        block[kDeviceCommandIndex] = deviceCommandByte(m_settings.deviceId, BlockDump);
        if (strikes(Fault::LoseDumpBlock, b)) {
            log(formatText("Lost block #%d of the dump on its way out as told", b + 1));
            continue;
        }
        reply(std::move(block), replies);
    }
}

void SimulatedController::storeBlock(Bytes message, Clock::time_point now,
                                     std::vector<Message>& replies) {
    const int blockNumber = message[kBlockNumberIndex];
    if (strikes(Fault::LoseBlock, blockNumber)) {
        log(formatText("Lost block #%d for bank #%d on its way in as told", blockNumber + 1,
                       m_currentBank + 1));
        return;
    }
    const bool tooSoon = m_blockSeen && now - m_lastBlock < m_settings.minBlockGap;
    m_blockSeen = true;
    m_lastBlock = now;
    if (message.size() != std::size_t(kBlockSize) || blockNumber >= kBlockCount) {
        log(formatText("Received a bad block (#%d, %d bytes): error reply", blockNumber + 1,
                       int(message.size())));
        reply(errorReply(blockNumber, BadBlock), replies);
        return;
    }
    if (tooSoon) {
        log(formatText("Received block #%d too soon after the one before (minimum gap %d ms): "
                       "error reply",
                       blockNumber + 1, int(m_settings.minBlockGap.count())));
        reply(errorReply(blockNumber, BufferOverflow), replies);
        return;
    }
    const auto data = message.subspan(kBlockDataIndex, kBlockDataSize);
    if (blockChecksum(blockNumber, data) != message[kBlockChecksumIndex]) {
        log(formatText("Received block #%d with a wrong checksum: error reply", blockNumber + 1));
        reply(errorReply(blockNumber, ChecksumMismatch), replies);
        return;
    }
    if (strikes(Fault::RefuseBlock, blockNumber)) {
        log(formatText("Refused block #%d for bank #%d as told: error reply", blockNumber + 1,
                       m_currentBank + 1));
        reply(errorReply(blockNumber, ChecksumMismatch), replies);
        return;
    }
    auto& bytes = writableBank(m_currentBank).bytes();
    std::copy(data.begin(), data.end(), bytes.begin() + blockNumber * kBlockDataSize);
    corruptIfAsked(m_currentBank, blockNumber);
    if (strikes(Fault::LoseReply, blockNumber)) {
        log(formatText("Received block #%d for bank #%d: stored; its acknowledge is lost as told",
                       blockNumber + 1, m_currentBank + 1));
        return;
    }
    log(formatText("Received block #%d for bank #%d: stored, acknowledged", blockNumber + 1,
                   m_currentBank + 1));
    reply(acknowledge(blockNumber), replies);
}

void SimulatedController::storeWholeDump(Bytes message, std::vector<Message>& replies) {
    if (message.size() != std::size_t(kWholeDumpSize)) {
        log(formatText("Received a bad whole dump (%d bytes): error reply", int(message.size())));
        reply(errorReply(0, BadBlock), replies);
        return;
    }
    const auto data = message.subspan(kBlockNumberIndex, bank_layout::kRecordSize);
    std::copy(data.begin(), data.end(), writableBank(m_currentBank).bytes().begin());
    log(formatText("Received a whole dump for bank #%d: stored, acknowledged", m_currentBank + 1));
    reply(acknowledge(0), replies);
}

void SimulatedController::inject(Fault fault, int bank, int block, bool always) {
    m_faults[{fault, bank, block}] = {always, false};
}

bool SimulatedController::strikes(Fault fault, int blockNumber) {
    const auto found = m_faults.find({fault, m_currentBank, blockNumber});
    if (found == m_faults.end() || found->second.spent) return false;
    found->second.spent = !found->second.always;
    return true;
}

void SimulatedController::corruptIfAsked(int bank, int blockNumber) {
    const auto found = m_corruptBytes.find(bank);
    if (found == m_corruptBytes.end() || found->second / kBlockDataSize != blockNumber) return;
    auto& byte = writableBank(bank).bytes()[std::size_t(found->second)];
    byte = static_cast<std::uint8_t>((byte + 1) & 0x7F);
}

// F0 00 00 7E 43 0F 00 05 F7; numbered, F0 00 00 7E 43 0F <block> F7.
SimulatedController::Message SimulatedController::acknowledge(int blockNumber) const {
    if (m_settings.numberedReplies) return replyMessage(Acknowledge, {numberOf(blockNumber)});
    return replyMessage(Acknowledge, {0x00, kAcknowledgeCode});
}

SimulatedController::Message SimulatedController::errorReply(int blockNumber,
                                                             ErrorCode code) const {
    return replyMessage(ErrorResponse,
                        {m_settings.numberedReplies ? numberOf(blockNumber) : std::uint8_t(0), code});
}

SimulatedController::Message
SimulatedController::replyMessage(std::uint8_t command,
                                  std::initializer_list<std::uint8_t> body) const {
    Message message(kHeader.begin(), kHeader.end());
    message.push_back(deviceCommandByte(m_settings.deviceId, Command(command)));
    message.insert(message.end(), body);
    message.push_back(kEnd);
    return message;
}

void SimulatedController::reply(Message message, std::vector<Message>& replies) {
    if (m_observer.sent) m_observer.sent(message);
    replies.push_back(std::move(message));
}

void SimulatedController::log(const std::string& line) const {
    if (m_observer.log) m_observer.log(line);
}
