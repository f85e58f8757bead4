// The live console's handlers against the main window's control table.

#include "console/consoletable.h"
#include "playback/consolehandlers.h"
#include "show/patch.h"
#include "support/manualclock.h"
#include "support/scriptedprompts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace orvane;

namespace {

// Remembers where the chooser started.
struct ColourPrompts : test::ScriptedPrompts {
    std::vector<uint32_t> starts;
    std::optional<uint32_t> askColour(uint32_t initial) override {
        starts.push_back(initial);
        return ScriptedPrompts::askColour(initial);
    }
};

int entryNamed(std::string_view name) {
    for (int i = 0; i < kEntryCount; ++i)
        if (name == kPatch[i].name)
            return i;
    ADD_FAILURE() << "no entry " << name;
    return 0;
}

struct HandlersFixture : ::testing::Test {
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    InputState input;
    ColourPrompts prompts;
    std::vector<Universe> published;
    std::vector<std::string> calls;
    test::ManualClock clock;
    bool linkOpens = false;
    ConsoleHooks hooks;
    std::unique_ptr<MainTimer> timer;
    std::unique_ptr<ConsoleHandlers> handlers;

    void SetUp() override {
        populateConsole(controls);
        session.open("/nonexistent-root", "test");
        MainTimerHooks h;
        h.publish = [this](const Universe& u) { published.push_back(u); };
        timer = std::make_unique<MainTimer>(session, input, h);
        hooks.clearAutoFadeDisable = [this] { calls.push_back("clear"); };
        hooks.showTimeWindow = [this](int l, int r) {
            calls.push_back("showtime " + std::to_string(l) + " " + std::to_string(r));
        };
        hooks.openIpLink = [this] { return linkOpens; };
        hooks.closeIpLink = [this] { calls.push_back("close link"); };
        hooks.ipLinkHost = [] { return std::string("127.0.0.1"); };
        hooks.toggleTimeline = [this] { calls.push_back("timeline"); };
        hooks.toggleGlobalColour = [this] { calls.push_back("global colour"); };
        hooks.validateHotKeys = [this] { calls.push_back("validate"); };
        hooks.repaintMonitor = [this] { calls.push_back("monitor"); };
    }
    void bind() {
        handlers = std::make_unique<ConsoleHandlers>(session, *timer, prompts, clock, hooks);
        handlers->bind();
    }
    void select(std::string_view name) {
        controls.setChecked(kPatch[entryNamed(name)].checkId, true);
    }
    LampValues& lamp(std::string_view name) { return session.console().lamps()[entryNamed(name)]; }
    ValuePair& pair(std::string_view name) { return session.console().pairs()[entryNamed(name)]; }
    void tick(Milliseconds now) { timer->OnTimer(timers::kPlayback, now); }
};

} // namespace

TEST_F(HandlersFixture, OutOfRangeTextIsRewrittenAndTheRewriteApplies) {
    bind();
    select("0");
    select("S1");
    struct Case {
        const char* typed;
        const char* shown;
        int applied;
    } cases[] = {
        {"300", "255", 255},      {"-", "-", 0},    {"-5", "0", 0},
        {"abc", "abc", 0},        {"77", "77", 77}, {"0000255", "0000255", 255},
        {"12345678", "255", 255}, // read as its first seven characters
    };
    for (const Case& c : cases) {
        lamp("0").intensity = 9;
        pair("S1").first = 9;
        controls.setText(1420, c.typed);
        EXPECT_EQ(controls.text(1420), c.shown) << c.typed;
        EXPECT_EQ(lamp("0").intensity, c.applied) << c.typed;
        EXPECT_EQ(pair("S1").first, c.applied) << c.typed;
        EXPECT_EQ(controls.pos(1422), c.applied) << c.typed;
    }
}

TEST_F(HandlersFixture, EmptyFieldChangesNothing) {
    bind();
    select("0");
    lamp("0").intensity = 9;
    controls.setPos(1422, 40);
    controls.setText(1420, "");
    EXPECT_EQ(lamp("0").intensity, 9);
    EXPECT_EQ(controls.pos(1422), 40);
}

TEST_F(HandlersFixture, WithoutSelectionOnlyTheSlidersMove) {
    bind();
    auto lamps = session.console().lamps();
    auto pairs = session.console().pairs();
    controls.setText(1420, "120");
    controls.setText(1421, "33");
    controls.setText(1417, "5");
    EXPECT_EQ(controls.pos(1422), 120);
    EXPECT_EQ(controls.pos(1423), 33);
    EXPECT_EQ(session.console().lamps(), lamps);
    EXPECT_EQ(session.console().pairs(), pairs);
}

