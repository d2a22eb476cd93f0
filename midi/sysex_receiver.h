// SysexReceiver: reads incoming SysEx bytes one at a time, assembles each message of the
// controller's protocol in MessageBuffer, logs the controller's replies, stores dump blocks in
// IncomingDump and hands the bank on when its last block has come.
#pragma once

#include "dump_buffer.h"
#include "dump_codec.h"

#include <cstdint>
#include <functional>

class SysexReceiver {
public:
    enum class ReceiverState { Idle, Header1, Header2, Header3, ModelByte, DeviceCommand, Payload };

    struct Hooks {
        LogSink writeMsg;
        std::function<void()> countersChanged;            // IncomingDump's length or block count
        std::function<void(int bank)> bankNumberReceived; // 1..128
        // The eighth block of a dump has been stored: decode IncomingDump.
        std::function<void()> lastBlockReceived;
        // An acknowledge (true) or error reply (false) has come; `block` is its byte 6 when the
        // reply carries one (8 bytes and more), else -1.
        std::function<void(bool acknowledge, int block)> replyReceived;
    };

    SysexReceiver(DumpBuffer& messageBuffer, DumpBuffer& incomingDump, Hooks hooks);

    // Processes MsgSize bytes; a message may be split over any number of calls.
    void MidiIn1SysEx(const std::uint8_t* SysExAdd, int MsgSize);
    // Empties IncomingDump; the message being assembled is left alone.
    void ResetReceiverBuffer();
    // Back to Idle, as at start-up.
    void resetState() { m_state = ReceiverState::Idle; }
    // Input was lost on its way here (the input port fell behind): says so once and waits for
    // the next F0, since the message under way has lost bytes.
    void inputDropped(int messages);
    // Bytes of an overlong message were dropped before they came here. `restart`: the F0 of a
    // new message broke it off, and that message starts clean.
    void sysExCut(long long bytes, bool restart);

    ReceiverState state() const { return m_state; }
    int deviceId() const { return m_deviceId; }
    int command() const { return m_command; }
    int blockNumber() const { return m_blockNumber; }
    // Replies of the controller seen so far (never reset), for callers that wait for them.
    int acknowledges() const { return m_acknowledges; }
    int errorResponses() const { return m_errorResponses; }

private:
    void take(std::uint8_t byte);
    void expect(std::uint8_t byte, std::uint8_t wanted, ReceiverState next);
    void corrupted();
    void complete();
    void errorResponse(int length);
    void acknowledge(int length);
    void reply(bool acknowledge, int length) const;
    void dataMessage(int length);
    bool store(int length);
    std::string codes(int length) const;
    void log(const std::string& line) const;

    DumpBuffer& m_message;
    DumpBuffer& m_incoming;
    Hooks m_hooks;
    ReceiverState m_state = ReceiverState::Idle;
    std::uint8_t m_model = 0;
    int m_deviceId = -1;
    int m_command = -1;
    int m_blockNumber = -1;
    int m_acknowledges = 0;
    int m_errorResponses = 0;
};
