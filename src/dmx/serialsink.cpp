#include "dmx/serialsink.h"

namespace orvane {

void SerialSink::endBreak() {
    if (m_state != State::Break)
        return;
    m_line.breakOff();
    m_state = State::Mark;
}

void SerialSink::sendFrame(std::span<const uint8_t> frame, Nanoseconds now) {
    if (m_state == State::Idle)
        return;
    if (m_state == State::Break)
        m_line.breakOff();
    m_state = State::Idle;
    if (m_line.writeFrame(frame) == int(frame.size()))
        m_stats.frameSent(now);
    else
        m_stats.writeError();
}

} // namespace orvane
