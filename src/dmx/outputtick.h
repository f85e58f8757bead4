#pragma once
// The output tick: every 30 ms it serves Scroll Lock, the IP-link heartbeat and
// the two pipe polls, replays and records "dmxraw.bin", and alternates between
// holding the DMX line in break and sending one frame (one frame every 60 ms)
// to every output switched on (the serial line, OLA).
//
// OutputTick::run() is the whole work of one tick as a plain call: the output
// thread (OutputThread) calls it on absolute deadlines, tests call it directly.
// It never allocates, never blocks on the user-interface thread and never touches
// a widget. Everything it shares with the user-interface thread lives in
// OutputShared and is atomic.

#include "dmx/dmxline.h"
#include "dmx/dmxrecording.h"
#include "dmx/keystates.h"
#include "dmx/outputsink.h"
#include "dmx/uiwake.h"
#include "dmx/universe.h"
#include "dmx/universemailbox.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

namespace orvane {

constexpr int kTickPeriodMs = 30;
constexpr int kReplayRecordsPerTick = kTickPeriodMs / 10;
constexpr int64_t kPipeFrameHoldMs = 1000;

// Status line texts of the tick (control 1392), posted as a kind and a counter
// so the output thread never formats or allocates.
enum class StatusKind : uint8_t { Empty, AutoFadeDisable, Replaying, Recording };

struct Status {
    StatusKind kind = StatusKind::Empty;
    uint32_t count = 0;
};

std::string statusText(const Status& status);

// One writer (the output thread), one reader (a user-interface timer).
class StatusSlot {
public:
    void post(StatusKind kind, uint32_t count = 0) {
        m_posts = (m_posts + 1) & kPostMask;
        uint64_t value = (uint64_t{m_posts} << 40) | (uint64_t(kind) << 32) | count;
        m_value.store(value, std::memory_order_release);
        uiwake::poke();
    }
    // The status posted since the last take, if any (only the latest one).
    std::optional<Status> take() {
        uint64_t value = m_value.load(std::memory_order_acquire);
        if (value == m_taken)
            return std::nullopt;
        m_taken = value;
        return Status{StatusKind((value >> 32) & 0xff), uint32_t(value)};
    }

private:
    static constexpr uint32_t kPostMask = 0xffffff;
    uint32_t m_posts = 0; // writer only
    std::atomic<uint64_t> m_value{0};
    uint64_t m_taken = 0; // reader only
};

// A file opened on the user-interface thread and taken over by the tick, or a
// request to stop the file in use. One atomic slot, so a stop followed at once
// by a new start can never stop the new file.
class FileHandover {
public:
    static constexpr int kNothing = -1;
    static constexpr int kStop = -2;

    FileHandover() = default;
    ~FileHandover();
    FileHandover(const FileHandover&) = delete;
    FileHandover& operator=(const FileHandover&) = delete;

    // User-interface thread. A file offered earlier and not yet taken is closed.
    void offer(int fd) { replace(fd); }
    void requestStop() { replace(kStop); }

    // Output thread: a descriptor to adopt, kStop or kNothing.
    int take() {
        if (m_slot.load(std::memory_order_relaxed) == kNothing)
            return kNothing;
        return m_slot.exchange(kNothing);
    }

private:
    void replace(int value);

    std::atomic<int> m_slot{kNothing};
};

// The last frame received on the frame pipe and until when it overrides the
// output. Output thread only (the pipe poll hook fills it).
struct PipeFrame {
    Universe frame{};
    int64_t deadlineMs = 0;

