#include "event_words.h"

#include "bank_record.h"

#include <array>

// Joined without printf: a library search words every event of 128 banks.
std::string noteName(std::uint8_t note) {
    static constexpr std::array<const char*, 12> names{"C",  "C#", "D",  "D#", "E",  "F",
                                                       "F#", "G",  "G#", "A",  "A#", "B"};
    return names[note % 12] + std::to_string(note / 12 - 1);
}

std::string eventWords(std::uint8_t storedStatus, std::uint8_t data1) {
    const std::uint8_t status = fullStatus(storedStatus);
    const std::string low = std::to_string((status & 0x0F) + 1);
    const auto note = [data1] { return noteName(data1 & 0x7F); };
    switch (status >> 4) {
    case 0x8:
        return "Note off " + note() + " ch " + low;
    case 0x9:
        return "Note " + note() + " ch " + low;
    case 0xA:
        return "Poly aftertouch " + note() + " ch " + low;
    case 0xB:
        return "CC " + std::to_string(data1) + " ch " + low;
    case 0xC:
        return "Program change ch " + low;
    case 0xD:
        return "Channel aftertouch ch " + low;
    case 0xE:
        return "Pitch bend ch " + low;
    default: // the low nibble of a meta event is its id, counted from 1 like a channel
        return "Meta event " + std::to_string(data1) + " id " + low;
    }
}
