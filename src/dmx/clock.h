#pragma once
// CLOCK_MONOTONIC time and real-time scheduling for the output threads. Safe
// from any thread; neither blocks nor allocates.

#include <cstdint>
#include <ctime>
#include <pthread.h>
#include <sched.h>

namespace orvane {

inline int64_t monotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// SCHED_FIFO at the given priority for the calling thread, when the system
// grants it; false (and nothing changed) otherwise.
inline bool tryRealtime(int priority) {
    sched_param param{};
    param.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

} // namespace orvane
