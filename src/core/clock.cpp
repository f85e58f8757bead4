#include "core/clock.h"

#include <ctime>

namespace orvane {

Nanoseconds monotonicNow() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return Seconds{ts.tv_sec} + Nanoseconds{ts.tv_nsec};
}

Nanoseconds MonotonicClock::now() const {
    return monotonicNow();
}

WallTime MonotonicClock::wall() const {
    return std::chrono::system_clock::now();
}

const Clock& systemClock() {
    static const MonotonicClock clock;
    return clock;
}

} // namespace orvane
