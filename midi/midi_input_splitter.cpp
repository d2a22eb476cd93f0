#include "midi_input_splitter.h"

#include <algorithm>

namespace {
constexpr std::uint8_t kStart = 0xF0;
constexpr std::uint8_t kEnd = 0xF7;
constexpr std::uint8_t kFirstRealTime = 0xF8;

bool isStatus(std::uint8_t byte) {
    return byte & 0x80;
}
} // namespace

MidiInputSplitter::MidiInputSplitter(int chunkSize, ShortSink shortSink, SysExSink sysExSink)
    : m_chunkSize(chunkSize), m_short(std::move(shortSink)), m_sysEx(std::move(sysExSink)) {}

void MidiInputSplitter::split(std::span<const std::uint8_t> message) {
    if (message.empty()) return;
    const std::uint8_t first = message[0];
    if (m_inSysEx && isStatus(first) && first < kFirstRealTime && first != kStart &&
        first != kEnd) {
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
    for (std::uint8_t byte : bytes) {
        if (byte == kStart)
            m_inSysEx = true;
        else if (isStatus(byte) && byte < kFirstRealTime)
            m_inSysEx = false;
    }
    while (!bytes.empty()) {
        const auto n = std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(m_chunkSize));
        m_sysEx(bytes.first(n));
        bytes = bytes.subspan(n);
    }
}
