#include "sysex_assembler.h"

namespace {
constexpr std::uint8_t kStart = 0xF0;
constexpr std::uint8_t kEnd = 0xF7;
constexpr std::uint8_t kFirstRealTime = 0xF8;
} // namespace

void SysexAssembler::drop() {
    ++m_dropped;
    m_collecting = false;
    m_overlong = false;
    m_message.clear();
}

void SysexAssembler::feed(std::span<const std::uint8_t> bytes,
                          const std::function<void(Message)>& complete) {
    for (std::uint8_t byte : bytes) {
        if (byte >= kFirstRealTime) continue;
        if (byte == kStart) {
            if (m_collecting) drop();
            m_collecting = true;
            m_message.assign(1, byte);
            continue;
        }
        if (!m_collecting) continue;
        if (byte == kEnd) {
            if (m_overlong) {
                drop();
                continue;
            }
            m_message.push_back(byte);
            m_collecting = false;
            complete(m_message);
            m_message.clear();
        } else if (byte & 0x80) {
            drop();
        } else if (m_message.size() + 1 < m_maxLength) { // room for the F7
            m_message.push_back(byte);
        } else {
            m_overlong = true;
        }
    }
}
