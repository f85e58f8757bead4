#pragma once
// Small timing helpers for the benchmark programs. Each figure is printed as
// one line: name, value, unit.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>
#include <vector>

namespace bench {

inline void figure(const char* name, double value, const char* unit) {
    std::printf("%s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

inline double nowMicros() {
    using namespace std::chrono;
    return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

// One run of f, in microseconds.
template <typename F> double timeMicros(F&& f) {
    double t0 = nowMicros();
    f();
    return nowMicros() - t0;
}

// Runs f `runs` times and returns each run's duration in microseconds.
template <typename F> std::vector<double> sample(int runs, F&& f) {
    std::vector<double> out;
    out.reserve(runs);
    for (int i = 0; i < runs; ++i)
        out.push_back(timeMicros(f));
    return out;
}

inline double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p / 100.0 * double(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

// Plain work that takes `micros` when nothing interrupts it (a calibrated
// loop). Timed between the runs of something short, its p99 is the floor that
// interrupts and a hypervisor's stolen time put under that thing's p99.
class PlainWork {
public:
    explicit PlainWork(double micros) {
        const long probe = 100000;
        std::vector<double> probes = sample(21, [&] { spin(probe); });
        double fastest = *std::min_element(probes.begin(), probes.end());
        m_turns = std::max(1L, long(double(probe) * micros / std::max(fastest, 1e-3)));
    }
    void operator()() const { spin(m_turns); }

private:
    static void spin(long n) {
        for (long i = 0; i < n; ++i)
            asm volatile("" : "+r"(i)); // one loop turn each, never folded away
    }
    long m_turns;
};

// Runs f and plain work in turn, `runs` times each: their durations in
// microseconds, both met by the same moments of the machine.
template <typename F>
std::pair<std::vector<double>, std::vector<double>> sampleBeside(int runs, F&& f,
                                                                 const PlainWork& plain) {
    std::pair<std::vector<double>, std::vector<double>> out;
    out.first.reserve(runs);
    out.second.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        out.first.push_back(timeMicros(f));
        out.second.push_back(timeMicros(plain));
    }
    return out;
}

// Keeps the optimiser from dropping a computed value.
template <typename T> inline void keep(const T& value) {
    asm volatile("" : : "g"(&value) : "memory");
}

} // namespace bench
