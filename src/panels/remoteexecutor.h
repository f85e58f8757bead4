#pragma once
// Acts on the commands of the remote surfaces (OSC, the web remote) through the
// main window's control model, by the paths the operator's own controls take,
// so that every rule the operator meets holds for a remote too:
// - go is "Fade in" as Alt+Space presses it: a fade that runs already is left
//   alone, and while manual mode has "Fade in" disabled nothing happens; while
//   the show time panel is open, go is its "Next step" with its 500 ms rule;
// - back is the keypad's "-" (the step before, with its automation); while
//   the show time panel is open, its Page Up (without the step's automation,
//   at most once per 200 ms); at step 0 nothing happens;
// - step writes the number into the step field, as the operator types it;
// - stop and pause press the sound's buttons (the show time panel's while it
//   is open), only while they are enabled;
// - master, level faders and master volumes move the sliders as a hand does
//   (the show time panel's volume sliders while it is open);
// - blackout sets the "All dmx to 0" switch by clicking it when its flag
//   differs (clicks toggle the flag, whatever the box shows).
// User-interface thread only.

#include "console/controlmodel.h"
#include "playback/remotecommand.h"

#include <functional>
#include <optional>
#include <string>

namespace orvane {

class ShowTimePanel;

struct RemoteExecutorHooks {
    // Alt+Space: starts the fade and checks "Fade in" unless it runs already
    // (ConsoleHandlers::fadeInHotKey).
    std::function<void()> fadeInKey;
    // The show time panel; null while it does not exist.
    std::function<ShowTimePanel*()> showTime;
    // The "All dmx to 0" flag the output reads; when empty, the box's check mark.
    std::function<bool()> blackoutOn;
};

class RemoteExecutor {
public:
    RemoteExecutor(ControlModel& main, RemoteExecutorHooks hooks);

    // Acts on one command: nothing when it acted (or found things already as
    // asked), else why it did nothing, as a log line can say it.
    std::optional<std::string> execute(const RemoteCommand& command);

    // Acts on at most about `budget` commands of the ring, oldest first (one
    // more when the last is a value); `ignored` hears of those that did
    // nothing. Values that follow each other for the same slider count once:
    // the last one moves it. How many it acted on. The budget keeps a flood
    // from holding the console's tick.
    using Ignored = std::function<void(const RemoteCommand&, const std::string& why)>;
    int drain(RemoteCommandRing& ring, int budget, const Ignored& ignored = {});

private:
    ShowTimePanel* openPanel() const;
    std::optional<std::string> go();
    std::optional<std::string> back();
    std::optional<std::string> step(int number);
    // `name` is the control's English caption, marked in the context "Console".
    std::optional<std::string> press(int id, const char* name);
    // `name` is an English text marked in the context "RemoteCommands".
    std::optional<std::string> slide(int id, int pos, const char* name);
    std::optional<std::string> volume(int which, float value);
    std::optional<std::string> blackout(bool on);

    ControlModel& m_main;
    RemoteExecutorHooks m_hooks;
};

// The name of a command as the log shows it ("go", "step 12", "master 0.50"),
// in the remotes' own command words, which no language changes.
std::string describe(const RemoteCommand& command);

} // namespace orvane
