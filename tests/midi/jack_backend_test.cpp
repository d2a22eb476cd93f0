#include "jack_server.h"
#include "midi_in.h"
#include "midi_out.h"
#include "rtmidi_backend.h"
#include "wait_for.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <mutex>

using Bytes = std::vector<std::uint8_t>;

namespace {

int indexOf(const std::vector<MidiDevice>& devices, const std::string& name) {
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i].name == name) return static_cast<int>(i);
    return -1;
}

class JackBackend : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()) << server.error().toStdString(); }

    JackServer server;
};

TEST(JackBackendWithoutServer, NoServerGivesNoBackendAndNoServerIsStarted) {
    const QByteArray name =
        "vpt64-test-nobody-" + QByteArray::number(QCoreApplication::applicationPid());
    qputenv("JACK_DEFAULT_SERVER", name);
    EXPECT_EQ(RtMidiBackend::create(RtMidiBackend::Api::Jack), nullptr);
    const auto devices = MidiDeviceList::create(MidiApiChoice::Jack);
    EXPECT_TRUE(devices->inputs().empty());
    EXPECT_FALSE(jackServerAnswers(QString::fromLatin1(name)));
}

TEST_F(JackBackend, InputArrivesInOrderAndOutputReachesItsPeer) {
    auto peerSystem = RtMidiBackend::create(RtMidiBackend::Api::Jack);
    ASSERT_NE(peerSystem, nullptr);
    std::mutex mutex;
    std::vector<Bytes> atPeer;
    auto peerOut = peerSystem->openVirtualOutput("vpt64 test peer", "out");
    auto peerIn = peerSystem->openVirtualInput("vpt64 test peer in", "in",
                                               [&](std::span<const std::uint8_t> bytes) {
                                                   std::lock_guard lock(mutex);
                                                   atPeer.emplace_back(bytes.begin(), bytes.end());
                                               });
    ASSERT_TRUE(peerOut.connection && peerIn.connection);

    const auto devices = MidiDeviceList::create(MidiApiChoice::All);
    TMidiIn in(*devices);
    TMidiOut out(*devices);
    std::vector<Bytes> events;
    in.OnShort = [&](TMidiIn*, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
        events.push_back({s, a, b});
    };
    in.OnSysEx = [&](TMidiIn*, const std::uint8_t* bytes, int size) {
        events.push_back(Bytes(bytes, bytes + size));
    };
    const int source = indexOf(devices->inputs(), "vpt64 test peer:out");
    const int target = indexOf(devices->outputs(), "vpt64 test peer in:in");
    ASSERT_GE(source, 0);
    ASSERT_GE(target, 0);
    EXPECT_EQ(devices->inputs().back().name, "vPultron64 Simulator");
    in.SetPort(source);
    in.SetUsing(true);
    out.SetPort(target);
    out.SetUsing(true);
    ASSERT_TRUE(in.ready() && out.ready());

    Bytes longSysEx(5000, 0x22);
    longSysEx.front() = 0xF0;
    longSysEx.back() = 0xF7;
    const Bytes note = {0x90, 0x40, 0x7F};
    peerOut.connection->sendShort(note);
    peerOut.connection->sendSysEx(longSysEx);
    peerOut.connection->sendShort(Bytes{0x80, 0x40, 0x00});
    ASSERT_TRUE(waitFor([&] { return events.size() >= 5; }));
    EXPECT_EQ(events[0], note);
    EXPECT_EQ(events[1].size(), 2048u);
    EXPECT_EQ(events[3].size(), 904u);
    EXPECT_EQ(events[4], (Bytes{0x80, 0x40, 0x00}));

    out.Put(0xB0, 0x07, 0x64);
    const Bytes request = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x35, 0xF7};
    EXPECT_TRUE(out.SysEx(request.data(), 7));
    Bytes tooLong(20000, 0x01);
    tooLong.front() = 0xF0;
    tooLong.back() = 0xF7;
    EXPECT_FALSE(out.SysEx(tooLong.data(), int(tooLong.size()))) << "JACK would drop it silently";
    ASSERT_TRUE(waitFor([&] {
        std::lock_guard lock(mutex);
        return atPeer.size() >= 2;
    }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(atPeer, (std::vector<Bytes>{{0xB0, 0x07, 0x64}, request}));
}

TEST_F(JackBackend, PortsOfAKilledServerAreReportedLostAndCloseWithoutCrashing) {
    auto peerSystem = RtMidiBackend::create(RtMidiBackend::Api::Jack);
    auto peerOut = peerSystem->openVirtualOutput("vpt64 test peer", "out");
    auto peerIn = peerSystem->openVirtualInput("vpt64 test peer in", "in", [](auto) {});
    const auto devices = MidiDeviceList::create(MidiApiChoice::Jack);
    TMidiIn in(*devices);
    TMidiOut out(*devices);
    in.SetPort(indexOf(devices->inputs(), "vpt64 test peer:out"));
    in.SetUsing(true);
    out.SetPort(indexOf(devices->outputs(), "vpt64 test peer in:in"));
    out.SetUsing(true);
    ASSERT_TRUE(in.ready() && out.ready());
    QSignalSpy inLost(&in, &TMidiIn::portLost);
    QSignalSpy outLost(&out, &TMidiOut::portLost);
    server.kill();
    ASSERT_TRUE(waitFor([&] { return inLost.count() == 1 && outLost.count() == 1; }));
    EXPECT_EQ(outLost.at(0).at(0).toString(), "the JACK server has stopped");
    EXPECT_EQ(out.PortOpenResult(), kPortLost);
    const Bytes request = {0xF0, 0x00, 0x00, 0x7E, 0x43, 0x35, 0xF7};
    EXPECT_FALSE(out.SysEx(request.data(), 7));
    out.SetUsing(false);
    out.SetUsing(true); // no server: the new open fails and says so
    EXPECT_NE(out.PortOpenResult(), kPortOk);
}

} // namespace
