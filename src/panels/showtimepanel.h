#pragma once
// The show time window's logic (dialog 112, "Show time !"): the operator's panel
// while a show runs. It acts only through the main window's own controls: it
// presses "Fade in", "Stop" and "Pause", writes the step number and moves the
// master volume sliders, so the playback logic stays the main window's. It also
// says which step is on and which comes next, for an operator who cannot see
// the console. User-interface thread only.
//
// Its keys (Escape, Page Up / Page Down with or without Shift, Delete) are
// polled every 10 ms as held-down states, and act only while the panel is open:
// a hidden panel leaves them to the main window, whose own volume keys are off
// while the panel is open.

#include "console/controlmodel.h"
#include "console/inputstate.h"
#include "core/clock.h"
#include "playback/fadefeedback.h"
#include "show/showstore.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orvane {

namespace showtime {
constexpr int kClose = 1;
constexpr int kNextStep = 2;
constexpr int kStop = 3;
constexpr int kFullScreen = 4;
constexpr int kPause = 1041;
constexpr int kLocked = 1117;
constexpr int kVolumeLeft = 1397;
constexpr int kVolumeRight = 1057;
// What the panel shows of the show: the step on, its caption, the next step.
constexpr int kStepShown = 1601;
constexpr int kCaption = 1602;
constexpr int kNextCaption = 1603;
// Static texts: the help line and the caption under the volume sliders.
constexpr int kHelp = 1604;
constexpr int kVolumeCaption = 1605;
// Where a running fade leads ("fading to N caption") and how far it has come.
constexpr int kFadeLine = 1606;
constexpr int kFadeBar = 1607;

constexpr int kVolumeTop = 10000; // slider range 0..10000, 10000 silent
constexpr Milliseconds kNextStepGap = 500ms;
constexpr Milliseconds kStepBackGap = 200ms;
constexpr int kSlowVolumeStep = 20;
} // namespace showtime

struct ShowTimeHooks {
    std::function<void()> show; // the window appears, focus on "Next step"
    std::function<void()> hide;
    std::function<void()> lockMain;   // the main window takes no input
    std::function<void()> unlockMain; // and has it back
    std::function<void()> focusNextStep;
    std::function<void()> skipAutomationOnce; // step activation's request, before stepping back
    // "Next step" pressed inside its 500 ms guard: not acted on, acknowledged.
    std::function<void()> pressIgnored;
};

class ShowTimePanel {
public:
    // `main` is the main window's control model, `input` its polled key state.
    ShowTimePanel(ControlModel& main, ShowStore& store, InputState& input, const Clock& clock,
                  ShowTimeHooks hooks);
    ShowTimePanel(const ShowTimePanel&) = delete;
    ShowTimePanel& operator=(const ShowTimePanel&) = delete;

    ControlModel& controls() { return m_controls; }

    // Window initialisation: "Next step" counts from now; "locked" ticked;
    // the sliders at the main window's master volumes.
    void init();
    // "Show Time !": the main window locked, the panel shown with the main
    // window's master volumes and its "locked" state.
    void open(int volumeLeft, int volumeRight);
    // "Close": the panel hidden, the main window given back.
    void close();
    bool isOpen() const { return m_open; }

    // "Next step" (button, Enter, Space, Escape, Page Down): presses the main
    // window's "Fade in", unless the last press was less than 500 ms ago (that
    // press is acknowledged through the hook pressIgnored when `acknowledge`:
    // a key held down repeats without it). True when it pressed.
    bool nextStep(bool acknowledge = true);
    // Page Up: the step before, without its automation, at most once per
    // 200 ms and never below step 0. True when it wrote the step field.
    bool stepBack();
    // The 10 ms tick: the keys, and what the panel shows of the show.
    void tick();
    // Brings step number and captions up to date with the main window.
    void refreshShowInfo();
    // Hooks the window sets once it exists.
    void setPressIgnored(std::function<void()> hook) { m_hooks.pressIgnored = std::move(hook); }

private:
    void bind();
    void onVolumeMoved(int id);
    void moveLeftVolume(int delta);
    // Down now or pressed since the last tick; *fresh: pressed since then.
    bool held(uint16_t key, bool* fresh = nullptr);
    void refreshFade();

    ControlModel& m_main;
    ShowStore& m_store;
    InputState& m_input;
    const Clock& m_clock;
    ShowTimeHooks m_hooks;
    ControlModel m_controls;
    FadeFeedback m_fade;
    bool m_open = false;
    bool m_copyingVolumes = false;
    Milliseconds m_lastNext{0};
    bool m_stepBackBefore = false;
    Milliseconds m_lastBack{0};
    // What the info labels were made from.
    struct Shown {
        std::string step;
        std::string caption;
        int next = -1;
        uint64_t nextGeneration = 0;
        bool valid = false;
    } m_shown;
};

} // namespace orvane
