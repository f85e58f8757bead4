#include "core/clock.h"
#include "support/manualclock.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(Clock, AnElapsedClockCountsFromItsCreationAndFollowsItsBase) {
    test::ManualClock base{7'000'123'456ns};
    base.setWallOrigin(WallTime{} + 3600s);
    ElapsedClock elapsed(base);
    EXPECT_EQ(elapsed.now(), 0ns);
    base.advance(20ms);
    EXPECT_EQ(elapsed.nowMs(), 20ms);
    base.advance(999us);
    EXPECT_EQ(elapsed.nowMs(), 20ms) << "whole milliseconds, rounded down";
    EXPECT_EQ(elapsed.wall(), base.wall()) << "the time of day is the base's";
}

TEST(Clock, WholeMillisecondsRoundDownOnBothSidesOfZero) {
    struct Row {
        Nanoseconds in;
        Milliseconds out;
    } rows[] = {{0ns, 0ms}, {999'999ns, 0ms}, {1ms, 1ms}, {-1ns, -1ms}, {-1ms, -1ms}};
    for (const Row& r : rows)
        EXPECT_EQ(toMs(r.in), r.out) << r.in.count();
}

TEST(Clock, TheSystemClockIsMonotonic) {
    const Clock& clock = systemClock();
    Nanoseconds before = clock.now();
    Nanoseconds after = monotonicNow();
    EXPECT_LE(before, after);
    EXPECT_GT(before, 0ns);
}
