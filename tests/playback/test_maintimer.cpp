// The playback clock against a manual clock: fades, the automatic advance, the
// fade trigger, the keyboard flash and the master ramps.

#include "console/consoletable.h"
#include "console/controlids.h"
#include "playback/maintimer.h"

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;

namespace {

struct TimerFixture : ::testing::Test {
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    InputState input;
    std::vector<Universe> published;
    bool shift = false;
    bool busy = false;
    std::vector<int> activated;
    std::unique_ptr<MainTimer> timer;

    void SetUp() override {
        populateConsole(controls);
        session.open("/nonexistent-root", "test");
        controls.on(ControlEvent::TextChanged, 1000, [this] {
            session.setCurrentStep(controls.textInt(1000));
            activated.push_back(session.currentStep());
            session.ShowCurrentStep(false);
        });
        MainTimerHooks h;
        h.publish = [this](const Universe& u) { published.push_back(u); };
        h.shiftDown = [this] { return shift; };
        h.random = [] { return 77u; };
        h.busy = [this] { return busy; };
        timer = std::make_unique<MainTimer>(session, input, h);
    }
    void saveStep(int step, int master, int level1, double fadet = 0) {
        StepRecord r;
        r.master = master;
        r.fader[0] = level1;
        r.fadet = fadet;
        session.store().SaveStep(step, r);
    }
    void tick(Milliseconds now) { timer->OnTimer(timers::kPlayback, now); }
    uint8_t channel(int n) const { return published.back()[size_t(n - 1)]; }
    // Ticks until the clock says it is idle; how many rounds that took (0: never
    // within limit).
    int roundsUntilIdle(Milliseconds& now, int limit = 40) {
        for (int round = 1; round <= limit; ++round) {
            tick(now += 20ms);
            if (timer->idle())
                return round;
        }
        return 0;
    }
};

} // namespace

TEST_F(TimerFixture, FadeSliderBlendsTheMasterTowardTheNextStep) {
    saveStep(0, 255, 255);
    saveStep(1, 0, 255);
    session.ShowCurrentStep(false);
    controls.setPos(1009, 128);
    tick(0ms);
    EXPECT_EQ(timer->live().master, 127);
    // Level 1 full on both sides, master 127: channel 1 = 255 x 127 / 255.
    EXPECT_EQ(channel(1), 127);
    size_t sent = published.size();
    tick(20ms);
    EXPECT_EQ(published.size(), sent); // nothing changed: nothing published
}

TEST_F(TimerFixture, AutomaticFadeRunsItsTimeThenAdvances) {
    saveStep(0, 255, 0, 2.0);
    saveStep(1, 255, 200);
    session.ShowCurrentStep(false);
    controls.setChecked(1083, true);
    timer->startFadeIn(1000ms);
    tick(2000ms);
    EXPECT_EQ(controls.pos(1009), 127);
    EXPECT_EQ(controls.pos(4078), 50);
    EXPECT_TRUE(activated.empty());
    tick(3000ms);
    EXPECT_FALSE(controls.checked(1083));
    EXPECT_EQ(controls.pos(1009), 255);
    EXPECT_EQ(activated, std::vector<int>{1});
}

TEST_F(TimerFixture, FadeEndGoesToTheGotoStepOrStaysWithShift) {
    for (bool held : {false, true}) {
        activated.clear();
        session.setCurrentStep(0);
        saveStep(0, 255, 0, 0.5);
        session.ShowCurrentStep(false);
        controls.setChecked(1088, true);
        controls.setText(1092, "7");
        shift = held;
        controls.setChecked(1083, true);
        timer->startFadeIn(0ms);
        tick(600ms);
        EXPECT_EQ(activated, held ? std::vector<int>{} : std::vector<int>{7}) << held;
    }
}

TEST_F(TimerFixture, MiddleButtonStartsOneFadeUntilReleased) {
    saveStep(0, 255, 0, 10.0);
    session.ShowCurrentStep(false);
    input.mouseDown(MouseButton::Middle);
    tick(0ms);
    EXPECT_TRUE(controls.checked(1083));
    controls.setChecked(1083, false); // the fade is stopped by hand
    tick(20ms);
    EXPECT_FALSE(controls.checked(1083)); // still held: no second fade
    input.mouseUp(MouseButton::Middle);
    tick(40ms);
    input.mouseDown(MouseButton::Middle);
    tick(60ms);
    EXPECT_TRUE(controls.checked(1083));
}

TEST_F(TimerFixture, CtrlLetterFlashesALevelFullOffOrRandom) {
    struct Case {
        int level;
        bool withShift;
        uint8_t expected;
    } cases[] = {{100, false, 255}, {200, false, 0}, {200, true, 77}};
    for (const Case& c : cases) {
        saveStep(0, 255, c.level);
        session.ShowCurrentStep(false);
        shift = c.withShift;
        input.keyDown(vk::kControl);
        input.keyDown('A');
        tick(0ms);
        EXPECT_EQ(channel(1), c.expected) << c.level << " " << c.withShift;
        input.keyUp('A');
        input.keyUp(vk::kControl);
        tick(20ms);
        EXPECT_EQ(channel(1), uint8_t(c.level));
    }
}

