#pragma once
// The serial DMX line as an output sink: break on the tick before a frame,
// break off and the frame itself on the next. A write counts as sent only when
// the line took all 513 bytes. Output thread only, apart from stats().

#include "dmx/dmxline.h"
#include "dmx/outputsink.h"
#include "dmx/sinkstats.h"

namespace orvane {

class SerialSink final : public OutputSink {
public:
    explicit SerialSink(DmxLine& line) : m_line(line) {}

    void beforeFrame() override {
        m_line.breakOn();
        m_breakMade = true;
    }
    void sendFrame(std::span<const uint8_t> frame, int64_t nowNs) override;

    const SinkStats& stats() const { return m_stats; }

private:
    DmxLine& m_line;
    SinkStats m_stats;
    // A frame only ever follows a break: a line switched on between the two
    // ticks of a frame waits for the next break.
    bool m_breakMade = false;
};

} // namespace orvane
