#include "midi_input_splitter.h"

namespace {
constexpr std::uint8_t kStart = 0xF0;
constexpr std::uint8_t kEnd = 0xF7;
constexpr std::uint8_t kFirstRealTime = 0xF8;

bool isStatus(std::uint8_t byte) {
    return byte & 0x80;
}

// F0, F7 and every other status byte except the real-time ones end a SysEx message.
bool endsSysEx(std::uint8_t byte) {
    return isStatus(byte) && byte < kFirstRealTime;
}
} // namespace

MidiInputSplitter::MidiInputSplitter(int chunkSize, long long maxSysExLength, ShortSink shortSink,
                                     SysExSink sysExSink, CutSink cutSink)
    : m_chunkSize(chunkSize), m_maxLength(maxSysExLength), m_short(std::move(shortSink)),
      m_sysEx(std::move(sysExSink)), m_cut(std::move(cutSink)) {
    m_chunk.reserve(static_cast<std::size_t>(chunkSize));
}

void MidiInputSplitter::split(std::span<const std::uint8_t> message) {
    if (message.empty()) return;
    const std::uint8_t first = message[0];
    if (m_inSysEx && endsSysEx(first) && first != kStart && first != kEnd) {
        // A new message breaks the SysEx off; the receiver is shown the status byte that did it.
        passSysEx(message.first(1));
    }
    if (m_inSysEx || first == kStart) {
        passSysEx(message);
        return;
    }
    if (first >= kFirstRealTime) {
        m_short(first, 0, 0);
    } else if (isStatus(first) && first != kEnd) {
        m_short(first, message.size() > 1 ? message[1] : 0, message.size() > 2 ? message[2] : 0);
    }
    // Data bytes without a status, and a lone F7, are no message at all.
}

void MidiInputSplitter::passSysEx(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        if (!endsSysEx(byte)) {
            if (m_length < m_maxLength) {
                append(byte);
                ++m_length;
            } else {
                ++m_dropped;
            }
            continue;
        }
        if (byte == kStart) reportCut(true);
        append(byte);
        m_inSysEx = byte == kStart;
        m_length = m_inSysEx ? 1 : 0;
        if (byte != kStart) reportCut(false);
    }
    flush();
}

void MidiInputSplitter::append(std::uint8_t byte) {
    m_chunk.push_back(byte);
    if (m_chunk.size() == static_cast<std::size_t>(m_chunkSize)) flush();
}

void MidiInputSplitter::flush() {
    if (m_chunk.empty()) return;
    m_sysEx(m_chunk);
    m_chunk.clear();
}

void MidiInputSplitter::reportCut(bool restart) {
    if (m_dropped == 0) return;
    flush();
    m_cut(m_dropped, restart);
    m_dropped = 0;
}
