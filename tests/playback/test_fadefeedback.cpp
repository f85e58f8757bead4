// What the operator is told while a fade runs, read from the console's
// controls and the show, and the presses a running fade does not act on.

#include "console/consoletable.h"
#include "console/controlids.h"
#include "playback/consolehandlers.h"
#include "playback/fadefeedback.h"
#include "playback/maintimer.h"
#include "support/manualclock.h"
#include "support/scriptedprompts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace orvane;

namespace {

struct FadeFeedbackFixture : ::testing::Test {
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    InputState input;
    test::ScriptedPrompts prompts;
    test::ManualClock clock;
    std::unique_ptr<MainTimer> timer;
    std::unique_ptr<ConsoleHandlers> handlers;
    int acknowledged = 0;

    void SetUp() override {
        populateConsole(controls);
        session.open("/nonexistent-root", "test");
        timer = std::make_unique<MainTimer>(session, input, MainTimerHooks{});
        handlers =
            std::make_unique<ConsoleHandlers>(session, *timer, prompts, clock, ConsoleHooks{});
        handlers->bind();
        timer->fadeFeedback().onPressIgnored([this] { ++acknowledged; });
    }
    void name(int step, const std::string& caption) {
        StepRecord r;
        r.master = 255;
        r.fadet = 10;
        r.name = caption;
        session.store().SaveStep(step, r);
    }
    FadeStatus status() { return timer->fadeFeedback().status(); }
};

TEST_F(FadeFeedbackFixture, TheStatusNamesTheStepTheFadeLeadsTo) {
    name(5, "Blue wash");
    name(8, "Finale\\nall on");
    name(kStepCount - 1, "");
    struct Row {
        const char* what;
        bool fading;
        int step;
        bool gotoTicked;
        int gotoStep;
        int progress;
        std::string text;
        int percent;
    } rows[] = {
        {"no fade", false, 4, false, 0, 40, "", 0},
        {"the next step", true, 4, false, 0, 40, "fading to 5 Blue wash", 40},
        {"the goto step, lines joined", true, 4, true, 8, 75, "fading to 8 Finale all on", 75},
        {"a step without a caption", true, 6, false, 0, 0, "fading to 7", 0},
        {"past the last step", true, kStepCount - 1, false, 0, 10, "fading to the end of the show",
         10},
        {"a goto out of range", true, 3, true, 900, 10, "fading to the end of the show", 10},
    };
    for (const Row& r : rows) {
        controls.setText(console::kStepNumber, std::to_string(r.step));
        controls.setChecked(console::kGoto, r.gotoTicked);
        controls.setText(console::kGotoStep, std::to_string(r.gotoStep));
        controls.setPos(console::kFadeProgress, r.progress);
        controls.setChecked(console::kFadeIn, r.fading);
        const FadeStatus s = status();
        EXPECT_EQ(fadeStatusText(s), r.text) << r.what;
        EXPECT_EQ(s.text, r.text) << r.what << ": the text the windows show";
        EXPECT_EQ(s.percent, r.percent) << r.what;
    }
}

TEST_F(FadeFeedbackFixture, AnEditOfTheTargetStepIsShownDuringTheFade) {
    name(5, "Blue wash");
    controls.setText(console::kStepNumber, "4");
    controls.setChecked(console::kFadeIn, true);
    EXPECT_EQ(status().caption, "Blue wash");
    name(5, "Red wash");
    EXPECT_EQ(status().caption, "Red wash");
    EXPECT_EQ(status().text, "fading to 5 Red wash");
}

// A second Fade in, by its hot key or the middle mouse button, leaves the
// running fade as it is and is acknowledged once per press; the first press is not.
TEST_F(FadeFeedbackFixture, ASecondFadeInIsAcknowledgedNotDropped) {
    name(0, "Start");
    name(1, "Next");
    session.ShowCurrentStep(false);
    handlers->fadeInHotKey();
    EXPECT_TRUE(controls.checked(console::kFadeIn));
    EXPECT_EQ(acknowledged, 0);
    handlers->fadeInHotKey();
    EXPECT_EQ(acknowledged, 1);
    EXPECT_TRUE(controls.checked(console::kFadeIn)) << "the fade runs on";

    input.mouseDown(MouseButton::Middle);
    timer->OnTimer(timers::kPlayback, 20ms);
    EXPECT_EQ(acknowledged, 2);
    timer->OnTimer(timers::kPlayback, 40ms); // held, not pressed again
    EXPECT_EQ(acknowledged, 2);
    EXPECT_EQ(timer->fadeFeedback().ignoredPresses(), 2u);
}

} // namespace
