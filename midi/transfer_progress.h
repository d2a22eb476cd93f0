// TransferProgress: where an upload or a request of the window stands (bank, block, bytes), how
// long it has left, and the line that says how it ended. Pure: the caller gives the time.
#pragma once

#include <string>

class TransferProgress {
public:
    enum class Kind { Upload, Request };
    enum class Ending {
        Complete,
        Cancelled,
        Failed,   // the port failed, or there was no bank to send
        NoAnswer, // a request whose answer did not come whole in time
        NotTaken, // a request whose answer the decoder refused
    };

    // `bank` as users count them (1..128); `plannedMs` the time the transfer takes when all goes
    // to plan (for a request: until it gives up waiting).
    TransferProgress(Kind kind, int bank, int blocks, int totalBytes, long long plannedMs);

    // Blocks and bytes sent (upload) or received (request) so far.
    void setDone(int blocks, int bytes);
    void acknowledged() { ++m_acknowledges; }

    Kind kind() const { return m_kind; }
    int bank() const { return m_bank; }
    int blocksDone() const { return m_blocksDone; }
    int blocks() const { return m_blocks; }
    int acknowledges() const { return m_acknowledges; }
    bool allAcknowledged() const { return m_acknowledges >= m_blocks; }
    int percent() const;
    // "Upload of bank 5: block 3 of 8", "Request of bank 5: 2 of 8 blocks".
    std::string stateText() const;
    // "about 4 s left" (upload), "at most 5 s left" (request: the answer may come sooner).
    std::string timeLeftText(long long elapsedMs) const;
    // "Upload of bank 5 complete: 8 of 8 blocks acknowledged" and the like.
    std::string endLine(Ending ending, int timeoutSeconds = 0) const;

private:
    std::string name() const;

    Kind m_kind;
    int m_bank;
    int m_blocks;
    int m_totalBytes;
    long long m_plannedMs;
    int m_blocksDone = 0;
    int m_bytesDone = 0;
    int m_acknowledges = 0;
};
