#pragma once
// The output tick: every 30 ms it serves Scroll Lock, the IP-link heartbeat and
// the two pipe polls, replays "dmxraw.bin" and hands a record of it to the
// recording writer. At the usual cadence the same tick alternates between
// holding the DMX line in break and sending one frame (one frame every 60 ms)
// to every output switched on (the serial line, OLA); at a chosen frame rate
// the break, its end and the frame are steps of their own on the frame's
// deadlines (FrameSchedule), and each frame carries the newest composed
// universe.
//
// OutputTick::runAt() is the whole work of one usual tick as a plain call and
// runSteps() that of any deadline: the output thread (OutputThread) calls them
// on absolute deadlines, tests call them directly. The tick never allocates,
// never makes a system call of its own (the line's break and write, and the
// pipes' one poll, are those of the outputs and pipes it serves), never blocks
// and never touches a widget. Everything it shares with the user-interface
// thread lives in OutputShared and is atomic.

#include "core/clock.h"
#include "dmx/dmxline.h"
#include "dmx/dmxrecording.h"
#include "dmx/frameschedule.h"
#include "dmx/keystates.h"
#include "dmx/outputsink.h"
#include "dmx/recordingfeed.h"
#include "dmx/recordring.h"
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

// The tick in whole milliseconds, as the remote layer counts.
constexpr int kTickPeriodMs = int(kTickPeriod.count());
constexpr int kReplayRecordsPerTick = kTickPeriodMs / 10;
constexpr Milliseconds kPipeFrameHold{1000};

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

    // Any thread: a file or a stop waits to be taken.
    bool pending() const { return m_slot.load() != kNothing; }
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
    Milliseconds deadline{0};

    void hold(Milliseconds now) { deadline = now + kPipeFrameHold; }
    bool activeAt(Milliseconds now) const { return now < deadline; }
};

// The steps of the tick that belong to the remote-control layer. All run on the
// output thread, once per 30 ms tick, and must not block or allocate. Times
// are the tick's monotonic time, in whole milliseconds. They do nothing
// until that layer overrides them.
class TickHooks {
public:
    virtual ~TickHooks() = default;
    // "!COL:..." / "!ALIVE" on the IP link while it is on.
    virtual void ipHeartbeat(Milliseconds /*now*/) {}
    // Frame pipe: read every complete 512-byte frame waiting into pipe.frame;
    // on a complete one call pipe.hold(now).
    virtual void pollFramePipe(Milliseconds /*now*/, PipeFrame& /*pipe*/) {}
    // System pipe: moving-head position commands.
    virtual void pollSystemPipe(Milliseconds /*now*/) {}
};

// The frame timing the output thread follows, set by the user-interface
// thread at every start of the output. The thread looks at the generation
// before each deadline and starts a new schedule when it moved.
class TimingSlot {
public:
    void set(const FrameTiming& timing) {
        m_rate.store(timing.rate, std::memory_order_relaxed);
        m_breakUs.store(timing.breakTime.count(), std::memory_order_relaxed);
        m_generation.fetch_add(1, std::memory_order_release);
    }
    uint32_t generation() const { return m_generation.load(std::memory_order_acquire); }
    FrameTiming get() const {
        return {m_rate.load(std::memory_order_relaxed),
                Microseconds{m_breakUs.load(std::memory_order_relaxed)}};
    }

private:
    std::atomic<uint32_t> m_generation{0};
    std::atomic<double> m_rate{0};
    std::atomic<int64_t> m_breakUs{kDefaultBreak.count()};
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
    TimingSlot timing;
    RecordRing recordRing; // output thread -> recording writer
    // A recording the writer could not write (its session), 0 for none.
    std::atomic<uint32_t> recordFailed{0};
};

class OutputTick {
public:
    explicit OutputTick(OutputShared& shared, TickHooks* hooks = nullptr);

    // Output thread (or a test) only. One usual tick at monotonic time now:
    // the tick's own work, then the break or the frame by turns.
    void runAt(Nanoseconds now);
    // The same at a time in whole milliseconds (the remote layer's tests).
    void run(int64_t nowMs) { runAt(Milliseconds{nowMs}); }
    // The steps a FrameSchedule says are due (a set of TickStep bits).
    void runSteps(uint8_t steps, Nanoseconds now);

private:
    void serve(Nanoseconds now, bool withLine);
    void toggleOnScrollLock();
    void serveReplay(bool stopKeys);
    void stopReplay();
    void takeOutputUniverse();
    bool lineReopened();
    void frameOutput(Nanoseconds now);
    void makeBreak();
    void endBreak();
    void writeFrame(Nanoseconds now);
    const Universe& frameSource(Nanoseconds now) const;
    void serveRecording(bool stopKeys);
    void stopRecording();

    OutputShared& m_shared;
    TickHooks& m_hooks;

    KeyWatch m_scrollLockWatch;
    KeyWatch m_shiftWatch;
    KeyWatch m_escapeWatch;
    bool m_scrollLockLatch = false;

    int m_linePhase = 0; // usual cadence; 0: the next tick makes the break; 1: the frame
    uint32_t m_lineGeneration = 0;
    bool m_frameStarted = false; // chosen rate: this frame's break was made
    Universe m_output{};
    Universe m_replayFrame{};
    PipeFrame m_pipe;
    std::array<uint8_t, kFrameBytes> m_frame{};

    DmxReplayReader m_replay;
    RecordingFeed m_recording;
    uint32_t m_replayCount = 0;
};

// Optional observer of the output thread's timing (benchmarks, traces).
// Called on the output thread after the steps of each deadline with
// CLOCK_MONOTONIC times: the deadline, the wake-up and the end of the steps'
// work. It must neither block nor allocate.
class TickTrace {
public:
    virtual ~TickTrace() = default;
    virtual void onSteps(uint8_t steps, Nanoseconds deadline, Nanoseconds woke,
                         Nanoseconds done) = 0;
};

// Runs an OutputTick on absolute CLOCK_MONOTONIC deadlines, as the frame
// timing in OutputShared has them (FrameSchedule), at real-time priority when
// the system grants it.
class OutputThread {
public:
    OutputThread() = default;
    ~OutputThread() { stop(); }
    OutputThread(const OutputThread&) = delete;
    OutputThread& operator=(const OutputThread&) = delete;

    // False when already running or when no thread could be created.
    bool start(OutputShared& shared, OutputTick& tick, TickTrace* trace = nullptr,
               bool realtime = true);
    // Waits for the steps in progress (at most one 30 ms tick).
    void stop();
    bool running() const { return m_thread.joinable(); }
    // Whether the thread got SCHED_FIFO.
    bool realtime() const { return m_realtime.load(); }

private:
    void loop(OutputShared& shared, OutputTick& tick, TickTrace* trace, bool realtime);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_realtime{false};
};

} // namespace orvane
