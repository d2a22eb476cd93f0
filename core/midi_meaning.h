// midi_meaning: one MIDI message in words, for the monitor. Channel messages in MIDI terms,
// the pot or button of a bank that sends exactly that event, the controller's SysEx protocol,
// and system messages by name. Plain C++, no Qt.
#pragma once

#include "bank_record.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace midi_meaning {

enum class Direction { In, Out };
enum class Category { Channel, SysEx, RealTime, Common };

Category category(std::span<const std::uint8_t> message);
// 1..16 for a channel message, 0 otherwise.
int channel(std::span<const std::uint8_t> message);
// "B0 5B 64"; a message of more than 16 bytes (a SysEx) shows its first 8 bytes and
// "... (265 bytes)".
std::string hexBytes(std::span<const std::uint8_t> message);
// The message in words; `bank` (may be null) adds the pot or button that sends it.
std::string meaning(std::span<const std::uint8_t> message, const BankRecord* bank);
// "<ms> in|out <port> <hex> <meaning>": one line of the monitor, without a line break.
std::string monitorLine(std::int64_t ms, Direction direction, std::string_view port,
                        std::span<const std::uint8_t> message, const BankRecord* bank);

} // namespace midi_meaning
