#include "alsa_port_watch.h"
#include "fake_backend.h"
#include "midi_in.h"
#include "midi_out.h"
#include "port_matching.h"
#include "port_watch.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

using namespace port_matching;
using Names = std::vector<std::string>;

namespace {

TEST(PortMatching, SelectorKeepsTheChoiceByNameAndShowsAMissingOneAsGone) {
    const std::string sim = "vPultron64 Simulator";
    const struct {
        const char* what;
        Names available;
        std::string chosen;
        Names texts; // after "None"
        int current;
    } cases[] = {
        {"nothing chosen", {"a:out", "b:out", sim}, "", {"a:out", "b:out", sim}, 0},
        {"a port that moved", {"b:out", "a:out", sim}, "a:out", {"b:out", "a:out", sim}, 2},
        {"gone, before the simulator", {"b:out", sim}, "a:out", {"b:out", "a:out (gone)", sim}, 2},
        {"gone, only the simulator left", {sim}, "a:out", {"a:out (gone)", sim}, 1},
        {"gone, no simulator", {"b:out"}, "a:out", {"b:out", "a:out (gone)"}, 2},
        {"the simulator chosen", {"a:out", sim}, sim, {"a:out", sim}, 2},
    };
    for (const auto& c : cases) {
        const int trailing = c.available.back() == sim ? 1 : 0;
        const SelectorItems items = selectorItems(c.available, trailing, c.chosen, "None");
        Names texts = {"None"};
        texts.insert(texts.end(), c.texts.begin(), c.texts.end());
        EXPECT_EQ(items.texts, texts) << c.what;
        EXPECT_EQ(items.current, c.current) << c.what;
    }
    // Behind each entry its port's own name, the gone one's too.
    EXPECT_EQ(selectorItems({"b:out", sim}, 1, "a:out", "None").names,
              (Names{"", "b:out", "a:out", sim}));
}

TEST(PortMatching, ACappedListKeepsTheSimulatorAndThePortInUseWhereverTheyStand) {
    const std::string sim = "vPultron64 Simulator";
    const Names four = {"a", "b", "c", "d"};
    const Names fourAndSim = {"a", "b", "c", "d", sim};
    const struct {
        const char* what;
        Names available;
        std::string kept;
        int room;
        std::vector<int> expected;
    } cases[] = {
        {"room for all", {"a", "b"}, "", 3, {0, 1}},
        {"the first ones", four, "", 3, {0, 1, 2}},
        {"the simulator always", fourAndSim, "", 3, {0, 1, 4}},
        {"in use past the room", fourAndSim, "d", 3, {0, 3, 4}},
        {"in use within the room", fourAndSim, "b", 3, {0, 1, 4}},
        {"the simulator in use", fourAndSim, sim, 3, {0, 1, 4}},
        {"in use and not there", four, "x", 3, {0, 1, 2}},
        {"room for nothing else", fourAndSim, "c", 2, {2, 4}},
    };
    for (const auto& c : cases) {
        const int trailing = c.available.back() == sim ? 1 : 0;
        EXPECT_EQ(capped(c.available, trailing, c.kept, c.room), c.expected) << c.what;
    }
}

TEST(PortMatching, AChosenPortIsLostWhenItGoesAndReopenedWhenItsNameComesBack) {
    const Names here = {"plugbox:out", "synth:out"};
    const Names without = {"synth:out"};
    const struct {
        std::string chosen;
        bool inUse, lost;
        Names available;
        Follow expected;
    } cases[] = {
        {"plugbox:out", true, false, here, Follow::Stay},
        {"plugbox:out", true, false, without, Follow::Lose},
        {"plugbox:out", true, true, without, Follow::Stay},
        {"plugbox:out", true, true, here, Follow::Reopen},
        {"plugbox:out", false, false, without, Follow::Stay}, // "None" chosen since
        {"plugbox:out", false, true, here, Follow::Stay},
        {"", true, false, without, Follow::Stay},
        {"plugbox", true, true, here, Follow::Stay}, // names match whole, never in part
    };
    for (const auto& c : cases)
        EXPECT_EQ(follow(c.chosen, c.inUse, c.lost, c.available), c.expected)
            << c.chosen << " inUse=" << c.inUse << " lost=" << c.lost;
}

TEST(PortMatching, ChangesListWhatAppearedAndWhatWentWithTheirLines) {
    EXPECT_EQ(changes({"a:1", "b:1", "c:1"}, {"c:1", "d:1", "a:1"}), (Changes{{"d:1"}, {"b:1"}}));
    EXPECT_EQ(changes({"a:1"}, {"a:1"}), Changes{});
    EXPECT_EQ(changeLine("IN", "plugbox:out", true), R"(MIDI IN port "plugbox:out" appeared)");
    EXPECT_EQ(changeLine("OUT", "plugbox:in", false), R"(MIDI OUT port "plugbox:in" disappeared)");
}

TEST(PortMatching, TheProgramsOwnPortsAreNoDevices) {
    const struct {
        const char* name;
        bool own;
    } cases[] = {
        {"vPultron64:MIDI In", true},       {"vPultron64-01:MIDI Out", true},
        {"vPultron64:MIDI In 130:0", true}, {"vPultron64 Simulator", false},
        {"vPultron64-:x", false},           {"vPultron64-1a:x", false},
        {"vpt64 sim Out:MIDI Out", false},  {"plugbox:vPultron64", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isOwnPort(c.name), c.own) << c.name;
}

// The sequencer's announcements, fed in as System:Announce delivers them.
// Reading the lists makes clients without ports come and go: were they heard, every reading
// would bring the next.
TEST(AlsaAnnounce, PortsComingAndGoingChangeTheListsClientsAndOtherEventsDoNot) {
    int changes = 0;
    AlsaPortWatch watch([&] { ++changes; });
    const struct {
        snd_seq_event_type_t type;
        int expected;
    } cases[] = {
        {SND_SEQ_EVENT_PORT_START, 1},      {SND_SEQ_EVENT_PORT_EXIT, 1},
        {SND_SEQ_EVENT_PORT_CHANGE, 1},     {SND_SEQ_EVENT_CLIENT_START, 0},
        {SND_SEQ_EVENT_CLIENT_EXIT, 0},     {SND_SEQ_EVENT_CLIENT_CHANGE, 0},
        {SND_SEQ_EVENT_PORT_SUBSCRIBED, 0}, {SND_SEQ_EVENT_PORT_UNSUBSCRIBED, 0},
        {SND_SEQ_EVENT_NOTEON, 0},          {SND_SEQ_EVENT_SYSEX, 0},
    };
    for (const auto& c : cases) {
        snd_seq_event_t event{};
        event.type = c.type;
        event.source = {SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE};
        event.data.addr = {130, 0};
        changes = 0;
        watch.handle(event);
        EXPECT_EQ(changes, c.expected) << int(c.type);
    }
}

// A backend of ports that come and go, with the port components and the watch over it.
struct Machine {
    Machine() {
        auto backend = std::make_unique<FakeBackend>(0, 0);
        fake = backend.get();
        std::vector<std::unique_ptr<MidiBackend>> backends;
        backends.push_back(std::move(backend));
        fake->changePorts({"plugbox:out", "synth:out"}, {"plugbox:in"});
        list = std::make_unique<MidiDeviceList>(std::move(backends));
        watch = std::make_unique<PortWatch>(*list);
        QObject::connect(watch.get(), &PortWatch::portsChanged, [this] {
            ++refreshes;
            follows.push_back(in->setDevices(*list));
        });
        in = std::make_unique<TMidiIn>(*list);
    }
    void change(Names inputs) {
        fake->changePorts(std::move(inputs), {"plugbox:in"});
        QCoreApplication::processEvents();
    }

    FakeBackend* fake;
    std::unique_ptr<MidiDeviceList> list;
    std::unique_ptr<PortWatch> watch;
    std::unique_ptr<TMidiIn> in;
    int refreshes = 0;
    std::vector<Follow> follows;
};

TEST(PortFollow, AnOpenPortThatGoesIsLostOnceAndReopensOnItsNameAlone) {
    Machine machine;
    TMidiIn& in = *machine.in;
    in.SetPort(0);
    in.SetUsing(true);
    ASSERT_TRUE(in.ready());
    QSignalSpy lost(&in, &TMidiIn::portLost);
    QSignalSpy reopened(&in, &TMidiIn::reopened);

    machine.change({"synth:out"});
    machine.change({"synth:out", "other:out"});
    EXPECT_EQ(machine.refreshes, 2) << "one refresh for each burst of notices";
    ASSERT_EQ(lost.count(), 1);
    EXPECT_EQ(lost.at(0).at(0).toString(), "the port has gone away");
    EXPECT_EQ(in.lostPortLine("IN", "the port has gone away"),
              R"(Lost MIDI IN Port "plugbox:out" - the port has gone away!)");
    EXPECT_EQ(in.Port(), in.NumDevs()) << "no other device takes its place";
    EXPECT_FALSE(in.ready());

    machine.change({"other:out", "plugbox:out"});
    EXPECT_EQ(machine.follows, (std::vector<Follow>{Follow::Lose, Follow::Stay, Follow::Reopen}));
    EXPECT_EQ(in.Port(), 1);
    EXPECT_TRUE(in.reopen());
    EXPECT_EQ(reopened.count(), 1);
    EXPECT_TRUE(in.ready());
    EXPECT_EQ(machine.fake->openInputName, "plugbox:out");
    EXPECT_EQ(machine.fake->inputOpens, 2);
    EXPECT_EQ(lost.count(), 1);
}

TEST(PortFollow, APortInUseIsNotPushedOffTheTableByNewPortsListedBeforeIt) {
    Machine machine;
    Names twelve;
    for (int i = 1; i <= 12; ++i)
        twelve.push_back("port " + std::to_string(i) + ":out");
    machine.change(twelve);
    TMidiIn& in = *machine.in;
    in.SetPort(11);
    in.SetUsing(true);
    QSignalSpy lost(&in, &TMidiIn::portLost);

    twelve.insert(twelve.begin(), "plugged in:out");
    machine.change(twelve);
    EXPECT_EQ(machine.follows.back(), Follow::Stay);
    EXPECT_EQ(lost.count(), 0);
    EXPECT_TRUE(in.ready());
    EXPECT_EQ(in.NumDevs(), 12);
    EXPECT_EQ(in.deviceName(in.Port()), "port 12:out");
    EXPECT_EQ(in.deviceName(0), "plugged in:out") << "the cap applies to the other ports";
}

TEST(PortFollow, ListsThatStayTheSameRaiseNothingAndAClosedPortIsNeverLost) {
    Machine machine;
    QSignalSpy lost(machine.in.get(), &TMidiIn::portLost);
    machine.change({"plugbox:out", "synth:out"});
    EXPECT_EQ(machine.refreshes, 0);
    machine.change({"synth:out"}); // the chosen device 0 goes while the port is closed
    EXPECT_EQ(machine.follows, std::vector<Follow>{Follow::Stay});
    EXPECT_EQ(lost.count(), 0);
    machine.watch.reset();
    machine.change({}); // no notice reaches a watch that has gone
    EXPECT_EQ(machine.refreshes, 1);
}

} // namespace
