#include "dmx/dmxrecording.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace orvane {

namespace {

// Regular files return short counts only at end of file, but a signal can
// still cut a transfer; loop until done, end of file or error.
bool readExactly(int fd, uint8_t* into, std::size_t count) {
    while (count > 0) {
        ssize_t n = ::read(fd, into, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        into += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

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

int openForRecording(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

int openForReplay(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
}

ReplayRead DmxReplayReader::next(Universe& frame) {
    uint8_t header[kRecordHeaderBytes];
    if (m_fd < 0 || !readExactly(m_fd, header, sizeof header))
        return ReplayRead::End;
    std::size_t length = header[0] | (std::size_t{header[1]} << 8);
    if (length > frame.size())
        return ReplayRead::Overlong;
    return readExactly(m_fd, frame.data(), length) ? ReplayRead::Record : ReplayRead::End;
}

} // namespace orvane
