// Step activation against the real console and show session: commit before
// load, the remembered step, the reset of what the last step left running, and
// the automation (extra commands, auto fade, pause toggle, step sound) with
// everything that suppresses it.

#include "console/console.h"
#include "console/consoletable.h"
#include "console/showsession.h"
#include "playback/activation.h"
#include "programs/processstart.h"
#include "show/inifile.h"
#include "show/showfolders.h"
#include "support/manualclock.h"
#include "support/tempdir.h"
#include "test_extracommands_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace orvane;
using namespace orvane::test;

namespace {

using Log = std::vector<std::string>;

struct LogProcesses : ProcessStarter {
    Log& log;
    explicit LogProcesses(Log& l) : log(l) {}
    bool startDetached(const std::vector<std::string>& argv) override {
        log.push_back("exec " + argv.back());
        return true;
    }
};

struct FakeTimeline : TimelineView {
    int current = -1, first = 0, last = 15, repaints = 0;
    void setCurrentStep(int step) override { current = step; }
    int firstVisible() const override { return first; }
    int lastVisible() const override { return last; }
    void setVisibleSteps(int f, int l) override {
        first = f;
        last = l;
    }
    void repaint() override { ++repaints; }
};

struct ActivationFixture : ::testing::Test {
    TempDir root;
    TempDir config;
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    ListModel sounds;
    Log log;
    LogProcesses processes{log};
    FakeTimeline timelineWindow;
    bool timelineExists = false;
    bool shift = false;
    bool autoFadeDisable = false;
    bool deviceOpen = true;
    test::ManualClock clock{1000ms};
    std::unique_ptr<Activation> activation;

