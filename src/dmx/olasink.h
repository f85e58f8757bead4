#pragma once
// OLA as an output sink. On the output thread a frame costs a copy into a
// latest-frame mailbox: no system call, no wake-up. The OLA sender thread
// follows the frames' steady cadence on its own timer, looks for each frame
// just after it is due, and sends the newest one to olad; it connects off the
// output thread and, while olad is absent, tries again every few seconds. A
// frame the sender had no time to take before the next one came is dropped,
// never waited for.
//
// OLA carries null-start-code data only: frames with another start code (the
// hidden start-code buttons) are not handed on.
//
// Threads: start, pause and the destructor on the user-interface thread;
// sendFrame on the output thread; the readings from any thread.

#include "core/clock.h"
#include "dmx/olaclient.h"
#include "dmx/outputsink.h"
#include "dmx/sinkstats.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace orvane {

enum class OlaState : uint8_t {
    Off,         // not wanted (the output setting leaves OLA out)
    Connecting,  // wanted, no answer yet
    Connected,   // frames go to olad
    Unreachable, // olad did not answer; retrying
};

// What the sink shares with its sender thread.
struct OlaSenderShared;

using OlaClientFactory = std::function<std::unique_ptr<OlaClient>()>;

struct OlaSinkOptions {
    OlaClientFactory makeClient = [] { return makeStreamingOlaClient(); };
    Milliseconds retry{3000};
    // Real-time priority for the sender thread (below the output thread's),
    // when granted. Off by default: at real-time priority the sender competes
    // with the kernel's own work for the serial line (measured on two cores:
    // the serial frame period's p99 grew from 0.2 to 2.5 ms), while at normal
    // priority it still takes every frame in time.
    bool realtime = false;
    // How long the destructor waits for a send in progress before it leaves
    // the sender thread to end on its own.
    Milliseconds stopWait{2000};
};

class OlaSink final : public OutputSink {
public:
    explicit OlaSink(OlaSinkOptions options = {});
    ~OlaSink() override;
    OlaSink(const OlaSink&) = delete;
    OlaSink& operator=(const OlaSink&) = delete;

    enum class StartResult { Started, NoClient, NoThread };
    // Sends to OLA universe `universe` from now on, starting the sender thread
    // the first time. NoClient: this program was built without OLA's library.
    StartResult start(unsigned universe);
    // Disconnects and stops trying until the next start.
    void pause();

    OlaState state() const;
    // How many times olad became unreachable (a first failed connection, or a
    // lost connection that could not be made again at once).
    uint32_t outages() const;
    // Why olad was last found unreachable (an errno value, 0 when unknown).
    int lastError() const;
    unsigned universe() const;
    // Frames olad accepted, failed sends, frames dropped for a newer one.
    SinkReading read(Nanoseconds now) const;

    void sendFrame(std::span<const uint8_t> frame, Nanoseconds now) override;

private:
    void wake() const;

    // Shared with the sender thread, which keeps it alive if it has to be
    // left behind in a send that does not return.
    std::shared_ptr<OlaSenderShared> m_shared;
    std::thread m_thread;
};

} // namespace orvane
