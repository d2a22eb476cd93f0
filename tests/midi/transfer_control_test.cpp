#include "transfer_control.h"

#include "built_in_dump.h"
#include "midi_out.h"
#include "simulator_backend.h"
#include "transfer_status.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

namespace {

TEST(FindBlockEnd, ReturnsThePositionPastTheNextF7WithinTheLength) {
    auto dump = std::make_unique<DumpBuffer>();
    const Bytes bytes = {0xF0, 0x01, 0xF7, 0xF0, 0x02, 0x03, 0xF7, 0x11};
    dump->assign(bytes);
    EXPECT_EQ(TransferControl::FindBlockEnd(*dump, 0), 3);
    EXPECT_EQ(TransferControl::FindBlockEnd(*dump, 2), 3);
    EXPECT_EQ(TransferControl::FindBlockEnd(*dump, 3), 7);
    dump->length = 6; // the F7 lies beyond the length
    EXPECT_EQ(TransferControl::FindBlockEnd(*dump, 3), 0);
    dump->length = 8;
    EXPECT_EQ(TransferControl::FindBlockEnd(*dump, 7), 0); // runs out of the buffer
    EXPECT_EQ(TransferControl::FindBlockEnd(*dump, DumpBuffer::kCapacity), 0);
}

TEST(TransferStatus, TheFirstConditionThatHoldsGivesTextColourAndControls) {
    const PortState none{false, false}, broken{true, false}, ok{true, true};
    const Rgb red{255, 0, 0}, blue{0, 0, 255}, teal{0, 128, 128};
    struct Case {
        PortState in, out;
        bool sending, busy;
        std::string text;
        Rgb colour;
        bool buttons, selectors;
    };
    const Case cases[] = {
        {none, broken, false, false, "No MIDI IN Port Selected", red, false, true},
        {broken, none, false, false, "MIDI IN Port not ready!", red, false, true},
        {ok, none, false, false, "No MIDI OUT Port Selected", red, false, true},
        {ok, broken, false, false, "MIDI OUT Port not ready!", red, false, true},
        {ok, ok, true, true, "Sending SysEx Data", blue, false, false},
        {ok, ok, false, false, "Ready for data transfer", teal, true, true},
        {ok, ok, false, true, "Ready for data transfer", teal, false, false},
    };
    for (const Case& c : cases) {
        const TransferStatus status = evaluateTransferStatus(c.in, c.out, c.sending, c.busy);
        EXPECT_EQ(status.text, c.text);
        EXPECT_EQ(status.colour, c.colour) << c.text;
        EXPECT_EQ(status.transferButtonsEnabled, c.buttons) << c.text;
        EXPECT_EQ(status.selectorsEnabled, c.selectors) << c.text;
    }
}

// Transfer control against the built-in simulator, as the command-line tool runs it.
class TransferControlTest : public ::testing::Test {
protected:
    TransferControlTest()
        : outgoing(std::make_unique<DumpBuffer>()), devices(makeDevices()), out(*devices),
          control(*outgoing, out, waitTimer, headTimer,
                  {[this](const std::string& l) { lines.push_back(l); }, [] { return 0; },
                   [] { return 1; }, [this] { return speed; },
                   [this] {
                       const auto dump = loadBuiltInDump();
                       outgoing->assign(
                           std::span(reinterpret_cast<const std::uint8_t*>(dump->data()),
                                     std::size_t(dump->size())));
                       outgoing->blockCount = 8;
                       return 0;
                   },
                   [] {},
                   [this](int bytes, int blocks) {
                       counters.push_back({bytes, blocks});
                   },
                   [] {}}) {
        devices->simulator()->controller().setObserver(
            {[this](SimulatedController::Bytes m) { received.emplace_back(m.begin(), m.end()); },
             {},
             {}});
    }

    static std::unique_ptr<MidiDeviceList> makeDevices() {
        std::vector<std::unique_ptr<MidiBackend>> backends;
        backends.push_back(std::make_unique<SimulatorBackend>(BankRecord{}));
        return std::make_unique<MidiDeviceList>(std::move(backends));
    }

