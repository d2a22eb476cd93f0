#include "sysex_receiver.h"
#include "text_format.h"

#include "sysex_protocol.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace sysex;

namespace {

constexpr std::uint8_t kFirstRealTime = 0xF8;
// Replies longer than this are not the controller's.
constexpr int kMaxReplyLength = 20;
// From this length on a reply carries codes in bytes 7 .. length - 2.
constexpr int kCodedReplyLength = 9;
constexpr int kLastBlock = kBlockCount - 1;

} // namespace

SysexReceiver::SysexReceiver(DumpBuffer& messageBuffer, DumpBuffer& incomingDump, Hooks hooks)
    : m_message(messageBuffer), m_incoming(incomingDump), m_hooks(std::move(hooks)) {}

void SysexReceiver::MidiIn1SysEx(const std::uint8_t* SysExAdd, int MsgSize) {
    for (int i = 0; i < MsgSize; ++i)
        take(SysExAdd[i]);
}

void SysexReceiver::ResetReceiverBuffer() {
    m_incoming.length = 0;
    m_incoming.blockCount = 0;
    if (m_hooks.countersChanged) m_hooks.countersChanged();
}

void SysexReceiver::inputDropped(int messages) {
    log(formatText("MIDI input overflow - %d messages dropped!", messages));
    resetState();
}

void SysexReceiver::sysExCut(long long bytes, bool restart) {
    log(formatText("Received SysEx message longer than %d bytes - %lld more bytes dropped!",
                   DumpBuffer::kCapacity, bytes));
    if (restart) resetState();
}

void SysexReceiver::take(std::uint8_t byte) {
    using enum ReceiverState;
    if (m_state != Idle && m_message.length < DumpBuffer::kCapacity)
        m_message.data[m_message.length++] = byte;
    if (m_state != Idle && byte >= 0x80 && byte < kEnd)
        log("Received invalid status byte during SysEx transfer --- receiver has been reset!");
    if (byte >= kFirstRealTime) return;
    switch (m_state) {
    case Idle:
        if (byte == kStart) {
            m_deviceId = m_command = m_blockNumber = -1;
            m_message.data[0] = byte;
            m_message.length = 1;
            m_state = Header1;
        }
        break;
    case Header1:
        expect(byte, kHeader[1], Header2);
        break;
    case Header2:
        expect(byte, kHeader[2], Header3);
        break;
    case Header3:
        expect(byte, kHeader[3], ModelByte);
        break;
    case ModelByte:
        m_model = byte;
        expect(byte, kModelId, DeviceCommand);
        break;
    case DeviceCommand:
        if (byte < 0x80) {
            m_deviceId = byte >> 4;
            m_command = byte & 0x0F;
            m_state = Payload;
        } else {
            corrupted();
        }
        break;
    case Payload:
        if (byte == kEnd) {
            complete();
            m_state = Idle;
            m_message.length = 0;
        } else if (byte >= 0x80) {
            corrupted();
        }
        break;
    }
}

void SysexReceiver::expect(std::uint8_t byte, std::uint8_t wanted, ReceiverState next) {
    m_state = byte == wanted ? next : ReceiverState::Idle;
}

void SysexReceiver::corrupted() {
    log("Received corrupted data block!");
    m_state = ReceiverState::Idle;
}

void SysexReceiver::complete() {
    const int length = m_message.length;
    switch (m_command) {
    case ErrorResponse:
        errorResponse(length);
        break;
    case Acknowledge:
        acknowledge(length);
        break;
    default:
        dataMessage(length);
    }
}

std::string SysexReceiver::codes(int length) const {
    std::string text;
    for (int i = kBlockDataIndex; i <= length - 2; ++i)
        text += formatText(" %02X", m_message.data[i]);
    return text;
}

void SysexReceiver::errorResponse(int length) {
    ++m_errorResponses;
    if (length > kMaxReplyLength)
        log("Received strange Error Response with too much bytes!");
    else if (length >= kCodedReplyLength)
        log("Received Error Code:" + codes(length));
    else
        log("Received Error Response - request failed!");
    // After its line, so that what the reply sets off is logged after it.
    reply(false, length);
}

void SysexReceiver::acknowledge(int length) {
    ++m_acknowledges;
    if (length > kMaxReplyLength)
        log("Received strange Acknowledge message with too much bytes!");
    else if (length >= kCodedReplyLength)
        log("Received Acknowledge Code:" + codes(length) + " - block upload was successfull");
    else
        log("Received Acknowledge - block upload was successfull");
    reply(true, length);
}

void SysexReceiver::reply(bool acknowledge, int length) const {
    constexpr int kNumberedReplyLength = kBlockNumberIndex + 2;
    if (m_hooks.replyReceived)
        m_hooks.replyReceived(
            acknowledge, length >= kNumberedReplyLength ? m_message.data[kBlockNumberIndex] : -1);
}

void SysexReceiver::dataMessage(int length) {
    m_blockNumber = m_message.data[kBlockNumberIndex];
    const bool kept =
        m_command == WholeDump || m_command == BlockDump || m_command == BankNumberMessage;
    if (!kept) {
        log(formatText(
            "Received SysEx block from device %02X with %d bytes in %s format - cmd %02X "
            "(not saved).",
            m_deviceId, length, ModelName(m_model).data(), m_command));
        return;
    }
    const std::string address =
        m_command == BlockDump ? formatText("(@0x%04x)", m_blockNumber * kBlockDataSize) : "";
    if (m_command == BankNumberMessage && m_hooks.bankNumberReceived)
        m_hooks.bankNumberReceived(std::clamp(m_blockNumber + 1, 1, 128));
    log(formatText("Received SysEx block #%d from device %02X with %d bytes in %s format %s",
                   m_incoming.blockCount + 1, m_deviceId, length, ModelName(m_model).data(),
                   address.c_str()));
    // Only a block that was really stored can complete a bank: an echoed request or a block
    // turned away by a full buffer must not take an old dump into the record again.
    if (store(length) && m_blockNumber == kLastBlock && m_hooks.lastBlockReceived)
        m_hooks.lastBlockReceived();
}

bool SysexReceiver::store(int length) {
    if (m_incoming.length + length > DumpBuffer::kCapacity) {
        log("Buffer is full -- block ignored!!!");
        return false;
    }
    std::memcpy(m_incoming.data.data() + m_incoming.length, m_message.data.data(),
                static_cast<std::size_t>(length));
    m_incoming.length += length;
    m_incoming.blockCount += 1;
    if (m_hooks.countersChanged) m_hooks.countersChanged();
    return true;
}

void SysexReceiver::log(const std::string& line) const {
    if (m_hooks.writeMsg) m_hooks.writeMsg(line);
}
