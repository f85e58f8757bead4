#pragma once
// The main window's playback clock: timer 1 (20 ms) reads the console into the
// live record, blends it toward the next step while the fade slider moves, runs
// the automatic fade and its advance, the keyboard flash, the master ramps and
// the volume keys, composes the universe and publishes it when it changed;
// timer 2 (50 ms) samples the joystick. Work that belongs to other parts of the
// program (sound, effect playback, pictures, manual mode, IP devices) is reached
// through hooks, in its place in the order. Time is always a parameter.
// User-interface thread only.

#include "console/inputstate.h"
#include "console/joystick.h"
#include "console/showsession.h"
#include "core/clock.h"
#include "dmx/composer.h"
#include "dmx/universe.h"
#include "playback/fadefeedback.h"

#include <array>
#include <functional>
#include <optional>

namespace orvane {

namespace timers {
constexpr int kPlayback = 1;
constexpr int kJoystick = 2;
constexpr int kChainedStart = 1234;
constexpr int kIpService = 1235;
} // namespace timers

// What the volume arithmetic needs of one tick. It is called twice a tick: first
// for the sliders' volumes (next is null), then, while "Fade in" runs and the
// fade blends, for the cross-fade toward step n + 1 (next is that step with the
// panel over it).
struct VolumeTick {
    int fade = 0;        // fade slider position
    bool rude = false;   // live "faderude" (of the previous tick's capture)
    bool fadeIn = false; // "Fade in" checked
    const StepRecord* next = nullptr;
};

struct MainTimerHooks {
    std::function<void()> ipService; // timer 1235
    std::function<void()> startDmx;  // timer 1234: start, string 7 on failure
    std::function<void()> repaintSwatches;
    std::function<bool()> showTimeVisible;
    std::function<std::optional<uint32_t>()> pickedPixel; // left button on the picture 1427
    std::function<void(Milliseconds now)> effectPlayback;
    std::function<bool()> manualModeOpen;
    std::function<void(Universe& staging)> manualMerge;
    std::function<bool()> joystickPresent;
    std::function<std::optional<JoystickPosition>()> joystick; // nothing when it fails
    // Sound position, buttons and end handling; true when the last loop ended
    // and "When sound end, goto next step" asks for the next step.
    std::function<bool(Milliseconds now)> sound;
    std::function<void(Milliseconds now)> pictureColour;
    std::function<void()> randomSliders;
    std::function<void(const VolumeTick&)> volumes;
    std::function<void(const Universe& output)> publish; // send and repaint 1051, 1346
    std::function<bool()> autoFadeDisable;
    std::function<bool()> shiftDown;  // the asynchronous Shift state
    std::function<uint32_t()> random; // uniform, 0..32767 or wider
    // Something the ticks serve moves by itself: an effect, a sound, a window
    // that works on every tick, a joystick, a remote service with work due.
    std::function<bool()> busy;
};

class MainTimer {
public:
    MainTimer(ShowSession& session, InputState& input, MainTimerHooks hooks);

    void OnTimer(int id, Milliseconds now);

    // Nothing to do until something happens: no fade, ramp or pulse runs, nothing
    // is held, nothing else moves by itself, and the last rounds published
    // nothing new and changed no control (a change takes a few rounds to pass
    // through the fixture windows and back).
    bool idle() const;
    static constexpr int kQuietRounds = 15;
    // Rounds that published something new or saw a control change: the
    // console moved, maybe where no control shows it.
    uint64_t changedRounds() const { return m_changedRounds; }

    // "Fade in" (1083, Alt+Space): the cross-fade to the next step starts now.
    void startFadeIn(Milliseconds now);
    // "100% en" (1059) and "0% en" (1061): the master moves to full or to zero.
    void startMasterRamp(bool up, Milliseconds now);

    // What the windows tell the operator about the fade, and the presses a
    // running fade did not act on.
    FadeFeedback& fadeFeedback() { return m_fadeFeedback; }

    ComposerOptions& options() { return m_options; }
    Composer& composer() { return m_composer; }
    const StepRecord& live() const { return m_live; }
    const Universe& output() const { return m_output; }
    const std::array<JoystickPosition, 10>& joystickHistory() const { return m_history; }
    int joystickFill() const { return m_fill; }

private:
    void pickColours();
    void sampleJoystick();
    void fadeTrigger(int id, Milliseconds now);
    void outsideManualMode(Milliseconds now);
    void volumeKeys();
    void stepKeys();
    void masterRamps(Milliseconds now);
    void blendTowardNext(StepRecord& next);
    void keyboardFlash();
    void compose();
    void publish();
    void automaticFade(Milliseconds now);
    void goToStep(int step);
    bool holdBack() const;
    int fieldStep() const; // the step field's number, within 0..499
    void countRound();

    ShowSession& m_session;
    ControlModel& m_controls;
    InputState& m_input;
    MainTimerHooks m_hooks;
    Composer m_composer;
    ComposerOptions m_options;
    StepRecord m_live;
    Universe m_staging{};
    Universe m_output{};
    bool m_sent = false;
    bool m_publishedThisRound = false;
    int m_quietRounds = 0;
    uint64_t m_changedRounds = 0;
    uint64_t m_changesSeen = 0; // control changes up to the end of the last round
    Milliseconds m_fadeStart{0};
    int m_fadeStartPos = 0;
    struct Ramp {
        Milliseconds start{0};
        int startLevel = 0;
    } m_rampUp, m_rampDown;
    std::array<JoystickPosition, 10> m_history{};
    int m_fill = 0;
    bool m_fire = false;
    bool m_previousFire = false;
    bool m_triggerLatch = false;
    Milliseconds m_triggerTime{0};
    FadeFeedback m_fadeFeedback;
};

} // namespace orvane
