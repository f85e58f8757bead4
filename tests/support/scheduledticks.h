#pragma once
// The output tick driven through its frame schedule on the schedule's own
// times, for the tests that count what a tick does: the steps read no clock,
// so the deadlines need not be waited for.

#include "dmx/frameschedule.h"
#include "dmx/outputtick.h"

#include <chrono>
#include <cstdint>
#include <utility>

namespace orvane::test {

class ScheduledTicks {
public:
    ScheduledTicks(OutputTick& tick, const FrameSchedule& schedule)
        : m_tick(tick), m_schedule(schedule) {}

    // Runs the steps of the next deadlines.
    void run(int deadlines) {
        for (int i = 0; i < deadlines; ++i) {
            DueSteps due = m_schedule.next();
            m_tick.runSteps(due.steps, due.at);
            m_schedule.done(due.at, due.at + std::chrono::microseconds(1));
        }
    }

    // How many of the next deadlines have the tick's own work, and frames
    // (at the usual cadence every other tick, from an even number run).
    std::pair<uint64_t, uint64_t> ahead(int deadlines) const {
        FrameSchedule copy = m_schedule;
        uint64_t serves = 0, writes = 0, lineTicks = 0;
        for (int i = 0; i < deadlines; ++i) {
            DueSteps due = copy.next();
            serves += (due.steps & kStepServe) != 0;
            writes += (due.steps & kStepWrite) != 0;
            lineTicks += (due.steps & kStepLine) != 0;
            copy.done(due.at, due.at + std::chrono::microseconds(1));
        }
        return {serves, writes + lineTicks / 2};
    }

private:
    OutputTick& m_tick;
    FrameSchedule m_schedule;
};

} // namespace orvane::test
