// IP device server figure: 128 devices connected on loopback, each reading
// what it gets; the user-interface thread does what the main window does for
// the remote side (the 20 ms poll, timer 1235 every second). Measured: the
// user-interface thread's CPU time per second spent on the remote side (the
// thread's time with that work less its time running the same two timers with
// nothing to do, which the main window spends anyway), and keep-alives per
// device per second as a check that the work was really done.

#include "benchutil.h"
#include "remote/remotecontrol.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace orvane;

namespace {

constexpr int kDevices = 128;
constexpr int kMeasureMs = 10000;

int64_t clockNs(clockid_t clock) {
    timespec ts;
    clock_gettime(clock, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

int connectFrom(int device, uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{}, remote{};
    local.sin_family = remote.sin_family = AF_INET;
    std::string from = "127.0.5." + std::to_string(device);
    ::inet_pton(AF_INET, from.c_str(), &local.sin_addr);
    ::inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    remote.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The devices: one thread reading every connection.
struct Devices {
    std::vector<int> fds;
    std::atomic<uint64_t> bytes{0};
    std::atomic<bool> stop{false};

    void run() {
        int ep = ::epoll_create1(EPOLL_CLOEXEC);
        for (int fd : fds) {
            epoll_event e{};
            e.events = EPOLLIN;
            e.data.fd = fd;
            ::epoll_ctl(ep, EPOLL_CTL_ADD, fd, &e);
        }
        epoll_event events[64];
        char buffer[4096];
        while (!stop) {
            int n = ::epoll_wait(ep, events, 64, 100);
            for (int i = 0; i < n; ++i) {
                ssize_t got = ::recv(events[i].data.fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (got > 0)
                    bytes += uint64_t(got);
            }
        }
        ::close(ep);
    }
};

// The user-interface thread: a 20 ms timer and a 1 s timer, for `ms`
// milliseconds; with remote, what the main window does for it on them.
struct Window {
    int64_t next = clockNs(CLOCK_MONOTONIC);
    int64_t nextSecond = next;

    void run(RemoteControl* remote, int ms) {
        for (int64_t end = next + int64_t(ms) * 1000000; next < end; next += 20000000) {
            timespec ts{time_t(next / 1000000000), long(next % 1000000000)};
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
            if (remote)
                remote->poll(Milliseconds{next / 1000000});
            if (next < nextSecond)
                continue;
            nextSecond += 1000000000;
            if (remote)
                remote->serviceIpDevices();
        }
    }
};

// CPU time of this thread per second of a run, in ms.
double cpuPerSecond(Window& window, RemoteControl* remote, int ms) {
    int64_t before = clockNs(CLOCK_THREAD_CPUTIME_ID);
    window.run(remote, ms);
    return double(clockNs(CLOCK_THREAD_CPUTIME_ID) - before) / 1e6 / (ms / 1000.0);
}

} // namespace

int main() {
    RemoteOptions options;
    options.devices.port = 0;
    options.devices.bindAddress = "127.0.0.1";
    RemoteControl remote(options);
    remote.setLog([](std::string_view, uint32_t) {});
    if (remote.startIpServer() != 0)
        return 1;
    Devices devices;
    for (int i = 0; i < kDevices; ++i) {
        int fd = connectFrom(i + 2, remote.deviceServer().port());
        if (fd < 0)
            return 1;
        devices.fds.push_back(fd);
    }
    std::thread reader([&] { devices.run(); });
    Window window;
    window.run(&remote, 1500); // every device connected and logged
    if (remote.deviceServer().connectedDevices() != kDevices)
        return 1;

    // The timers alone, then the timers doing the remote side's work.
    double bare = cpuPerSecond(window, nullptr, kMeasureMs / 2);
    uint64_t bytesBefore = devices.bytes;
    double withRemote = cpuPerSecond(window, &remote, kMeasureMs);
    double keepAlives = double(devices.bytes - bytesBefore) / double(kDeviceTextSize);

    devices.stop = true;
    reader.join();
    for (int fd : devices.fds)
        ::close(fd);
    bench::figure("remote_devices_ui_time_128_devices", withRemote - bare, "ms/s");
    bench::figure("remote_devices_ui_time_with_timers", withRemote, "ms/s");
    bench::figure("remote_devices_ui_time_timers_alone", bare, "ms/s");
    bench::figure("remote_devices_keepalives_per_device",
                  keepAlives / kDevices / (kMeasureMs / 1000.0), "1/s");
    return 0;
}
