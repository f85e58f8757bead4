#include "dmx/recordingfeed.h"

#include "dmx/outputtick.h"

#include <unistd.h>

namespace orvane {

RecordingFeed::~RecordingFeed() {
    if (m_beginPending >= 0)
        ::close(m_beginPending);
}

bool RecordingFeed::take(FileHandover& handover) {
    // The writer keeps watching the ring from before the file leaves the
    // handover until the end of the recording is in the ring.
    if (handover.pending())
        m_ring.setFeeding(true);
    if (!flushPending())
        return false;
    int taken = handover.take();
    bool stopped = false;
    if (taken == FileHandover::kStop && m_active) {
        stop();
        stopped = true;
    } else if (taken >= 0) {
        if (m_active)
            stop();
        begin(taken);
    }
    if (!m_active && !m_endPending && m_beginPending < 0)
        m_ring.setFeeding(false);
    return stopped;
}

bool RecordingFeed::failed() const {
    return m_active && m_failed.load(std::memory_order_acquire) == m_session;
}

bool RecordingFeed::record(const Universe& universe) {
    if (!m_active)
        return false;
    RecordSlot* slot = flushPending() && m_ring.freeSlots() > kReserved ? m_ring.claim() : nullptr;
    if (!slot) {
        ++m_lost;
        return false;
    }
    slot->kind = RecordSlot::Kind::Record;
    slot->universe = universe;
    m_ring.publish();
    ++m_count;
    return true;
}

void RecordingFeed::begin(int fd) {
    // Session 0 never names a recording: the writer's "no failure".
    m_session = m_session + 1 == 0 ? 1 : m_session + 1;
    m_active = true;
    m_count = 0;
    m_lost = 0;
    if (!pushBegin(fd))
        m_beginPending = fd;
}

void RecordingFeed::stop() {
    if (!m_active)
        return;
    m_active = false;
    m_endSession = m_session;
    m_endLost = m_lost;
    // A file still waiting for room was never handed over: its recording is
    // only ended for the writer once it has been.
    m_endPending = !pushEnd();
}

bool RecordingFeed::flushPending() {
    if (m_endPending && m_beginPending < 0) {
        if (!pushEnd())
            return false;
        m_endPending = false;
    }
    if (m_beginPending >= 0) {
        if (!pushBegin(m_beginPending))
            return false;
        m_beginPending = -1;
        if (m_endPending) {
            m_endPending = !pushEnd();
            return !m_endPending;
        }
    }
    return true;
}

bool RecordingFeed::pushBegin(int fd) {
    RecordSlot* slot = m_ring.claim();
    if (!slot)
        return false;
    slot->kind = RecordSlot::Kind::Begin;
    slot->fd = fd;
    slot->session = m_session;
    m_ring.publish();
    return true;
}

bool RecordingFeed::pushEnd() {
    if (m_beginPending >= 0)
        return false;
    RecordSlot* slot = m_ring.claim();
    if (!slot)
        return false;
    slot->kind = RecordSlot::Kind::End;
    slot->session = m_endSession;
    slot->lost = m_endLost;
    m_ring.publish();
    return true;
}

} // namespace orvane
