#include "monitor_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using midi_meaning::Category;
using midi_meaning::Direction;

namespace {

using Message = std::vector<std::uint8_t>;

const Message kControlChange{0xB0, 7, 100};

// A line of `message` whose port is named `label`, so that the tests can tell the lines apart.
MonitorLine line(MonitorLog& log, Direction d, const std::string& label,
                 const Message& message = kControlChange) {
    return {0, d, log.portNumber(label), message};
}

std::string visibleTexts(const MonitorLog& log) {
    std::string texts;
    for (std::size_t row = 0; row < log.visibleCount(); ++row)
        texts += std::string(log.portName(log.visible(row).port)) + ";";
    return texts;
}

// One line of each kind: in/out, each category, channels 1 and 10.
MonitorLog filled(std::size_t capacity = MonitorLog::kCapacity) {
    MonitorLog log(capacity);
    for (MonitorLine& l : std::vector{line(log, Direction::In, "in ch1", {0xB0, 1, 2}),
                                      line(log, Direction::Out, "out ch10", {0x99, 60, 127}),
                                      line(log, Direction::In, "in sysex", {0xF0, 0x7D, 0xF7}),
                                      line(log, Direction::Out, "out clock", {0xF8}),
                                      line(log, Direction::In, "in song position", {0xF2, 0, 0})})
        log.append(std::move(l));
    return log;
}

} // namespace

TEST(MonitorLog, FilterShowsOnlyTheChosenLines) {
    struct Case {
        const char* what;
        MonitorFilter filter;
        std::string shown;
    };
    const auto with = [](auto change) {
        MonitorFilter f;
        change(f);
        return f;
    };
    const std::vector<Case> cases{
        {"everything", {}, "in ch1;out ch10;in sysex;out clock;in song position;"},
        {"no in", with([](auto& f) { f.in = false; }), "out ch10;out clock;"},
        {"no out", with([](auto& f) { f.out = false; }), "in ch1;in sysex;in song position;"},
        {"no channel messages", with([](auto& f) { f.channelMessages = false; }),
         "in sysex;out clock;in song position;"},
        {"no SysEx", with([](auto& f) { f.sysEx = false; }),
         "in ch1;out ch10;out clock;in song position;"},
        {"no real-time", with([](auto& f) { f.realTime = false; }),
         "in ch1;out ch10;in sysex;in song position;"},
        {"no common", with([](auto& f) { f.common = false; }),
         "in ch1;out ch10;in sysex;out clock;"},
        {"channel 10 only", with([](auto& f) { f.channel = 10; }),
         "out ch10;in sysex;out clock;in song position;"},
    };
    for (const Case& c : cases) {
        MonitorLog log = filled();
        log.setFilter(c.filter);
        EXPECT_EQ(visibleTexts(log), c.shown) << c.what;
        log.setFilter({}); // the hidden lines are still there
        EXPECT_EQ(log.visibleCount(), 5u) << c.what;
    }
}

TEST(MonitorLog, AppendReportsWhatTheViewGainsAndLoses) {
    MonitorLog log(3);
    MonitorFilter onlyIn;
    onlyIn.out = false;
    log.setFilter(onlyIn);
    struct Step {
        Direction direction;
        std::string label;
        std::size_t dropped, added;
        std::string shown;
    };
    const std::vector<Step> steps{
        {Direction::In, "a", 0, 1, "a;"},
        {Direction::Out, "b", 0, 0, "a;"},
        {Direction::In, "c", 0, 1, "a;c;"},
        {Direction::In, "d", 1, 1, "c;d;"},  // "a" leaves the store
        {Direction::Out, "e", 0, 0, "c;d;"}, // hidden "b" leaves
        {Direction::Out, "f", 1, 0, "d;"},
    };
    for (const Step& s : steps) {
        const MonitorLog::Change change = log.append(line(log, s.direction, s.label));
        EXPECT_EQ(change.dropped, s.dropped) << s.label;
        EXPECT_EQ(change.added, s.added) << s.label;
        EXPECT_EQ(visibleTexts(log), s.shown) << s.label;
        EXPECT_LE(log.size(), 3u);
    }
}

