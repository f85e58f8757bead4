#include "dmx/sinkstats.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr uint64_t kLowMask = 0xffffffffu;

uint64_t secondOf(Nanoseconds t) {
    return uint64_t(std::chrono::floor<Seconds>(t).count()) & kLowMask;
}

} // namespace

void SinkStats::frameSent(Nanoseconds now) {
    if (m_previous != Nanoseconds{0} && now > m_previous) {
        uint64_t periodUs = std::min<uint64_t>(
            uint64_t(std::chrono::duration_cast<Microseconds>(now - m_previous).count()), kLowMask);
        uint64_t second = secondOf(now);
        Slot& slot = m_worst[second % kStatsWindowSeconds];
        uint64_t held = slot.load(std::memory_order_relaxed);
        // Single writer: a plain load and store keep the slot's maximum.
        if ((held >> 32) != second || (held & kLowMask) < periodUs)
            slot.store((second << 32) | periodUs, std::memory_order_relaxed);
    }
    m_previous = now;
    m_lastFrameNs.store(now.count(), std::memory_order_relaxed);
    m_frames.fetch_add(1, std::memory_order_release);
}

SinkReading SinkStats::read(Nanoseconds now) const {
    SinkReading r;
    r.frames = m_frames.load(std::memory_order_acquire);
    r.errors = m_errors.load(std::memory_order_relaxed);
    r.dropped = m_dropped.load(std::memory_order_relaxed);
    uint64_t second = secondOf(now);
    uint64_t worstUs = 0;
    for (const Slot& slot : m_worst) {
        uint64_t held = slot.load(std::memory_order_relaxed);
        uint64_t age = (second - (held >> 32)) & kLowMask;
        if (age < uint64_t(kStatsWindowSeconds))
            worstUs = std::max(worstUs, held & kLowMask);
    }
    r.worstPeriod = Microseconds{int64_t(worstUs)};
    Nanoseconds last{m_lastFrameNs.load(std::memory_order_relaxed)};
    if (r.frames > 0 && now > last)
        r.worstPeriod = std::max(r.worstPeriod, now - last);
    return r;
}

} // namespace orvane