TEST_F(HandlersFixture, EachFieldSetsItsValueOfEachKind) {
    bind();
    for (const char* name : {"4", "F3", "F12", "S2", "FP1", "SHU1", "UV1", "L1"})
        select(name);
    lamp("4") = {makeColour(1, 2, 3), 4, 5, 6, 7};
    pair("FP1") = {1, 2};
    pair("L1") = {1, 2};
    controls.setText(1417, "10");
    controls.setText(1418, "20");
    controls.setText(1419, "30");
    controls.setText(1421, "40");
    controls.setText(1424, "50");
    controls.setText(1425, "60");
    EXPECT_EQ(lamp("4"), (LampValues{makeColour(10, 20, 30), 40, 5, 50, 60}));
    EXPECT_EQ(pair("FP1"), (ValuePair{1, 40})); // fog fan
    EXPECT_EQ(pair("L1"), (ValuePair{40, 2}));  // strobe
    controls.setText(1420, "70");
    EXPECT_EQ(lamp("4").intensity, 70);
    for (const char* name : {"F3", "F12", "S2", "SHU1", "UV1"})
        EXPECT_EQ(pair(name).first, 70) << name;
    EXPECT_EQ(pair("FP1"), (ValuePair{70, 40}));
    EXPECT_EQ(pair("L1"), (ValuePair{40, 70}));
    // Kinds a field does not list keep their values.
    EXPECT_EQ(pair("F3").second, 0);
    EXPECT_EQ(pair("SHU1").second, 0);
}

TEST_F(HandlersFixture, GroupButtonsSetTheirGroupToTheirOwnState) {
    bind();
    struct Case {
        int button;
        int group;
    } cases[] = {{1416, kGroupRgbRoom}, {1435, kGroupRgbBack}, {1456, kGroupFans}};
    for (const Case& c : cases) {
        for (const PatchEntry& e : kPatch)
            controls.setChecked(e.checkId, false);
        int first = -1;
        for (const PatchEntry& e : kPatch)
            if (e.group == c.group && first < 0)
                first = e.checkId;
        controls.setChecked(first, true); // already selected: stays selected
        for (bool on : {true, false}) {
            controls.click(c.button);
            ASSERT_EQ(controls.checked(c.button), on);
            for (const PatchEntry& e : kPatch)
                EXPECT_EQ(controls.checked(e.checkId), e.group == c.group && on)
                    << c.button << " " << e.name;
        }
    }
}

TEST_F(HandlersFixture, VisibilityButtonsHideAndShowWholeGroups) {
    bind();
    struct Case {
        int button;
        std::vector<std::string> names;
    } cases[] = {
        {1299,
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "C1", "C2", "C3", "C4", "L1", "L2",
          "LY1", "BS1"}},
        {1300,
         {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "F13", "F14",
          "F15"}},
        {1301, {"S1", "S2", "S3"}},
        {1303, {"FP1", "FP2"}},
        {1304, {"SHU1", "SHU2"}},
        {1305, {"UV1", "UV2"}},
    };
    for (const Case& c : cases) {
        controls.setChecked(c.button, true);
        controls.click(c.button); // now unchecked: hide
        for (const PatchEntry& e : kPatch) {
            bool inGroup = std::count(c.names.begin(), c.names.end(), e.name) != 0;
            EXPECT_EQ(controls.visible(e.checkId), !inGroup) << c.button << " " << e.name;
            EXPECT_EQ(controls.visible(e.swatchId), !inGroup) << c.button << " " << e.name;
        }
        controls.click(c.button);
        for (const PatchEntry& e : kPatch)
            EXPECT_TRUE(controls.visible(e.checkId) && controls.visible(e.swatchId)) << e.name;
    }
}

TEST_F(HandlersFixture, ColourChooserStartsFromTheLastChoiceOfTheRun) {
    bind();
    const uint32_t a = makeColour(10, 0, 0), b = makeColour(0, 20, 0), c = makeColour(0, 0, 30);
    controls.setColour(2038, a);
    controls.setColour(2001, b);
    controls.setColour(2000, a);
    prompts.colours = {std::nullopt, c, std::nullopt, std::nullopt};
    controls.click(2001); // cancelled: nothing changes
    controls.click(2038); // no choice yet: still the first button's colour
    controls.click(2000); // next-step panel button, cancelled
    controls.click(1125); // the lone colour 8 button, cancelled
    EXPECT_EQ(prompts.starts, (std::vector<uint32_t>{b, b, c, c}));
    EXPECT_EQ(controls.colour(2001), b);
    EXPECT_EQ(controls.colour(2038), c);
    EXPECT_EQ(controls.colour(2000), a);
}

TEST_F(HandlersFixture, ChosenColourIsCapturedIntoTheStep) {
    bind();
    prompts.colours = {makeColour(1, 2, 3)};
    controls.click(2028); // colour 9
    EXPECT_EQ(session.console().capture().colour[8], makeColour(1, 2, 3));
}

