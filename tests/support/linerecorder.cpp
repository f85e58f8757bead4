#include "support/linerecorder.h"

#include <poll.h>
#include <unistd.h>

namespace orvane::test {

LineRecorder::LineRecorder(int master) : m_thread([this, master] { run(master); }) {}

LineRecorder::~LineRecorder() {
    m_stop = true;
    m_thread.join();
}

std::vector<LineFrame> LineRecorder::frames() {
    std::lock_guard lock(m_mutex);
    return m_frames;
}

std::size_t LineRecorder::count() {
    std::lock_guard lock(m_mutex);
    return m_frames.size();
}

bool LineRecorder::waitFor(std::size_t count, std::chrono::seconds wait) {
    return waitUntil([count](const std::vector<LineFrame>& f) { return f.size() >= count; }, wait);
}

std::optional<LineRecorder::Clock::time_point>
LineRecorder::firstFrame(Clock::time_point after, int channel, int value,
                         std::chrono::milliseconds wait) {
    for (auto end = Clock::now() + wait; Clock::now() < end;) {
        {
            std::lock_guard lock(m_mutex);
            for (const LineFrame& f : m_frames)
                if (f.arrived > after && f.bytes[std::size_t(channel)] == value)
                    return f.arrived;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::nullopt;
}

void LineRecorder::run(int master) {
    LineFrame f{};
    std::size_t filled = 0;
    uint8_t buffer[4096];
    while (!m_stop) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        ssize_t n = ::read(master, buffer, sizeof buffer);
        auto now = Clock::now();
        if (n <= 0) // the program has not opened the line yet
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (ssize_t i = 0; i < n; ++i) {
            f.bytes[filled++] = buffer[i];
            if (filled < f.bytes.size())
                continue;
            filled = 0;
            f.arrived = now;
            std::lock_guard lock(m_mutex);
            m_frames.push_back(f);
        }
    }
}

} // namespace orvane::test
