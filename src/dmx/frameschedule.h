#pragma once
// When the output thread does what, on absolute deadlines. Pure logic: the
// thread hands it the times it woke and finished, tests step them by hand.
//
// The usual cadence: a tick every 30 ms, each running the tick's own work
// (keys, pipes, replay, recording) and then the line's next step, the break
// and the frame by turns.
//
// A chosen rate: frame k is due at start + k / rate. Its break goes on then
// (but never before the frame written last has had the time to leave the
// line) and off one break time after it went on, and the frame is written one
// mark-after-break after the break went off: a step that runs late never
// shortens the break, the mark that follows it or the frame before it. The tick's own work keeps
// its 30 ms ticks on average: a tick due before the next frame's deadline
// runs right after this frame's write (early by less than a frame period, so
// that at 34 frames a second and more it never costs a wake-up of its own);
// one still due before a frame's break runs on its own deadline.
//
// A frame a little late goes out at once. After a stall of more than a period
// (a suspended machine, a debugger) the missed deadlines are not made up for:
// frames start again on the next deadline of their grid, the 30 ms ticks
// afresh from the late one.

#include "dmx/frametiming.h"

#include <cstdint>

namespace orvane {

constexpr Milliseconds kTickPeriod{30};

// What is due at a deadline (a set of these bits).
enum TickStep : uint8_t {
    kStepServe = 1,   // the tick's own work
    kStepLine = 2,    // usual cadence: the break or the frame, by turns
    kStepBreak = 4,   // chosen rate: the break goes on
    kStepRelease = 8, // the break goes off: the mark-after-break begins
    kStepWrite = 16,  // the frame is written
};

struct DueSteps {
    Nanoseconds at{0};
    uint8_t steps = 0;
    // Due so soon after the previous steps (a mark-after-break) that waiting
    // for it by sleeping would overshoot it many times: the thread spins.
    bool spin = false;

    bool operator==(const DueSteps&) const = default;
};

class FrameSchedule {
public:
    FrameSchedule(const FrameTiming& timing, Nanoseconds start);

    const FrameTiming& timing() const { return m_timing; }
    DueSteps next() const;
    // The steps of next() ran: the thread woke at `woke` and was through
    // with the line's step at `after` (the tick's own work may take longer).
    void done(Nanoseconds woke, Nanoseconds after);

private:
    enum class Phase : uint8_t { Break, Release, Write };

    Nanoseconds frameDeadline(int64_t k) const;
    Nanoseconds breakDeadline() const;
    DueSteps nextAtRate() const;
    void serveDone(Nanoseconds served, Nanoseconds woke);
    void lineDone(Nanoseconds after);

    FrameTiming m_timing;
    Nanoseconds m_start;
    Nanoseconds m_serveAt; // the next tick (usual cadence) or 30 ms work (chosen rate)
    int64_t m_frame = 1;   // the frame whose steps come next
    Phase m_phase = Phase::Break;
    Nanoseconds m_lineAt{0};    // the next release or write
    Nanoseconds m_lastWrite{0}; // when the last frame was through with its write
};

} // namespace orvane
