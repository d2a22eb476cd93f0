#include "fake_backend.h"
#include "midi_in.h"
#include "midi_out.h"
#include "simulator_backend.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

namespace {

struct Devices {
    explicit Devices(int inputs = 3, int outputs = 3) {
        auto backend = std::make_unique<FakeBackend>(inputs, outputs);
        fake = backend.get();
        std::vector<std::unique_ptr<MidiBackend>> backends;
        backends.push_back(std::move(backend));
        list = std::make_unique<MidiDeviceList>(std::move(backends));
    }
    FakeBackend* fake;
    std::unique_ptr<MidiDeviceList> list;
};

// What reached the handlers of one input port, in order.
struct Received {
    explicit Received(TMidiIn& in) {
        in.OnShort = [this](TMidiIn*, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
            events.push_back({s, a, b});
        };
        in.OnSysEx = [this](TMidiIn*, const std::uint8_t* bytes, int size) {
            events.push_back(Bytes(bytes, bytes + size));
            sysex.insert(sysex.end(), bytes, bytes + size);
        };
    }
    std::vector<Bytes> events;
    Bytes sysex;
};

Bytes joinedBytes(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

void processEvents() {
    QCoreApplication::processEvents();
}

TEST(MidiPorts, NumDevsIsAtMostTwelveAndTheSimulatorStaysLast) {
    Devices thirteen(13, 15);
    TMidiIn in(*thirteen.list);
    TMidiOut out(*thirteen.list);
    EXPECT_EQ(in.NumDevs(), 12);
    EXPECT_EQ(out.NumDevs(), 12);
    EXPECT_EQ(out.deviceName(11), "out 12");

    std::vector<std::unique_ptr<MidiBackend>> backends;
    backends.push_back(std::make_unique<FakeBackend>(15, 2));
    backends.push_back(std::make_unique<SimulatorBackend>(BankRecord{}));
    MidiDeviceList withSimulator(std::move(backends));
    ASSERT_EQ(withSimulator.inputs().size(), 12u);
    EXPECT_EQ(withSimulator.inputs()[10].name, "in 11");
    EXPECT_EQ(withSimulator.inputs()[11].name, "vPultron64 Simulator");
    EXPECT_EQ(withSimulator.outputs().size(), 3u);
    EXPECT_EQ(withSimulator.outputs()[2].name, "vPultron64 Simulator");
}

TEST(MidiPorts, PortBeyondNumDevsIsIgnoredOpenOrClosed) {
    Devices devices;
    TMidiIn in(*devices.list);
    in.SetPort(2);
    in.SetPort(3);
    EXPECT_EQ(in.Port(), 2);
    in.SetUsing(true);
    in.SetPort(5);
    EXPECT_EQ(in.Port(), 2);
    EXPECT_EQ(devices.fake->inputOpens, 1);
    EXPECT_EQ(devices.fake->inputCloses, 0);
    in.SetPort(0); // an open port is closed and the new one opened
    EXPECT_EQ(devices.fake->inputCloses, 1);
    EXPECT_EQ(devices.fake->inputOpens, 2);
    EXPECT_EQ(devices.fake->openInputName, "in 1");
}

TEST(MidiPorts, UsingTwiceOpensOnceAndClosingIsHarmlessAfterAFailedOpen) {
    Devices devices;
    TMidiOut out(*devices.list);
    out.SetUsing(true);
    out.SetUsing(true);
    EXPECT_EQ(devices.fake->outputOpens, 1);
    out.SetUsing(false);
    EXPECT_EQ(devices.fake->outputCloses, 1);

    devices.fake->failingName = "out 2";
    out.SetPort(1);
    out.SetUsing(true);
    EXPECT_TRUE(out.Using());
    EXPECT_NE(out.PortOpenResult(), kPortOk);
    EXPECT_FALSE(out.ready());
    out.Put(0x90, 0x40, 0x7F);
    const Bytes request = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x05, 0xF7};
    EXPECT_FALSE(out.SysEx(request.data(), 7));
    EXPECT_TRUE(devices.fake->sent.empty());
    out.SetUsing(false);
    EXPECT_FALSE(out.Using());
}

TEST(MidiPorts, PutPacksByStatusAndShortSysExSendsNothing) {
    Devices devices;
    TMidiOut out(*devices.list);
    out.SetUsing(true);
    out.Put(0x90, 0x7F, 0x40);
    out.Put(0xC3, 0x05, 0x66);
    out.Put(0xF8, 0x01, 0x02);
    const Bytes two = {0xF0, 0xF7};
    EXPECT_FALSE(out.SysEx(two.data(), 2));
    const Bytes request = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x05, 0xF7};
    EXPECT_TRUE(out.SysEx(request.data(), 7));
    EXPECT_EQ(devices.fake->sent,
              (std::vector<Bytes>{{0x90, 0x7F, 0x40}, {0xC3, 0x05}, {0xF8}, request}));
}

TEST(MidiPorts, InputReachesTheOwningThreadInOrderWithItsBytesCopied) {
    Devices devices;
    TMidiIn in(*devices.list);
    Received received(in);
    in.SetUsing(true);
    Bytes longSysEx(5000, 0x21);
    longSysEx.front() = 0xF0;
    longSysEx.back() = 0xF7;
    devices.fake->deliverFromDriverThread({{0x90, 0x3C, 0x64}, longSysEx, {0xF8}, {0xB0, 0x07}});
    EXPECT_TRUE(received.events.empty()); // nothing runs on the driver thread
    processEvents();
    ASSERT_EQ(received.events.size(), 6u);
    EXPECT_EQ(received.events[0], (Bytes{0x90, 0x3C, 0x64}));
    EXPECT_EQ(received.events[1].size(), 2048u); // one input buffer at a time
    EXPECT_EQ(received.events[2].size(), 2048u);
    EXPECT_EQ(received.events[3].size(), 904u);
    EXPECT_EQ(received.sysex, longSysEx);
    EXPECT_EQ(received.events[4], (Bytes{0xF8, 0x00, 0x00}));
    EXPECT_EQ(received.events[5], (Bytes{0xB0, 0x07, 0x00}));
}