    void hold(int64_t nowMs) { deadlineMs = nowMs + kPipeFrameHoldMs; }
    bool activeAt(int64_t nowMs) const { return nowMs < deadlineMs; }
};

// The steps of the tick that belong to the remote-control layer. All run on the
// output thread, once per tick, and must not block or allocate. They do nothing
// until that layer overrides them.
class TickHooks {
public:
    virtual ~TickHooks() = default;
    // "!COL:..." / "!ALIVE" on the IP link while it is on.
    virtual void ipHeartbeat(int64_t /*nowMs*/) {}
    // Frame pipe: read every complete 512-byte frame waiting into pipe.frame;
    // on a complete one call pipe.hold(nowMs).
    virtual void pollFramePipe(int64_t /*nowMs*/, PipeFrame& /*pipe*/) {}
    // System pipe: moving-head position commands.
    virtual void pollSystemPipe(int64_t /*nowMs*/) {}
};

// What the user-interface thread and the output thread share. All atomic.
struct OutputShared {
    std::atomic<int> portState{-1};          // result of the last serial line open
    std::atomic<uint32_t> lineGeneration{0}; // bumped by every successful open
    std::atomic<uint8_t> startCode{0};
    std::atomic<bool> autoFadeDisable{false}; // read by activation and the main timer
    std::atomic<bool> allDmxToZero{false};
    UniverseMailbox output; // the composed output universe
    KeyStates keys;
    FileHandover record;
    FileHandover replay;
    StatusSlot status;
    OutputRoutes routes; // where frames go
};

class OutputTick {
public:
    explicit OutputTick(OutputShared& shared, TickHooks* hooks = nullptr);

    // One tick at monotonic time nowMs. Output thread (or a test) only.
    void run(int64_t nowMs) { runAt(nowMs, nowMs * 1000000); }
    // The same, with the finer time the outputs' frame periods are measured in.
    void runAt(int64_t nowMs, int64_t nowNs);

private:
    void toggleOnScrollLock();
    void serveReplay(bool stopKeys);
    void stopReplay();
    void takeOutputUniverse();
    void frameOutput(int64_t nowMs, int64_t nowNs);
    const Universe& frameSource(int64_t nowMs) const;
    void serveRecording(bool stopKeys);
    void stopRecording();
    template <typename File> void takeHandover(FileHandover& handover, File& file, uint32_t& count);

    OutputShared& m_shared;
    TickHooks& m_hooks;

    KeyWatch m_scrollLockWatch;
    KeyWatch m_shiftWatch;
    KeyWatch m_escapeWatch;
    bool m_scrollLockLatch = false;

    int m_linePhase = 0; // 0: the next tick prepares (break); 1: it sends a frame
    uint32_t m_lineGeneration = 0;
    Universe m_output{};
    Universe m_replayFrame{};
    PipeFrame m_pipe;
    std::array<uint8_t, kFrameBytes> m_frame{};

    DmxReplayReader m_replay;
    DmxRecordWriter m_record;
    uint32_t m_replayCount = 0;
    uint32_t m_recordCount = 0;
};

// Optional observer of the output thread's timing (benchmarks). Called on the
// output thread after each tick with CLOCK_MONOTONIC nanoseconds: the deadline,
// the wake-up and the end of the tick's work.
class TickTrace {
public:
    virtual ~TickTrace() = default;
    virtual void onTick(int64_t deadlineNs, int64_t wokeNs, int64_t doneNs) = 0;
};

// Runs an OutputTick every 30 ms on absolute CLOCK_MONOTONIC deadlines, at
// real-time priority when the system grants it.
class OutputThread {
public:
    OutputThread() = default;
    ~OutputThread() { stop(); }
    OutputThread(const OutputThread&) = delete;
    OutputThread& operator=(const OutputThread&) = delete;

    // False when already running or when no thread could be created.
    bool start(OutputTick& tick, TickTrace* trace = nullptr, bool realtime = true);
    // Waits for the tick in progress (at most one period).
    void stop();
    bool running() const { return m_thread.joinable(); }
    // Whether the thread got SCHED_FIFO.
    bool realtime() const { return m_realtime.load(); }

private:
    void loop(OutputTick& tick, TickTrace* trace, bool realtime);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_realtime{false};
};

} // namespace orvane
