// The output at a chosen frame rate, driven step by step on a manual clock as
// the output thread would drive it: the order and the times of the line's
// operations, the newest composition in every frame, a line reopened between
// a break and its frame, OLA beside the line, and what the output monitor
// shows.

#include "dmx/dmxoutput.h"
#include "dmx/outputmonitor.h"
#include "fakeolaclient.h"
#include "support/manualclock.h"
#include "support/recordingline.h"
#include "test_outputtick_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace orvane {
namespace {

using namespace test;
using Op = RecordingLine::Op;

// A recording line that also notes when each operation came.
class TimedLine : public RecordingLine {
public:
    explicit TimedLine(const Clock& clock) : m_clock(clock) {}
    int breakOn() override { return noted(RecordingLine::breakOn()); }
    int breakOff() override { return noted(RecordingLine::breakOff()); }
    int writeFrame(std::span<const uint8_t> bytes) override {
        return noted(RecordingLine::writeFrame(bytes));
    }
    std::vector<Nanoseconds> times;

private:
    int noted(int result) {
        times.push_back(m_clock.now());
        return result;
    }
    const Clock& m_clock;
};

// A DmxOutput without thread, driven through a FrameSchedule: each step wakes
// `late` after its deadline and takes `work`.
class RateHarness : public ::testing::Test {
protected:
    RateHarness() { unsetenv("ORVANE_DMX_PORT"); }

    DmxOutput& make(std::string framerate, std::string output = "serial") {
        DmxOutputOptions o;
        o.message = [this](std::string_view, std::string_view text) {
            messages.emplace_back(text);
        };
        o.dmxPortSetting = [] { return "/dev/ttyDMX"; };
        o.outputSetting = [output] { return output; };
        o.frameRateSetting = [framerate] { return framerate; };
        o.ola = fakeOlaOptions(ola);
        o.runThread = false;
        dmx = std::make_unique<DmxOutput>(line, o);
        return *dmx;
    }
    void startSchedule() {
        ASSERT_EQ(dmx->start(), 0);
        schedule = std::make_unique<FrameSchedule>(dmx->frameTiming(), clock.now());
        line.clear();
        line.times.clear();
    }
    // Runs every step due before `until`; before each, `before` may act.
    template <typename F = void (*)(const DueSteps&)>
    void runUntil(
        Nanoseconds until, F before = [](const DueSteps&) {}) {
        for (DueSteps due = schedule->next(); due.at < until; due = schedule->next()) {
            before(due);
            clock.set(due.at + late);
            Nanoseconds woke = clock.now();
            dmx->runSteps(due.steps, woke);
            clock.advance(work);
            schedule->done(woke, clock.now());
        }
    }

    ManualClock clock{100s};
    TimedLine line{clock};
    std::shared_ptr<FakeOla> ola = std::make_shared<FakeOla>();
    std::vector<std::string> messages;
    std::unique_ptr<DmxOutput> dmx;
    std::unique_ptr<FrameSchedule> schedule;
    Nanoseconds late = 30us;
    Nanoseconds work = 4us;
};

TEST_F(RateHarness, EachFrameIsABreakAMarkAndTheWriteOnItsDeadline) {
    make("40");
    startSchedule();
    runUntil(100s + 101ms);
    std::vector<Op> expected;
    for (int i = 0; i < 4; ++i)
        expected.insert(expected.end(), {Op::BreakOn, Op::BreakOff, Op::Write});
    ASSERT_EQ(line.ops(), expected);
    for (int i = 0; i < 4; ++i) {
        Nanoseconds on = line.times[3 * i], off = line.times[3 * i + 1],
                    write = line.times[3 * i + 2];
        EXPECT_EQ(on, 100s + (i + 1) * 25ms + late) << "frame " << i;
        EXPECT_GE(off - on, 200us) << "frame " << i;
        EXPECT_GE(write - off, 12us) << "frame " << i;
        EXPECT_LT(write - on, 300us) << "frame " << i;
    }
    EXPECT_EQ(line.times[5] - line.times[2], 25ms);
    EXPECT_TRUE(messages.empty());
}

TEST_F(RateHarness, EveryFrameCarriesTheNewestComposition) {
    DmxOutput& out = make("40");
    out.publish(numbered(1));
    startSchedule();
    int composed = 1;
    // The window publishes a composition every 20 ms, and once right
    // between a break and its frame.
    Nanoseconds nextComposition = 100s + 20ms;
    runUntil(100s + 76ms, [&](const DueSteps& due) {
        if (due.steps & kStepWrite && due.at > 100s + 70ms)
            out.publish(numbered(++composed));
        while (nextComposition <= due.at) {
            out.publish(numbered(++composed));
            nextComposition += 20ms;
        }
    });
    // Frames at 25, 50 and 75 ms: compositions of 20, 40, and the one made
    // just before the last frame's write.
    EXPECT_EQ(line.frames(), (std::vector<Frame>{frameOf(0, numbered(2)), frameOf(0, numbered(3)),
                                                 frameOf(0, numbered(5))}));
}

TEST_F(RateHarness, ALineReopenedBetweenABreakAndItsFrameWaitsForTheNextBreak) {
    DmxOutput& out = make("40");
    startSchedule();
    bool reopened = false;
    runUntil(100s + 51ms, [&](const DueSteps& due) {
        if (due.steps & kStepRelease && !reopened) {
            ASSERT_EQ(out.reopen(), 0);
            reopened = true;
        }
    });
    EXPECT_EQ(line.ops(), (std::vector{Op::BreakOn, Op::Close, Op::Open, Op::SetDmxBaud,
                                       Op::ClearRts, Op::BreakOn, Op::BreakOff, Op::Write}));
}

TEST_F(RateHarness, OlaGetsEveryFrameAtTheSameRate) {
    DmxOutput& out = make("40", "serial+ola");
    ASSERT_TRUE(out.start() == 0);
    ASSERT_TRUE(eventually([&] { return out.ola().state() == OlaState::Connected; }));
    startSchedule();
    for (int i = 1; i <= 8; ++i) {
        std::size_t before = ola->frames().size();
        out.publish(filled(uint8_t(i)));
        runUntil(100s + i * 25ms + 1ms);
        ASSERT_TRUE(ola->waitFor([&] { return ola->sent.size() > before; })) << "frame " << i;
    }
    std::vector<FakeOla::Sent> sent = ola->frames();
    EXPECT_EQ(sent.back().slots, filled(8));
    EXPECT_EQ(line.frames().size(), 8u);
}

TEST_F(RateHarness, TheMonitorShowsTheRateReachedBesideTheRateAsked) {
    DmxOutput& out = make("40");
    startSchedule();
    OutputMonitor monitor(out, clock.now());
    late = 0ns;
    runUntil(100s + 1s + 1ms, [&](const DueSteps& due) {
        // One frame of the second is 3 ms late.
        late = (due.steps & kStepBreak) && due.at == 100s + 500ms ? 3ms : 0ns;
    });
    EXPECT_EQ(monitor.sample(clock.now()).text,
              "Serial: 40.0 of 40 frames/s, worst 28.0 ms, 0 write errors");
}

} // namespace
} // namespace orvane
