// The user-interface thread's common tick timer, on a real event loop: ticks
// that meet run in one wake-up, in start order; a tick may stop itself or
// destroy another's window; a message box inside one tick does not stop the
// others, nor makes them run twice.

#include "dmx/uiwake.h"
#include "support/qtapp.h"
#include "windows/sharedtick.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace orvane;

namespace {

// How long a test waits for what must happen before it calls it a failure: far
// beyond any tick period, so that a loaded machine slows the test down but
// never fails it.
constexpr int kPatienceMs = 5000;

void runEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until done() holds (true) or the patience runs out.
bool runEventLoopUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < kPatienceMs)
        runEventLoopFor(5);
    return done();
}

struct SharedTickFixture : ::testing::Test {
    void SetUp() override { testApp(); }
    QObject owner;
    std::vector<std::string> log; // "name@wake-up"
    void note(const char* name) {
        log.push_back(name + ("@" + std::to_string(SharedTick::wakeups())));
    }
    // The wake-ups a tick ran at.
    std::vector<std::string> wakesOf(const std::string& name) const {
        std::vector<std::string> out;
        for (const std::string& entry : log)
            if (entry.rfind(name + "@", 0) == 0)
                out.push_back(entry.substr(name.size() + 1));
        return out;
    }
};

TEST_F(SharedTickFixture, TicksThatMeetRunInOneWakeUpInStartOrder) {
    SharedTick slow, fast;
    slow.start(50, &owner, [this] { note("slow"); });
    fast.start(20, &owner, [this] { note("fast"); });
    EXPECT_TRUE(slow.isActive());
    EXPECT_EQ(fast.interval(), 20);
    ASSERT_TRUE(runEventLoopUntil([this] { return wakesOf("slow").size() >= 3; }));
    int met = 0;
    for (size_t i = 0; i + 1 < log.size(); ++i)
        if (log[i].rfind("slow@", 0) == 0 && log[i + 1] == "fast@" + log[i].substr(5))
            ++met;
    EXPECT_GE(met, 1) << "every other 50 ms tick meets a 20 ms one, in the same wake-up";
    for (size_t i = 0; i + 1 < log.size(); ++i) {
        if (log[i].rfind("fast@", 0) == 0) {
            EXPECT_NE(log[i + 1], "slow@" + log[i].substr(5)) << "never out of start order";
        }
    }
}

TEST_F(SharedTickFixture, StopAndTheContextsEndEndTheTick) {
    SharedTick own, other, stopped;
    auto window = std::make_unique<QObject>();
    int ownRuns = 0, otherRuns = 0, stoppedRuns = 0;
    // A tick that stops itself, and one that destroys the next one's window.
    own.start(20, &owner, [&] {
        ++ownRuns;
        own.stop();
        window.reset();
    });
    other.start(20, window.get(), [&] { ++otherRuns; });
    stopped.start(20, &owner, [&] { ++stoppedRuns; });
    stopped.stop();
    ASSERT_TRUE(runEventLoopUntil([&] { return ownRuns > 0; }));
    runEventLoopFor(60);
    EXPECT_EQ(ownRuns, 1);
    EXPECT_EQ(otherRuns, 0) << "its window went in the same wake-up, before it";
    EXPECT_EQ(stoppedRuns, 0);
    EXPECT_FALSE(own.isActive());
    EXPECT_FALSE(other.isActive());
}

TEST_F(SharedTickFixture, AnEventLoopInsideATickLeavesTheOthersRunning) {
    SharedTick modal, other;
    int modalRuns = 0, otherRuns = 0, otherDuringModal = 0;
    bool inModal = false;
    modal.start(20, &owner, [&] {
        ++modalRuns;
        if (modalRuns > 1)
            return;
        inModal = true; // as a message box would
        runEventLoopUntil([&] { return otherDuringModal >= 3; });
        inModal = false;
    });
    other.start(20, &owner, [&] {
        ++otherRuns;
        otherDuringModal += inModal;
        note("other");
    });
    ASSERT_TRUE(runEventLoopUntil([&] { return modalRuns >= 2 && !inModal; }));
    EXPECT_GE(otherDuringModal, 3) << "the other ticks go on while the box is open";
    EXPECT_GE(modalRuns, 2) << "and the tick that opened it comes back after";
    EXPECT_GT(otherRuns, otherDuringModal);
    // The wake-up that opened the box had the other tick due too: the box's
    // loop has run it since, so it does not run again when the box closes.
    std::vector<std::string> wakes = wakesOf("other");
    for (size_t i = 1; i < wakes.size(); ++i)
        EXPECT_NE(wakes[i], wakes[i - 1]) << "run twice in one wake-up";
}

// Without a timer of its own (a timer is something happening, and would wake
// the resting ticks): the tick that never rests wakes the loop meanwhile.
void spinFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Spins as spinFor does until done() holds (true) or the patience runs out.
bool spinUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < kPatienceMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return done();
}

bool restsSoon() {
    return spinUntil([] { return SharedTick::resting(); });
}

