#include "reply_order.h"

#include <algorithm>

void ReplyOrder::sent(int block) {
    m_awaiting.push_back(block);
}

std::optional<int> ReplyOrder::answer(int carried) {
    if (m_awaiting.empty()) return std::nullopt;
    if (m_numbering == Numbering::Numbered) {
        const auto named = std::find(m_awaiting.begin(), m_awaiting.end(), carried);
        if (named == m_awaiting.end()) return std::nullopt;
        m_awaiting.erase(named);
        return carried;
    }
    const int block = m_awaiting.front();
    m_awaiting.pop_front();
    learn(block, carried, m_awaiting.empty());
    return block;
}

// Only a reply that can answer nothing but its block teaches; a resend leaves it open which
// send a reply answers.
void ReplyOrder::learn(int block, int carried, bool unambiguous) {
    if (m_numbering != Numbering::Unknown || !unambiguous) return;
    if (carried != block) {
        m_numbering = Numbering::Unnumbered;
        return;
    }
    if (block == 0) m_firstCarriedZero = true;
    if (block == 1 && m_firstCarriedZero) m_numbering = Numbering::Numbered;
}
