// SysExJoiner: puts back together a SysEx message that reaches the monitor in pieces, so that it
// is read as one message. An input port passes SysEx on in chunks of its input buffer and a JACK
// input passes each event as it comes; other messages go through as they are. A message broken
// off (by a status byte, a new F0 or the port closing) comes out cut, without its F7. One per
// port and direction. Plain C++, no Qt.
#pragma once

#include "dump_buffer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class SysExJoiner {
public:
    using Bytes = std::span<const std::uint8_t>;
    // Takes each message as it is whole; the bytes are valid only until it returns.
    using Sink = std::function<void(Bytes message)>;
    // As much of one SysEx message as an input port passes on; a longer message comes out in
    // lines of that many bytes.
    static constexpr std::size_t kMaxLength = DumpBuffer::kCapacity;

    explicit SysExJoiner(Sink sink, std::size_t maxLength = kMaxLength);

    // Takes what the port delivered: a message, a piece of one, or several.
    void take(Bytes piece);
    // A message begun comes out cut: the port closed, or pieces of it were lost.
    void finish();

private:
    Bytes takeRun(Bytes piece);
    Bytes endHeld(Bytes piece);
    void hold(Bytes bytes);
    void passHeld();

    Sink m_sink;
    std::size_t m_maxLength;
    bool m_joining = false; // a message has begun and nothing has ended it yet
    std::vector<std::uint8_t> m_held;
};