// Two ticks that may rest, and a slower one that never does.
struct RestingTicks {
    SharedTick fast, slow, second;
    bool fastIdle = true, slowIdle = true;
    int fastRuns = 0, slowRuns = 0, secondRuns = 0;
    std::vector<uint64_t> fastWakes; // the wake-up of each fast run
    RestingTicks(QObject* owner, int secondMs) {
        fast.start(20, owner, [this] {
            ++fastRuns;
            fastWakes.push_back(SharedTick::wakeups());
        });
        fast.restWhen([this] { return fastIdle; });
        slow.start(50, owner, [this] { ++slowRuns; });
        slow.restWhen([this] { return slowIdle; });
        second.start(secondMs, owner, [this] { ++secondRuns; });
    }
    // Runs for ms and says how often the fast tick ran meanwhile.
    int fastRunsOver(int ms) {
        int before = fastRuns;
        spinFor(ms);
        return fastRuns - before;
    }
    // The fast tick never ran twice in one wake-up: woken, it waits for its
    // next instant on the grid instead of catching up in a burst.
    bool neverInABurst() const {
        for (size_t i = 1; i < fastWakes.size(); ++i)
            if (fastWakes[i] == fastWakes[i - 1])
                return false;
        return true;
    }
};

TEST_F(SharedTickFixture, IdleTicksRestUntilSomethingHappens) {
    RestingTicks t(&owner, 100);
    ASSERT_TRUE(restsSoon());
    int seconds = t.secondRuns;
    EXPECT_EQ(t.fastRunsOver(300), 0);
    EXPECT_TRUE(spinUntil([&] { return t.secondRuns > seconds; }))
        << "a tick that never rests goes on";

    // Another thread, after changing what the checks read.
    t.fastIdle = false;
    std::thread([] { uiwake::poke(); }).join();
    ASSERT_TRUE(spinUntil([&] { return t.fastRuns >= 10; })) << "busy: it goes on";
    EXPECT_FALSE(SharedTick::resting());
    EXPECT_TRUE(t.neverInABurst()) << "on the grid's next instant, not in a burst";

    // An event from outside (here a queued call) on the user-interface
    // thread: the ticks run once more, and rest again with nothing to do.
    t.fastIdle = true;
    ASSERT_TRUE(restsSoon());
    int before = t.fastRuns;
    QMetaObject::invokeMethod(
        &owner, [] {}, Qt::QueuedConnection);
    EXPECT_TRUE(spinUntil([&] { return t.fastRuns > before; }));
    EXPECT_TRUE(restsSoon());
}

TEST_F(SharedTickFixture, APokeWhileTheTicksRunIsNotLost) {
    // The tick reads what another thread hands over, and always says it is
    // idle: the other thread's poke alone must bring it back. Here the
    // thread hands a value over just after the tick has read, before the
    // ticks settle.
    std::atomic<int> handed{0};
    std::vector<int> seen;
    SharedTick reader, second;
    reader.start(20, &owner, [&] {
        seen.push_back(handed.load());
        if (seen.size() == 1)
            std::thread([&] {
                handed = 7;
                uiwake::poke();
            }).join();
    });
    reader.restWhen([] { return true; });
    second.start(100, &owner, [] {}); // bounds the wait, never wakes the reader
    spinUntil([&] { return seen.size() >= 2; });
    ASSERT_GE(seen.size(), 2u) << "the value handed over was never read";
    EXPECT_EQ(seen[1], 7);
    EXPECT_TRUE(restsSoon());
}

TEST_F(SharedTickFixture, APokeWhileAsleepReachesTheSlowTicksToo) {
    // Two ticks that read what another thread hands over, of different
    // periods: woken, the fast one is due first. The thread must not rest
    // again before the slow one has read too.
    std::atomic<int> handed{0};
    int fastSeen = 0, slowSeen = 0;
    SharedTick fast, slow;
    fast.start(20, &owner, [&] { fastSeen = handed.load(); });
    fast.restWhen([] { return true; });
    slow.start(400, &owner, [&] { slowSeen = handed.load(); });
    slow.restWhen([] { return true; });
    SharedTick bound;
    bound.start(100, &owner, [] {}); // bounds the wait, never wakes the others
    for (int round = 1; round <= 3; ++round) {
        ASSERT_TRUE(restsSoon());
        std::thread([&] {
            handed = round;
            uiwake::poke();
        }).join();
        EXPECT_TRUE(spinUntil([&] { return slowSeen == round; }))
            << "round " << round << ": the slow tick never read what was handed over";
        EXPECT_EQ(fastSeen, round);
    }
    EXPECT_TRUE(restsSoon());
}

TEST_F(SharedTickFixture, TicksRestOnlyWhenAllOfThemAreIdle) {
    RestingTicks t(&owner, 100);
    t.slowIdle = false;
    EXPECT_TRUE(spinUntil([&] { return t.fastRuns >= 10; }))
        << "the fast tick is idle, the slow one is not";
    EXPECT_FALSE(SharedTick::resting());

    // Asleep, the checks are asked again whenever the thread wakes (here for
    // the tick that never rests).
    t.slowIdle = true;
    ASSERT_TRUE(restsSoon());
    t.slowIdle = false;
    int before = t.slowRuns;
    EXPECT_TRUE(spinUntil([&] { return t.slowRuns - before >= 2; }));
    EXPECT_FALSE(SharedTick::resting());

    // A tick started meanwhile (a window opened) wakes the others too.
    t.slowIdle = true;
    ASSERT_TRUE(restsSoon());
    int fastBefore = t.fastRuns;
    SharedTick window;
    window.start(50, &owner, [] {});
    EXPECT_TRUE(spinUntil([&] { return t.fastRuns > fastBefore; }));
}

} // namespace
