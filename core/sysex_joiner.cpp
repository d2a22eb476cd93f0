#include "sysex_joiner.h"

#include "sysex_protocol.h"

#include <algorithm>

namespace {

using sysex::kEnd;
using sysex::kStart;
constexpr std::uint8_t kFirstRealTime = 0xF8;

bool isStatus(std::uint8_t byte) {
    return byte & 0x80;
}

// The first byte of `piece` and the data bytes after it.
std::size_t runLength(SysExJoiner::Bytes piece) {
    return static_cast<std::size_t>(std::find_if(piece.begin() + 1, piece.end(), isStatus) -
                                    piece.begin());
}

} // namespace

SysExJoiner::SysExJoiner(Sink sink, std::size_t maxLength)
    : m_sink(std::move(sink)), m_maxLength(std::max<std::size_t>(maxLength, 1)) {}

void SysExJoiner::take(Bytes piece) {
    while (!piece.empty())
        piece = m_joining && isStatus(piece.front()) ? endHeld(piece) : takeRun(piece);
}

void SysExJoiner::finish() {
    if (m_joining) passHeld();
}

// A status byte with its data bytes is a message of its own. F0 with its data bytes begins a
// SysEx message, and data bytes without a status begin one whose start was missed: both are held
// until a status byte ends them, unless it is right there.
SysExJoiner::Bytes SysExJoiner::takeRun(Bytes piece) {
    const std::size_t length = runLength(piece);
    const bool begins = !isStatus(piece.front()) || piece.front() == kStart;
    if (m_joining || (begins && (length == piece.size() || piece[length] != kEnd))) {
        hold(piece.first(length));
        return piece.subspan(length);
    }
    const std::size_t whole = begins ? length + 1 : length; // with its F7
    m_sink(piece.first(whole));
    return piece.subspan(whole);
}

// A status byte while a message is held. Real-time bytes may come amid a SysEx message and are
// messages of their own; F7 ends the message and any other status byte breaks it off. The input
// port marks the break with that status byte alone, then passes on the message it starts: the
// mark ends the cut message. A status byte with more after it begins the next message.
SysExJoiner::Bytes SysExJoiner::endHeld(Bytes piece) {
    const std::uint8_t status = piece.front();
    if (status >= kFirstRealTime) {
        m_sink(piece.first(1));
        return piece.subspan(1);
    }
    const bool endsHeld = status == kEnd || (piece.size() == 1 && status != kStart);
    if (endsHeld) m_held.push_back(status);
    passHeld();
    return endsHeld ? piece.subspan(1) : piece;
}

// The bytes beyond m_maxLength come out in the next line, so that no message holds more.
void SysExJoiner::hold(Bytes bytes) {
    m_joining = true;
    while (!bytes.empty()) {
        if (m_held.size() == m_maxLength) {
            m_sink(m_held);
            m_held.clear();
        }
        const std::size_t taken = std::min(bytes.size(), m_maxLength - m_held.size());
        m_held.insert(m_held.end(), bytes.begin(), bytes.begin() + std::ptrdiff_t(taken));
        bytes = bytes.subspan(taken);
    }
}

void SysExJoiner::passHeld() {
    m_joining = false;
    if (!m_held.empty()) m_sink(m_held);
    m_held.clear();
}
