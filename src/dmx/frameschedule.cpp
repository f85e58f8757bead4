#include "dmx/frameschedule.h"

#include <algorithm>
#include <cmath>

namespace orvane {

FrameSchedule::FrameSchedule(const FrameTiming& timing, Nanoseconds start)
    : m_timing(timing), m_start(start), m_serveAt(start + kTickPeriod) {}

// Counted from the start every time, so that a rate whose period is no whole
// number of nanoseconds does not drift.
Nanoseconds FrameSchedule::frameDeadline(int64_t k) const {
    return m_start + Nanoseconds{std::llround(double(k) * 1e9 / m_timing.rate)};
}

DueSteps FrameSchedule::next() const {
    if (!m_timing.chosen())
        return {m_serveAt, uint8_t(kStepServe | kStepLine), false};
    return nextAtRate();
}

DueSteps FrameSchedule::nextAtRate() const {
    switch (m_phase) {
    case Phase::Break: {
        Nanoseconds frame = breakDeadline();
        if (m_serveAt <= frame)
            return {m_serveAt, kStepServe, false};
        return {frame, kStepBreak, false};
    }
    case Phase::Release:
        return {m_lineAt, kStepRelease, false};
    case Phase::Write:
        break;
    }
    // The tick's own work due before the next frame goes with this one's
    // write: a wake-up less for each (the cost of the output thread at rest
    // is mostly its wake-ups).
    uint8_t steps = kStepWrite;
    if (m_serveAt <= frameDeadline(m_frame + 1))
        steps |= kStepServe;
    return {m_lineAt, steps, true};
}

// A break cuts whatever the line is still sending: it never comes before the
// last frame had the time to leave, even when that frame was written late.
Nanoseconds FrameSchedule::breakDeadline() const {
    return std::max(frameDeadline(m_frame), m_lastWrite + kFrameWireTime);
}

void FrameSchedule::done(Nanoseconds woke, Nanoseconds after) {
    DueSteps ran = next();
    if (ran.steps & kStepServe)
        serveDone(m_serveAt, woke);
    if (ran.steps & (kStepBreak | kStepRelease | kStepWrite))
        lineDone(after);
}

void FrameSchedule::serveDone(Nanoseconds served, Nanoseconds woke) {
    // Today's rule for the tick: late by more than a period, start afresh.
    m_serveAt = woke - served > kTickPeriod ? woke + kTickPeriod : served + kTickPeriod;
}

void FrameSchedule::lineDone(Nanoseconds after) {
    switch (m_phase) {
    case Phase::Break:
        m_lineAt = after + m_timing.breakTime;
        m_phase = Phase::Release;
        return;
    case Phase::Release:
        m_lineAt = after + kMarkAfterBreak;
        m_phase = Phase::Write;
        return;
    case Phase::Write:
        break;
    }
    m_lastWrite = after;
    m_phase = Phase::Break;
    ++m_frame;
    // More than a period behind (a stall): the missed frames are not sent
    // back to back; the next one goes out on its own deadline. A frame a
    // little late goes out at once.
    Nanoseconds period = m_timing.period();
    if (frameDeadline(m_frame) + period < after) {
        double periods = double((after - m_start).count()) * m_timing.rate / 1e9;
        m_frame = std::max(m_frame, int64_t(std::floor(periods)));
        while (frameDeadline(m_frame) <= after)
            ++m_frame;
    }
}

} // namespace orvane
