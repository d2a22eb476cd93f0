// What an incoming short message does to the desk: which learn switch takes it, which pots it
// matches, and whether it is only the echo of what a pot itself sent a moment ago.
#pragma once

#include "bank_record.h"
#include "desk_actions.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

enum class IncomingRoute { Ignore, LearnPot, LearnButton, MatchPots };

// Note-off and system messages are never learned nor matched.
IncomingRoute routeIncoming(std::uint8_t status, bool learnPot, bool learnButton);

// Every pot (index, ascending) whose event has this status and first data byte.
std::vector<int> MatchIncomingToPots(const BankRecord& bank, std::uint8_t status,
                                     std::uint8_t data1);

// Remembers the last message each pot sent. When the output is looped back to the input (a
// controller's MIDI merger, a patchbay), that message returns; moving the pots that match it
// would send it again, forever. A message equal to what a pot sent within the echo window is
// taken as an echo and moves none of the pots it matches (only pots with the same event can
// have sent an equal message).
class EchoFilter {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds kEchoWindow{500};

    explicit EchoFilter(Clock clock = std::chrono::steady_clock::now) : m_clock(std::move(clock)) {}

    void noteSent(int potIndex, const ShortMessage& message);
    bool isEcho(const ShortMessage& message) const;
    void clear() { m_sent.fill({}); }

private:
    struct Sent {
        ShortMessage message;
        std::chrono::steady_clock::time_point at;
        bool valid = false;
    };
    Clock m_clock;
    std::array<Sent, bank_layout::kEntryCount> m_sent{};
};
