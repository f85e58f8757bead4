// Remote commands against the main window's control table, the console's real
// handlers and playback clock, and the real show time panel: every rule the
// operator meets holds for a remote.

#include "console/console.h"
#include "console/consoletable.h"
#include "console/controlids.h"
#include "panels/remoteexecutor.h"
#include "panels/showtimepanel.h"
#include "playback/consolehandlers.h"
#include "show/language.h"
#include "support/manualclock.h"
#include "support/scriptedprompts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace orvane;

namespace {

// The console, its handlers and clock, the show time panel and the executor.
struct Rig {
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    InputState input;
    test::ScriptedPrompts prompts;
    test::ManualClock clock{std::chrono::milliseconds(10000)};
    std::vector<int> steps; // every write of the step field
    std::vector<std::string> calls;
    bool blackout = false; // the output's flag, toggled by clicks of 1308
    bool panelExists = true;
    std::unique_ptr<MainTimer> timer;
    std::unique_ptr<ConsoleHandlers> handlers;
    std::unique_ptr<ShowTimePanel> panel;
    std::unique_ptr<RemoteExecutor> executor;

    Rig() {
        populateConsole(controls);
        session.open("/nonexistent-root", "test");
        StepRecord r;
        r.fadet = 1.0;
        session.store().SaveStep(0, r);
        session.ShowCurrentStep(false);
        timer = std::make_unique<MainTimer>(session, input, MainTimerHooks{});
        handlers =
            std::make_unique<ConsoleHandlers>(session, *timer, prompts, clock, ConsoleHooks{});
        handlers->bind();
        controls.on(ControlEvent::TextChanged, console::kStepNumber,
                    [this] { steps.push_back(controls.textInt(console::kStepNumber)); });
        controls.on(ControlEvent::Clicked, console::kStop, [this] { calls.push_back("stop"); });
        controls.on(ControlEvent::Clicked, console::kPause, [this] {
            calls.push_back(controls.checked(console::kPause) ? "pause on" : "pause off");
        });
        controls.on(ControlEvent::Clicked, console::kAllDmxToZero,
                    [this] { blackout = !blackout; });
        ShowTimeHooks h;
        h.skipAutomationOnce = [this] { calls.push_back("skip"); };
        h.focusNextStep = [this] { calls.push_back("focus"); };
        panel = std::make_unique<ShowTimePanel>(controls, session.store(), input, clock, h);
        panel->init();
        RemoteExecutorHooks e;
        e.fadeInKey = [this] { handlers->fadeInHotKey(); };
        e.showTime = [this] { return panelExists ? panel.get() : nullptr; };
        e.blackoutOn = [this] { return blackout; };
        executor = std::make_unique<RemoteExecutor>(controls, e);
        controls.setText(console::kStepNumber, "5");
        steps.clear();
        clock.advance(std::chrono::milliseconds(1000));
    }
    Rig(const Rig&) = delete;

