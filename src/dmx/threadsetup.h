#pragma once
// Scheduling and names of the output layer's threads (the output thread, the
// OLA sender, the recording writer, the line's reader). Safe from any thread;
// neither blocks nor allocates.

#include <pthread.h>
#include <sched.h>

namespace orvane {

// SCHED_FIFO at the given priority for the calling thread, when the system
// grants it; false (and nothing changed) otherwise.
inline bool tryRealtime(int priority) {
    sched_param param{};
    param.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

// The calling thread's name as `top -H`, `ps -L` and `perf sched` show it
// (at most 15 characters), so a trace of the machine tells the threads apart.
inline void nameThisThread(const char* name) {
    pthread_setname_np(pthread_self(), name);
}

} // namespace orvane
