#include "event_words.h"

#include "bank_record.h"

#include <gtest/gtest.h>

TEST(EventWords, EachEventTypeInAFewWords) {
    const struct {
        std::uint8_t fullStatus, data1;
        const char* words;
    } cases[] = {
        {0xB0, 91, "CC 91 ch 1"},
        {0x95, 60, "Note C4 ch 6"},
        {0x90, 0, "Note C-1 ch 1"},
        {0x9F, 127, "Note G9 ch 16"},
        {0xC1, 5, "Program change ch 2"},
        {0xA2, 61, "Poly aftertouch C#4 ch 3"},
        {0xD3, 0, "Channel aftertouch ch 4"},
        {0xE4, 64, "Pitch bend ch 5"},
        {0xF2, 12, "Meta event 12 id 3"},
        // An all-zero entry, as pasting before copying leaves it: a note off.
        {0x80, 0, "Note off C-1 ch 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(eventWords(storedStatus(c.fullStatus), c.data1), c.words) << int(c.fullStatus);
}
