#pragma once
// The parts of the main window that tool windows reach, without its widgets:
// the real control table, a show session on a temporary root, the step-editing
// and effect controls and step activation bound to their controls, with
// prompts answered by script. The Stop and Save buttons only count presses.
// Needs orvane_app (the control table) in the test program.

#include "console/consoletable.h"
#include "console/showsession.h"
#include "playback/activation.h"
#include "playback/effectcontrols.h"
#include "show/inifile.h"
#include "support/scriptedprompts.h"
#include "support/showsnapshot.h"
#include "support/tempdir.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace orvane::test {

struct MainWindowStandIn {
    TempDir root;
    TempDir config;
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    ScriptedPrompts prompts;
    ListModel effectBox;
    ListModel soundList;
    EffectControls effects{controls, session, prompts, effectBox};
    StepControls steps{controls, session, prompts};
    std::unique_ptr<Activation> activation;
    std::vector<std::string> log; // "step <n>" per activation, "stop", "save"

    explicit MainWindowStandIn(const std::string& show = "show") {
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        std::filesystem::create_directories(config.file("orvane"));
        std::filesystem::create_directories(root.file(show + "/step0"));
        populateConsole(controls);
        session.open(root.path(), show);
        ActivationHooks hooks;
        hooks.soundList = &soundList;
        hooks.playSound = [this] { log.push_back("play"); };
        activation = std::make_unique<Activation>(session, controls, hooks, ExtraServices{}, 7);
        controls.on(ControlEvent::TextChanged, console::kStepNumber, [this] {
            activation->activate();
            log.push_back("step " + std::to_string(session.currentStep()));
        });
        effects.bind();
        steps.bind();
        controls.on(ControlEvent::Clicked, console::kStop, [this] { log.push_back("stop"); });
        controls.on(ControlEvent::Clicked, console::kSave, [this] { log.push_back("save"); });
    }
    ~MainWindowStandIn() { unsetenv("XDG_CONFIG_HOME"); }

    std::string showFolder() const { return root.file("show"); }
    StepRecord stored(int step) {
        StepRecord r;
        session.store().LoadStep(step, r);
        return r;
    }
    void store(int step, const StepRecord& r) { session.store().SaveStep(step, r); }
    // Makes a step current the way the console does, and stores what the
    // console makes of it, so that later commits change nothing by themselves.
    void goTo(int step) {
        session.setCurrentStep(step);
        session.ShowCurrentStep(false);
        session.CommitCurrentStep();
    }
    std::vector<StepRecord> snapshot() { return snapshotSteps(session.store()); }
};

} // namespace orvane::test
