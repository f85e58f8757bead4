#pragma once
// The sound bank filled off the user-interface thread: a worker walks the sound
// folder in slot order, reading and decoding each file within the bound (see
// DecodeOptions), and queues what happens: a file about to be read, a sound
// ready for the next slot, a file left out with the reason, the end of the
// walk. The console and the DMX line never wait for it; the user-interface
// thread takes the queue whenever `arrived` tells it something is there.
//
// Threads: start, stop, take and the destructor are for one thread (the
// user-interface thread); `arrived` is called on the worker, after each event
// is queued, and must only hand the news on (post a call, poke a wake).

#include "sound/soundbank.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvane {

struct SoundLoadEvent {
    enum class Kind : uint8_t { Reading, Loaded, LeftOut, Finished };
    Kind kind = Kind::Finished;
    std::string name;           // Reading: the file name; LeftOut: the path
    std::string reason;         // LeftOut
    std::optional<Sound> sound; // Loaded
};

class SoundLoader {
public:
    explicit SoundLoader(std::function<void()> arrived = {});
    // Stops a walk in progress (see stop()).
    ~SoundLoader();
    SoundLoader(const SoundLoader&) = delete;
    SoundLoader& operator=(const SoundLoader&) = delete;

    // A new walk of folder; a walk in progress is stopped first and whatever
    // it queued is dropped.
    void start(const std::string& folder, DecodeOptions options = {});
    // Ends the walk: returns once the worker is gone, which takes no longer
    // than one file's read plus a short slice, since a decoder that has not
    // returned is abandoned at once. Queued events are dropped.
    void stop();
    // The events queued since the last call, oldest first.
    std::vector<SoundLoadEvent> take();

private:
    void run(std::string folder, DecodeOptions options);
    void push(SoundLoadEvent event);

    std::function<void()> m_arrived;
    std::atomic<bool> m_cancel{false};
    std::thread m_worker;
    std::mutex m_mutex;
    std::vector<SoundLoadEvent> m_events;
};

} // namespace orvane