    std::unique_ptr<DumpBuffer> outgoing;
    std::unique_ptr<MidiDeviceList> devices;
    TMidiOut out;
    QTimer waitTimer, headTimer;
    int speed = 0;
    Lines lines;
    std::vector<std::pair<int, int>> counters;
    std::vector<Bytes> received;
    TransferControl control;
};

TEST_F(TransferControlTest, WithoutAnOutputPortNothingIsSentAndTheFailureIsLogged) {
    EXPECT_FALSE(control.RequestSysexDumpClick());
    EXPECT_FALSE(control.SendSysexToPultronExecute());
    EXPECT_EQ(lines, (Lines{"Could not send 8 bytes - MIDI OUT Port not ready!",
                            "Could not send 8 bytes - MIDI OUT Port not ready!"}));
    EXPECT_FALSE(waitTimer.isActive());
    EXPECT_FALSE(control.busy());
}

TEST_F(TransferControlTest, ZeroDelayUploadsWithOneMillisecondTicksAndNothingElseCanStart) {
    out.SetUsing(true);
    int interval = -1;
    bool secondUpload = true, request = true;
    QTimer::singleShot(100, [&] { // during the wait after the bank change request
        secondUpload = control.SendSysexToPultronExecute();
        request = control.RequestSysexDumpClick();
    });
    QObject::connect(&headTimer, &QTimer::timeout, [&] { interval = headTimer.interval(); });
    EXPECT_TRUE(control.SendSysexToPultronExecute());
    EXPECT_FALSE(secondUpload);
    EXPECT_FALSE(request);
    EXPECT_EQ(interval, 1);
    ASSERT_EQ(received.size(), 9u);
    EXPECT_EQ(received[0], (Bytes{0xF0, 0x00, 0x00, 0x7E, 0x43, 0x08, 0x00, 0xF7}));
    EXPECT_EQ(counters.back(), std::make_pair(2120, 8));
    EXPECT_EQ(lines.size(), 9u);
}

TEST_F(TransferControlTest, ADumpDecodedDuringAnUploadEndsItAtTheNextTick) {
    out.SetUsing(true);
    speed = 5;
    int ticks = 0;
    QObject::connect(&headTimer, &QTimer::timeout, [&] {
        if (++ticks == 3) outgoing->blocksLeft = 0; // what DumpToRecord does to the outgoing dump
    });
    EXPECT_TRUE(control.SendSysexToPultronExecute());
    EXPECT_EQ(received.size(), 1u + 3u);
    EXPECT_EQ(ticks, 4);
    EXPECT_FALSE(headTimer.isActive());
}

TEST_F(TransferControlTest, ALostOutputAbortsTheUploadWithALogLine) {
    out.SetUsing(true);
    speed = 5;
    int ticks = 0;
    QObject::connect(&headTimer, &QTimer::timeout, [&] {
        if (++ticks == 2) out.SetUsing(false);
    });
    EXPECT_FALSE(control.SendSysexToPultronExecute());
    EXPECT_EQ(received.size(), 1u + 2u);
    EXPECT_EQ(lines.back(), "Upload aborted after 2 of 8 blocks - MIDI OUT Port not ready!");
    EXPECT_EQ(counters.back(), std::make_pair(2120, 8));
    EXPECT_EQ(outgoing->blocksLeft, 0);
}

// Timers may wake before their interval is over, as coarse timers do; every wait of an upload
// still lasts its whole interval, and the controller gets each gap it needs.
TEST_F(TransferControlTest, EveryWaitLastsItsWholeIntervalEvenWhenATimerWakesEarly) {
    out.SetUsing(true);
    speed = 60;
    QElapsedTimer clock;
    std::vector<qint64> sentAt;
    devices->simulator()->controller().setObserver(
        {[&](SimulatedController::Bytes) { sentAt.push_back(clock.elapsed()); }, {}, {}});
    QTimer::singleShot(300, [&] { control.WaitTimerTimer(); }); // in the bank change wait
    QObject::connect(&headTimer, &QTimer::timeout, [&] {
        if (sentAt.size() == 2) QTimer::singleShot(20, [&] { control.SysexHeadTimerTimer(); });
    });
    clock.start();
    EXPECT_TRUE(control.SendSysexToPultronExecute());
    ASSERT_EQ(sentAt.size(), 9u);
    for (std::size_t i = 1; i < sentAt.size(); ++i) {
        const qint64 wanted = (i == 1 ? TransferControl::kBankChangeWait : 0) + speed;
        // A millisecond for the send itself, which follows the tick it is measured from.
        EXPECT_GE(sentAt[i] - sentAt[i - 1], wanted - 1) << "before message " << i;
    }
}

} // namespace