    void SetUp() override {
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        std::filesystem::create_directories(config.file("orvane"));
        populateConsole(controls);
        session.open(root.path(), "show");
        activation = std::make_unique<Activation>(session, controls, hooks(), services(), 99);
        controls.on(ControlEvent::TextChanged, console::kStepNumber,
                    [this] { activation->activate(); });
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    ActivationHooks hooks() {
        ActivationHooks h;
        h.clock = &clock;
        h.shiftDown = [this] { return shift; };
        h.autoFadeDisable = [this] { return autoFadeDisable; };
        h.timeline = [this] { return timelineExists ? &timelineWindow : nullptr; };
        auto note = [this](const char* what) { return [this, what] { log.push_back(what); }; };
        h.rebuildSoundList = note("rebuild");
        h.fadeIn = note("fadeIn");
        h.soundDeviceOpen = [this] { return deviceOpen; };
        h.pauseSound = note("pause");
        h.resumeSound = note("resume");
        h.stopSound = note("stop");
        h.playSound = note("play");
        h.mainTimerTick = note("tick");
        h.soundList = &sounds;
        return h;
    }
    ExtraServices services() {
        ExtraServices s;
        s.processes = &processes;
        return s;
    }

    void go(int step) { controls.setText(console::kStepNumber, std::to_string(step)); }
    void store(int step, const StepRecord& r) { session.store().SaveStep(step, r); }
    StepRecord stored(int step) {
        StepRecord r;
        session.store().LoadStep(step, r);
        return r;
    }
    int level(int fader) const { return 255 - controls.pos(levelFaderId(fader)); }
};

TEST_F(ActivationFixture, StoresTheStepBeingLeftThenShowsTheNewOne) {
    StepRecord three;
    three.fader[0] = 40;
    three.extra = "MISC2=ON";
    store(3, three);
    controls.setPos(levelFaderId(1), 255 - 99);
    controls.setPos(console::kNextMaster, 255 - 11);

    go(3);
    EXPECT_EQ(stored(0).fader[0], 99);
    EXPECT_EQ(stored(1).master, 11) << "the next-step panel goes over step n + 1";
    EXPECT_EQ(session.currentStep(), 3);
    EXPECT_EQ(level(1), 40);
    EXPECT_EQ(controls.text(console::kExtra), "MISC2=ON");
    EXPECT_TRUE(controls.checked(1017)) << "the new step's extra commands ran";
    EXPECT_EQ(profiles.readString(userProfilePath(), "savelast", "stepnum", ""), "3");
    EXPECT_EQ(log, Log{"rebuild"});
}

TEST_F(ActivationFixture, ClearsTheMasterRampsAndTheFadeSlider) {
    controls.setChecked(1059, true);
    controls.setChecked(1061, true);
    controls.setPos(console::kFade, 100);
    go(1);
    EXPECT_FALSE(controls.checked(1059));
    EXPECT_FALSE(controls.checked(1061));
    EXPECT_EQ(controls.pos(console::kFade), 0);
}

TEST_F(ActivationFixture, NothingWhileTheMasterFaderDoesNotExist) {
    ControlModel bare;
    ShowSession early(profiles, bare);
    early.open(root.path(), "show");
    Activation a(early, bare, hooks(), services(), 1);
    bare.add(console::kStepNumber, ControlKind::Edit);
    bare.setText(console::kStepNumber, "4");
    a.activate();
    EXPECT_EQ(early.currentStep(), 0);
    EXPECT_TRUE(log.empty());
}

struct AutomationCase {
    const char* name;
    bool shift, autoFadeDisable, skipOnce, builder, deviceOpen;
    Log log;
};

class Automation : public ActivationFixture,
                   public ::testing::WithParamInterface<AutomationCase> {};

TEST_P(Automation, RunsUnlessSuppressed) {
    const AutomationCase& c = GetParam();
    StepRecord two;
    two.fader[0] = 70;
    two.extra = "EXEC=x";
    two.autofade = 1;
    two.togglepause = 1;
    two.playatbegin = 1;
    two.soundnameatbegin = "so";
    store(2, two);
    sounds.add("intro.wav");
    sounds.add("Song.wav");
    shift = c.shift;
    autoFadeDisable = c.autoFadeDisable;
    deviceOpen = c.deviceOpen;
    if (c.skipOnce)
        activation->requestSkipAutomationOnce();
    activation->setEditingFromBuilder(c.builder);
    controls.setPos(levelFaderId(1), 255 - 33);

    go(2);
    EXPECT_EQ(log, c.log);
    // Loaded and saved all the same.
    EXPECT_EQ(session.currentStep(), 2);
    EXPECT_EQ(level(1), 70);
    EXPECT_EQ(stored(0).fader[0], 33);
    bool faded = std::find(c.log.begin(), c.log.end(), "fadeIn") != c.log.end();
    EXPECT_EQ(controls.checked(1083), faded);
    bool played = std::find(c.log.begin(), c.log.end(), "play") != c.log.end();
    EXPECT_EQ(sounds.selected(), played ? 1 : -1);
}

const Log kEverything = {"rebuild", "exec x", "fadeIn", "pause", "stop", "tick", "play"};

INSTANTIATE_TEST_SUITE_P(
    Cases, Automation,
    ::testing::Values(AutomationCase{"Everything", false, false, false, false, true, kEverything},
                      AutomationCase{"ShiftHeld", true, false, false, false, true, {"rebuild"}},
                      AutomationCase{
                          "AutoFadeDisable", false, true, false, false, true, {"rebuild"}},
                      AutomationCase{"SkipOnce", false, false, true, false, true, {"rebuild"}},
                      AutomationCase{"FromTheBuilderNoSound",
                                     false,
                                     false,
                                     false,
                                     true,
                                     true,
                                     {"rebuild", "exec x", "fadeIn", "pause"}},
                      AutomationCase{"NoSoundDeviceNoPause",
                                     false,
                                     false,
                                     false,
                                     false,
                                     false,
                                     {"rebuild", "exec x", "fadeIn", "stop", "tick", "play"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ActivationFixture, SkipRequestLastsOneActivation) {
    StepRecord r;
    r.extra = "EXEC=y";
    store(5, r);
    activation->requestSkipAutomationOnce();
    go(5);
    EXPECT_EQ(log, Log{"rebuild"});
    go(5);
    EXPECT_EQ(log, (Log{"rebuild", "rebuild", "exec y"}));
}

TEST_F(ActivationFixture, PauseToggleResumesAPausedSound) {
    StepRecord r;
    r.togglepause = 1;
    store(1, r);
    controls.setPos(1267, 900);
    controls.setPos(1272, 800);
    go(1);
    EXPECT_TRUE(controls.checked(1041));
    EXPECT_EQ(controls.pos(1267), 0);
    EXPECT_EQ(controls.pos(1272), 0);
    go(1);
    EXPECT_FALSE(controls.checked(1041));
    EXPECT_EQ(log, (Log{"rebuild", "pause", "rebuild", "resume"}));
}

struct SoundCase {
    std::string name;
    std::vector<std::string> list;
    int selected;
};

class PlayAtBegin : public ActivationFixture, public ::testing::WithParamInterface<SoundCase> {};

TEST_P(PlayAtBegin, TakesTheFirstSoundThatBeginsWithTheName) {
    const SoundCase& c = GetParam();
    StepRecord r;
    r.playatbegin = 1;
    r.soundnameatbegin = c.name;
    store(1, r);
    for (const std::string& s : c.list)
        sounds.add(s);
    go(1);
    EXPECT_EQ(sounds.selected(), c.selected) << "'" << c.name << "'";
    EXPECT_EQ(log, c.selected >= 0 ? (Log{"rebuild", "stop", "tick", "play"})
                                   : (Log{"rebuild", "stop"}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, PlayAtBegin,
    ::testing::Values(SoundCase{"", {"a.wav", "b.wav"}, 0},
                      SoundCase{"SONG", {"intro.wav", "song1.wav", "Song2.wav"}, 1},
                      SoundCase{"song2", {"intro.wav", "song1.wav", "Song2.wav"}, 2},
                      SoundCase{"songs", {"intro.wav", "song1.wav"}, -1},
                      // A name no sound begins with just stops the sound playing.
                      SoundCase{"$ns$", {"intro.wav", "song1.wav"}, -1},
                      SoundCase{"intro.wav and more", {"intro.wav"}, -1}, SoundCase{"x", {}, -1}));

TEST_F(ActivationFixture, ResetsWhatTheLastStepLeftRunning) {
    writeEffect(session.store(), root.file("x.efe"), {{10, 0.5}, {20, 0.5}});
    StepRecord one;
    one.extra = "RANDOM=1,min=5,max=9\\nSOUNDACTIVE=4\\nLOADLOOP=x.efe";
    store(1, one);
    go(1);
    StepEffects& e = activation->effects();
    EXPECT_EQ(e.random().list().count(), 1);
    EXPECT_EQ(e.soundActive().list().count(), 1);
    ASSERT_TRUE(e.effect().running());
    EXPECT_EQ(level(1), 10);
    e.tickEffect(clock.nowMs() + 500ms);
    EXPECT_EQ(level(1), 20) << "the effect started at the activation's time";

    go(2);
    EXPECT_EQ(e.random().list().count(), 0);
    EXPECT_EQ(e.soundActive().list().count(), 0);
    EXPECT_FALSE(e.effect().running());
    EXPECT_EQ(e.random().bounds().min, 5);
    EXPECT_EQ(e.random().bounds().max, 9);
}

TEST_F(ActivationFixture, TellsTheTimelineAndScrollsIt) {
    go(20);
    EXPECT_EQ(timelineWindow.current, -1) << "no window yet";
    timelineExists = true;
    timelineWindow.first = 10;
    timelineWindow.last = 25;
    go(12);
    EXPECT_EQ(timelineWindow.current, 12);
    EXPECT_EQ(timelineWindow.repaints, 0);
    go(30);
    EXPECT_EQ(timelineWindow.first, 29);
    EXPECT_EQ(timelineWindow.last, 44);
    EXPECT_EQ(timelineWindow.repaints, 1);
}

TEST(TimelineScroll, FirstVisibleStepRule) {
    struct {
        int first, last, step;
        std::optional<int> expected;
    } cases[] = {
        {10, 25, 12, std::nullopt},
        {10, 25, 10, std::nullopt},
        {10, 25, 17, std::nullopt},
        {10, 25, 18, 17},
        {10, 25, 9, 8},
        {0, 15, 0, std::nullopt},
        {1, 16, 0, 0},
        {0, 15, -1, 0},
        {0, 15, 499, 498},
    };
    for (auto c : cases)
        EXPECT_EQ(timelineFirstVisible(c.first, c.last, c.step), c.expected)
            << c.first << ".." << c.last << " step " << c.step;
}

} // namespace
