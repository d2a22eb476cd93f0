// ReplyOrder: matches the controller's acknowledges and error replies to the uploaded blocks that
// await them. The controller answers in order; what its reply carries after the command is its
// own business, so that byte names a block only once the controller has shown that it does:
// when the replies to the first two blocks of a bank, each sent once, carried 0 and 1.
#pragma once

#include <deque>
#include <optional>

class ReplyOrder {
public:
    enum class Numbering { Unknown, Numbered, Unnumbered };

    // Block `block` (0..7) of the bank has gone out once more and awaits a reply.
    void sent(int block);
    // The block a reply answers, given what it carried after the command (-1: nothing); none
    // when no block awaits one, or when a numbered reply names a block that awaits none.
    std::optional<int> answer(int carried);
    // Sends still awaiting their reply, of any block.
    int awaiting() const { return static_cast<int>(m_awaiting.size()); }
    // Forgets the sends still unanswered (their replies are lost, or will come late).
    void forget() { m_awaiting.clear(); }
    Numbering numbering() const { return m_numbering; }

private:
    void learn(int block, int carried, bool unambiguous);

    std::deque<int> m_awaiting; // one entry for each send, oldest first
    Numbering m_numbering = Numbering::Unknown;
    bool m_firstCarriedZero = false; // the reply to block 0 carried 0
};
