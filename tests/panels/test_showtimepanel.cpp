// The show time window's logic against the main window's control table: the
// 500 ms rule of "Next step", the held keys of the 10 ms tick, the mirrored
// volume sliders and what the panel says of the show.

#include "console/consoletable.h"
#include "console/controlids.h"
#include "panels/showtimepanel.h"

#include "support/manualclock.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace orvane;

namespace {

constexpr uint16_t kEscape = 0x1B;

struct PanelFixture : ::testing::Test {
    ProfileFiles profiles;
    ShowStore store{profiles};
    ControlModel main;
    InputState input;
    test::ManualClock clock{100000ms};
    int fadeIns = 0;
    int ignored = 0;        // presses inside the guard, acknowledged
    std::vector<int> steps; // every write of the main step field
    std::vector<std::string> calls;
    std::unique_ptr<ShowTimePanel> panel;

    void SetUp() override {
        populateConsole(main);
        main.setText(console::kStepNumber, "5");
        main.setChecked(console::kVolumeLocked, true); // as the start-up leaves it
        main.on(ControlEvent::Clicked, console::kFadeIn, [this] {
            EXPECT_TRUE(main.checked(console::kFadeIn)) << "pressed before its handler runs";
            ++fadeIns;
        });
        main.on(ControlEvent::TextChanged, console::kStepNumber,
                [this] { steps.push_back(main.textInt(console::kStepNumber)); });
        main.on(ControlEvent::Clicked, console::kStop, [this] { calls.push_back("stop"); });
        main.on(ControlEvent::Clicked, console::kPause, [this] { calls.push_back("pause"); });
        ShowTimeHooks h;
        h.show = [this] { calls.push_back("show"); };
        h.hide = [this] { calls.push_back("hide"); };
        h.lockMain = [this] { calls.push_back("lock"); };
        h.unlockMain = [this] { calls.push_back("unlock"); };
        h.focusNextStep = [this] { calls.push_back("focus"); };
        h.skipAutomationOnce = [this] { calls.push_back("skip"); };
        h.pressIgnored = [this] { ++ignored; };
        panel = std::make_unique<ShowTimePanel>(main, store, input, clock, h);
        panel->init();
        clock.advance(1000ms);
    }

    ControlModel& st() { return panel->controls(); }

    // "Show Time !" hands over the main window's master volumes.
    void open(int left = 3000, int right = 3000) {
        main.setPos(console::kMasterVolumeLeft, left);
        main.setPos(console::kMasterVolumeRight, right);
        panel->open(left, right);
        calls.clear();
    }

    // Holds the keys down for `ms`, ticking every 10 ms, then lets them go.
    void hold(std::initializer_list<uint16_t> keys, int ms) {
        for (uint16_t k : keys)
            input.keyDown(k);
        for (int t = 0; t < ms; t += 10) {
            clock.advance(10ms);
            panel->tick();
        }
        for (uint16_t k : keys)
            input.keyUp(k);
    }
};

TEST_F(PanelFixture, NextStepKeysPressFadeInOnceEvery500Ms) {
    open();
    for (uint16_t key : {vk::kPageDown, kEscape}) {
        fadeIns = 0;
        clock.advance(1000ms);
        hold({key}, 2000); // presses at 10, 510, 1010, 1510 ms
        EXPECT_EQ(fadeIns, 4) << key;
        EXPECT_EQ(ignored, 0) << "a held key's repeats are no presses";
    }
    // The button follows the same rule as the keys.
    fadeIns = 0;
    clock.advance(1000ms);
    st().click(showtime::kNextStep);
    clock.advance(499ms);
    st().click(showtime::kNextStep);
    EXPECT_EQ(fadeIns, 1);
    clock.advance(1ms);
    st().click(showtime::kNextStep);
    st().click(showtime::kNextStep);
    EXPECT_EQ(fadeIns, 2);
    EXPECT_EQ(ignored, 2) << "each press inside the guard is acknowledged";
}

// While a fade runs the panel says where it leads and how far it has come.
TEST_F(PanelFixture, ARunningFadeShowsItsTargetAndProgress) {
    StepRecord r;
    r.name = "Finale";
    store.SaveStep(6, r);
    open();
    panel->tick();
    EXPECT_EQ(st().text(showtime::kFadeLine), "");
    EXPECT_EQ(st().pos(showtime::kFadeBar), 0);
    main.setChecked(console::kFadeIn, true);
    main.setPos(console::kFadeProgress, 30);
    panel->tick();
    EXPECT_EQ(st().text(showtime::kFadeLine), "fading to 6 Finale");
    EXPECT_EQ(st().pos(showtime::kFadeBar), 30);
    main.setChecked(console::kFadeIn, false);
    panel->tick();
    EXPECT_EQ(st().text(showtime::kFadeLine), "");
    EXPECT_EQ(st().pos(showtime::kFadeBar), 0);
}

TEST_F(PanelFixture, PageUpStepsBackEvery200MsAndStopsAtZero) {
    main.setText(console::kStepNumber, "3");
    steps.clear();
    open();
    hold({vk::kPageUp}, 1500);
    EXPECT_EQ(steps, (std::vector<int>{2, 1, 0}));
    // Each step back asks activation to leave the step's automation alone.
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "skip"), 3);
    EXPECT_EQ(fadeIns, 0);
}

