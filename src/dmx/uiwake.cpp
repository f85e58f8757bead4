#include "dmx/uiwake.h"

#include <atomic>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace orvane::uiwake {

namespace {
std::atomic<bool> g_resting{false};
std::atomic<uint64_t> g_pokes{0};
std::atomic<int> g_fd{-1};
} // namespace

int descriptor() {
    static const int fd = [] {
        int made = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        g_fd = made;
        return made;
    }();
    return fd;
}

void drain() {
    uint64_t count = 0;
    int fd = g_fd.load();
    while (fd >= 0 && ::read(fd, &count, sizeof count) == sizeof count) {
    }
}

// The flag and the count are different variables: each side puts a full
// fence between its write and its read, so that either the poking thread sees
// the flag raised or the resting side sees the count moved.
void setResting(bool resting) {
    g_resting = resting;
    std::atomic_thread_fence(std::memory_order_seq_cst);
}

uint64_t pokes() {
    return g_pokes.load();
}

void poke() {
    g_pokes.fetch_add(1);
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (!g_resting.load(std::memory_order_relaxed))
        return;
    int fd = g_fd.load();
    if (fd < 0)
        return;
    uint64_t one = 1;
    // A full counter means a wake is already pending.
    [[maybe_unused]] ssize_t n = ::write(fd, &one, sizeof one);
}

} // namespace orvane::uiwake
