// ValueAnnouncer: a burst of changes is heard at its first value at once and at its last value
// after a quiet interval, whatever its length.
#include "value_announcer.h"

#include <QObject>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Burst {
    int changes;
    std::vector<int> heardAtOnce;
    std::vector<int> heardInTheEnd;
};

TEST(ValueAnnouncer, ABurstIsHeardAtItsFirstValueAndItsLast) {
    const std::vector<Burst> bursts = {
        {1, {1}, {1}},
        {2, {1}, {1, 2}},
        {1000, {1}, {1, 1000}},
    };
    for (const Burst& burst : bursts) {
        QObject context;
        int value = 0;
        std::vector<int> heard;
        ValueAnnouncer announcer(&context, [&] { heard.push_back(value); });
        for (value = 1; value <= burst.changes; ++value)
            announcer.changed();
        --value; // the last value the control took
        EXPECT_EQ(heard, burst.heardAtOnce) << burst.changes;
        QTest::qWait(2 * ValueAnnouncer::kIntervalMs);
        EXPECT_EQ(heard, burst.heardInTheEnd) << burst.changes;
    }
}

} // namespace
