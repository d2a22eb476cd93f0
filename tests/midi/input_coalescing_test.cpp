#include "input_coalescing.h"
#include "input_hand_over.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <thread>

namespace {

using input_coalescing::kNever;
using input_coalescing::supersededByLater;
using input_coalescing::supersedeKey;

TEST(InputCoalescing, OnlyControlChangesHaveAKeyOfTheirChannelAndController) {
    const struct {
        std::uint8_t status, data1;
        int key;
    } cases[] = {
        {0xB0, 7, 7},      {0xB1, 7, 128 + 7}, {0xBF, 0x7F, 2047},   {0x90, 7, kNever},
        {0x80, 7, kNever}, {0xA0, 7, kNever},  {0xC0, 7, kNever},    {0xD0, 7, kNever},
        {0xE0, 7, kNever}, {0xF0, 7, kNever},  {0xB0, 0x80, kNever},
    };
    for (const auto& c : cases)
        EXPECT_EQ(supersedeKey(c.status, c.data1), c.key) << int(c.status) << " " << int(c.data1);
}

TEST(InputCoalescing, ALaterMessageOfTheSameKeyMakesAnEarlierOneStaleAndNothingElseDoes) {
    const struct {
        const char* name;
        std::vector<int> keys;
        std::vector<bool> superseded;
    } cases[] = {
        {"latest of one controller wins", {7, 7, 7}, {true, true, false}},
        {"order and others kept", {7, kNever, 8, 7, kNever}, {true, false, false, false, false}},
        {"channels and controllers apart",
         {supersedeKey(0xB0, 7), supersedeKey(0xB1, 7), supersedeKey(0xB0, 8)},
         {false, false, false}},
        {"non-controller messages never", {kNever, kNever, kNever}, {false, false, false}},
        {"empty", {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(supersededByLater(c.keys), c.superseded) << c.name;
}

// Calls posted from a driver's thread, taken on this one when its event loop turns.
class HandOver : public ::testing::Test {
protected:
    void post(InputHandOver& handOver, std::uint8_t status, std::uint8_t data1,
              std::uint8_t data2) {
        std::thread([&] {
            handOver.post(
                [=, this] {
                    ran.push_back({status, data1, data2});
                },
                supersedeKey(status, data1));
        }).join();
    }
    using Message = std::array<std::uint8_t, 3>;
    QObject target;
    std::vector<Message> ran;
    std::vector<int> drops;
};

TEST_F(HandOver, InStepEverythingRunsAndBehindOnlyTheLatestOfEachControllerRuns) {
    const std::vector<Message> posted = {{0xB0, 7, 1}, {0x90, 60, 9}, {0xB0, 7, 2},
                                         {0xB1, 7, 3}, {0xB0, 8, 4},  {0xB0, 7, 5}};
    const struct {
        std::chrono::milliseconds behind;
        std::vector<Message> expected;
    } cases[] = {
        {std::chrono::hours(1), posted},
        {std::chrono::milliseconds(0), {{0x90, 60, 9}, {0xB1, 7, 3}, {0xB0, 8, 4}, {0xB0, 7, 5}}},
    };
    for (const auto& c : cases) {
        ran.clear();
        InputHandOver handOver(
            &target, [](int) {}, InputHandOver::kMaxPending, c.behind);
        for (const Message& m : posted)
            post(handOver, m[0], m[1], m[2]);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        QCoreApplication::processEvents();
        EXPECT_EQ(ran, c.expected) << c.behind.count();
    }
}

// A full queue takes a controller message in place of the waiting one of its controller, so the
// controller still ends on its last value; other messages beyond the limit are dropped, counted
// and reported where they were.
TEST_F(HandOver, AFullQueueKeepsTheLatestOfEachControllerAndDropsOthersWithACount) {
    InputHandOver handOver(
        &target,
        [this](int count) {
            drops.push_back(count);
            ran.push_back({0, 0, std::uint8_t(count)});
        },
        3, std::chrono::hours(1));
    for (const Message& m : std::vector<Message>{
             {0xB0, 7, 1}, {0x90, 60, 9}, {0xB0, 7, 2}, {0xB0, 7, 3}, {0x90, 61, 9}, {0xB0, 7, 4}})
        post(handOver, m[0], m[1], m[2]);
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (std::vector<Message>{{0xB0, 7, 1}, {0x90, 60, 9}, {0, 0, 1}, {0xB0, 7, 4}}));
    EXPECT_EQ(drops, std::vector<int>{1});
}

// A handler that runs an event loop of its own (a message box) sees what came after it in order:
// first what waited with it, then what arrived meanwhile.
TEST_F(HandOver, ANestedEventLoopCarriesOnInArrivalOrder) {
    InputHandOver handOver(&target, [](int) {});
    handOver.post([&] {
        ran.push_back({1, 0, 0});
        post(handOver, 0x90, 4, 0);
        QCoreApplication::processEvents();
        ran.push_back({1, 1, 0});
    });
    post(handOver, 0x90, 2, 0);
    post(handOver, 0x90, 3, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (std::vector<Message>{
                       {1, 0, 0}, {0x90, 2, 0}, {0x90, 3, 0}, {0x90, 4, 0}, {1, 1, 0}}));
}

} // namespace