    std::optional<std::string> run(RemoteVerb verb, int index = 0, float value = 0) {
        return executor->execute({verb, index, value});
    }
    void tick() { timer->OnTimer(timers::kPlayback, clock.nowMs()); }
    void openPanel() {
        panel->open(controls.pos(console::kMasterVolumeLeft),
                    controls.pos(console::kMasterVolumeRight));
        calls.clear();
    }
};

struct ExecutorFixture : ::testing::Test, Rig {};

TEST_F(ExecutorFixture, GoStartsTheFadeAsAltSpaceAndLeavesARunningOneAlone) {
    EXPECT_EQ(run(RemoteVerb::Go), std::nullopt);
    EXPECT_TRUE(controls.checked(console::kFadeIn));
    clock.advance(std::chrono::milliseconds(500));
    tick();
    EXPECT_EQ(controls.pos(console::kFade), 127);
    // A second go restarts nothing: the fade goes on from where it started.
    EXPECT_NE(run(RemoteVerb::Go), std::nullopt);
    clock.advance(std::chrono::milliseconds(250));
    tick();
    EXPECT_EQ(controls.pos(console::kFade), 255 * 750 / 1000);
    EXPECT_TRUE(steps.empty());
}

TEST_F(ExecutorFixture, GoDoesNothingWhileManualModeDisablesFadeIn) {
    controls.setEnabled(console::kFadeIn, false);
    EXPECT_NE(run(RemoteVerb::Go), std::nullopt);
    EXPECT_FALSE(controls.checked(console::kFadeIn));
}

TEST_F(ExecutorFixture, WithTheShowTimePanelOpenGoIsItsNextStepWithThe500MsRule) {
    openPanel();
    // Every start of the fade puts its progress bar back to 0.
    auto goStartsTheFade = [&] {
        controls.setPos(console::kFadeProgress, 50);
        bool acted = !run(RemoteVerb::Go);
        EXPECT_EQ(acted, controls.pos(console::kFadeProgress) == 0);
        return acted;
    };
    EXPECT_TRUE(goStartsTheFade());
    clock.advance(std::chrono::milliseconds(499));
    EXPECT_FALSE(goStartsTheFade()) << "within 500 ms of the last Next step";
    clock.advance(std::chrono::milliseconds(1));
    // The panel's Next step presses Fade in even while a fade runs.
    EXPECT_TRUE(goStartsTheFade());
    EXPECT_TRUE(controls.checked(console::kFadeIn));
}

TEST_F(ExecutorFixture, BackAndStep) {
    struct Case {
        const char* name;
        bool panelOpen;
        const char* startStep;
        RemoteCommand command;
        std::vector<int> written;
        bool acted;
    };
    const Case cases[] = {
        {"back, as the keypad's minus", false, "5", {RemoteVerb::Back}, {4}, true},
        {"back at step 0", false, "0", {RemoteVerb::Back}, {}, false},
        {"back in show time: Page Up", true, "5", {RemoteVerb::Back}, {4}, true},
        {"back in show time at step 0", true, "0", {RemoteVerb::Back}, {}, false},
        {"step, as typed", false, "5", {RemoteVerb::Step, 12}, {12}, true},
        {"step in show time", true, "5", {RemoteVerb::Step, 499}, {499}, true},
        {"step out of range", false, "5", {RemoteVerb::Step, 500}, {}, false},
        {"negative step", false, "5", {RemoteVerb::Step, -1}, {}, false},
    };
    for (const Case& c : cases) {
        Rig r;
        if (c.panelOpen)
            r.openPanel();
        r.controls.setText(console::kStepNumber, c.startStep);
        r.steps.clear();
        r.calls.clear();
        std::optional<std::string> why = r.executor->execute(c.command);
        EXPECT_EQ(!why, c.acted) << c.name << ": " << why.value_or("");
        EXPECT_EQ(r.steps, c.written) << c.name;
        // Only the panel's step back leaves the step's automation alone.
        bool skipped = std::find(r.calls.begin(), r.calls.end(), "skip") != r.calls.end();
        EXPECT_EQ(skipped, c.panelOpen && c.acted && c.command.verb == RemoteVerb::Back) << c.name;
    }
}

TEST_F(ExecutorFixture, BackInShowTimeKeepsThePanels200MsRule) {
    openPanel();
    EXPECT_EQ(run(RemoteVerb::Back), std::nullopt);
    clock.advance(std::chrono::milliseconds(199));
    EXPECT_NE(run(RemoteVerb::Back), std::nullopt);
    clock.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(run(RemoteVerb::Back), std::nullopt);
    EXPECT_EQ(steps, (std::vector<int>{4, 3}));
}

TEST_F(ExecutorFixture, StopAndPausePressTheSoundButtonsOnlyWhileEnabled) {
    controls.setEnabled(console::kPause, false);
    EXPECT_NE(run(RemoteVerb::Pause), std::nullopt);
    EXPECT_EQ(run(RemoteVerb::Stop), std::nullopt);
    controls.setEnabled(console::kPause, true);
    EXPECT_EQ(run(RemoteVerb::Pause), std::nullopt);
    EXPECT_EQ(run(RemoteVerb::Pause), std::nullopt);
    EXPECT_EQ(calls, (std::vector<std::string>{"stop", "pause on", "pause off"}));
    // In show time they are the panel's buttons, which hand the focus back.
    openPanel();
    EXPECT_EQ(run(RemoteVerb::Stop), std::nullopt);
    EXPECT_EQ(run(RemoteVerb::Pause), std::nullopt);
    EXPECT_EQ(calls, (std::vector<std::string>{"stop", "focus", "pause on", "focus"}));
}

TEST_F(ExecutorFixture, LevelsMoveTheFadersAsAHandDoes) {
    struct Case {
        const char* name;
        RemoteCommand command;
        int control;
        int pos;
    };
    const Case cases[] = {
        {"master full", {RemoteVerb::Master, 0, 1.0f}, console::kMaster, 0},
        {"master off", {RemoteVerb::Master, 0, 0.0f}, console::kMaster, 255},
        {"master from an int 128", {RemoteVerb::Master, 0, 128 / 255.0f}, console::kMaster, 127},
        {"fader 1 half", {RemoteVerb::Fader, 1, 0.5f}, console::kFaders[0], 127},
        {"fader 24", {RemoteVerb::Fader, 24, 1.0f}, 1056, 0},
        {"volume 1 full", {RemoteVerb::Volume, 1, 1.0f}, console::kMasterVolumeLeft, 0},
        {"volume 2 a quarter", {RemoteVerb::Volume, 2, 0.25f}, console::kMasterVolumeRight, 7500},
    };
    for (const Case& c : cases) {
        Rig r;
        int scrolled = 0;
        r.controls.on(ControlEvent::Scrolled, c.control, [&] { ++scrolled; });
        EXPECT_EQ(r.executor->execute(c.command), std::nullopt) << c.name;
        EXPECT_EQ(r.controls.pos(c.control), c.pos) << c.name;
        EXPECT_EQ(scrolled, 1) << c.name << ": moved as the operator moves it";
    }
    EXPECT_NE(run(RemoteVerb::Fader, 25, 1.0f), std::nullopt);
    EXPECT_NE(run(RemoteVerb::Volume, 3, 1.0f), std::nullopt);
}

TEST_F(ExecutorFixture, InShowTimeTheVolumeMovesThePanelsLockedPairAndTheMainFollows) {
    controls.setChecked(console::kVolumeLocked, true); // as the start-up leaves it
    controls.setPos(console::kMasterVolumeLeft, 4000);
    controls.setPos(console::kMasterVolumeRight, 4000);
    openPanel();
    ASSERT_TRUE(panel->controls().checked(showtime::kLocked));
    EXPECT_EQ(run(RemoteVerb::Volume, 2, 0.5f), std::nullopt);
    for (int id : {showtime::kVolumeLeft, showtime::kVolumeRight}) {
        EXPECT_EQ(panel->controls().pos(id), 5000) << id;
        EXPECT_EQ(controls.pos(id), 5000) << id;
    }
}

TEST_F(ExecutorFixture, BlackoutClicksTheSwitchOnlyWhenItsFlagDiffers) {
    int clicks = 0;
    controls.on(ControlEvent::Clicked, console::kAllDmxToZero, [&] {
        blackout = !blackout;
        ++clicks;
    });
    for (int on : {1, 1, 0, 0, 1}) {
        EXPECT_EQ(run(RemoteVerb::Blackout, on), std::nullopt);
        EXPECT_EQ(blackout, on == 1);
    }
    EXPECT_EQ(clicks, 3);
}

TEST_F(ExecutorFixture, DrainActsOnAFewCommandsARoundAndOnlyOnTheLastOfAFadersValues) {
    RemoteCommandRing ring;
    for (int i = 0; i <= 100; ++i)
        ring.push({RemoteVerb::Master, 0, float(i) / 100});
    ring.push({RemoteVerb::Step, 7});
    int masterMoves = 0;
    controls.on(ControlEvent::Scrolled, console::kMaster, [&] { ++masterMoves; });
    EXPECT_EQ(executor->drain(ring, 8), 2);
    EXPECT_EQ(masterMoves, 1);
    EXPECT_EQ(controls.pos(console::kMaster), 0);
    EXPECT_EQ(steps, (std::vector<int>{7}));

    for (int step = 0; step < 20; ++step)
        ring.push({RemoteVerb::Step, step});
    std::vector<std::string> ignored;
    EXPECT_EQ(executor->drain(ring, 8), 8);
    EXPECT_FALSE(ring.empty()) << "the rest waits for the next rounds";
    ring.push({RemoteVerb::Fader, 30, 1.0f});
    while (!ring.empty())
        executor->drain(ring, 8, [&](const RemoteCommand& c, const std::string& why) {
            ignored.push_back(describe(c) + ": " + why);
        });
    EXPECT_EQ(steps.size(), 21u);
    EXPECT_EQ(steps.back(), 19);
    EXPECT_EQ(ignored, (std::vector<std::string>{"fader 30 1.00: there is no level fader 30"}));
}

// Why a command did nothing goes to the operator's log: in French when the
// operator reads French (needs the French translation compiled in).
TEST_F(ExecutorFixture, WhyACommandDidNothingIsSaidInTheOperatorsLanguage) {
    ASSERT_TRUE(useLanguage(Language::French));
    controls.setEnabled(console::kAllDmxToZero, false);
    struct Case {
        RemoteCommand command;
        const char* why;
    } cases[] = {
        {{RemoteVerb::Step, 600}, "le pas 600 n'est pas dans 0-499"},
        {{RemoteVerb::Fader, 40, 0.5f}, "il n'y a pas de fader de niveau 40"},
        {{RemoteVerb::Volume, 3, 0.5f}, "il n'y a pas de volume master 3"},
        {{RemoteVerb::Blackout, 1}, "\"Tout DMX \xC3\xA0 0\" est d\xC3\xA9sactiv\xC3\xA9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(executor->execute(c.command), std::optional<std::string>(c.why))
            << describe(c.command);
    useLanguage(Language::English);
    EXPECT_EQ(run(RemoteVerb::Step, 600), std::optional<std::string>("step 600 is not in 0-499"));
}

} // namespace
