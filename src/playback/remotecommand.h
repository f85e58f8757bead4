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

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

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

// Commands from the servers' threads to the user-interface thread. Fixed
// capacity: a command that finds the ring full is dropped and counted, so a
// flood costs the console nothing. push() pokes the user-interface thread's
// wake and makes the ring's own descriptor readable, so that the commands can
// be acted on as they come; it never allocates and holds the lock only to
// copy one command.
class RemoteCommandRing {
public:
    static constexpr size_t kCapacity = 256;

    RemoteCommandRing();
    ~RemoteCommandRing();
    RemoteCommandRing(const RemoteCommandRing&) = delete;
    RemoteCommandRing& operator=(const RemoteCommandRing&) = delete;

    // Any thread. False (and counted) when the ring is full.
    bool push(const RemoteCommand& command);
    // User-interface thread: the oldest command, if any.
    std::optional<RemoteCommand> pop();
    // Any thread: whether a command waits.
    bool empty() const;
    // An event descriptor that is readable after a push; -1 when none could
    // be made. clearWake() (user-interface thread) reads it empty.
    int descriptor() const { return m_wake; }
    void clearWake();
    // Any thread: commands dropped since the start.
    uint64_t dropped() const { return m_dropped.load(std::memory_order_relaxed); }

private:
    mutable std::mutex m_mutex;
    std::array<RemoteCommand, kCapacity> m_items{};
    size_t m_head = 0; // next to pop
    size_t m_size = 0;
    std::atomic<uint64_t> m_dropped{0};
    int m_wake = -1;
};

// The latest RemoteState. The user-interface thread publishes; the servers'
// threads read a copy and never call into the console.
class RemoteStateBoard {
public:
    // Before any publish: called on the user-interface thread after each change
    // (it must not block: a server pokes its own thread from it).
    void onChange(std::function<void()> listener) { m_listeners.push_back(std::move(listener)); }
    // User-interface thread. True when the state differs from the last one.
    bool publish(const RemoteState& state);
    // Any thread: the latest state and its version (0 before the first publish).
    RemoteState latest(uint64_t* version = nullptr) const;
    uint64_t version() const { return m_version.load(std::memory_order_acquire); }

private:
    mutable std::mutex m_mutex;
    RemoteState m_state;
    std::atomic<uint64_t> m_version{0};
    std::vector<std::function<void()>> m_listeners;
};

} // namespace orvane
