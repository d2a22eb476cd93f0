#include "transfer_progress.h"

#include <algorithm>

namespace {

std::string number(long long value) {
    return std::to_string(value);
}

} // namespace

TransferProgress::TransferProgress(Kind kind, int bank, int blocks, int totalBytes,
                                   long long plannedMs)
    : m_kind(kind), m_bank(bank), m_blocks(blocks), m_totalBytes(totalBytes),
      m_plannedMs(plannedMs) {}

void TransferProgress::setDone(int blocks, int bytes) {
    m_blocksDone = std::clamp(blocks, 0, m_blocks);
    m_bytesDone = std::clamp(bytes, 0, m_totalBytes);
}

int TransferProgress::percent() const {
    return m_totalBytes > 0 ? static_cast<int>(100LL * m_bytesDone / m_totalBytes) : 0;
}

std::string TransferProgress::name() const {
    return (m_kind == Kind::Upload ? "Upload of bank " : "Request of bank ") + number(m_bank);
}

std::string TransferProgress::stateText() const {
    if (m_kind == Kind::Request)
        return name() + ": " + number(m_blocksDone) + " of " + number(m_blocks) + " blocks";
    if (m_blocksDone == 0) return name() + ": changing the bank";
    return name() + ": block " + number(m_blocksDone) + " of " + number(m_blocks);
}

std::string TransferProgress::timeLeftText(long long elapsedMs) const {
    const long long left = std::max(0LL, m_plannedMs - elapsedMs);
    const std::string seconds = number((left + 999) / 1000) + " s left";
    return m_kind == Kind::Upload ? "about " + seconds : "at most " + seconds;
}

std::string TransferProgress::endLine(Ending ending, int timeoutSeconds) const {
    const std::string sentBlocks = number(m_blocksDone) + " of " + number(m_blocks);
    // Blocks already stored stay in the controller; none sent leaves its bank as it was.
    const std::string controllerBank =
        m_blocksDone == 0
            ? " before the first block: the bank in the controller is unchanged"
            : " after block " + sentBlocks + ": the bank in the controller is incomplete";
    switch (ending) {
    case Ending::Complete:
        if (m_kind == Kind::Request) return name() + " complete";
        return name() + " complete: " + number(std::min(m_acknowledges, m_blocks)) + " of " +
               number(m_blocks) + " blocks acknowledged";
    case Ending::Cancelled:
        return m_kind == Kind::Request ? name() + " cancelled"
                                       : name() + " cancelled" + controllerBank;
    case Ending::Failed:
        return m_kind == Kind::Request ? name() + " failed" : name() + " failed" + controllerBank;
    case Ending::NoAnswer:
        if (m_blocksDone == 0)
            return name() + ": no answer within " + number(timeoutSeconds) + " s";
        return name() + ": only " + sentBlocks + " blocks within " + number(timeoutSeconds) + " s";
    case Ending::NotTaken:
        return name() + ": the answer was not taken";
    }
    return name();
}
