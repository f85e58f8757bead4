// The frame timing settings and the schedule of the output thread's steps,
// driven by hand: what is due when, at the usual cadence and at a chosen
// rate, and what a late step, a stall or a rate with no whole period of
// nanoseconds does to the deadlines that follow.

#include "dmx/frameschedule.h"
#include "dmx/frametiming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {
namespace {

struct TimingCase {
    const char* name;
    const char* framerate;
    const char* breakus;
    FrameTiming expected;
    const char* problem; // "" when none
};

TEST(FrameTiming, ReadsTheTwoSettingsAndRefusesWhatTheLineCannotCarry) {
    const TimingCase cases[] = {
        {"nothing set: the usual cadence", "", "", {0, 200us}, ""},
        {"40 frames a second", "40", "", {40, 200us}, ""},
        {"decimals with a point", " 16.7 ", "", {16.7, 200us}, ""},
        {"the lowest rate", "1", "", {1, 200us}, ""},
        {"the break alone changes nothing on the line yet", "", "150", {0, 150us}, ""},
        {"44 fits with the shortest break", "44", "100", {44, 100us}, ""},
        {"44 with the usual break is more than the wire carries",
         "44",
         "",
         {0, 200us},
         "Setting framerate=44 is more than the DMX line carries: at most 43.8 frames/s with a "
         "200 µs break. DMX goes out at the usual 16.7 frames/s"},
        {"a long break lowers the limit",
         "41",
         "2000",
         {0, 2000us},
         "Setting framerate=41 is more than the DMX line carries: at most 40.6 frames/s with a "
         "2000 µs break. DMX goes out at the usual 16.7 frames/s"},
        {"above 44",
         "50",
         "100",
         {0, 100us},
         "Setting framerate=50 is more than the DMX line carries: at most 44 frames/s with a 100 "
         "µs break. DMX goes out at the usual 16.7 frames/s"},
        {"below 1",
         "0.5",
         "",
         {0, 200us},
         "Setting framerate=0.5 is not a number of frames per second from 1 to 44: DMX goes out at "
         "the usual 16.7 frames/s"},
        {"a comma is no decimal point",
         "16,7",
         "",
         {0, 200us},
         "Setting framerate=16,7 is not a number of frames per second from 1 to 44: DMX goes out "
         "at the usual 16.7 frames/s"},
        {"a unit after the number",
         "40fps",
         "",
         {0, 200us},
         "Setting framerate=40fps is not a number of frames per second from 1 to 44: DMX goes out "
         "at the usual 16.7 frames/s"},
        {"an exponent",
         "4e1",
         "",
         {0, 200us},
         "Setting framerate=4e1 is not a number of frames per second from 1 to 44: DMX goes out "
         "at the usual 16.7 frames/s"},
        {"a break shorter than 100 µs",
         "40",
         "50",
         {40, 200us},
         "Setting breakus=50 is not a break of 100 to 1000000 µs: a 200 µs break is used"},
        {"a break that is no whole number",
         "40",
         "150.5",
         {40, 200us},
         "Setting breakus=150.5 is not a break of 100 to 1000000 µs: a 200 µs break is used"},
    };
    for (const TimingCase& c : cases) {
        std::string problem;
        FrameTiming timing = chooseFrameTiming(c.framerate, c.breakus, &problem);
        EXPECT_EQ(timing.rate, c.expected.rate) << c.name;
        EXPECT_EQ(timing.breakTime, c.expected.breakTime) << c.name;
        EXPECT_EQ(problem, c.problem) << c.name;
    }
}

TEST(FrameTiming, TheWireLimitIsTheBreakTheMarkAndTheSlotsBackToBack) {
    EXPECT_NEAR(wireLimit(200us), 1e6 / (200 + 12 + 22572), 1e-9);
    EXPECT_EQ(wireLimit(100us), 44.0); // 44.08 by the wire, 44 by the setting
    EXPECT_EQ((FrameTiming{40, 200us}.period()), 25ms);
    EXPECT_EQ(FrameTiming{}.period(), Nanoseconds{0});
    EXPECT_EQ(rateText(1000.0 / 60.0), "16.7");
    EXPECT_EQ(rateText(40), "40");
}

using Due = std::pair<Nanoseconds, uint8_t>;

// Runs the schedule from `start`: every step wakes `late` after its deadline
// and takes `work`; the deadlines and steps met until `until`.
std::vector<Due> run(FrameSchedule& schedule, Nanoseconds until, Nanoseconds late = 0ns,
                     Nanoseconds work = 0ns) {
    std::vector<Due> out;
    for (DueSteps due = schedule.next(); due.at < until; due = schedule.next()) {
        out.emplace_back(due.at, due.steps);
        schedule.done(due.at + late, due.at + late + work);
    }
    return out;
}

constexpr uint8_t kServeLine = kStepServe | kStepLine;

TEST(FrameSchedule, TheUsualCadenceIsATickEvery30ms) {
    FrameSchedule schedule({}, 1000ms);
    EXPECT_EQ(run(schedule, 1100ms),
              (std::vector<Due>{{1030ms, kServeLine}, {1060ms, kServeLine}, {1090ms, kServeLine}}));
    // A tick more than a period late: the next one a period after it woke.
    DueSteps due = schedule.next();
    ASSERT_EQ(due.at, 1120ms);
    schedule.done(1155ms, 1155ms + 50us);
    EXPECT_EQ(schedule.next().at, 1185ms);
    // A tick less than a period late keeps the grid.
    schedule.done(1210ms, 1210ms);
    EXPECT_EQ(schedule.next().at, 1215ms);
}

TEST(FrameSchedule, AtAChosenRateEachFrameIsABreakAMarkAndTheWrite) {
    FrameSchedule schedule({40, 200us}, 0ms);
    const Nanoseconds step = 5us; // what each step takes
    std::vector<Due> due = run(schedule, 101ms, 0ns, step);
    // From each frame's deadline: the break, 200 µs, the release, 12 µs, the
    // write; the 30 ms ticks (at 30, 60, 90 and 120 ms) go with the write of
    // the frame before them.
    const Nanoseconds release = step + 200us, write = release + step + 12us;
    EXPECT_EQ(due, (std::vector<Due>{
                       {25ms, kStepBreak},
                       {25ms + release, kStepRelease},
                       {25ms + write, kStepWrite | kStepServe},
                       {50ms, kStepBreak},
                       {50ms + release, kStepRelease},
                       {50ms + write, kStepWrite | kStepServe},
                       {75ms, kStepBreak},
                       {75ms + release, kStepRelease},
                       {75ms + write, kStepWrite | kStepServe},
                       {100ms, kStepBreak},
                       {100ms + release, kStepRelease},
                       {100ms + write, kStepWrite | kStepServe},
                   }));
    FrameSchedule spins({40, 200us}, 0ms);
    spins.done(25ms, 25ms);
    EXPECT_FALSE(spins.next().spin) << "a break is slept through";
    spins.done(25200us, 25200us);
    EXPECT_TRUE(spins.next().spin) << "a mark-after-break is waited for on the clock";
}

TEST(FrameSchedule, BelowThirtyFourFramesTheTicksBetweenFramesWakeOnTheirOwn) {
    FrameSchedule schedule({20, 200us}, 0ms);
    std::vector<Due> due = run(schedule, 101ms);
    EXPECT_EQ(due, (std::vector<Due>{
                       {30ms, kStepServe},
                       {50ms, kStepBreak},
                       {50200us, kStepRelease},
                       {50212us, kStepWrite | kStepServe}, // the tick of 60 ms
                       {90ms, kStepServe},
                       {100ms, kStepBreak},
                       {100200us, kStepRelease},
                       {100212us, kStepWrite | kStepServe}, // the tick of 120 ms
                   }));
}

TEST(FrameSchedule, ALateStepNeverShortensTheBreakOrTheMark) {
    FrameSchedule schedule({40, 150us}, 0ms);
    schedule.done(26ms, 26ms + 3us); // the break went on 1 ms late
    EXPECT_EQ(schedule.next().at, 26ms + 153us);
    schedule.done(26ms + 900us, 26ms + 904us); // the release woke late too
    DueSteps write = schedule.next();
    EXPECT_EQ(write.at, 26ms + 916us);
    EXPECT_EQ(write.steps, kStepWrite | kStepServe);
    schedule.done(26ms + 916us, 26ms + 920us);
    EXPECT_EQ(schedule.next(), (DueSteps{50ms, kStepBreak, false}))
        << "the next frame keeps its deadline";
}

TEST(FrameSchedule, AFrameALittleLateGoesOutAtOnce) {
    FrameSchedule schedule({40, 200us}, 0ms);
    schedule.done(25ms, 25ms);
    schedule.done(25200us, 25200us);
    // The write on time, the tick after it until past the next deadline (the
    // tick's time is not the line's: the schedule only learns when the thread
    // wakes next).
    schedule.done(25212us, 25215us);
    EXPECT_EQ(schedule.next(), (DueSteps{50ms, kStepBreak, false}));
}

TEST(FrameSchedule, ABreakNeverCutsTheFrameWrittenBeforeIt) {
    FrameSchedule schedule({44, 100us}, 0ms); // frames 22.73 ms apart
    const Nanoseconds first{22727273}, third{68181818};
    schedule.done(first, first);
    schedule.done(first + 100us, first + 100us);
    schedule.done(first + 3ms, first + 3ms); // the write, 2.9 ms late
    // 22.57 ms on the wire from 25.73 ms: the second break waits until 48.3 ms.
    Nanoseconds secondBreak = first + 3ms + kFrameWireTime;
    EXPECT_EQ(schedule.next(), (DueSteps{secondBreak, kStepBreak, false}));
    schedule.done(secondBreak, secondBreak);
    schedule.done(secondBreak + 100us, secondBreak + 100us);
    Nanoseconds write = schedule.next().at;
    schedule.done(write, write);
    // Written at 48.41 ms, on the wire until 70.98 ms: later than 68.18 ms.
    EXPECT_EQ(schedule.next(), (DueSteps{write + kFrameWireTime, kStepBreak, false}));
    EXPECT_GT(write + kFrameWireTime, third);
}

TEST(FrameSchedule, AfterAStallTheMissedFramesAreNotSentBackToBack) {
    FrameSchedule schedule({40, 200us}, 0ms);
    schedule.done(25ms, 25ms);
    schedule.done(25200us, 25200us);
    // The write and the tick of 30 ms come 300 ms late (a suspended machine).
    EXPECT_EQ(schedule.next().steps, kStepWrite | kStepServe);
    schedule.done(325ms, 325ms);
    EXPECT_EQ(schedule.next(), (DueSteps{350ms, kStepBreak, false}))
        << "frames go on from the next deadline of their grid";
    schedule.done(350ms, 350ms);
    schedule.done(350200us, 350200us);
    DueSteps write = schedule.next();
    EXPECT_EQ(write.steps, kStepWrite | kStepServe) << "the tick of 355 ms, afresh from 325 ms";
    schedule.done(write.at, write.at);
    schedule.done(375ms, 375ms);
    schedule.done(375200us, 375200us);
    EXPECT_EQ(schedule.next().steps, kStepWrite | kStepServe) << "the tick of 385 ms";
}

TEST(FrameSchedule, DeadlinesOfARateWithoutAWholePeriodDoNotDrift) {
    FrameSchedule schedule({44, 100us}, 0ms);
    Nanoseconds lastBreak{0};
    int breaks = 0;
    for (DueSteps due = schedule.next(); breaks < 44; due = schedule.next()) {
        if (due.steps & kStepBreak) {
            lastBreak = due.at;
            ++breaks;
        }
        schedule.done(due.at, due.at);
    }
    EXPECT_EQ(lastBreak, 1s);
}

} // namespace
} // namespace orvane
