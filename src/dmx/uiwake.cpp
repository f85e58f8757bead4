#include "dmx/uiwake.h"

#include <atomic>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace orvane::uiwake {

namespace {
std::atomic<bool> g_resting{false};
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

void setResting(bool resting) {
    g_resting = resting;
}

void poke() {
    if (!g_resting.load())
        return;
    int fd = g_fd.load();
    if (fd < 0)
        return;
    uint64_t one = 1;
    // A full counter means a wake is already pending.
    [[maybe_unused]] ssize_t n = ::write(fd, &one, sizeof one);
}

} // namespace orvane::uiwake
