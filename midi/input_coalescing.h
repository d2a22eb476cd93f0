// Which waiting MIDI input a later message makes stale. A control change (0xB0..0xBF) sets a
// controller to a value: when a later one for the same channel and controller waits behind it,
// skipping it changes nothing about where the controller ends. Every other message (notes,
// program changes, pitch bend, SysEx) is an event of its own and is never skipped.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace input_coalescing {

constexpr int kNever = -1;
// Keys run from 0 to kKeyCount - 1: the channel and the controller number.
constexpr int kKeyCount = 16 * 128;

// The key under which a later message supersedes this one; kNever for all but control changes.
int supersedeKey(std::uint8_t status, std::uint8_t data1);

// For each message in order: whether a later one with the same key (other than kNever) follows.
std::vector<bool> supersededByLater(std::span<const int> keys);

} // namespace input_coalescing
