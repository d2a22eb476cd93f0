// The short MIDI message that a pot or button of a bank sends: shared by the desk that plays
// the bank and by the monitor that names what it sees.
#pragma once

#include "bank_record.h"

#include <cstdint>

struct ShortMessage {
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    bool operator==(const ShortMessage&) const = default;
};

// System and meta events (status F0..FF) are stored and shown, never sent by the desk.
constexpr bool isSendable(const ShortMessage& message) {
    return message.status >= 0x80 && message.status < 0xF0;
}

// Pot `index` (0..63) sending `value` as its last byte.
inline ShortMessage potEvent(const BankRecord& bank, int index, std::uint8_t value) {
    const PotEntry entry = bank.pot(index + 1);
    return {fullStatus(entry.status), entry.data, value};
}

// Button `index` (0..63) turned on (its data 2) or off (0).
inline ShortMessage buttonEvent(const BankRecord& bank, int index, bool on) {
    const ButtonEntry entry = bank.button(index + 1);
    return {fullStatus(entry.status), entry.data1, on ? entry.data2 : std::uint8_t(0)};
}
