#pragma once
// Every frame the program sends on a pseudo-terminal line, with the time it
// arrived, read on a thread of its own from the line's first byte on (frames
// are told apart by counting their 513 bytes).

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace orvane::test {

struct LineFrame {
    std::chrono::steady_clock::time_point arrived;
    std::array<uint8_t, 513> bytes;
};

class LineRecorder {
public:
    using Clock = std::chrono::steady_clock;

    // Reads the master side of the pty until destroyed.
    explicit LineRecorder(int master);
    ~LineRecorder();
    LineRecorder(const LineRecorder&) = delete;
    LineRecorder& operator=(const LineRecorder&) = delete;

    std::vector<LineFrame> frames();
    std::size_t count();
    // Waits until `count` frames came, at most `wait`.
    bool waitFor(std::size_t count, std::chrono::seconds wait);
    // Waits until done(frames) holds, at most `wait`.
    template <typename F> bool waitUntil(F done, std::chrono::seconds wait) {
        for (auto end = Clock::now() + wait; Clock::now() < end;) {
            if (done(frames()))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // The arrival of the first frame after `after` whose channel holds value;
    // nothing when none came within the wait.
    std::optional<Clock::time_point> firstFrame(Clock::time_point after, int channel, int value,
                                                std::chrono::milliseconds wait);

private:
    void run(int master);

    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<LineFrame> m_frames;
    std::thread m_thread;
};

} // namespace orvane::test
