#include "dmx/sinkstats.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr uint64_t kLowMask = 0xffffffffu;

uint64_t secondOf(int64_t ns) {
    return uint64_t(ns / kNsPerSecond) & kLowMask;
}

} // namespace

void SinkStats::frameSent(int64_t nowNs) {
    if (m_previousNs != 0 && nowNs > m_previousNs) {
        uint64_t periodUs = std::min<uint64_t>(uint64_t(nowNs - m_previousNs) / 1000, kLowMask);
        uint64_t second = secondOf(nowNs);
        Slot& slot = m_worst[second % kStatsWindowSeconds];
        uint64_t held = slot.load(std::memory_order_relaxed);
        // Single writer: a plain load and store keep the slot's maximum.
        if ((held >> 32) != second || (held & kLowMask) < periodUs)
            slot.store((second << 32) | periodUs, std::memory_order_relaxed);
    }
    m_previousNs = nowNs;
    m_lastFrameNs.store(nowNs, std::memory_order_relaxed);
    m_frames.fetch_add(1, std::memory_order_release);
}

SinkReading SinkStats::read(int64_t nowNs) const {
    SinkReading r;
    r.frames = m_frames.load(std::memory_order_acquire);
    r.errors = m_errors.load(std::memory_order_relaxed);
    r.dropped = m_dropped.load(std::memory_order_relaxed);
    uint64_t now = secondOf(nowNs);
    uint64_t worstUs = 0;
    for (const Slot& slot : m_worst) {
        uint64_t held = slot.load(std::memory_order_relaxed);
        uint64_t age = (now - (held >> 32)) & kLowMask;
        if (age < uint64_t(kStatsWindowSeconds))
            worstUs = std::max(worstUs, held & kLowMask);
    }
    r.worstPeriodNs = int64_t(worstUs) * 1000;
    int64_t last = m_lastFrameNs.load(std::memory_order_relaxed);
    if (r.frames > 0 && nowNs > last)
        r.worstPeriodNs = std::max(r.worstPeriodNs, nowNs - last);
    return r;
}

} // namespace orvane
