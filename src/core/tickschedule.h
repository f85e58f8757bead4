#pragma once
// When the user-interface thread's periodic ticks are due. Every period is
// laid on one grid that starts at the schedule's origin, so ticks whose
// instants meet (20 ms and 50 ms every 100 ms; 250 ms and 1 s always on a
// 50 ms instant) are due together and cost the thread one wake-up. A late
// wake-up runs each due tick once, and the following ones stay on the grid:
// a stall never scatters the ticks over more wake-ups.
// Times are instants of one monotonic clock. Not thread-safe.

#include "core/clock.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace orvane {

class TickSchedule {
public:
    using Id = uint64_t;
    // A wake-up this much before a tick's instant runs it: timers are armed
    // in whole milliseconds.
    static constexpr Nanoseconds kSlack = 1ms;

    explicit TickSchedule(Nanoseconds origin) : m_origin(origin) {}

    // A tick every period (at least the slack), first due on the grid's next
    // instant after now.
    Id add(Nanoseconds period, Nanoseconds now);
    void remove(Id id);
    bool contains(Id id) const;
    // A resting tick is never due and keeps its place in the order; woken, it
    // is due again on the grid's next instant after now.
    void rest(Id id);
    void wake(Id id, Nanoseconds now);
    bool resting(Id id) const;

    // The ticks due at now, in the order they were added; each moves on to
    // its next instant after now. Fills `due` (cleared first).
    void takeDue(Nanoseconds now, std::vector<Id>& due);
    // The earliest instant a tick is due, if any tick is left.
    std::optional<Nanoseconds> nextDue() const;

private:
    struct Tick {
        Id id;
        Nanoseconds period;
        Nanoseconds due;
        bool resting = false;
    };
    const Tick* find(Id id) const;
    Tick* find(Id id);
    Nanoseconds instantAfter(Nanoseconds period, Nanoseconds t) const;

    Nanoseconds m_origin;
    std::vector<Tick> m_ticks;     // in the order they were added
    static inline Id s_nextId = 1; // ids never repeat, even across schedules
};

} // namespace orvane
