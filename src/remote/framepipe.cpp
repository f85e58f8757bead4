#include "remote/framepipe.h"

#include <algorithm>
#include <sys/socket.h>

namespace orvane {

bool FramePipeReader::read(int fd, Milliseconds now) {
    if (!m_target)
        return false;
    constexpr int kFrame = int(kUniverseSize);
    int waiting = bytesWaiting(fd);
    for (int i = 0; i < kReadsPerTick && waiting >= kFrame; ++i) {
        // Only the last complete frame is shown: the ones before it are read
        // past in large pieces instead of one by one.
        int before = (waiting / kFrame - 1) * kFrame;
        if (before > 0) {
            if (!skip(fd, std::min(before, kSkipBytes)))
                return false;
            waiting = bytesWaiting(fd);
            continue;
        }
        ssize_t n = ::recv(fd, m_target->frame.data(), kFrame, MSG_DONTWAIT);
        if (n <= 0)
            return false;
        if (n == kFrame)
            m_target->hold(now);
        waiting -= int(n);
    }
    return waiting >= kFrame;
}

bool FramePipeReader::skip(int fd, int count) {
    return ::recv(fd, m_skipped.data(), size_t(count), MSG_DONTWAIT) > 0;
}

} // namespace orvane
