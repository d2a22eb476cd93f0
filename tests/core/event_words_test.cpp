#include "event_words.h"

#include <gtest/gtest.h>

TEST(EventWords, NameEachEventTypeWithItsNumberAndChannel) {
    const struct {
        std::uint8_t stored;
        std::uint8_t data1;
        const char* words;
    } cases[] = {
        {0x30, 91, "CC 91 ch 1"},
        {0x15, 60, "Note C4 ch 6"},
        {0x1F, 0, "Note C-1 ch 16"},
        {0x10, 127, "Note G9 ch 1"},
        {0x22, 61, "Poly aftertouch C#4 ch 3"},
        {0x41, 5, "Program change ch 2"},
        {0x53, 0, "Channel aftertouch ch 4"},
        {0x60, 64, "Pitch bend ch 1"},
        {0x74, 7, "Meta event 7 id 5"},
        {0x00, 59, "Note off B3 ch 1"}, // a pasted empty entry before the page raises it
    };
    for (const auto& c : cases)
        EXPECT_EQ(eventWords(c.stored, c.data1), c.words) << int(c.stored) << " " << int(c.data1);
}
