#pragma once
// What one output has done: frames sent, write errors, frames dropped before
// they could be sent, and the longest time between two frames within the last
// ten seconds. Written by the one thread that sends (the output thread for the
// serial line, the OLA sender thread for OLA), read by the user-interface timer
// of the output monitor. Writing never blocks and never allocates; every field
// is an atomic of its own, so a reading may combine two successive updates.

#include "core/clock.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace orvane {

constexpr int kStatsWindowSeconds = 10;

struct SinkReading {
    uint64_t frames = 0;
    uint64_t errors = 0;
    uint64_t dropped = 0;
    // Longest interval between frames that ended within the last ten seconds,
    // or the time since the last frame when that is longer; 0 without a frame.
    Nanoseconds worstPeriod{0};
};

class SinkStats {
public:
    // Writer thread only. now is CLOCK_MONOTONIC time.
    void frameSent(Nanoseconds now);
    void writeError() { m_errors.fetch_add(1, std::memory_order_relaxed); }
    void framesDropped(uint64_t count) { m_dropped.fetch_add(count, std::memory_order_relaxed); }
    // The next frame starts a new series: the gap before it is no frame period
    // (a connection that was down, a sink that was switched off).
    void restartSeries() { m_previous = Nanoseconds{0}; }

    // Any thread.
    SinkReading read(Nanoseconds now) const;

private:
    // One slot per second of the window: (second << 32) | worst period in µs.
    using Slot = std::atomic<uint64_t>;

    std::atomic<uint64_t> m_frames{0};
    std::atomic<uint64_t> m_errors{0};
    std::atomic<uint64_t> m_dropped{0};
    std::atomic<int64_t> m_lastFrameNs{0}; // nanoseconds, an atomic of its own
    std::array<Slot, kStatsWindowSeconds> m_worst{};
    Nanoseconds m_previous{0}; // writer only
};

} // namespace orvane
