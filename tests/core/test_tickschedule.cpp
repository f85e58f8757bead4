// The user-interface thread's tick grid: ticks of different periods meet on
// their common instants, a late wake-up runs each tick once and the grid holds.

#include "core/tickschedule.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

using namespace orvane;

namespace {

constexpr Nanoseconds kMs = 1ms;
constexpr Nanoseconds kOrigin = 5'000 * kMs;

// Wakes the way the timer does, at each next instant (plus a lateness), and
// records which ticks ran at which wake-up.
struct Wakes {
    std::vector<Nanoseconds> wakes;
    std::map<TickSchedule::Id, std::vector<Nanoseconds>> ran;
};

Wakes runUntil(TickSchedule& s, Nanoseconds end, Nanoseconds late = 0ns) {
    Wakes run;
    std::vector<TickSchedule::Id> due;
    while (auto next = s.nextDue()) {
        Nanoseconds now = *next + late;
        if (now > end)
            break;
        s.takeDue(now, due);
        run.wakes.push_back(now);
        for (auto id : due)
            run.ran[id].push_back(now);
    }
    return run;
}

TEST(TickSchedule, CommonPeriodsShareTheirWakeUps) {
    TickSchedule s(kOrigin);
    // Started at different moments, as the windows are.
    auto fast = s.add(20 * kMs, kOrigin + 3 * kMs);
    auto slow = s.add(50 * kMs, kOrigin + 7 * kMs);
    auto poll = s.add(250 * kMs, kOrigin + 11 * kMs);
    auto second = s.add(1000 * kMs, kOrigin + 13 * kMs);
    Wakes run = runUntil(s, kOrigin + 10'000 * kMs);
    EXPECT_EQ(run.wakes.size(), 600u) << "20 and 50 ms: 60 wake-ups a second, the rest on them";
    EXPECT_EQ(run.ran[fast].size(), 500u);
    EXPECT_EQ(run.ran[slow].size(), 200u);
    EXPECT_EQ(run.ran[poll].size(), 40u);
    EXPECT_EQ(run.ran[second].size(), 10u);
    for (size_t i = 1; i < run.ran[fast].size(); ++i)
        ASSERT_EQ(run.ran[fast][i] - run.ran[fast][i - 1], 20 * kMs) << "the period holds";
    EXPECT_EQ(run.ran[fast].front(), kOrigin + 20 * kMs) << "the first grid instant after start";
    EXPECT_EQ(run.ran[slow].front(), kOrigin + 50 * kMs);
}

TEST(TickSchedule, DueTicksComeInTheOrderTheyWereAdded) {
    TickSchedule s(kOrigin);
    auto a = s.add(50 * kMs, kOrigin);
    auto b = s.add(20 * kMs, kOrigin);
    auto c = s.add(100 * kMs, kOrigin);
    std::vector<TickSchedule::Id> due;
    s.takeDue(kOrigin + 100 * kMs, due);
    EXPECT_EQ(due, (std::vector<TickSchedule::Id>{a, b, c}));
}

TEST(TickSchedule, ALateWakeUpRunsEachTickOnceAndTheGridHolds) {
    TickSchedule s(kOrigin);
    auto fast = s.add(20 * kMs, kOrigin);
    auto slow = s.add(50 * kMs, kOrigin);
    std::vector<TickSchedule::Id> due;
    // The thread was busy for 173 ms (a show loading, a long step change).
    s.takeDue(kOrigin + 173 * kMs, due);
    EXPECT_EQ(due, (std::vector<TickSchedule::Id>{fast, slow})) << "once each, not a burst";
    EXPECT_EQ(s.nextDue(), kOrigin + 180 * kMs) << "the next 20 ms instant";
    Wakes run = runUntil(s, kOrigin + 1'000 * kMs);
    for (Nanoseconds t : run.ran[slow])
        EXPECT_EQ((t - kOrigin) % (50 * kMs), 0ns) << "still on the grid";
    std::set<Nanoseconds> fastTimes(run.ran[fast].begin(), run.ran[fast].end());
    for (Nanoseconds t : run.ran[slow]) {
        if ((t - kOrigin) % (100 * kMs) == 0ns) {
            EXPECT_TRUE(fastTimes.count(t)) << "still meeting every 100 ms";
        }
    }
}

TEST(TickSchedule, AWakeUpWithinTheSlackRunsTheTickOnce) {
    TickSchedule s(kOrigin);
    auto fast = s.add(20 * kMs, kOrigin);
    std::vector<TickSchedule::Id> due;
    // Timers are armed in whole milliseconds: a wake-up may come a little early.
    s.takeDue(kOrigin + 20 * kMs - TickSchedule::kSlack / 2, due);
    EXPECT_EQ(due, std::vector<TickSchedule::Id>{fast});
    EXPECT_EQ(s.nextDue(), kOrigin + 40 * kMs);
    s.takeDue(kOrigin + 20 * kMs, due);
    EXPECT_TRUE(due.empty()) << "not twice for one instant";
    s.takeDue(kOrigin + 40 * kMs - 2 * TickSchedule::kSlack, due);
    EXPECT_TRUE(due.empty()) << "too early";
}

TEST(TickSchedule, RemovedTicksAreNotDueAndIdsAreNeverReused) {
    TickSchedule s(kOrigin);
    auto a = s.add(20 * kMs, kOrigin);
    auto b = s.add(50 * kMs, kOrigin);
    s.remove(a);
    EXPECT_FALSE(s.contains(a));
    EXPECT_TRUE(s.contains(b));
    EXPECT_EQ(s.nextDue(), kOrigin + 50 * kMs);
    s.remove(b);
    EXPECT_FALSE(s.nextDue().has_value());
    TickSchedule other(kOrigin);
    auto c = other.add(20 * kMs, kOrigin);
    EXPECT_NE(c, a);
    EXPECT_NE(c, b);
    // A period of nothing (a caller's slip) ticks at the slack, never divides by zero.
    auto zero = other.add(0ns, kOrigin);
    EXPECT_EQ(other.nextDue(), kOrigin + TickSchedule::kSlack);
    other.remove(zero);
}

TEST(TickSchedule, ARestingTickIsNeverDueAndWakesOnTheGridInItsPlace) {
    TickSchedule s(kOrigin);
    auto fast = s.add(20 * kMs, kOrigin);
    auto slow = s.add(50 * kMs, kOrigin);
    auto second = s.add(1000 * kMs, kOrigin);
    s.rest(fast);
    s.rest(slow);
    EXPECT_TRUE(s.resting(fast));
    EXPECT_EQ(s.nextDue(), kOrigin + 1000 * kMs) << "only the tick that never rests is due";
    Wakes idle = runUntil(s, kOrigin + 3000 * kMs);
    EXPECT_EQ(idle.wakes.size(), 3u);
    EXPECT_TRUE(idle.ran[fast].empty());
    // Woken 7 ms after an instant of the 100 ms grid: each is due on its own
    // grid's next instant, and they still run in the order they were added.
    Nanoseconds woken = kOrigin + 3107 * kMs;
    s.wake(slow, woken);
    s.wake(fast, woken);
    EXPECT_FALSE(s.resting(fast));
    EXPECT_EQ(s.nextDue(), kOrigin + 3120 * kMs);
    std::vector<TickSchedule::Id> due;
    s.takeDue(kOrigin + 3150 * kMs, due);
    EXPECT_EQ(due, (std::vector<TickSchedule::Id>{fast, slow}));
    s.wake(fast, kOrigin + 3500 * kMs); // already awake: the grid holds
    EXPECT_EQ(s.nextDue(), kOrigin + 3160 * kMs);
    s.rest(second);
    s.remove(second);
    s.wake(second, woken); // gone: nothing comes back
    EXPECT_FALSE(s.contains(second));
}

} // namespace
