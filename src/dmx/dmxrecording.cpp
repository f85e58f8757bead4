#include "dmx/dmxrecording.h"

#include "show/language.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

bool writeExactly(int fd, const uint8_t* from, std::size_t count) {
    while (count > 0) {
        ssize_t n = ::write(fd, from, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        from += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

RecordBytes encodeRecord(const Universe& universe) {
    RecordBytes record;
    record[0] = static_cast<uint8_t>(kUniverseSize & 0xff);
    record[1] = static_cast<uint8_t>(kUniverseSize >> 8);
    std::memcpy(record.data() + kRecordHeaderBytes, universe.data(), kUniverseSize);
    return record;
}

// Recordings are regular files: a FIFO or a device under the name is refused
// at once rather than blocking the output thread on it later.
static int regularFileOnly(int fd) {
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return -1;
    }
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

int openForRecording(const std::string& path) {
    return regularFileOnly(::open(
        path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644));
}

int openForReplay(const std::string& path) {
    return regularFileOnly(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
}

void DmxRecordWriter::adopt(int fd) {
    close();
    m_fd = fd;
}

void DmxRecordWriter::close() {
    closeFd(m_fd);
}

bool DmxRecordWriter::write(const Universe& universe) {
    if (m_fd < 0)
        return false;
    RecordBytes record = encodeRecord(universe);
    return writeExactly(m_fd, record.data(), record.size());
}

void DmxReplayReader::adopt(int fd) {
    close();
    m_fd = fd;
}

void DmxReplayReader::close() {
    closeFd(m_fd);
    m_begin = m_end = 0;
}

// Makes at least `needed` unread bytes available, reading as much as fits.
bool DmxReplayReader::fill(std::size_t needed) {
    if (m_end - m_begin >= needed)
        return true;
    std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
    m_end -= m_begin;
    m_begin = 0;
    while (m_end < needed) {
        ssize_t n = ::read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        m_end += static_cast<std::size_t>(n);
    }
    return true;
}

ReplayRead DmxReplayReader::next(Universe& frame) {
    if (m_fd < 0 || !fill(kRecordHeaderBytes))
        return ReplayRead::End;
    std::size_t length = m_buffer[m_begin] | (std::size_t{m_buffer[m_begin + 1]} << 8);
    if (length > frame.size())
        return ReplayRead::Overlong;
    if (!fill(kRecordHeaderBytes + length))
        return ReplayRead::End;
    std::memcpy(frame.data(), m_buffer.data() + m_begin + kRecordHeaderBytes, length);
    m_begin += kRecordHeaderBytes + length;
    return ReplayRead::Record;
}

std::optional<std::string> replayFileProblem(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error = errno; // before the translation, which may change it
        return fillIn(translate("Recording", "cannot be opened: %1"), {std::strerror(error)});
    }
    DmxReplayReader reader;
    reader.adopt(fd);
    Universe frame{};
    std::size_t records = 0;
    while (true) {
        ReplayRead read = reader.next(frame);
        if (read == ReplayRead::Overlong)
            return fillIn(translate("Recording",
                                    "record %1 is longer than 512 bytes: the replay stops there"),
                          {std::to_string(records + 1)});
        if (read == ReplayRead::End)
            break;
        ++records;
    }
    if (reader.pendingBytes() > 0)
        return fillIn(translate("Recording", "ends inside record %1: its %2 bytes are not played"),
                      {std::to_string(records + 1), std::to_string(reader.pendingBytes())});
    if (records == 0)
        return translate("Recording", "holds no DMX record");
    return std::nullopt;
}

} // namespace orvane
