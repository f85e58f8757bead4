#pragma once
// Time as the program counts it. Durations and instants are std::chrono
// types, never bare integers: an instant is the time elapsed on a monotonic
// clock since that clock's origin, so "20 ms later" is now + 20ms whatever the
// unit a caller thinks in. Logic never reads a system clock: it is handed a
// Clock (tests hand it a ManualClock and step it).

#include <chrono>
#include <cstdint>

namespace orvane {

using Nanoseconds = std::chrono::nanoseconds;
using Microseconds = std::chrono::microseconds;
using Milliseconds = std::chrono::milliseconds;
using Seconds = std::chrono::seconds;
using WallTime = std::chrono::system_clock::time_point;

using namespace std::chrono_literals;

// Whole milliseconds of a finer time, rounded down (also for negative times).
constexpr Milliseconds toMs(Nanoseconds t) {
    return std::chrono::floor<Milliseconds>(t);
}

// The one way logic learns the time. Implementations are safe from any thread
// and neither block nor allocate, so the output thread may use them too.
class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic time since the clock's origin.
    virtual Nanoseconds now() const = 0;
    // The time of day, for texts an operator reads ("since 21:04:10").
    virtual WallTime wall() const = 0;

    Milliseconds nowMs() const { return toMs(now()); }
};

// CLOCK_MONOTONIC (origin: the system's boot) and the system's time of day.
class MonotonicClock final : public Clock {
public:
    Nanoseconds now() const override;
    WallTime wall() const override;
};

// CLOCK_MONOTONIC read directly, where a virtual call is not wanted (the
// output thread's deadlines, which clock_nanosleep measures on that clock).
Nanoseconds monotonicNow();

// The program's monotonic clock, shared by every thread.
const Clock& systemClock();

// Another clock's time counted from the moment this one was made, so that the
// first reading is 0 (the playback clock counts from the main window's start).
class ElapsedClock final : public Clock {
public:
    explicit ElapsedClock(const Clock& base) : m_base(base), m_origin(base.now()) {}
    Nanoseconds now() const override { return m_base.now() - m_origin; }
    WallTime wall() const override { return m_base.wall(); }

private:
    const Clock& m_base;
    Nanoseconds m_origin;
};

} // namespace orvane
