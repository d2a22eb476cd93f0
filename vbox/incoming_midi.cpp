#include "incoming_midi.h"

#include <algorithm>

IncomingRoute routeIncoming(std::uint8_t status, bool learnPot, bool learnButton) {
    if (status < 0x90 || status >= 0xF0) return IncomingRoute::Ignore;
    if (learnPot) return IncomingRoute::LearnPot;
    if (learnButton) return IncomingRoute::LearnButton;
    return IncomingRoute::MatchPots;
}

std::vector<int> MatchIncomingToPots(const BankRecord& bank, std::uint8_t status,
                                     std::uint8_t data1) {
    std::vector<int> matches;
    for (int i = 0; i < bank_layout::kEntryCount; ++i) {
        const PotEntry entry = bank.pot(i + 1);
        if (fullStatus(entry.status) == status && entry.data == data1) matches.push_back(i);
    }
    return matches;
}

void EchoFilter::noteSent(int potIndex, const ShortMessage& message) {
    if (potIndex < 0 || potIndex >= int(m_sent.size())) return;
    m_sent[std::size_t(potIndex)] = {message, m_clock(), true};
}

bool EchoFilter::isEcho(const ShortMessage& message) const {
    const auto now = m_clock();
    return std::any_of(m_sent.begin(), m_sent.end(), [&](const Sent& sent) {
        return sent.valid && sent.message == message && now - sent.at <= kEchoWindow;
    });
}
