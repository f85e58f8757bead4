#include "dmx/recordingwriter.h"

#include "dmx/dmxrecording.h"
#include "dmx/outputtick.h"
#include "dmx/threadsetup.h"
#include "dmx/uiwake.h"
#include "show/language.h"
#include "show/textutil.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace orvane {

namespace {

constexpr Milliseconds kLookEvery{100};

// The file was opened for recording on the user-interface thread; a write
// that stops short is a full disk or an I/O error.
int writeAll(int fd, const uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        ssize_t n = ::write(fd, bytes, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        bytes += n;
        count -= std::size_t(n);
    }
    return 0;
}

} // namespace

std::string recordingReportText(const std::string& path, const RecordingReport& report) {
    std::string stopped, lost;
    if (report.error)
        stopped = fillIn(translate("Recording", "writing stopped after %1 records: %2"),
                         {std::to_string(report.written), std::strerror(report.error)});
    if (report.lost)
        lost = fillIn(translate("Recording", "%1 records were lost: the disk did not keep up"),
                      {std::to_string(report.lost)});
    std::string what = stopped.empty() || lost.empty()
                           ? stopped + lost
                           : fillIn(translate("Recording", "%1; %2"), {stopped, lost});
    return fillIn(translate("Recording", "Recording %1: %2"), {path, what});
}

RecordingWriter::RecordingWriter(RecordRing& ring, const FileHandover& handover,
                                 std::atomic<uint32_t>& failedSession)
    : m_ring(ring), m_handover(handover), m_failedSession(failedSession) {}

bool RecordingWriter::wake() {
    std::lock_guard lock(m_mutex);
    m_woken = true;
    m_changed.notify_one();
    if (m_thread.joinable())
        return true;
    try {
        m_thread = std::thread(&RecordingWriter::run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void RecordingWriter::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_changed.notify_one();
    }
    if (m_thread.joinable())
        m_thread.join();
    drain();
    closeFile();
}

std::optional<RecordingReport> RecordingWriter::takeReport() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_report, std::nullopt);
}

// A recording may be coming or running: the file waits in the handover, the
// output thread feeds the ring, or records wait in it.
bool RecordingWriter::watching() const {
    return m_handover.pending() || m_ring.feeding() || m_ring.front() || m_fd >= 0;
}

void RecordingWriter::run() {
    nameThisThread("orvane-record");
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        m_woken = false;
        lock.unlock();
        drain();
        bool watch = watching();
        lock.lock();
        if (watch)
            m_changed.wait_for(lock, kLookEvery, [this] { return m_stopping; });
        else
            m_changed.wait(lock, [this] { return m_stopping || m_woken; });
    }
}

void RecordingWriter::drain() {
    while (const RecordSlot* slot = m_ring.front()) {
        switch (slot->kind) {
        case RecordSlot::Kind::Begin:
            begin(*slot);
            break;
        case RecordSlot::Kind::Record:
            add(*slot);
            break;
        case RecordSlot::Kind::End:
            end(*slot);
            break;
        }
        m_ring.pop();
    }
    flush();
}

void RecordingWriter::begin(const RecordSlot& slot) {
    flush();
    closeFile();
    m_fd = slot.fd;
    m_session = slot.session;
    m_written = 0;
    m_error = 0;
}

void RecordingWriter::add(const RecordSlot& slot) {
    if (m_fd < 0 || m_error != 0)
        return;
    RecordBytes record = encodeRecord(slot.universe);
    std::memcpy(m_batch + m_batched * record.size(), record.data(), record.size());
    if (++m_batched == kBatch)
        flush();
}

void RecordingWriter::end(const RecordSlot& slot) {
    if (slot.session != m_session)
        return;
    flush();
    closeFile();
    if (slot.lost == 0 && m_error == 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_report = RecordingReport{m_written, slot.lost, m_error};
    }
    uiwake::poke();
}

// Whole records only: a failed write leaves the file as it was before it,
// valid record by record, and ends the recording's writing.
bool RecordingWriter::flush() {
    std::size_t count = std::exchange(m_batched, 0);
    if (count == 0 || m_fd < 0 || m_error != 0)
        return m_error == 0;
    off_t before = ::lseek(m_fd, 0, SEEK_CUR);
    m_error = writeAll(m_fd, m_batch, count * kRecordBytes);
    if (m_error == 0) {
        m_written += count;
        return true;
    }
    if (before >= 0 && ::ftruncate(m_fd, before) == 0)
        ::lseek(m_fd, before, SEEK_SET);
    m_failedSession.store(m_session, std::memory_order_release);
    return false;
}

void RecordingWriter::closeFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace orvane
