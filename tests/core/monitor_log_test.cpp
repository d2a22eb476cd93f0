#include "monitor_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using midi_meaning::Category;
using midi_meaning::Direction;

namespace {

MonitorLine line(Direction d, Category c, int channel, std::string text) {
    return {d, c, channel, std::move(text)};
}

// One line of each kind: in/out, each category, channels 1 and 10.
std::vector<MonitorLine> sampleLines() {
    return {line(Direction::In, Category::Channel, 1, "in ch1"),
            line(Direction::Out, Category::Channel, 10, "out ch10"),
            line(Direction::In, Category::SysEx, 0, "in sysex"),
            line(Direction::Out, Category::RealTime, 0, "out clock"),
            line(Direction::In, Category::Common, 0, "in song position")};
}

std::string visibleTexts(const MonitorLog& log) {
    std::string texts;
    for (std::size_t row = 0; row < log.visibleCount(); ++row)
        texts += log.visible(row).text + ";";
    return texts;
}

MonitorLog filled(std::size_t capacity = MonitorLog::kCapacity) {
    MonitorLog log(capacity);
    for (MonitorLine& l : sampleLines())
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
        EXPECT_EQ(log.visibleText(), [&] {
            std::string text = c.shown;
            for (char& ch : text)
                if (ch == ';') ch = '\n';
            return text;
        }()) << c.what;
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
        MonitorLine line;
        std::size_t dropped, added;
        std::string shown;
    };
    const std::vector<Step> steps{
        {line(Direction::In, Category::Channel, 1, "a"), 0, 1, "a;"},
        {line(Direction::Out, Category::Channel, 1, "b"), 0, 0, "a;"},
        {line(Direction::In, Category::Channel, 1, "c"), 0, 1, "a;c;"},
        {line(Direction::In, Category::Channel, 1, "d"), 1, 1, "c;d;"},  // "a" leaves the store
        {line(Direction::Out, Category::Channel, 1, "e"), 0, 0, "c;d;"}, // hidden "b" leaves
        {line(Direction::Out, Category::Channel, 1, "f"), 1, 0, "d;"},
    };
    for (const Step& s : steps) {
        const MonitorLog::Change change = log.append(s.line);
        EXPECT_EQ(change.dropped, s.dropped) << s.line.text;
        EXPECT_EQ(change.added, s.added) << s.line.text;
        EXPECT_EQ(visibleTexts(log), s.shown) << s.line.text;
        EXPECT_LE(log.size(), 3u);
    }
}

TEST(MonitorLog, HoldsTheLastHundredThousandLinesOfAMillion) {
    MonitorLog log;
    for (int i = 0; i < 1'000'000; ++i)
        log.append(line(Direction::In, Category::Channel, 1, std::to_string(i)));
    EXPECT_EQ(log.size(), MonitorLog::kCapacity);
    EXPECT_EQ(log.visibleCount(), MonitorLog::kCapacity);
    EXPECT_EQ(log.visible(0).text, "900000");
    EXPECT_EQ(log.visible(log.visibleCount() - 1).text, "999999");
}

TEST(MonitorLog, PauseDiscardsAndClearEmpties) {
    MonitorLog log = filled();
    log.setPaused(true);
    EXPECT_EQ(log.append(line(Direction::In, Category::Channel, 1, "while paused")).added, 0u);
    log.setPaused(false);
    log.append(line(Direction::In, Category::Channel, 1, "after"));
    EXPECT_EQ(log.visibleCount(), 6u);
    EXPECT_EQ(log.visible(5).text, "after");
    log.clear();
    EXPECT_EQ(log.size(), 0u);
    EXPECT_EQ(log.visibleText(), "");
    log.append(line(Direction::Out, Category::SysEx, 0, "fresh"));
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
    std::vector<MonitorLine> leaving;
    log.dropOldest(3, &leaving); // "in ch1", "out ch10" and the hidden SysEx, handed out
    EXPECT_EQ(visibleTexts(log), "out clock;in song position;");
    ASSERT_EQ(leaving.size(), 3u);
    EXPECT_EQ(leaving.front().text, "in ch1");
    log.dropOldest(9);
    EXPECT_EQ(log.size(), 0u);
    EXPECT_EQ(log.visibleCount(), 0u);
}
