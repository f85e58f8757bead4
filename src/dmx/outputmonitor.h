#pragma once
// The output monitor: for each output in use, the frames per second it sent
// (beside the rate asked for, when the settings choose one), its worst frame
// period of the last ten seconds and its write errors, read from the counters
// the output threads keep. Sampled once a second by a
// user-interface timer; tells when "OLA not reachable" is to be reported (once
// per outage). User-interface thread only; never touches the output thread.

#include "dmx/dmxoutput.h"

#include <QtGlobal>
#include <cstdint>
#include <string>

namespace orvane {

// Shown through translate("Output monitor", ...).
constexpr const char* kOlaNotReachableText =
    QT_TRANSLATE_NOOP("Output monitor", "OLA not reachable");
constexpr const char* kOlaBackText = QT_TRANSLATE_NOOP("Output monitor", "OLA reachable again");

class OutputMonitor {
public:
    OutputMonitor(const DmxOutput& output, Nanoseconds now);

    struct Sample {
        std::string text;            // one line, the outputs side by side
        bool olaUnreachable = false; // olad became unreachable since the last sample
        bool olaBack = false;        // connected again after an outage said so
    };
    Sample sample(Nanoseconds now);

    // What the operator reads with "OLA not reachable" (peer, universe, the
    // system's reason and the retry) and with "OLA reachable again".
    std::string olaUnreachableDetail() const;
    std::string olaBackDetail() const;

private:
    // Frames per second since the previous sample.
    struct Rate {
        uint64_t frames = 0;
        Nanoseconds at{0};
        double perSecond(uint64_t framesNow, Nanoseconds now);
    };

    std::string serialText(Nanoseconds now);
    std::string olaText(Nanoseconds now);
    void followOutages(bool olaChosen, Sample& s);

    const DmxOutput& m_output;
    Rate m_serial;
    Rate m_ola;
    uint32_t m_outagesSeen = 0;
    bool m_outageSaid = false; // an outage was said and olad is not back yet
};

// "16.7 frames/s, worst 60.3 ms, 0 write errors"; with a rate asked for,
// "39.9 of 40 frames/s, worst 25.3 ms, 0 write errors".
std::string figuresText(double framesPerSecond, const SinkReading& reading,
                        const FrameTiming& timing = {});

} // namespace orvane
