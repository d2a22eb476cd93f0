// BankJobRunner: runs a list of bank operations (request, upload, verify) against the controller
// one after the other. Uploads are paced by the controller's replies, taken in order; a block
// without a reply is sent again and a dump that stops short is requested again, so that a lost
// message never fails a bank on its own. Every operation ends with a report, cancelled ones
// included.
#pragma once

#include "bank_record.h"
#include "dump_buffer.h"
#include "dump_codec.h"
#include "reply_order.h"
#include "sysex_receiver.h"
#include "transfer_clock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct BankOperation {
    enum class Kind { Request, Upload, Verify };
    Kind kind = Kind::Request;
    int bank = 1;      // 1..128, as users count banks
    BankRecord record; // Upload: what goes up; Verify: what the bank must hold
};

struct BankReport {
    enum class Outcome { Done, Failed, Cancelled, NotRun };
    BankOperation::Kind kind = BankOperation::Kind::Request;
    int bank = 1;
    Outcome outcome = Outcome::NotRun;
    std::string reason;             // why it did not end Done
    // Request: the bytes received; Upload: those sent; Verify: those read back.
    std::vector<std::uint8_t> dump;
    int blocksAcknowledged = 0;     // Upload
    std::int64_t elapsedMs = 0;     // from its bank change request to its end
};

// Where a running operation stands: `block` blocks (1..8) of `bank` have gone or come, `bytes`
// bytes in all.
struct JobProgress {
    int bank = 1;
    int block = 0;
    int bytes = 0;
};

class BankJobRunner {
public:
    struct Settings {
        int deviceId = 0;
        int acknowledgeTimeoutMs = 2000;
        int requestTimeoutMs = 5000;
        int triesPerBlock = 3;       // sends of a block that is refused or not answered
        int requestsPerBank = 2;     // dump requests of a bank that stops short or never comes
        int bankChangeWaitMs = 1000; // the controller's time to switch banks
        // The least time a dump under way may pause between two blocks before it counts as
        // stopped short; a controller that paces its blocks slowly earns a longer pause.
        int dumpPauseMs = 500;
    };

    struct Hooks {
        LogSink log;
        // Sends one complete SysEx message to the controller; false when it could not go.
        std::function<bool(std::span<const std::uint8_t>)> send;
        std::function<void(const JobProgress&)> progress;
        std::function<void(const BankReport&)> operationEnded;
        std::function<void()> finished;
    };

    BankJobRunner(TransferClock& clock, Settings settings, Hooks hooks);
    ~BankJobRunner();

    // Starts the operations; false when a job is running already.
    bool start(std::vector<BankOperation> operations);
    // The controller's bytes, in any chunks.
    void receive(std::span<const std::uint8_t> bytes);
    // Ends the job now: the running operation is reported cancelled, the rest not run.
    void cancel();

    bool running() const { return m_running; }
    const std::vector<BankReport>& reports() const { return m_reports; }

private:
    enum class Phase { BankChange, AwaitingAcknowledge, Settling, AwaitingDump };

    void startNext();
    void afterBankChange();
    void sendBlock();
    void replyReceived(bool acknowledge, int carried);
    void acknowledged();
    void refused();
    void unanswered();
    void nextBlock();
    int settleMs() const;
    void requestDump();
    void dumpBlockStored();
    void dumpReceived();
    void compareReadBack(const BankRecord& readBack);
    std::string readBackReason(const std::string& what) const;
    void dumpStoppedShort(const std::string& reason);
    int dumpPauseLimitMs() const;
    void succeed(const std::string& line);
    void fail(const std::string& reason);
    void end(BankReport::Outcome outcome, const std::string& reason);
    void finish();
    bool sendMessage(std::span<const std::uint8_t> bytes);
    bool uploadFailedBefore(int bank) const;
    void log(const std::string& line) const;
    const BankOperation& operation() const { return m_operations[m_index]; }
    BankReport& report() { return m_reports[m_index]; }

    TransferClock& m_clock;
    Settings m_settings;
    Hooks m_hooks;
    struct Buffers;
    std::unique_ptr<Buffers> m_buffers;
    std::unique_ptr<SysexReceiver> m_receiver;

    std::vector<BankOperation> m_operations;
    std::vector<BankReport> m_reports;
    std::size_t m_index = 0;
    bool m_running = false;
    Phase m_phase = Phase::BankChange;
    std::vector<std::uint8_t> m_upload; // the eight blocks of the running upload
    int m_block = 0;                    // the block awaiting its acknowledge
    int m_tries = 0;
    ReplyOrder m_replies;
    std::int64_t m_sentAt = 0;
    std::int64_t m_roundTripMs = -1; // the longest of the bank's cleanly answered blocks, if any
    int m_requests = 0;             // dump requests of the running operation
    std::int64_t m_lastDumpBlockAt = 0;
    std::int64_t m_longestDumpPauseMs = 0; // between a request or block and the next block
    std::int64_t m_started = 0;
};
