#include "dmx/serialsink.h"

namespace orvane {

void SerialSink::sendFrame(std::span<const uint8_t> frame, int64_t nowNs) {
    if (!m_breakMade)
        return;
    m_breakMade = false;
    m_line.breakOff();
    if (m_line.writeFrame(frame) == int(frame.size()))
        m_stats.frameSent(nowNs);
    else
        m_stats.writeError();
}

} // namespace orvane
