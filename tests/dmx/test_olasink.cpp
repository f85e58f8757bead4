// The OLA sink and its sender thread against a scripted olad: frames handed
// over on the output side reach the chosen universe, olad's absence is retried
// and counted once per outage, a lost connection is made again, and neither a
// slow peer nor the end of the program waits on a send.

#include "core/clock.h"
#include "dmx/olasink.h"
#include "dmx/outputtick.h"
#include "fakeolaclient.h"
#include "test_outputtick_util.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

namespace orvane {
namespace {

using namespace test;

std::vector<uint8_t> frame(uint8_t startCode, const Universe& u) {
    return frameOf(startCode, u);
}

class OlaSinkTest : public ::testing::Test {
protected:
    void connectTo(unsigned universe) {
        ASSERT_EQ(sink->start(universe), OlaSink::StartResult::Started);
        ASSERT_TRUE(eventually([&] { return sink->state() == OlaState::Connected; }));
    }
    // Hands one frame over and waits until olad has it.
    void deliver(const std::vector<uint8_t>& f) {
        std::size_t before = ola->frames().size();
        sink->sendFrame(f, Nanoseconds{0});
        ASSERT_TRUE(ola->waitFor([&] { return ola->sent.size() > before; }));
    }

    std::shared_ptr<FakeOla> ola = std::make_shared<FakeOla>();
    std::unique_ptr<OlaSink> sink = std::make_unique<OlaSink>(fakeOlaOptions(ola));
};

TEST_F(OlaSinkTest, FramesReachTheChosenUniverseWithoutTheStartCode) {
    connectTo(7);
    deliver(frame(0, numbered(1)));
    deliver(frame(0, numbered(2)));
    // OLA carries null-start-code data only.
    sink->sendFrame(frame(0x17, filled(9)), Nanoseconds{0});
    deliver(frame(0, numbered(3)));
    std::vector<FakeOla::Sent> sent = ola->frames();
    ASSERT_EQ(sent.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sent[i].universe, 7u);
        EXPECT_EQ(sent[i].slots, numbered(i + 1));
    }
    // Counted once olad has taken the frame.
    EXPECT_TRUE(eventually([&] { return sink->read(monotonicNow()).frames == 3; }));
    EXPECT_EQ(sink->read(monotonicNow()).errors, 0u);

