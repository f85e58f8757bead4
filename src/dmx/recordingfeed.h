#pragma once
// The output thread's side of "dmxraw.bin": it takes the file the window
// offers, and hands the file, one record a tick and the end of the recording
// to the writer thread through the ring. It never blocks, allocates or calls
// the system: a stalled disk costs records (counted, and told to the operator
// when the recording ends), never a late frame. Output thread only.

#include "dmx/recordring.h"
#include "dmx/universe.h"

#include <atomic>
#include <cstdint>

namespace orvane {

class FileHandover;

class RecordingFeed {
public:
    // failedSession: where the writer names a recording it could not write.
    RecordingFeed(RecordRing& ring, const std::atomic<uint32_t>& failedSession)
        : m_ring(ring), m_failed(failedSession) {}
    // Closes a file taken but never handed over (the output thread has ended).
    ~RecordingFeed();
    RecordingFeed(const RecordingFeed&) = delete;
    RecordingFeed& operator=(const RecordingFeed&) = delete;

    // What the window asked since the last tick: a new file (a recording in
    // progress ends first) or a stop. True when a recording was stopped by
    // it. While the ring has no room for the hand-over, the request waits in
    // the handover.
    bool take(FileHandover& handover);
    bool active() const { return m_active; }
    // The writer could not write the recording in progress.
    bool failed() const;
    // One record; false when the ring had no room for it (it is counted).
    bool record(const Universe& universe);
    void stop();
    // Records handed over in this recording.
    uint32_t count() const { return m_count; }

private:
    // Room kept for the end of a recording and the start of the next.
    static constexpr std::size_t kReserved = 2;

    void begin(int fd);
    bool flushPending();
    bool pushBegin(int fd);
    bool pushEnd();

    RecordRing& m_ring;
    const std::atomic<uint32_t>& m_failed;
    bool m_active = false;
    uint32_t m_session = 0;
    uint32_t m_count = 0;
    uint64_t m_lost = 0;
    // Waiting for room in the ring: the end of the last recording (its
    // session and lost records), the file of the next.
    bool m_endPending = false;
    uint32_t m_endSession = 0;
    uint64_t m_endLost = 0;
    int m_beginPending = -1;
};

} // namespace orvane