TEST_F(HandlersFixture, SwitchesReachTheComposerOptions) {
    bind();
    struct Case {
        int box;
        bool ComposerOptions::*option;
        bool toggled;
    } cases[] = {
        {1012, &ComposerOptions::manuShutter1, false},
        {1013, &ComposerOptions::shutter1, false},
        {1014, &ComposerOptions::manuShutter2, false},
        {1015, &ComposerOptions::shutter2, false},
        {1044, &ComposerOptions::mh1, false},
        {1288, &ComposerOptions::disableAntiCrazy, false},
        {1291, &ComposerOptions::disableFalseBlack, false},
        {1293, &ComposerOptions::disableSmokes, true},
        {1294, &ComposerOptions::disablePerfumes, true},
        {1296, &ComposerOptions::disableFans, true},
    };
    for (const Case& c : cases) {
        ComposerOptions before = timer->options();
        controls.click(c.box);
        EXPECT_TRUE(timer->options().*c.option) << c.box;
        ComposerOptions expected = before;
        expected.*c.option = true;
        EXPECT_EQ(timer->options(), expected) << c.box << ": only its own option";
        // Unchecked from code, then clicked on again: a copied option follows the
        // box, a toggled one the clicks.
        controls.setChecked(c.box, false);
        controls.click(c.box);
        EXPECT_EQ(timer->options().*c.option, !c.toggled) << c.box;
    }
}

TEST_F(HandlersFixture, ManualShutterReachesTheLine) {
    bind();
    controls.click(1012);
    controls.click(1013);
    tick(0ms);
    ASSERT_FALSE(published.empty());
    EXPECT_EQ(published.back()[412], 255); // channel 413
    controls.click(1013);
    tick(20ms);
    EXPECT_EQ(published.back()[412], 0);
}

TEST_F(HandlersFixture, FadeInStartsAtTheClickTime) {
    StepRecord r;
    r.fadet = 2.0;
    session.store().SaveStep(0, r);
    session.ShowCurrentStep(false);
    bind();
    controls.setPos(4078, 50);
    clock.set(5000ms);
    controls.click(1083);
    EXPECT_EQ(controls.pos(4078), 0);
    tick(6000ms);
    EXPECT_EQ(controls.pos(1009), 127);
    // Alt+Space while the fade runs leaves it as it is.
    clock.set(5900ms);
    handlers->fadeInHotKey();
    tick(6500ms);
    EXPECT_EQ(controls.pos(1009), 255 * 1500 / 2000);
}

TEST_F(HandlersFixture, FadeInHotKeyStartsAndChecksTheFade) {
    StepRecord r;
    r.fadet = 1.0;
    session.store().SaveStep(0, r);
    session.ShowCurrentStep(false);
    bind();
    clock.set(100ms);
    handlers->fadeInHotKey();
    EXPECT_TRUE(controls.checked(1083));
    tick(600ms);
    EXPECT_EQ(controls.pos(1009), 127);
}

TEST_F(HandlersFixture, MasterRampsStartFromTheLevelAtTheClick) {
    bind();
    controls.setPos(1005, 255 - 100);
    controls.setText(1058, "2.00");
    controls.setChecked(1061, true);
    clock.set(1000ms);
    controls.click(1059);
    EXPECT_FALSE(controls.checked(1061));
    tick(2000ms);
    EXPECT_EQ(255 - controls.pos(1005), 100 + 155 * 1000 / 2000);
    // Unchecking the box is no start.
    controls.click(1059);
    controls.setText(1060, "0.00");
    clock.set(3000ms);
    controls.click(1061);
    tick(3000ms);
    EXPECT_EQ(controls.pos(1005), 255);
    EXPECT_FALSE(controls.checked(1061));
}

TEST_F(HandlersFixture, WindowButtonsGoThroughTheirHooks) {
    bind();
    controls.setText(1392, "DMX line lost");
    controls.setPos(1397, 1200);
    controls.setPos(1057, 3400);
    controls.click(1123);
    controls.click(1275);
    controls.click(1310);
    controls.click(4079);
    controls.setText(1426, "500");
    EXPECT_EQ(controls.text(1392), "");
    EXPECT_EQ(calls, (std::vector<std::string>{"clear", "showtime 1200 3400", "timeline",
                                               "global colour", "validate", "monitor"}));
}

TEST_F(HandlersFixture, IpLinkBoxReportsAFailedConnection) {
    bind();
    controls.click(1285);
    EXPECT_FALSE(controls.checked(1285));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Cannot connect to 127.0.0.1");
    linkOpens = true;
    controls.click(1285);
    EXPECT_TRUE(controls.checked(1285));
    controls.click(1285);
    EXPECT_EQ(calls, (std::vector<std::string>{"close link"}));
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(HandlersFixture, IpLinkBoxWithoutALinkFails) {
    hooks = {};
    bind();
    controls.click(1285);
    EXPECT_FALSE(controls.checked(1285));
    EXPECT_EQ(prompts.shown.size(), 1u);
}
