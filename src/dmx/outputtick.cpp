#include "dmx/outputtick.h"

#include "dmx/clock.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <unistd.h>

namespace orvane {

namespace {

constexpr int kOutputPriority = 20;
constexpr int64_t kNsPerMs = 1000000;
constexpr int64_t kTickPeriodNs = kTickPeriodMs * kNsPerMs;

TickHooks& noHooks() {
    static TickHooks hooks;
    return hooks;
}

timespec toTimespec(int64_t ns) {
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

void sleepUntil(int64_t deadlineNs) {
    timespec deadline = toTimespec(deadlineNs);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

} // namespace

std::string statusText(const Status& status) {
    char text[48];
    switch (status.kind) {
    case StatusKind::AutoFadeDisable:
        return "Auto fade disable";
    case StatusKind::Replaying:
        std::snprintf(text, sizeof text, "replaying dmx raw %u", status.count);
        return text;
    case StatusKind::Recording:
        std::snprintf(text, sizeof text, "recording dmw raw %u", status.count);
        return text;
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
    : m_shared(shared), m_hooks(hooks ? *hooks : noHooks()) {}

void OutputTick::runAt(int64_t nowMs, int64_t nowNs) {
    // Stop keys are sampled once, so the replay and the recording of one tick
    // agree and a short tap is seen by both.
    KeyStates& keys = m_shared.keys;
    bool shift = m_shiftWatch.held(keys.shift);
    bool escape = m_escapeWatch.held(keys.escape);
    bool stopKeys = shift || escape;

    toggleOnScrollLock();
    m_hooks.ipHeartbeat(nowMs);
    m_hooks.pollFramePipe(nowMs, m_pipe);
    m_hooks.pollSystemPipe(nowMs);
    serveReplay(stopKeys);
    takeOutputUniverse();
    frameOutput(nowMs, nowNs);
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

template <typename File>
void OutputTick::takeHandover(FileHandover& handover, File& file, uint32_t& count) {
    int taken = handover.take();
    if (taken == FileHandover::kStop && file.isOpen()) {
        file.close();
        m_shared.status.post(StatusKind::Empty);
    } else if (taken >= 0) {
        file.adopt(taken);
        count = 0;
    }
}

void OutputTick::serveReplay(bool stopKeys) {
    takeHandover(m_shared.replay, m_replay, m_replayCount);
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

void OutputTick::frameOutput(int64_t nowMs, int64_t nowNs) {
    const OutputRoutes& routes = m_shared.routes;
    if (!routes.anyEnabled())
        return;
    // A reopened line starts with a break, never with a frame.
    uint32_t generation = m_shared.lineGeneration.load();
    if (generation != m_lineGeneration) {
        m_lineGeneration = generation;
        m_linePhase = 0;
    }
    if (m_linePhase == 0) {
        routes.forEachEnabled([](int, OutputSink& sink) { sink.beforeFrame(); });
        m_linePhase = 1;
        return;
    }
    m_frame[0] = m_shared.startCode.load(std::memory_order_relaxed);
    const Universe& source = frameSource(nowMs);
    std::copy(source.begin(), source.end(), m_frame.begin() + 1);
    routes.forEachEnabled([&](int universe, OutputSink& sink) {
        // Every route carries the composed universe today; a second universe
        // would build its own frame here.
        if (universe == kComposedUniverse)
            sink.sendFrame(m_frame, nowNs);
    });
    m_linePhase = 0;
}

const Universe& OutputTick::frameSource(int64_t nowMs) const {
    if (m_pipe.activeAt(nowMs))
        return m_pipe.frame;
    if (m_replay.isOpen())
        return m_replayFrame;
    return m_output;
}

void OutputTick::serveRecording(bool stopKeys) {
    takeHandover(m_shared.record, m_record, m_recordCount);
    if (!m_record.isOpen())
        return;
    // A record that cannot be written whole ends the recording, so the file
    // stays valid record by record.
    if (!m_record.write(m_output)) {
        stopRecording();
        return;
    }
    m_shared.status.post(StatusKind::Recording, ++m_recordCount);
    if (stopKeys || m_shared.autoFadeDisable.load())
        stopRecording();
}

void OutputTick::stopRecording() {
    m_record.close();
    m_shared.status.post(StatusKind::Empty);
}

bool OutputThread::start(OutputTick& tick, TickTrace* trace, bool realtime) {
    if (running())
        return false;
    m_stop.store(false);
    try {
        m_thread = std::thread(&OutputThread::loop, this, std::ref(tick), trace, realtime);
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

void OutputThread::loop(OutputTick& tick, TickTrace* trace, bool realtime) {
    m_realtime.store(realtime && tryRealtime(kOutputPriority));
    int64_t deadline = monotonicNs();
    while (!m_stop.load(std::memory_order_acquire)) {
        deadline += kTickPeriodNs;
        sleepUntil(deadline);
        if (m_stop.load(std::memory_order_acquire))
            break;
        int64_t woke = monotonicNs();
        tick.runAt(woke / kNsPerMs, woke);
        if (trace)
            trace->onTick(deadline, woke, monotonicNs());
        // After a stall (suspend, debugger) start a fresh schedule instead of
        // firing the missed ticks back to back.
        if (woke - deadline > kTickPeriodNs)
            deadline = woke;
    }
}

} // namespace orvane
