#include "sysex_joiner.h"

#include <gtest/gtest.h>

#include <vector>

using Message = std::vector<std::uint8_t>;

TEST(SysExJoiner, JoinsPiecesAndCutsWhatIsBrokenOff) {
    struct Case {
        const char* what;
        std::vector<Message> pieces;
        std::vector<Message> messages;
        bool portCloses = false;
        std::size_t maxLength = SysExJoiner::kMaxLength;
    };
    const std::vector<Case> cases{
        {"pieces", {{0xF0, 0x7D}, {1, 2}, {3, 0xF7}}, {{0xF0, 0x7D, 1, 2, 3, 0xF7}}},
        {"whole messages pass as they are",
         {{0xB0, 7, 100}, {0xF0, 0x7D, 1, 0xF7}, {0xF8}, {0xF7}},
         {{0xB0, 7, 100}, {0xF0, 0x7D, 1, 0xF7}, {0xF8}, {0xF7}}},
        {"real-time amid SysEx is a message of its own",
         {{0xF0, 0x7D, 1, 0xF8}, {2, 0xFE, 3, 0xF7}},
         {{0xF8}, {0xFE}, {0xF0, 0x7D, 1, 2, 3, 0xF7}}},
        {"the port's mark of a break ends the cut message",
         {{0xF0, 0x7D, 1}, {0x90}, {0x90, 60, 64}},
         {{0xF0, 0x7D, 1, 0x90}, {0x90, 60, 64}}},
        {"a message that breaks one off follows it",
         {{0xF0, 0x7D, 1}, {0x90, 60, 64}, {0xF0, 0x7D}, {0xF0, 0x7D, 2, 0xF7}},
         {{0xF0, 0x7D, 1}, {0x90, 60, 64}, {0xF0, 0x7D}, {0xF0, 0x7D, 2, 0xF7}}},
        {"the port closing cuts the message", {{0xF0, 0x7D, 1}, {2}}, {{0xF0, 0x7D, 1, 2}}, true},
        {"data bytes whose start was missed are joined to their end",
         {{1, 2}, {3, 0xF7, 0xB0, 7, 100}},
         {{1, 2, 3, 0xF7}, {0xB0, 7, 100}}},
        {"a message over the longest held comes out in lines of that length",
         {{0xF0, 0x7D, 1, 2, 3}, {4, 5, 0xF7}},
         {{0xF0, 0x7D, 1, 2}, {3, 4, 5, 0xF7}},
         false,
         4},
    };
    for (const Case& c : cases) {
        std::vector<Message> messages;
        SysExJoiner joiner([&](SysExJoiner::Bytes m) { messages.emplace_back(m.begin(), m.end()); },
                           c.maxLength);
        for (const Message& piece : c.pieces)
            joiner.take(piece);
        if (c.portCloses) joiner.finish();
        EXPECT_EQ(messages, c.messages) << c.what;
    }
}
