#pragma once
// The show control that remote surfaces (OSC, the web remote and its HTTP API)
// share: one command vocabulary, the fixed ring that carries commands from the
// servers' threads to the user-interface thread, and the state the surfaces
// show, published by the user-interface thread on change.
//
// A command is checked where it arrives (a step outside 0-499, a fader outside
// 1-24, a value outside 0-1 is refused there, with its reason to the sender);
// what reaches the ring is always in range. On the user-interface thread one
// executor acts on each command through the console's control model, exactly
// as the operator's own controls do.

#include <cstdint>
#include <string>

namespace orvane {

enum class RemoteVerb : uint8_t {
    Go,       // "Fade in": the next step with its fade
    Back,     // one step back
    Step,     // index: the step typed in the step field, 0-499
    Stop,     // the sound's Stop button
    Pause,    // the sound's Pause button
    Master,   // value: the master fader, 0-1
    Fader,    // index: level fader 1-24; value 0-1
    Volume,   // index: master volume 1 or 2; value 0-1
    Blackout, // index: 1 sets "All dmx to 0", 0 clears it
};

struct RemoteCommand {
    RemoteVerb verb = RemoteVerb::Go;
    int index = 0;
    float value = 0;

    bool operator==(const RemoteCommand&) const = default;
};

// What the remotes show of the show. Plain value; the user-interface thread
// makes a new one whenever something in it changes.
struct RemoteState {
    int step = 0;
    std::string caption;
    int next = 0;
    std::string nextCaption;
    bool fading = false;
    double fadeProgress = 1; // 0-1; 1 when no fade runs
    double master = 1;       // 0-1
    double volume1 = 0;      // 0-1
    double volume2 = 0;      // 0-1
    std::string output;      // the DMX interface's state text, as the console shows it

    bool operator==(const RemoteState&) const = default;
};

} // namespace orvane