TEST(MidiPorts, AMessageBreakingASysExIsShownToTheReceiverAndStillDelivered) {
    Devices devices;
    TMidiIn in(*devices.list);
    Received received(in);
    in.SetUsing(true);
    devices.fake->deliverFromDriverThread(
        {{0xF0, 0x00, 0x00}, {0x7E, 0x43}, {0x90, 0x3C, 0x64}, {0x12, 0x34}, {0xF7}});
    processEvents();
    EXPECT_EQ(received.events,
              (std::vector<Bytes>{{0xF0, 0x00, 0x00}, {0x7E, 0x43}, {0x90}, {0x90, 0x3C, 0x64}}));
}

TEST(MidiPorts, NoSysExIsRaisedForInputReturnedWhileClosing) {
    Devices devices;
    TMidiIn in(*devices.list);
    Received received(in);
    in.SetUsing(true);
    devices.fake->deliverFromDriverThread({{0xF0, 0x01, 0xF7}, {0x90, 0x3C, 0x64}});
    in.SetUsing(false);
    in.SetUsing(true);
    processEvents();
    EXPECT_TRUE(received.events.empty());
    in.SetUseSysEx(false);
    devices.fake->deliverFromDriverThread({{0xF0, 0x01, 0xF7}, {0x80, 0x3C, 0x00}});
    processEvents();
    EXPECT_EQ(received.events, (std::vector<Bytes>{{0x80, 0x3C, 0x00}}));
}

TEST(MidiPorts, ALostPortIsReportedAndNoLongerReady) {
    Devices devices;
    TMidiIn in(*devices.list);
    TMidiOut out(*devices.list);
    in.SetUsing(true);
    QSignalSpy lost(&in, &TMidiIn::portLost);
    EXPECT_TRUE(in.ready());
    devices.fake->loseConnection("the JACK server has stopped");
    processEvents();
    ASSERT_EQ(lost.count(), 1);
    EXPECT_EQ(lost.at(0).at(0).toString(), "the JACK server has stopped");
    EXPECT_EQ(in.PortOpenResult(), kPortLost);
    EXPECT_FALSE(in.ready());

    out.SetUsing(true);
    QSignalSpy outLost(&out, &TMidiOut::portLost);
    devices.fake->loseConnection("gone");
    processEvents();
    EXPECT_EQ(outLost.count(), 1);
    EXPECT_FALSE(out.ready());
    out.SetUsing(false);
    out.SetUsing(true); // opening again is allowed and works when the system is back
    EXPECT_TRUE(out.ready());
}

TEST(MidiPorts, AFloodBeyondThePendingLimitIsDroppedAndCounted) {
    Devices devices;
    TMidiIn in(*devices.list);
    Received received(in);
    QSignalSpy dropped(&in, &TMidiIn::inputDropped);
    in.SetUsing(true);
    std::vector<Bytes> flood(TMidiIn::kMaxPending + 500, Bytes{0x90, 0x3C, 0x64});
    devices.fake->deliverFromDriverThread(flood);
    processEvents();
    EXPECT_EQ(received.events.size(), std::size_t(TMidiIn::kMaxPending));
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toInt(), 500);
}

// A message longer than the receiver can hold is passed on up to that length and its end; the
// rest is dropped and reported once, where it was, so that memory stays bounded and the next
// message starts clean.
TEST(MidiPorts, OverlongSysExIsCutAndTheCutReportedWhereItHappened) {
    const auto payload = [](std::size_t n) { return Bytes(n, 0x11); };
    const Bytes reply = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x0F, 0x00, 0xF7};
    const long long kept = TMidiIn::kMaxSysExLength - 1; // data bytes after the F0
    struct Case {
        const char* name;
        std::vector<Bytes> delivered;
        long long dropped;
        bool restart;
        Bytes after; // what follows the kept part and the cut
    } cases[] = {
        {"ended by F7 in one piece",
         {joinedBytes({{0xF0}, payload(300000), {0xF7}})},
         300000 - kept,
         false,
         {}},
        {"ended by F7 after many pieces", {}, 400000 - kept, false, {}},
        {"broken off by the next message",
         {joinedBytes({{0xF0}, payload(300000)}), reply},
         300000 - kept,
         true,
         reply},
    };
    cases[1].delivered.push_back({0xF0});
    for (int i = 0; i < 100; ++i)
        cases[1].delivered.push_back(payload(4000));
    cases[1].delivered.push_back({0xF7});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Devices devices;
        TMidiIn in(*devices.list);
        Received received(in);
        std::vector<std::tuple<std::size_t, long long, bool>> cuts;
        QObject::connect(&in, &TMidiIn::sysExCut, [&](long long bytes, bool restart) {
            cuts.emplace_back(received.sysex.size(), bytes, restart);
        });
        in.SetUsing(true);
        devices.fake->deliverFromDriverThread(c.delivered);
        processEvents();
        const Bytes head = joinedBytes({{0xF0}, payload(std::size_t(kept))});
        const std::size_t cutAt = head.size() + (c.restart ? 0 : 1);
        EXPECT_EQ(received.sysex, joinedBytes({head, c.restart ? Bytes{} : Bytes{0xF7}, c.after}));
        EXPECT_EQ(cuts, (std::vector<std::tuple<std::size_t, long long, bool>>{
                            {cutAt, c.dropped, c.restart}}));
    }
}

} // namespace
