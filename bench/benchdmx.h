#pragma once
// Instruments shared by the DMX output benchmarks: the output thread's tick
// times, frame completions read from a pseudo-terminal's master side, and the
// period statistics over them.

#include "benchutil.h"
#include "core/clock.h"
#include "dmx/outputtick.h"
#include "dmx/threadsetup.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace bench {

using orvane::Nanoseconds;

inline double toMsDouble(Nanoseconds t) {
    return std::chrono::duration<double, std::milli>(t).count();
}
inline double toUsDouble(Nanoseconds t) {
    return std::chrono::duration<double, std::micro>(t).count();
}

// Steps, deadline, wake-up and end of work of every deadline of the output
// thread, kept without allocation on it.
struct TickSamples : orvane::TickTrace {
    explicit TickSamples(int capacity)
        : steps(capacity), deadline(capacity), woke(capacity), done(capacity) {}
    void onSteps(uint8_t s, Nanoseconds d, Nanoseconds w, Nanoseconds e) override {
        int i = count.load(std::memory_order_relaxed);
        if (i >= int(deadline.size()))
            return;
        steps[i] = s;
        deadline[i] = d;
        woke[i] = w;
        done[i] = e;
        count.store(i + 1, std::memory_order_release);
    }
    std::vector<uint8_t> steps;
    std::vector<Nanoseconds> deadline, woke, done;
    std::atomic<int> count{0};
};

// |period - nominal| in ms for consecutive times.
inline std::vector<double> periodDeviationsMs(const std::vector<Nanoseconds>& times, int n,
                                              Nanoseconds nominal) {
    std::vector<double> out;
    for (int i = 1; i < n; ++i)
        out.push_back(std::fabs(toMsDouble(times[i] - times[i - 1] - nominal)));
    return out;
}

inline double maxOf(const std::vector<double>& v) {
    double m = 0;
    for (double x : v)
        m = std::max(m, x);
    return m;
}

// Completion times of 513-byte frames read from the pty master.
struct FrameReader {
    std::vector<Nanoseconds> completed;
    std::atomic<bool> stop{false};
    long badStartCodes = 0;

    void run(int master, std::size_t expectedFrames) {
        // The instrument must not add its own scheduling delay to the period.
        orvane::tryRealtime(20);
        completed.reserve(expectedFrames);
        uint8_t buffer[8192];
        std::size_t inFrame = 0;
        while (!stop.load()) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0) {
                // A master whose slave side is closed reports a hang-up at
                // once: wait instead of spinning at real-time priority.
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            Nanoseconds now = orvane::monotonicNow();
            for (ssize_t i = 0; i < n; ++i) {
                if (inFrame == 0 && buffer[i] != 0)
                    ++badStartCodes;
                if (++inFrame == orvane::kFrameBytes) {
                    inFrame = 0;
                    completed.push_back(now);
                }
            }
        }
    }
};

} // namespace bench
