#include "event_words.h"

#include "bank_record.h"
#include "text_format.h"

#include <array>

std::string noteName(std::uint8_t note) {
    static constexpr std::array<const char*, 12> names{"C",  "C#", "D",  "D#", "E",  "F",
                                                       "F#", "G",  "G#", "A",  "A#", "B"};
    return formatText("%s%d", names[note % 12], note / 12 - 1);
}

std::string eventWords(std::uint8_t storedStatus, std::uint8_t data1) {
    const std::uint8_t status = fullStatus(storedStatus);
    const int low = (status & 0x0F) + 1;
    const std::string note = noteName(data1 & 0x7F);
    switch (status >> 4) {
    case 0x8:
        return formatText("Note off %s ch %d", note.c_str(), low);
    case 0x9:
        return formatText("Note %s ch %d", note.c_str(), low);
    case 0xA:
        return formatText("Poly aftertouch %s ch %d", note.c_str(), low);
    case 0xB:
        return formatText("CC %d ch %d", data1, low);
    case 0xC:
        return formatText("Program change ch %d", low);
    case 0xD:
        return formatText("Channel aftertouch ch %d", low);
    case 0xE:
        return formatText("Pitch bend ch %d", low);
    default: // the low nibble of a meta event is its id, counted from 1 like a channel
        return formatText("Meta event %d id %d", data1, low);
    }
}
