#pragma once
// What one output has done: frames sent, write errors, frames dropped before
// they could be sent, and the longest time between two frames within the last
// ten seconds. Written by the one thread that sends (the output thread for the
// serial line, the OLA sender thread for OLA), read by the user-interface timer
// of the output monitor. Writing never blocks and never allocates; every field
// is an atomic of its own, so a reading may combine two successive updates.

#include <array>
#include <atomic>
#include <cstdint>

namespace orvane {

constexpr int kStatsWindowSeconds = 10;
constexpr int64_t kNsPerSecond = 1000000000;

struct SinkReading {
    uint64_t frames = 0;
    uint64_t errors = 0;
    uint64_t dropped = 0;
    // Longest interval between frames that ended within the last ten seconds,
    // or the time since the last frame when that is longer; 0 without a frame.
    int64_t worstPeriodNs = 0;
};

class SinkStats {
public:
    // Writer thread only. nowNs is CLOCK_MONOTONIC time.
    void frameSent(int64_t nowNs);
    void writeError() { m_errors.fetch_add(1, std::memory_order_relaxed); }
    void framesDropped(uint64_t count) { m_dropped.fetch_add(count, std::memory_order_relaxed); }
    // The next frame starts a new series: the gap before it is no frame period
    // (a connection that was down, a sink that was switched off).
    void restartSeries() { m_previousNs = 0; }

    // Any thread.
    SinkReading read(int64_t nowNs) const;

private:
    // One slot per second of the window: (second << 32) | worst period in µs.
    using Slot = std::atomic<uint64_t>;

    std::atomic<uint64_t> m_frames{0};
    std::atomic<uint64_t> m_errors{0};
    std::atomic<uint64_t> m_dropped{0};
    std::atomic<int64_t> m_lastFrameNs{0};
    std::array<Slot, kStatsWindowSeconds> m_worst{};
    int64_t m_previousNs = 0; // writer only
};

} // namespace orvane
