// MidiInputSplitter: sorts the messages an input driver delivers into short messages and SysEx
// bytes, cutting SysEx into chunks of at most one input buffer. Runs on the driver's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

class MidiInputSplitter {
public:
    using ShortSink =
        std::function<void(std::uint8_t status, std::uint8_t first, std::uint8_t second)>;
    using SysExSink = std::function<void(std::span<const std::uint8_t> chunk)>;

    MidiInputSplitter(int chunkSize, ShortSink shortSink, SysExSink sysExSink);

    void split(std::span<const std::uint8_t> message);

private:
    void passSysEx(std::span<const std::uint8_t> bytes);

    int m_chunkSize;
    ShortSink m_short;
    SysExSink m_sysEx;
    bool m_inSysEx = false; // an F0 has come and nothing has ended its message yet
};
