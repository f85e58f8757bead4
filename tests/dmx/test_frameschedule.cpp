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
    std::vector<Due> due = run(schedule, 61ms, 0ns, step);
    const Nanoseconds mark = 200us + step + 12us; // from the break's deadline
    EXPECT_EQ(due, (std::vector<Due>{
                       {25ms, kStepBreak},
                       {25ms + step + 200us, kStepRelease},
                       {25ms + step + mark, kStepWrite},
                       {30ms, kStepServe},
                       {50ms, kStepBreak},
                       {50ms + step + 200us, kStepRelease},
                       {50ms + step + mark, kStepWrite},
                       {60ms, kStepServe},
                   }));
    FrameSchedule spins({40, 200us}, 0ms);
    spins.done(25ms, 25ms);
    EXPECT_FALSE(spins.next().spin) << "a break is slept through";
    spins.done(25200us, 25200us);
    EXPECT_TRUE(spins.next().spin) << "a mark-after-break is waited for on the clock";
}

TEST(FrameSchedule, ALateStepNeverShortensTheBreakOrTheMark) {
    FrameSchedule schedule({40, 150us}, 0ms);
    schedule.done(27ms, 27ms + 3us); // the break went on 2 ms late
    EXPECT_EQ(schedule.next().at, 27ms + 153us);
    schedule.done(27ms + 900us, 27ms + 904us); // the release woke late too
    DueSteps write = schedule.next();
    EXPECT_EQ(write.at, 27ms + 916us);
    EXPECT_EQ(write.steps, kStepWrite);
    // The 30 ms tick fell due meanwhile: it runs right after the write.
    schedule.done(27ms + 916us, 28ms);
    EXPECT_EQ(schedule.next().at, 30ms);
    EXPECT_EQ(schedule.next().steps, kStepServe);
    schedule.done(30ms, 30ms);
    EXPECT_EQ(schedule.next().at, 50ms) << "the next frame keeps its deadline";
}

TEST(FrameSchedule, TheTickDueInsideABreakWaitsForTheWrite) {
    // Frames every 29.4 ms with a 1 ms break: the tick of 30 ms falls inside
    // the first frame's break.
    FrameSchedule schedule({34, 1000us}, 0ms);
    const Nanoseconds first{29411765}, second{58823529};
    EXPECT_EQ(schedule.next(), (DueSteps{first, kStepBreak, false}));
    schedule.done(first, first);
    EXPECT_EQ(schedule.next(), (DueSteps{first + 1ms, kStepRelease, false}));
    schedule.done(first + 1ms, first + 1ms);
    EXPECT_EQ(schedule.next(), (DueSteps{first + 1012us, kStepWrite | kStepServe, true}));
    schedule.done(first + 1012us, first + 1040us);
    EXPECT_EQ(schedule.next(), (DueSteps{second, kStepBreak, false}));
    schedule.done(second, second);
    schedule.done(second + 1ms, second + 1ms);
    EXPECT_EQ(schedule.next(), (DueSteps{second + 1012us, kStepWrite, true}));
    schedule.done(second + 1012us, second + 1012us);
    EXPECT_EQ(schedule.next(), (DueSteps{60ms, kStepServe, false}))
        << "the tick keeps its own 30 ms grid";
}

TEST(FrameSchedule, AfterAStallTheMissedFramesAreNotSentBackToBack) {
    FrameSchedule schedule({40, 200us}, 0ms);
    schedule.done(25ms, 25ms);
    schedule.done(25200us, 25200us);
    schedule.done(325ms, 325ms); // the write comes 300 ms late (a suspended machine)
    EXPECT_EQ(schedule.next(), (DueSteps{30ms, kStepServe, false})) << "the tick, overdue";
    schedule.done(325ms, 325ms);
    EXPECT_EQ(schedule.next(), (DueSteps{350ms, kStepBreak, false}))
        << "frames go on from the next deadline of their grid";
    schedule.done(350ms, 350ms);
    schedule.done(350200us, 350200us);
    schedule.done(350212us, 350212us);
    EXPECT_EQ(schedule.next(), (DueSteps{355ms, kStepServe, false}))
        << "the tick, afresh from when it ran late";

    FrameSchedule aLittleLate({40, 200us}, 0ms);
    aLittleLate.done(25ms, 25ms);
    aLittleLate.done(25200us, 25200us);
    aLittleLate.done(25212us, 51ms); // a write that took until past the next deadline
    aLittleLate.done(51ms, 51ms);    // the tick
    EXPECT_EQ(aLittleLate.next(), (DueSteps{50ms, kStepBreak, false})) << "it goes out at once";
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
