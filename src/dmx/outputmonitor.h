#pragma once
// The output monitor: for each output in use, the frames per second it sent,
// its worst frame period of the last ten seconds and its write errors, read
// from the counters the output threads keep. Sampled once a second by a
// user-interface timer; tells when "OLA not reachable" is to be reported (once
// per outage). User-interface thread only; never touches the output thread.

#include "dmx/dmxoutput.h"

#include <cstdint>
#include <string>

namespace orvane {

constexpr const char* kOlaNotReachableText = "OLA not reachable";

class OutputMonitor {
public:
    explicit OutputMonitor(const DmxOutput& output, int64_t nowNs);

    struct Sample {
        std::string text;            // one line, the outputs side by side
        bool olaUnreachable = false; // olad became unreachable since the last sample
    };
    Sample sample(int64_t nowNs);

    // What the operator reads with "OLA not reachable" (peer and retry).
    std::string olaUnreachableDetail() const;

private:
    // Frames per second since the previous sample.
    struct Rate {
        uint64_t frames = 0;
        int64_t atNs = 0;
        double perSecond(uint64_t framesNow, int64_t nowNs);
    };

    std::string serialText(int64_t nowNs);
    std::string olaText(int64_t nowNs);

    const DmxOutput& m_output;
    Rate m_serial;
    Rate m_ola;
    uint32_t m_outagesSeen = 0;
};

// "16.7 frames/s, worst 60.3 ms, 0 write errors"
std::string figuresText(double framesPerSecond, const SinkReading& reading);

} // namespace orvane
