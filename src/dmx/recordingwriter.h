#pragma once
// The recording's writer thread: it takes what the output thread put in the
// ring (a recording's file, its records, its end) and writes the records to
// "dmxraw.bin" a few at a time, so that the disk is never the output thread's
// business. While a recording runs it looks at the ring every 100 ms on its
// own timer (nothing wakes it from the output thread); otherwise it sleeps
// until the window starts a recording.
//
// A record that cannot be written whole ends the recording for good (the file
// stays valid record by record); the output thread learns it through the
// failed session and stops recording. When a recording that lost records, or
// whose writing failed, has ended, its report waits for the window and the
// resting ticks are woken.
//
// Threads: wake(), stop(), takeReport() and the destructor on the
// user-interface thread; drain() on the writer thread, or on the caller's
// thread when there is none (tests).

#include "dmx/recordring.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace orvane {

class FileHandover;

struct RecordingReport {
    uint64_t written = 0; // records in the file
    uint64_t lost = 0;    // records the ring had no room for
    int error = 0;        // errno of the write that failed, 0 if none did

    bool operator==(const RecordingReport&) const = default;
};

// "Recording <path>: 12 records were lost: the disk did not keep up", or
// "...: writing stopped after 300 records: No space left on device".
std::string recordingReportText(const std::string& path, const RecordingReport& report);

class RecordingWriter {
public:
    // handover: the file the window offers the output thread; the writer
    // watches the ring as long as one waits there. failedSession: where it
    // names a recording it could not write, for the output thread.
    RecordingWriter(RecordRing& ring, const FileHandover& handover,
                    std::atomic<uint32_t>& failedSession);
    ~RecordingWriter() { stop(); }
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // A recording was offered: starts the thread the first time (false when
    // it cannot) and has it watch the ring.
    bool wake();
    // Writes what the ring still holds, closes the file and ends the thread.
    void stop();
    // Writes everything the ring holds now.
    void drain();

    // The report of a recording that ended with lost records or a failed
    // write, once, since the last call.
    std::optional<RecordingReport> takeReport();

private:
    static constexpr std::size_t kBatch = 16;

    void run();
    bool watching() const;
    void begin(const RecordSlot& slot);
    void add(const RecordSlot& slot);
    void end(const RecordSlot& slot);
    bool flush();
    void closeFile();

    RecordRing& m_ring;
    const FileHandover& m_handover;
    std::atomic<uint32_t>& m_failedSession;

    // Writer only (the thread, or drain()'s caller).
    int m_fd = -1;
    uint32_t m_session = 0;
    uint64_t m_written = 0;
    int m_error = 0;
    std::size_t m_batched = 0;
    uint8_t m_batch[kBatch * (2 + kUniverseSize)];

    std::mutex m_mutex; // guards what follows
    std::condition_variable m_changed;
    bool m_woken = false;
    bool m_stopping = false;
    std::optional<RecordingReport> m_report;
    std::thread m_thread;
};

} // namespace orvane
