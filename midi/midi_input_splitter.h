// MidiInputSplitter: sorts the messages an input driver delivers into short messages and SysEx
// bytes, cutting SysEx into chunks of at most one input buffer. Runs on the driver's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class MidiInputSplitter {
public:
    using ShortSink =
        std::function<void(std::uint8_t status, std::uint8_t first, std::uint8_t second)>;
    using SysExSink = std::function<void(std::span<const std::uint8_t> chunk)>;
    // `dropped` data bytes of one SysEx message were beyond `maxSysExLength`. `restart`: the
    // message was broken off by the F0 of a new one, which follows.
    using CutSink = std::function<void(long long dropped, bool restart)>;

    // A SysEx message is passed on up to `maxSysExLength` bytes from its F0, plus the status
    // byte that ends it; what lies between is dropped and reported, so that an endless message
    // holds no more than that.
    MidiInputSplitter(int chunkSize, long long maxSysExLength, ShortSink shortSink,
                      SysExSink sysExSink, CutSink cutSink);

    void split(std::span<const std::uint8_t> message);

private:
    void passSysEx(std::span<const std::uint8_t> bytes);
    void append(std::uint8_t byte);
    void flush();
    void reportCut(bool restart);

    int m_chunkSize;
    long long m_maxLength;
    ShortSink m_short;
    SysExSink m_sysEx;
    CutSink m_cut;
    bool m_inSysEx = false;  // an F0 has come and nothing has ended its message yet
    long long m_length = 0;  // bytes of the current SysEx message passed on
    long long m_dropped = 0; // bytes of the current SysEx message dropped
    std::vector<std::uint8_t> m_chunk;
};