    ASSERT_EQ(sink->start(2), OlaSink::StartResult::Started); // a changed setting
    deliver(frame(0, filled(4)));
    EXPECT_EQ(ola->frames().back().universe, 2u);
}

TEST_F(OlaSinkTest, AbsentOladIsRetriedAndCountedOncePerOutage) {
    ola->set(&FakeOla::reachable, false);
    ASSERT_EQ(sink->start(1), OlaSink::StartResult::Started);
    ASSERT_TRUE(ola->waitFor([&] { return ola->connects >= 4; })); // every 20 ms
    EXPECT_EQ(sink->state(), OlaState::Unreachable);
    EXPECT_EQ(sink->outages(), 1u);
    sink->sendFrame(frame(0, filled(1)), Nanoseconds{0}); // dropped while unreachable
    EXPECT_EQ(sink->read(monotonicNow()).errors, 0u);

    ola->set(&FakeOla::reachable, true);
    ASSERT_TRUE(eventually([&] { return sink->state() == OlaState::Connected; }));
    deliver(frame(0, filled(2)));
    EXPECT_EQ(ola->frames().size(), 1u);

    // olad restarts: one failed send, connected again at once, no outage.
    ola->set(&FakeOla::failSends, true);
    sink->sendFrame(frame(0, filled(3)), Nanoseconds{0});
    ASSERT_TRUE(eventually([&] { return sink->read(monotonicNow()).errors == 1; }));
    ola->set(&FakeOla::failSends, false);
    deliver(frame(0, filled(4)));
    EXPECT_EQ(sink->outages(), 1u);

    // olad goes away for good: a second outage.
    ola->set(&FakeOla::failSends, true);
    ola->set(&FakeOla::reachable, false);
    sink->sendFrame(frame(0, filled(5)), Nanoseconds{0});
    ASSERT_TRUE(eventually([&] { return sink->outages() == 2; }));
    EXPECT_EQ(sink->state(), OlaState::Unreachable);
}

// Frames every period with their tick times, values first..first+count-1.
void sendAtCadence(OlaSink& sink, Milliseconds period, int first, int count) {
    Nanoseconds due = monotonicNow();
    for (int i = first; i < first + count; ++i) {
        due += period;
        timespec at{time_t(due.count() / 1000000000), long(due.count() % 1000000000)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
        }
        sink.sendFrame(frame(0, filled(uint8_t(i))), monotonicNow());
    }
}

// Nothing wakes the sender: it follows the frames' cadence on its own timer.
// At the tick's frame period and at a faster one, and again after a pause of
// the frames (a stalled tick), it takes the frames in order, sends none twice,
// sends the last of each run, and counts every frame it did not send as
// dropped. How many it drops depends on the machine's load (a frame replaced
// before the sender woke), so the count is checked for consistency, not for
// zero: the cadence itself is measured by make bench.
TEST_F(OlaSinkTest, TheSenderFollowsTheFramesCadenceAndTakesEachFrameOnce) {
    constexpr int kFrames = 20;
    for (Milliseconds period : {2 * kTickPeriod, kTickPeriod}) {
        int64_t periodMs = period.count();
        ola = std::make_shared<FakeOla>();
        sink = std::make_unique<OlaSink>(fakeOlaOptions(ola));
        connectTo(1);
        sendAtCadence(*sink, period, 1, kFrames);
        ASSERT_TRUE(ola->waitFor([&] {
            return !ola->sent.empty() && ola->sent.back().slots == filled(kFrames);
        })) << periodMs
            << " ms: the last frame of the first run";
        std::this_thread::sleep_for(std::chrono::milliseconds(250)); // the pause
        sendAtCadence(*sink, period, kFrames + 1, kFrames);
        ASSERT_TRUE(ola->waitFor([&] {
            return !ola->sent.empty() && ola->sent.back().slots == filled(2 * kFrames);
        })) << periodMs
            << " ms: the last frame of the second run";
        std::this_thread::sleep_for(3 * period);
        std::vector<FakeOla::Sent> sent = ola->frames();
        int last = 0;
        for (const FakeOla::Sent& s : sent) {
            int value = s.slots[0];
            EXPECT_GT(value, last) << periodMs << " ms: out of order or sent twice";
            EXPECT_EQ(s.slots, filled(uint8_t(value))) << periodMs;
            last = value;
        }
        EXPECT_EQ(sent.size() + sink->read(monotonicNow()).dropped, std::size_t{2 * kFrames})
            << periodMs << " ms";
    }
}

TEST_F(OlaSinkTest, ASlowPeerCostsDroppedFramesNotAWait) {
    connectTo(1);
    ola->set(&FakeOla::holdSends, true);
    sink->sendFrame(frame(0, filled(1)), Nanoseconds{0});
    ASSERT_TRUE(ola->waitFor([&] { return ola->sendsInProgress == 1; }));
    // The sender is stuck in a send; the output side goes on regardless.
    for (int i = 2; i <= 50; ++i)
        sink->sendFrame(frame(0, filled(uint8_t(i))), Nanoseconds{0});
    ola->set(&FakeOla::holdSends, false);
    // The held frame, then only the newest of the 49 that came meanwhile.
    ASSERT_TRUE(ola->waitFor([&] { return ola->sent.size() == 2; }));
    EXPECT_EQ(ola->frames().back().slots, filled(50));
    EXPECT_TRUE(eventually([&] { return sink->read(monotonicNow()).frames == 2; }));
    EXPECT_EQ(sink->read(monotonicNow()).dropped, 48u);
}

TEST_F(OlaSinkTest, TheEndDoesNotWaitForASendThatNeverReturns) {
    OlaSinkOptions options = fakeOlaOptions(ola);
    options.stopWait = 50ms;
    sink = std::make_unique<OlaSink>(options);
    connectTo(1);
    ola->set(&FakeOla::holdSends, true);
    sink->sendFrame(frame(0, filled(1)), Nanoseconds{0});
    ASSERT_TRUE(ola->waitFor([&] { return ola->sendsInProgress == 1; }));
    sink.reset(); // returns although the send is still held
    // Once the peer lets go, the thread left behind ends without the sink.
    ola->set(&FakeOla::holdSends, false);
    EXPECT_TRUE(ola->waitFor([&] { return ola->sendsInProgress == 0; }));
}

} // namespace
} // namespace orvane
