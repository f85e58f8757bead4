// Inputs found by fuzzing the main timer: a step number typed into the step
// field and a show file with extreme stored values. Each runs through real
// activation and the playback clock with fades, ramps and the numeric pad;
// nothing may overflow (the sanitizer build checks that) and every value
// stays inside its range.

#include "console/consoletable.h"
#include "console/showsession.h"
#include "playback/activation.h"
#include "playback/maintimer.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::test;

namespace {

std::string repro(const std::string& name) {
    return readFile(std::string(ORVANE_SOURCE_DIR) + "/tests/data/fuzz-repro/" + name);
}

struct ReproFixture : ::testing::Test {
    TempDir root, config;
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    InputState input;
    std::unique_ptr<Activation> activation;
    std::unique_ptr<MainTimer> timer;

    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        populateConsole(controls);
        ::mkdir(root.file("show").c_str(), 0755);
        session.open(root.path(), "show");
        activation =
            std::make_unique<Activation>(session, controls, ActivationHooks{}, ExtraServices{}, 7);
        controls.on(ControlEvent::TextChanged, console::kStepNumber,
                    [this] { activation->activate(); });
        timer = std::make_unique<MainTimer>(session, input, MainTimerHooks{});
    }
    void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }

    void start(const std::string& show, const std::string& typed) {
        writeFile(session.showFilePath(), show);
        session.loadShow();
        session.ShowCurrentStep(false);
        controls.setText(console::kStepNumber, typed);
    }
    // A reproducer's first line is typed into the step field, the rest is the
    // show file.
    void startRepro(const std::string& text) {
        size_t cut = text.find('\n');
        start(text.substr(cut + 1), text.substr(0, cut));
    }
    void play(Milliseconds from, int ticks) {
        controls.setChecked(console::kFadeIn, true);
        timer->startFadeIn(from);
        controls.setChecked(console::kRampUp, true);
        timer->startMasterRamp(true, from);
        for (int i = 0; i < ticks; ++i) {
            if (i % 3 == 0) {
                input.keyDown(vk::kPadPlus);
                input.keyUp(vk::kPadPlus);
            }
            timer->OnTimer(timers::kPlayback, from + i * 20ms);
        }
    }
    void expectInRange(const std::string& label) {
        int step = controls.textInt(console::kStepNumber);
        EXPECT_GE(step, 0) << label;
        EXPECT_LT(step, kStepCount) << label;
        EXPECT_EQ(session.currentStep(), step) << label;
        EXPECT_GE(timer->live().master, 0) << label;
        EXPECT_LE(timer->live().master, 255) << label;
        for (int32_t level : timer->live().fader)
            ASSERT_LE(level, 257) << label;
    }
};

} // namespace

TEST_F(ReproFixture, TimerReproducersStayInRange) {
    for (const char* name :
         {"timer_step_intmax.txt", "timer_master_intmin.txt", "timer_fader_2147483648.txt",
          "timer_masteront_1e30.txt", "timer_fadet_1e300.txt"}) {
        startRepro(repro(name));
        play(1000ms, 12);
        expectInRange(name);
    }
}

TEST_F(ReproFixture, ATypedStepOutsideTheShowGoesToTheNearestStep) {
    for (auto [typed, expected] : {std::pair{"2147483647", 499}, std::pair{"-2147483648", 0},
                                   std::pair{"99999999999", 499}, std::pair{"500", 499}}) {
        start("[GLOBAL]\r\nmanualstep=1\r\n", typed);
        EXPECT_EQ(controls.text(console::kStepNumber), std::to_string(expected)) << typed;
        EXPECT_EQ(session.currentStep(), expected) << typed;
    }
}

TEST_F(ReproFixture, AShowOfExtremeValuesStartsOnStepTwo) {
    start(repro("dmx_ini_master_intmin.ini"), "2");
    play(0ms, 5);
    expectInRange("dmx_ini_master_intmin.ini");
    StepRecord r;
    session.store().LoadStep(0, r);
    EXPECT_EQ(r.master, 0);
    EXPECT_EQ(r.fader[0], 255);
}
