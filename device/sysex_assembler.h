// SysexAssembler: collects complete F0 .. F7 messages from a MIDI byte stream.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class SysexAssembler {
public:
    using Message = std::span<const std::uint8_t>;

    // Messages of more than `maxLength` bytes, F0 and F7 included, are dropped whole.
    explicit SysexAssembler(std::size_t maxLength) : m_maxLength(maxLength) {}

    // Calls `complete` for every message finished by these bytes. Real-time bytes are skipped,
    // any other status byte breaks the message being collected.
    void feed(std::span<const std::uint8_t> bytes, const std::function<void(Message)>& complete);

    // Number of messages dropped because they were broken or too long.
    int dropped() const { return m_dropped; }

private:
    void drop();

    std::size_t m_maxLength;
    std::vector<std::uint8_t> m_message;
    bool m_collecting = false;
    bool m_overlong = false;
    int m_dropped = 0;
};