TEST_F(TimerFixture, OnlyLettersTypedWhileTheFlashIsOnFlash) {
    saveStep(0, 255, 100);
    session.ShowCurrentStep(false);
    // "A" typed into a text field, then Ctrl held later: the old tap is no flash.
    input.keyDown('A');
    input.keyUp('A');
    tick(0ms);
    input.keyDown(vk::kControl);
    tick(20ms);
    EXPECT_EQ(channel(1), 100);
    // A tap between two ticks while Ctrl is held still flashes.
    input.keyDown('A');
    input.keyUp('A');
    tick(40ms);
    EXPECT_EQ(channel(1), 255);
}

TEST_F(TimerFixture, MasterRampsMoveTheMasterOverTheirTime) {
    saveStep(0, 55, 0);
    session.ShowCurrentStep(false);
    controls.setText(1058, "2.00");
    controls.setChecked(1059, true);
    timer->startMasterRamp(true, 0ms);
    tick(1000ms);
    EXPECT_EQ(255 - controls.pos(1005), 155);
    EXPECT_EQ(controls.pos(1062), 50);
    tick(2000ms);
    EXPECT_EQ(255 - controls.pos(1005), 255);
    EXPECT_FALSE(controls.checked(1059));
    // Down with a time of 0 jumps at once, and unchecks the other ramp.
    controls.setChecked(1059, true);
    controls.setText(1060, "0");
    controls.setChecked(1061, true);
    timer->startMasterRamp(false, 3000ms);
    EXPECT_FALSE(controls.checked(1059));
    tick(3000ms);
    EXPECT_EQ(255 - controls.pos(1005), 0);
    EXPECT_FALSE(controls.checked(1061));
}

TEST_F(TimerFixture, NumericPadStepsAndStopsAtTheEnds) {
    session.ShowCurrentStep(false);
    controls.setText(1000, "498");
    activated.clear();
    for (int i = 0; i < 3; ++i) {
        input.keyDown(vk::kPadPlus);
        input.keyUp(vk::kPadPlus);
        tick(i * 20ms);
    }
    EXPECT_EQ(activated, (std::vector<int>{499}));
    controls.setText(1000, "0");
    activated.clear();
    input.keyDown(vk::kPadMinus);
    tick(100ms);
    EXPECT_EQ(activated, (std::vector<int>{0}));
}

TEST_F(TimerFixture, IdleOnlyAfterQuietRoundsWhileNothingRunsOrIsHeld) {
    saveStep(0, 255, 100);
    session.ShowCurrentStep(false);
    Milliseconds now = 0ms;
    EXPECT_EQ(roundsUntilIdle(now), MainTimer::kQuietRounds + 1) << "the first round publishes";

    // A control moved between two rounds (a window, a handler): awake at once,
    // and the change reaches the wire before the clock rests.
    uint8_t before = channel(1);
    controls.setPos(console::kMaster, 128);
    EXPECT_FALSE(timer->idle());
    EXPECT_GT(roundsUntilIdle(now), MainTimer::kQuietRounds);
    EXPECT_NE(channel(1), before);

    // Each of these keeps the clock awake at once, and the rounds after it end
    // must be quiet again before it rests.
    struct Case {
        const char* what;
        std::function<void(bool)> set;
    } cases[] = {
        {"fade in", [this](bool on) { controls.setChecked(console::kFadeIn, on); }},
        {"ramp up", [this](bool on) { controls.setChecked(console::kRampUp, on); }},
        {"ramp down", [this](bool on) { controls.setChecked(console::kRampDown, on); }},
        {"key held", [this](bool on) { on ? input.keyDown('A') : input.keyUp('A'); }},
        {"button held",
         [this](bool on) {
             on ? input.mouseDown(MouseButton::Left) : input.mouseUp(MouseButton::Left);
         }},
        {"something else moves", [this](bool on) { busy = on; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.set(true);
        EXPECT_FALSE(timer->idle());
        tick(now += 20ms);
        EXPECT_FALSE(timer->idle());
        c.set(false);
        // (The fade and the ramps have run to their ends meanwhile.)
        EXPECT_GE(roundsUntilIdle(now), 1);
    }
}

TEST_F(TimerFixture, APulsedFanBetweenOffAndFullNeverLetsTheClockRest) {
    StepRecord r;
    r.master = 255;
    r.pair[14].first = 128; // F1, on for half of the counter's phases
    session.store().SaveStep(0, r);
    session.ShowCurrentStep(false);
    Milliseconds now = 0ms;
    EXPECT_EQ(roundsUntilIdle(now, 100), 0);
    r.pair[14].first = 255; // full: always on
    session.store().SaveStep(0, r);
    session.ShowCurrentStep(false);
    EXPECT_GT(roundsUntilIdle(now, 100), 0);
}
