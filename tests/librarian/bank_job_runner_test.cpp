#include "bank_job_runner.h"

#include "simulated_controller.h"
#include "sysex_protocol.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <tuple>

using namespace std::chrono_literals;
using Kind = BankOperation::Kind;
using Outcome = BankReport::Outcome;
using Message = SimulatedController::Message;
using Fault = SimulatedController::Fault;

namespace {

constexpr int kDeviceId = 2;

// Time that moves only when the test moves it, to the next pending call.
class FakeClock : public TransferClock {
public:
    std::int64_t nowMs() const override { return m_now; }
    void callAfter(int ms, std::function<void()> fired) override {
        m_deadline = m_now + ms;
        m_fired = std::move(fired);
    }
    void cancel() override { m_fired = nullptr; }
    bool advance() {
        if (!m_fired) return false;
        m_now = m_deadline;
        std::exchange(m_fired, nullptr)();
        return true;
    }

private:
    std::int64_t m_now = 0;
    std::int64_t m_deadline = 0;
    std::function<void()> m_fired;
};

BankRecord namedBank(const std::string& name) {
    BankRecord record;
    for (std::size_t i = 0; i < record.bytes().size(); ++i)
        record.bytes()[i] = static_cast<std::uint8_t>((i * 5 + name.size()) & 0x7F);
    for (int pot = 1; pot <= 64; ++pot) // statuses the decoder keeps as they are
        record.setPot(pot, {0x30, 1, 0, 127});
    for (int button = 1; button <= 64; ++button)
        record.setButton(button, {0x30, 1, 2, 0});
    record.setBankName(name);
    return record;
}

Message dumpOf(const BankRecord& record) {
    Message dump(sysex::kDumpSize);
    buildDump(record, dump);
    for (int b = 0; b < sysex::kBlockCount; ++b)
        dump[std::size_t(b * sysex::kBlockSize + 5)] =
            sysex::deviceCommandByte(kDeviceId, sysex::BlockDump);
    return dump;
}

// The runner against the simulated controller in-process; the controller's replies reach the
// runner one at a time between the clock's steps, as they would from the event loop. The reply to
// the first send of block `lateBlock` of bank `lateBank` (from 0) is held back until the next
// step of the clock, the reply timeout.
class BankJobRunnerTest : public ::testing::Test {
protected:
    void run(std::vector<BankOperation> operations) {
        ASSERT_TRUE(runner.start(std::move(operations)));
        drive();
    }
    void drive() {
        while (runner.running()) {
            if (!replies.empty()) {
                const Message reply = std::move(replies.front());
                replies.pop_front();
                runner.receive(reply);
            } else {
                ASSERT_TRUE(clock.advance()) << "the job waits for nothing";
                replies.insert(replies.begin(), late.begin(), late.end());
                late.clear();
            }
        }
    }
    void controllerReceives(std::span<const std::uint8_t> bytes) {
        const auto at =
            SimulatedController::Clock::time_point(std::chrono::milliseconds(clock.nowMs()));
        const bool held = bytes.size() == std::size_t(sysex::kBlockSize) &&
                          bytes[sysex::kBlockNumberIndex] == lateBlock &&
                          controller.currentBank() == lateBank && !std::exchange(heldOnce, true);
        for (auto& reply : controller.receive(bytes, at))
            (held ? late : replies).push_back(std::move(reply));
    }
    bool logged(const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    FakeClock clock;
    const BankRecord initial = namedBank("Initial");
    const BankRecord restored = namedBank("Restored 005");
    SimulatedController controller{initial, {kDeviceId, 0ms}};
    std::deque<Message> replies;
    std::deque<Message> late;
    int lateBank = -1, lateBlock = -1;
    bool heldOnce = false;
    std::vector<std::string> lines;
    std::vector<JobProgress> progress;
    std::function<void(const JobProgress&)> onProgress;
    BankJobRunner runner{clock,
                         {kDeviceId},
                         {[this](const std::string& line) { lines.push_back(line); },
                          [this](std::span<const std::uint8_t> bytes) {
                              controllerReceives(bytes);
                              return true;
                          },
                          [this](const JobProgress& step) {
                              progress.push_back(step);
                              if (onProgress) onProgress(step);
                          },
                          {},
                          {}}};
};

TEST_F(BankJobRunnerTest, UploadVerifyAndRequestRunAtTheControllersPace) {
    controller.setBank(8, namedBank("Ninth"));
    run({{Kind::Upload, 5, restored}, {Kind::Verify, 5, restored}, {Kind::Request, 9, {}}});
    const auto& reports = runner.reports();
    ASSERT_EQ(reports.size(), 3u);
    for (const auto& report : reports)
        EXPECT_EQ(report.outcome, Outcome::Done) << report.reason;
    EXPECT_EQ(controller.bank(4), restored);
    EXPECT_EQ(reports[0].blocksAcknowledged, 8);
    // Acknowledges come at once here, so the bank change wait is all an upload takes.
    EXPECT_EQ(reports[0].elapsedMs, 1000);
    EXPECT_EQ(reports[0].dump, dumpOf(restored)); // what went up, for the folder's state
    EXPECT_EQ(reports[2].dump, dumpOf(namedBank("Ninth")));
    EXPECT_TRUE(logged("Upload of bank 5 complete: 8 of 8 blocks acknowledged"));
    EXPECT_TRUE(logged("Bank 5 verified: it reads back as uploaded"));
    EXPECT_TRUE(logged("Bank 9 received: 2120 bytes"));
    ASSERT_EQ(progress.size(), 24u);
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(progress[i].bank, i < 16 ? 5 : 9) << i;
        EXPECT_EQ(progress[i].block, i % 8 + 1) << i;
        EXPECT_EQ(progress[i].bytes, (i % 8 + 1) * 265) << i;
    }
}

struct FaultCase {
    const char* name;
    std::function<void(SimulatedController&)> inject;
    Kind first; // of bank 5, followed by a verify of bank 5 (uploads) or a request of bank 6
    Outcome outcome;
    std::string reason;
    std::int64_t elapsedMs;
    Outcome secondOutcome;
};

// Test listings show a case by its name, not by its bytes.
void PrintTo(const FaultCase& fault, std::ostream* out) { *out << fault.name; }

class BankJobFaults : public BankJobRunnerTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(BankJobFaults, FaultEndsOnlyItsBankAndSaysWhy) {
    const FaultCase& fault = GetParam();
    fault.inject(controller);
    const BankOperation second = fault.first == Kind::Upload
                                     ? BankOperation{Kind::Verify, 5, restored}
                                     : BankOperation{Kind::Request, 6, {}};
    run({{fault.first, 5, restored}, second});
    const auto& reports = runner.reports();
    EXPECT_EQ(reports[0].outcome, fault.outcome);
    EXPECT_EQ(reports[0].reason, fault.reason);
    EXPECT_EQ(reports[0].elapsedMs, fault.elapsedMs);
    EXPECT_EQ(reports[1].outcome, fault.secondOutcome) << reports[1].reason;
    if (!fault.reason.empty()) {
        EXPECT_TRUE(logged("Bank 5: " + fault.reason));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Injected, BankJobFaults,
    ::testing::Values(
        FaultCase{"RefusedOnceIsSentAgainAndStored",
                  [](SimulatedController& c) { c.inject(Fault::RefuseBlock, 4, 2); }, Kind::Upload,
                  Outcome::Done, "", 1000, Outcome::Done},
        FaultCase{"RefusedAlwaysFailsAfterThreeTries",
                  [](SimulatedController& c) { c.inject(Fault::RefuseBlock, 4, 2, true); },
                  Kind::Upload, Outcome::Failed, "block #3 refused 3 times", 1000, Outcome::NotRun},
        FaultCase{"SilentBankFailsTheUploadAfterThreeTimeouts",
                  [](SimulatedController& c) { c.silenceBank(4); }, Kind::Upload, Outcome::Failed,
                  "block #1 not acknowledged within 2000 ms (3 tries)", 7000, Outcome::NotRun},
        FaultCase{"SilentBankIsNamedAfterTwoRequestsAndTheNextBankStillArrives",
                  [](SimulatedController& c) { c.silenceBank(4); }, Kind::Request, Outcome::Failed,
                  "did not arrive within 5000 ms", 11000, Outcome::Done},
        FaultCase{"DumpLostTwiceIsNamed",
                  [](SimulatedController& c) { c.inject(Fault::LoseDumpBlock, 4, 7, true); },
                  Kind::Request, Outcome::Failed, "stopped short: 7 of 8 blocks arrived", 2000,
                  Outcome::Done},
        FaultCase{"BankStoredWronglyIsCaughtByVerify",
                  [](SimulatedController& c) { c.corruptStoredByte(4, 0x100); }, Kind::Upload,
                  Outcome::Done, "", 1000, Outcome::Failed}),
    [](const auto& info) { return std::string(info.param.name); });

struct LossCase {
    const char* name;
    std::optional<Fault> fault; // struck at block 3 of bank 5 (or, in a dump, block `dumpBlock`)
    bool lateReply;             // the reply to block 3 comes after its timeout
    int dumpBlock;
    std::int64_t elapsedMs[2]; // of the first operation: replies unnumbered, numbered
    std::string retryLine;
};

void PrintTo(const LossCase& loss, std::ostream* out) { *out << loss.name; }

class BankJobLosses : public BankJobRunnerTest,
                      public ::testing::WithParamInterface<std::tuple<LossCase, bool>> {};

// Whatever the controller's replies carry after the command, a single lost or refused message
// costs time, never the bank. Unnumbered replies after a resend cost a settle time; numbered
// ones name their block and need none.
TEST_P(BankJobLosses, OneLostMessageNeverFailsTheBank) {
    const auto& [loss, numbered] = GetParam();
    controller = SimulatedController(initial, {kDeviceId, 0ms, numbered});
    controller.setBank(5, namedBank("Sixth"));
    if (loss.fault)
        controller.inject(*loss.fault, loss.dumpBlock < 0 ? 4 : 5,
                          loss.dumpBlock < 0 ? 2 : loss.dumpBlock);
    if (loss.lateReply) std::tie(lateBank, lateBlock) = std::pair(4, 2);
    if (loss.dumpBlock < 0)
        run({{Kind::Upload, 5, restored}, {Kind::Verify, 5, restored}});
    else
        run({{Kind::Request, 6, {}}});
    for (const auto& report : runner.reports())
        EXPECT_EQ(report.outcome, Outcome::Done) << report.reason;
    EXPECT_EQ(runner.reports()[0].elapsedMs, loss.elapsedMs[numbered]);
    if (loss.dumpBlock < 0)
        EXPECT_EQ(controller.bank(4), restored);
    else
        EXPECT_EQ(runner.reports()[0].dump, dumpOf(namedBank("Sixth")));
    if (!loss.retryLine.empty()) {
        EXPECT_TRUE(logged(loss.retryLine));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, BankJobLosses,
    ::testing::Combine(
        ::testing::Values(
            LossCase{"Clean", {}, false, -1, {1000, 1000}, ""},
            LossCase{"RefusedBlock", Fault::RefuseBlock, false, -1, {1000, 1000},
                     "Block #3 of bank 5 refused - sending it again (try 2 of 3)"},
            LossCase{"LostBlock", Fault::LoseBlock, false, -1, {3010, 3000},
                     "Block #3 of bank 5 not acknowledged within 2000 ms - sending it again "
                     "(try 2 of 3)"},
            LossCase{"LostReply", Fault::LoseReply, false, -1, {3010, 3000},
                     "Block #3 of bank 5 not acknowledged within 2000 ms - sending it again "
                     "(try 2 of 3)"},
            LossCase{"LateReply", {}, true, -1, {3000, 3000},
                     "Block #3 of bank 5 not acknowledged within 2000 ms - sending it again "
                     "(try 2 of 3)"},
            LossCase{"ShortDump", Fault::LoseDumpBlock, false, 7, {1500, 1500},
                     "Bank 6: block #8 of the dump is missing - requesting the bank again (try 2 "
                     "of 2)"},
            LossCase{"DumpWithAHole", Fault::LoseDumpBlock, false, 3, {1000, 1000},
                     "Bank 6: block #4 of the dump is missing - requesting the bank again (try 2 "
                     "of 2)"}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "Numbered" : "Unnumbered");
    });

// A reply that no block awaits (here one before the upload begins) is logged and not counted.
TEST_F(BankJobRunnerTest, StrayReplyIsNotTakenForABlocksAnswer) {
    controller.inject(Fault::LoseReply, 4, 0);
    ASSERT_TRUE(runner.start({{Kind::Upload, 5, restored}}));
    runner.receive(Message{0xF0, 0x00, 0x00, 0x7E, 0x43, 0x2F, 0x00, 0x05, 0xF7});
    drive();
    EXPECT_TRUE(logged("Reply ignored: no block awaits one"));
    EXPECT_TRUE(logged("Block #1 of bank 5 not acknowledged within 2000 ms - sending it again "
                       "(try 2 of 3)"));
    EXPECT_EQ(runner.reports()[0].outcome, Outcome::Done);
}

TEST_F(BankJobRunnerTest, VerifyNamesTheFieldThatReadsBackWrongly) {
    controller.corruptStoredByte(4, bank_layout::kBankLabel);
    run({{Kind::Upload, 5, restored}, {Kind::Verify, 5, restored}});
    EXPECT_EQ(runner.reports()[1].reason,
              "verification failed: bank name \"Restored 005\" reads \"Sestored 005\"");
    EXPECT_EQ(runner.reports()[1].dump.size(), 2120u); // what was read back, for the caller
}

// The acknowledge's line came after the line of the block it set off.
TEST_F(BankJobRunnerTest, AcknowledgeIsLoggedBeforeTheBlockItSetsOff) {
    run({{Kind::Upload, 5, restored}});
    const auto at = [this](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_LT(at("Received Acknowledge Code: 05 - block upload was successfull"),
              at("Sent 265 bytes to Pultron64 with device ID 02 (@0x0100)"));
}

TEST_F(BankJobRunnerTest, CancelSaysWhichBankIsLeftHalfWritten) {
    struct Case {
        int cancelAfterBlock; // 0: during the bank change wait
        std::string reason;
    };
    for (const Case& c :
         {Case{3, "cancelled: bank 5 left half-written (3 of 8 blocks acknowledged)"},
          Case{0, "cancelled before any block went out: bank 5 is unchanged"}}) {
        onProgress = [&](const JobProgress& step) {
            if (step.block == c.cancelAfterBlock) runner.cancel();
        };
        ASSERT_TRUE(runner.start({{Kind::Upload, 5, restored}, {Kind::Request, 6, {}}}));
        if (c.cancelAfterBlock == 0) runner.cancel();
        drive();
        replies.clear();
        EXPECT_EQ(runner.reports()[0].outcome, Outcome::Cancelled);
        EXPECT_EQ(runner.reports()[0].reason, c.reason);
        EXPECT_EQ(runner.reports()[1].outcome, Outcome::NotRun);
        EXPECT_TRUE(logged("Bank 5: " + c.reason));
        EXPECT_FALSE(clock.advance()) << "a cancelled job leaves no call pending";
    }
}

} // namespace