TEST(MonitorLog, HoldsTheLastHundredThousandLinesOfAMillion) {
    MonitorLog log;
    for (int i = 0; i < 1'000'000; ++i)
        log.append({i, Direction::In, 0, kControlChange});
    EXPECT_EQ(log.size(), MonitorLog::kCapacity);
    EXPECT_EQ(log.visibleCount(), MonitorLog::kCapacity);
    EXPECT_EQ(log.visible(0).ms, 900000);
    EXPECT_EQ(log.visible(log.visibleCount() - 1).ms, 999999);
}

TEST(MonitorLog, PauseDiscardsAndClearEmpties) {
    MonitorLog log = filled();
    log.setPaused(true);
    EXPECT_EQ(log.append(line(log, Direction::In, "while paused")).added, 0u);
    log.setPaused(false);
    log.append(line(log, Direction::In, "after"));
    EXPECT_EQ(log.visibleCount(), 6u);
    EXPECT_EQ(log.portName(log.visible(5).port), "after");
    log.clear();
    EXPECT_EQ(log.size(), 0u);
    EXPECT_EQ(log.visibleText(), "");
    log.append(line(log, Direction::Out, "fresh", {0xF0, 0xF7}));
    EXPECT_EQ(visibleTexts(log), "fresh;");
}

TEST(MonitorLog, DropOldestTellsFirstHowManyShownLinesGo) {
    MonitorLog log = filled();
    MonitorFilter noSysEx;
    noSysEx.sysEx = false;
    log.setFilter(noSysEx);
    const std::vector<std::pair<std::size_t, std::size_t>> oldestAndVisible{
        {0, 0}, {1, 1}, {3, 2}, {5, 4}, {9, 4}};
    for (const auto& [oldest, visible] : oldestAndVisible)
        EXPECT_EQ(log.visibleAmongOldest(oldest), visible) << oldest;
    log.dropOldest(3); // "in ch1", "out ch10" and the hidden SysEx
    EXPECT_EQ(visibleTexts(log), "out clock;in song position;");
    log.dropOldest(9);
    EXPECT_EQ(log.size(), 0u);
    EXPECT_EQ(log.visibleCount(), 0u);
}

// Long messages fill the byte budget before the line cap: the oldest lines leave with their bytes.
TEST(MonitorLog, HoldsNoMoreThanItsByteBudget) {
    MonitorLog log(5, 10);
    struct Step {
        std::size_t length; // of the SysEx message appended
        std::size_t size, bytes, dropped;
    };
    const std::vector<Step> steps{
        {4, 1, 4, 0},   {4, 2, 8, 0},  {3, 2, 7, 1}, {1, 3, 8, 0},
        {1, 4, 9, 0},   {1, 5, 10, 0}, {1, 5, 7, 1}, // the line cap
        {12, 1, 12, 5},                              // a line over the budget stays, alone
    };
    for (const Step& s : steps) {
        Message sysEx(s.length, 0x01);
        sysEx.front() = 0xF0;
        EXPECT_EQ(log.append({0, Direction::In, 0, sysEx}).dropped, s.dropped) << s.length;
        EXPECT_EQ(log.size(), s.size) << s.length;
        EXPECT_EQ(log.bytes(), s.bytes) << s.length;
    }
    log.clear();
    EXPECT_EQ(log.bytes(), 0u);
}

// Lines are put into words when read, named by the bank as it is then.
TEST(MonitorLog, LinesAreReadInWordsNamedByTheBank) {
    BankRecord bank;
    bank.setPot(1, {0x30, 7, 0, 127});
    bank.setPotLabel(1, "Volume");
    MonitorLog log;
    log.nameBy(&bank);
    log.append({1234, Direction::In, log.portNumber("desk in"), kControlChange});
    log.append({1240, Direction::Out, log.portNumber("synth"), Message{0xF8}});
    bank.setPotLabel(1, "Level");
    EXPECT_EQ(log.visibleText(), "    1234 in  desk in  B0 07 64  Control Change ch 1 cc 7 = 100, "
                                 "pot 1 \"Level\" = 100\n"
                                 "    1240 out synth  F8  Timing Clock\n");
}
