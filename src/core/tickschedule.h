#pragma once
// When the user-interface thread's periodic ticks are due. Every period is
// laid on one grid that starts at the schedule's origin, so ticks whose
// instants meet (20 ms and 50 ms every 100 ms; 250 ms and 1 s always on a
// 50 ms instant) are due together and cost the thread one wake-up. A late
// wake-up runs each due tick once, and the following ones stay on the grid:
// a stall never scatters the ticks over more wake-ups.
// Times are nanoseconds on one monotonic clock. Not thread-safe.

#include <cstdint>
#include <optional>
#include <vector>

namespace orvane {

class TickSchedule {
public:
    using Id = uint64_t;
    // A wake-up this much before a tick's instant runs it: timers are armed
    // in whole milliseconds.
    static constexpr int64_t kSlackNs = 1'000'000;

    explicit TickSchedule(int64_t originNs) : m_origin(originNs) {}

    // A tick every periodNs (at least the slack), first due on the grid's next
    // instant after now.
    Id add(int64_t periodNs, int64_t nowNs);
    void remove(Id id);
    bool contains(Id id) const;
    // A resting tick is never due and keeps its place in the order; woken, it
    // is due again on the grid's next instant after now.
    void rest(Id id);
    void wake(Id id, int64_t nowNs);
    bool resting(Id id) const;

    // The ticks due at now, in the order they were added; each moves on to
    // its next instant after now. Fills `due` (cleared first).
    void takeDue(int64_t nowNs, std::vector<Id>& due);
    // The earliest instant a tick is due, if any tick is left.
    std::optional<int64_t> nextDue() const;

private:
    struct Tick {
        Id id;
        int64_t period;
        int64_t due;
        bool resting = false;
    };
    const Tick* find(Id id) const;
    Tick* find(Id id);
    int64_t instantAfter(int64_t period, int64_t t) const;

    int64_t m_origin;
    std::vector<Tick> m_ticks;     // in the order they were added
    static inline Id s_nextId = 1; // ids never repeat, even across schedules
};

} // namespace orvane
