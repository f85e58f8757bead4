#pragma once
// The serial DMX line as an output sink: the break goes on before a frame and
// off before the frame is written (at the usual cadence in the frame's own
// tick, at a chosen rate a mark-after-break before it). A frame is only ever
// written after a break on the same line. A write counts as sent only when the
// line took all 513 bytes. Output thread only, apart from stats().

#include "dmx/dmxline.h"
#include "dmx/outputsink.h"
#include "dmx/sinkstats.h"

namespace orvane {

class SerialSink final : public OutputSink {
public:
    explicit SerialSink(DmxLine& line) : m_line(line) {}

    void beforeFrame() override {
        m_line.breakOn();
        m_state = State::Break;
    }
    void endBreak() override;
    void sendFrame(std::span<const uint8_t> frame, Nanoseconds now) override;
    void lineReopened() override { m_state = State::Idle; }

    const SinkStats& stats() const { return m_stats; }

private:
    // Idle: no break since the last frame (a line switched on between the
    // break and its frame waits for the next break).
    enum class State : uint8_t { Idle, Break, Mark };

    DmxLine& m_line;
    SinkStats m_stats;
    State m_state = State::Idle;
};

} // namespace orvane