TEST_F(PanelFixture, ShiftPageKeysMoveBothLockedFadersAndTheMainOnesFollow) {
    open(4000, 4000);
    ASSERT_TRUE(st().checked(showtime::kLocked));
    hold({vk::kShift, vk::kPageDown}, 100); // ten ticks, 20 each, quieter
    for (int id : {showtime::kVolumeLeft, showtime::kVolumeRight}) {
        EXPECT_EQ(st().pos(id), 4200) << id;
        EXPECT_EQ(main.pos(id), 4200) << id;
    }
    EXPECT_EQ(fadeIns, 0) << "Shift turns Page Down into a volume key";
    hold({vk::kShift, vk::kPageUp}, 50);
    EXPECT_EQ(main.pos(console::kMasterVolumeRight), 4100);
    EXPECT_TRUE(steps.empty());
    // At the ends the sliders stop at their range.
    hold({vk::kShift, vk::kPageUp}, 3000);
    EXPECT_EQ(main.pos(console::kMasterVolumeLeft), 0);
}

TEST_F(PanelFixture, UnlockedFadersMoveAlone) {
    open(4000, 6000);
    st().click(showtime::kLocked);
    EXPECT_FALSE(main.checked(console::kVolumeLocked)) << "the click goes to the main window";
    hold({vk::kShift, vk::kPageUp}, 30);
    EXPECT_EQ(main.pos(console::kMasterVolumeLeft), 3940);
    EXPECT_EQ(main.pos(console::kMasterVolumeRight), 6000);
    // An operator's move of the right slider reaches the main window too.
    st().scroll(showtime::kVolumeRight, 7000);
    EXPECT_EQ(main.pos(console::kMasterVolumeRight), 7000);
    EXPECT_EQ(main.pos(console::kMasterVolumeLeft), 3940);
}

TEST_F(PanelFixture, DeleteMutesBothEvenUnlocked) {
    open(1000, 2000);
    st().click(showtime::kLocked);
    ASSERT_FALSE(st().checked(showtime::kLocked));
    hold({vk::kDelete}, 10);
    for (int id : {console::kMasterVolumeLeft, console::kMasterVolumeRight}) {
        EXPECT_EQ(main.pos(id), showtime::kVolumeTop);
        EXPECT_EQ(st().pos(id), showtime::kVolumeTop);
    }
}

TEST_F(PanelFixture, OpeningCopiesBothVolumesAsTheyAre) {
    main.setPos(console::kMasterVolumeLeft, 1234);
    main.setPos(console::kMasterVolumeRight, 5678);
    panel->open(1234, 5678);
    EXPECT_EQ(st().pos(showtime::kVolumeLeft), 1234);
    EXPECT_EQ(st().pos(showtime::kVolumeRight), 5678);
    EXPECT_EQ(main.pos(console::kMasterVolumeRight), 5678);
    EXPECT_EQ(calls, (std::vector<std::string>{"lock", "show", "focus"}));
    panel->close();
    EXPECT_EQ(calls.back(), "unlock");
    EXPECT_FALSE(panel->isOpen());
}

TEST_F(PanelFixture, KeysDoNothingWhileHidden) {
    hold({vk::kPageDown, vk::kPageUp, vk::kDelete, kEscape}, 1000);
    EXPECT_EQ(fadeIns, 0);
    EXPECT_TRUE(steps.empty());
    EXPECT_NE(main.pos(console::kMasterVolumeLeft), showtime::kVolumeTop);
    // A tap made while hidden is not taken for one made after opening.
    input.keyDown(vk::kPageDown);
    input.keyUp(vk::kPageDown);
    open();
    clock.advance(10ms);
    panel->tick();
    EXPECT_EQ(fadeIns, 0);
    // A tap between two ticks counts once.
    input.keyDown(vk::kPageDown);
    input.keyUp(vk::kPageDown);
    clock.advance(10ms);
    panel->tick();
    EXPECT_EQ(fadeIns, 1);
}

TEST_F(PanelFixture, StopAndPauseGoThroughTheMainWindowAndFocusReturns) {
    open();
    st().click(showtime::kStop);
    st().click(showtime::kPause);
    EXPECT_EQ(calls, (std::vector<std::string>{"stop", "focus", "pause", "focus"}));
    EXPECT_TRUE(main.checked(console::kPause)) << "the main window's Pause toggles";
    calls.clear();
    main.setEnabled(console::kPause, false);
    st().click(showtime::kPause);
    EXPECT_EQ(calls, (std::vector<std::string>{"focus"}));
    EXPECT_TRUE(main.checked(console::kPause));
    st().click(showtime::kClose);
    EXPECT_EQ(calls.back(), "unlock");
}

TEST_F(PanelFixture, ShowsTheStepItsCaptionAndWhatComesNext) {
    StepRecord r;
    r.name = "Finale\\nconfetti";
    store.SaveStep(6, r);
    r.name = "Encore";
    store.SaveStep(9, r);
    main.setText(console::kStepName, "Opening\r\nwash");
    open();
    EXPECT_EQ(st().text(showtime::kStepShown), "5");
    EXPECT_EQ(st().text(showtime::kCaption), "Opening\nwash");
    EXPECT_EQ(st().text(showtime::kNextCaption), "Next: 6  Finale\nconfetti");
    // "after fade goto" decides the next step.
    main.setChecked(console::kGoto, true);
    main.setText(console::kGotoStep, "9");
    panel->tick();
    EXPECT_EQ(st().text(showtime::kNextCaption), "Next: 9  Encore");
    // An edit of the next step shows at once.
    r.name = "Encore twice";
    store.SaveStep(9, r);
    panel->tick();
    EXPECT_EQ(st().text(showtime::kNextCaption), "Next: 9  Encore twice");
    main.setChecked(console::kGoto, false);
    main.setText(console::kStepNumber, "499");
    panel->tick();
    EXPECT_EQ(st().text(showtime::kStepShown), "499");
    EXPECT_EQ(st().text(showtime::kNextCaption), "Next: end of the show");
    main.setText(console::kStepNumber, "7");
    panel->tick();
    EXPECT_EQ(st().text(showtime::kNextCaption), "Next: 8");
}

} // namespace
