#include "dmx/outputtick.h"

#include "dmx/threadsetup.h"
#include "show/language.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <unistd.h>

namespace orvane {

namespace {

constexpr int kOutputPriority = 20;

TickHooks& noHooks() {
    static TickHooks hooks;
    return hooks;
}

void sleepUntil(Nanoseconds deadline) {
    timespec at{time_t(deadline.count() / 1000000000), long(deadline.count() % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

// A mark-after-break is a few microseconds: a sleep would overshoot it by its
// wake-up time many times over, so the thread watches the clock instead.
void waitFor(const DueSteps& due) {
    if (!due.spin) {
        sleepUntil(due.at);
        return;
    }
    while (monotonicNow() < due.at) {
    }
}

// Runs the due steps; returns when the line's step was through, which the
// schedule counts the next break and mark from (the tick's own work, run
// after a frame's write, does not count).
Nanoseconds runDue(OutputTick& tick, uint8_t steps, Nanoseconds woke) {
    bool serveAfterWrite = (steps & kStepWrite) && (steps & kStepServe);
    if (!serveAfterWrite) {
        tick.runSteps(steps, woke);
        return monotonicNow();
    }
    tick.runSteps(kStepWrite, woke);
    Nanoseconds written = monotonicNow();
    tick.runSteps(kStepServe, written);
    return written;
}

} // namespace

std::string statusText(const Status& status) {
    switch (status.kind) {
    case StatusKind::AutoFadeDisable:
        return translate("Output status", "Auto fade disable");
    case StatusKind::Replaying:
        return fillIn(translate("Output status", "replaying dmx raw %1"),
                      {std::to_string(status.count)});
    case StatusKind::Recording:
        return fillIn(translate("Output status", "recording dmw raw %1"),
                      {std::to_string(status.count)});
    case StatusKind::Empty:
        break;
    }
    return {};
}

FileHandover::~FileHandover() {
    replace(kNothing);
}

void FileHandover::replace(int value) {
    int previous = m_slot.exchange(value);
    if (previous >= 0)
        ::close(previous);
}

OutputTick::OutputTick(OutputShared& shared, TickHooks* hooks)
    : m_shared(shared), m_hooks(hooks ? *hooks : noHooks()),
      m_recording(shared.recordRing, shared.recordFailed) {}

void OutputTick::runAt(Nanoseconds now) {
    serve(now, true);
}

void OutputTick::runSteps(uint8_t steps, Nanoseconds now) {
    if (steps & kStepLine) {
        serve(now, true);
        return;
    }
    if (steps & kStepBreak)
        makeBreak();
    if (steps & kStepRelease)
        endBreak();
    // The frame first: the tick's own work never delays it.
    if (steps & kStepWrite)
        writeFrame(now);
    if (steps & kStepServe)
        serve(now, false);
}

// The tick's own work and, at the usual cadence, the line's step in its
// place between the replay and the recording.
void OutputTick::serve(Nanoseconds now, bool withLine) {
    // Stop keys are sampled once, so the replay and the recording of one tick
    // agree and a short tap is seen by both.
    KeyStates& keys = m_shared.keys;
    bool shift = m_shiftWatch.held(keys.shift);
    bool escape = m_escapeWatch.held(keys.escape);
    bool stopKeys = shift || escape;

    Milliseconds nowMs = toMs(now);
    toggleOnScrollLock();
    m_hooks.ipHeartbeat(nowMs);
    m_hooks.pollFramePipe(nowMs, m_pipe);
    m_hooks.pollSystemPipe(nowMs);
    serveReplay(stopKeys);
    takeOutputUniverse();
    if (withLine)
        frameOutput(now);
    serveRecording(stopKeys);
}

void OutputTick::toggleOnScrollLock() {
    if (!m_scrollLockWatch.held(m_shared.keys.scrollLock)) {
        m_scrollLockLatch = false;
        return;
    }
    if (m_scrollLockLatch)
        return;
    m_scrollLockLatch = true;
    // The user-interface thread may clear the flag too ("Show Time !").
    bool was = m_shared.autoFadeDisable.load();
    while (!m_shared.autoFadeDisable.compare_exchange_weak(was, !was)) {
    }
    m_shared.status.post(was ? StatusKind::Empty : StatusKind::AutoFadeDisable);
}

void OutputTick::serveReplay(bool stopKeys) {
    int taken = m_shared.replay.take();
    if (taken == FileHandover::kStop && m_replay.isOpen()) {
        m_replay.close();
        m_shared.status.post(StatusKind::Empty);
    } else if (taken >= 0) {
        m_replay.adopt(taken);
        m_replayCount = 0;
    }
    for (int i = 0; i < kReplayRecordsPerTick && m_replay.isOpen(); ++i) {
        // An overlong record is refused like the end of the file: nothing of
        // it is sent.
        if (m_replay.next(m_replayFrame) != ReplayRead::Record) {
            stopReplay();
            return;
        }
        m_shared.status.post(StatusKind::Replaying, ++m_replayCount);
        if (stopKeys || m_shared.autoFadeDisable.load()) {
            stopReplay();
            return;
        }
    }
}

void OutputTick::stopReplay() {
    m_replay.close();
    m_shared.status.post(StatusKind::Empty);
}

void OutputTick::takeOutputUniverse() {
    m_shared.output.read(m_output);
    if (m_shared.allDmxToZero.load(std::memory_order_relaxed))
        m_output.fill(0);
}

// Whether the serial line was opened again since the last look.
bool OutputTick::lineReopened() {
    uint32_t generation = m_shared.lineGeneration.load();
    if (generation == m_lineGeneration)
        return false;
    m_lineGeneration = generation;
    return true;
}

void OutputTick::frameOutput(Nanoseconds now) {
    const OutputRoutes& routes = m_shared.routes;
    if (!routes.anyEnabled())
        return;
    // A reopened line starts with a break, never with a frame.
    if (lineReopened())
        m_linePhase = 0;
    if (m_linePhase == 0) {
        routes.forEachEnabled([](int, OutputSink& sink) { sink.beforeFrame(); });
        m_linePhase = 1;
        return;
    }
    writeFrame(now);
    m_linePhase = 0;
}

void OutputTick::makeBreak() {
    lineReopened();
    m_shared.routes.forEachEnabled([](int, OutputSink& sink) { sink.beforeFrame(); });
    m_frameStarted = true;
}

void OutputTick::endBreak() {
    // A line opened again since the break has had none.
    if (lineReopened())
        m_shared.routes.forEachEnabled([](int, OutputSink& sink) { sink.lineReopened(); });
    m_shared.routes.forEachEnabled([](int, OutputSink& sink) { sink.endBreak(); });
}

void OutputTick::writeFrame(Nanoseconds now) {
    // The newest composition: at a chosen rate the frame is not the tick's.
    if (m_frameStarted) {
        takeOutputUniverse();
        if (lineReopened())
            m_shared.routes.forEachEnabled([](int, OutputSink& sink) { sink.lineReopened(); });
        m_frameStarted = false;
    }
    m_frame[0] = m_shared.startCode.load(std::memory_order_relaxed);
    const Universe& source = frameSource(now);
    std::copy(source.begin(), source.end(), m_frame.begin() + 1);
    m_shared.routes.forEachEnabled([&](int universe, OutputSink& sink) {
        // Every route carries the composed universe today; a second universe
        // would build its own frame here.
        if (universe == kComposedUniverse)
            sink.sendFrame(m_frame, now);
    });
}

const Universe& OutputTick::frameSource(Nanoseconds now) const {
    if (m_pipe.activeAt(toMs(now)))
        return m_pipe.frame;
    if (m_replay.isOpen())
        return m_replayFrame;
    return m_output;
}

void OutputTick::serveRecording(bool stopKeys) {
    if (m_recording.take(m_shared.record))
        m_shared.status.post(StatusKind::Empty);
    if (!m_recording.active())
        return;
    // A record the writer could not write ends the recording, so the file
    // stays valid record by record.
    if (m_recording.failed()) {
        stopRecording();
        return;
    }
    // A record the ring had no room for is counted for the writer's report.
    if (m_recording.record(m_output))
        m_shared.status.post(StatusKind::Recording, m_recording.count());
    if (stopKeys || m_shared.autoFadeDisable.load())
        stopRecording();
}

void OutputTick::stopRecording() {
    m_recording.stop();
    m_shared.status.post(StatusKind::Empty);
}

bool OutputThread::start(OutputShared& shared, OutputTick& tick, TickTrace* trace, bool realtime) {
    if (running())
        return false;
    m_stop.store(false);
    try {
        m_thread = std::thread(&OutputThread::loop, this, std::ref(shared), std::ref(tick), trace,
                               realtime);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void OutputThread::stop() {
    if (!m_thread.joinable())
        return;
    m_stop.store(true);
    m_thread.join();
}

void OutputThread::loop(OutputShared& shared, OutputTick& tick, TickTrace* trace, bool realtime) {
    nameThisThread("orvane-output");
    m_realtime.store(realtime && tryRealtime(kOutputPriority));
    uint32_t generation = shared.timing.generation();
    FrameSchedule schedule(shared.timing.get(), monotonicNow());
    while (!m_stop.load(std::memory_order_acquire)) {
        // A start of the output with other settings: a new schedule from now.
        if (shared.timing.generation() != generation) {
            generation = shared.timing.generation();
            schedule = FrameSchedule(shared.timing.get(), monotonicNow());
        }
        DueSteps due = schedule.next();
        waitFor(due);
        if (m_stop.load(std::memory_order_acquire))
            break;
        Nanoseconds woke = monotonicNow();
        Nanoseconds after = runDue(tick, due.steps, woke);
        if (trace)
            trace->onSteps(due.steps, due.at, woke, monotonicNow());
        schedule.done(woke, after);
    }
}

} // namespace orvane
