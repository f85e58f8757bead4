#pragma once
// Step activation: the one routine behind every change of the step-number field
// (1000). It stores the console into the step being left, shows the new step,
// remembers its number, then runs the new step's automation: its extra
// commands, auto fade, pause toggle and step sound. Shift held, the auto fade
// disable switch or a skip-automation-once request suppress the automation;
// steps are loaded and saved all the same. User-interface thread only.
//
// The parts of the program it calls that live elsewhere (timeline window, sound,
// the console's fade-in, key state) are reached through ActivationHooks; a hook
// left empty is a part that does not exist (yet).

#include "core/clock.h"
#include "playback/extracommands.h"
#include "playback/stepeffects.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace orvane {

class ListModel;
class ShowSession;

// The timeline window as activation sees it (created by "Show Timeline" and kept).
class TimelineView {
public:
    virtual ~TimelineView() = default;
    virtual void setCurrentStep(int step) = 0;
    virtual int firstVisible() const = 0;
    virtual int lastVisible() const = 0;
    virtual void setVisibleSteps(int first, int last) = 0;
    virtual void repaint() = 0;
};

struct ActivationHooks {
    const Clock* clock = nullptr;            // for the effect playback's start
    std::function<bool()> shiftDown;         // asynchronous key state
    std::function<bool()> autoFadeDisable;   // Scroll Lock switch of the output
    std::function<TimelineView*()> timeline; // null while the window does not exist
    std::function<void()> rebuildSoundList;  // also registers the sound hot keys
    std::function<void()> fadeIn;            // the console's Fade-in action
    std::function<bool()> soundDeviceOpen;
    std::function<void()> pauseSound;
    std::function<void()> resumeSound;
    std::function<void()> stopSound;
    std::function<void()> playSound; // the selected entry of the sound list
    // The step's sound is not in the list (yet): while the bank is still being
    // read, it plays once it arrives.
    std::function<void(const std::string& name)> playWhenLoaded;
    std::function<void()> mainTimerTick; // one tick of timer 1
    ListModel* soundList = nullptr;      // 1003
};

// The timeline's scroll rule: the new first visible step when `step` lies before
// the first visible one or at or after (last - half the visible width, compared
// unsigned), else nothing.
std::optional<int> timelineFirstVisible(int first, int last, int step);

// The step sound's match in the sound list: an entry that begins with the
// name, compared without regard to case (the first such entry plays).
bool soundEntryMatches(std::string_view entry, std::string_view name);

class Activation {
public:
    // The console and the show store are the session's; effect, replay and
    // picture names resolve against its root folder.
    Activation(ShowSession& session, ControlModel& controls, ActivationHooks hooks,
               ExtraServices services, uint32_t randomSeed = std::random_device{}());

    // The handler of the step-number field's change. Does nothing while the
    // master fader (1005) does not exist (window creation).
    void activate();

    // Set by the show time window before it steps backwards; cleared at the end
    // of every activation.
    void requestSkipAutomationOnce() { m_skipAutomationOnce = true; }
    // Set by the easy show builder while it changes steps: no step sound.
    void setEditingFromBuilder(bool on) { m_editingFromBuilder = on; }
    StepEffects& effects() { return m_effects; }
    ExtraCommands& extraCommands() { return m_extra; }

private:
    void tellTimeline(int step);
    bool automationSuppressed() const;
    void togglePause();
    void playAtBegin();

    ShowSession& m_session;
    ControlModel& m_controls;
    ActivationHooks m_hooks;
    StepEffects m_effects;
    ExtraCommands m_extra;
    bool m_skipAutomationOnce = false;
    bool m_editingFromBuilder = false;
};

} // namespace orvane
