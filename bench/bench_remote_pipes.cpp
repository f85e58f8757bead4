// Pipe figures:
// - a frame written to "orvanepipeserver" until it has gone out on the line
//   (a pty as the DMX device, the real output thread): one tick to read it,
//   one break tick, then the frame; 200 frames written at random moments;
// - the output tick's work with both pipes connected and idle, against the
//   tick with no remote side at all, in alternating runs: on a pty (the tick
//   as it runs, its line's system calls included) and on a line without
//   system calls (the tick's own code; there the pipes' one system call also
//   pays for waking the kernel's side after the tick's sleep).

#include "benchutil.h"
#include "dmx/dmxoutput.h"
#include "dmx/serialline.h"
#include "remote/remotecontrol.h"
#include "support/nullline.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace orvane;

namespace {

constexpr int kFrames = 200;

int64_t monotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

int connectLocal(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Frames read from the pty master; when one is all `wanted`, its arrival time.
struct LineWatch {
    std::atomic<int> wanted{-1};
    std::atomic<int64_t> seenNs{0};
    std::atomic<bool> stop{false};

    void run(int master) {
        uint8_t buffer[8192];
        uint8_t frame[kFrameBytes];
        size_t inFrame = 0;
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0) // the slave side is not open (yet)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            for (ssize_t i = 0; i < n; ++i) {
                frame[inFrame++] = buffer[i];
                if (inFrame < kFrameBytes)
                    continue;
                inFrame = 0;
                int w = wanted.load();
                bool all = w >= 0;
                for (size_t k = 1; k < kFrameBytes && all; ++k)
                    all = frame[k] == w;
                if (all && seenNs.load() == 0)
                    seenNs = monotonicNs();
            }
        }
    }
};

std::vector<double> frameLatencies() {
    test::PtyPair pty;
    test::TempDir dir;
    RemoteOptions options;
    options.pipeFolder = dir.file("pipes");
    RemoteControl remote(options);
    remote.createPipeServers();
    SerialLine line(nullptr);
    DmxOutputOptions o;
    o.dmxPortSetting = [&] { return pty.slavePath(); };
    o.hooks = &remote.tickHooks();
    DmxOutput output(line, o);
    if (!pty.ok() || output.start() != 0)
        return {};
    LineWatch watch;
    std::thread reader([&] { watch.run(pty.master()); });
    int client = connectLocal(dir.file("pipes/orvanepipeserver"));
    std::mt19937 rng(7);
    std::vector<double> ms;
    for (int i = 0; i < kFrames && client >= 0; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 60000));
        uint8_t value = uint8_t(1 + i % 250);
        std::vector<uint8_t> frame(kUniverseSize, value);
        watch.seenNs = 0;
        watch.wanted = value;
        int64_t sent = monotonicNs();
        if (::send(client, frame.data(), frame.size(), MSG_NOSIGNAL) != ssize_t(frame.size()))
            break;
        while (watch.seenNs == 0 && monotonicNs() - sent < 1000000000)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (watch.seenNs != 0)
            ms.push_back(double(watch.seenNs - sent) / 1e6);
    }
    if (client >= 0)
        ::close(client);
    output.stopTick();
    watch.stop = true;
    reader.join();
    line.close();
    return ms;
}

struct Work : TickTrace {
    void onSteps(uint8_t, Nanoseconds, Nanoseconds woke, Nanoseconds done) override {
        if (count < int(us.size()))
            us[size_t(count++)] = std::chrono::duration<double, std::micro>(done - woke).count();
    }
    std::vector<double> us = std::vector<double>(1000);
    int count = 0;
};

// The tick's work for `ms` milliseconds, with the remote hooks or none, on
// the given line.
std::vector<double> tickWork(DmxLine& line, std::function<std::string()> port, TickHooks* hooks,
                             int ms) {
    Work work;
    DmxOutputOptions o;
    o.dmxPortSetting = std::move(port);
    o.hooks = hooks;
    o.trace = &work;
    DmxOutput output(line, o);
    output.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    output.stopTick();
    line.close();
    return {work.us.begin(), work.us.begin() + work.count};
}

// Alternating runs without and with the idle pipes; p50 and p99 of each.
void compareTickWork(const char* name, DmxLine& line, std::function<std::string()> port,
                     TickHooks& hooks) {
    std::vector<double> bare, idle;
    for (int round = 0; round < 4; ++round) {
        for (double us : tickWork(line, port, nullptr, 4000))
            bare.push_back(us);
        for (double us : tickWork(line, port, &hooks, 4000))
            idle.push_back(us);
    }
    auto figure = [&](const char* what, double value) {
        std::string n = std::string("remote_tick_work_") + name + what;
        bench::figure(n.c_str(), value, "us");
    };
    figure("_without_pipes_p99", bench::percentile(bare, 99));
    figure("_pipes_idle_p99", bench::percentile(idle, 99));
    figure("_pipes_idle_p99_added", bench::percentile(idle, 99) - bench::percentile(bare, 99));
    figure("_pipes_idle_p50_added", bench::percentile(idle, 50) - bench::percentile(bare, 50));
}

// Drains the pty master so the line never fills.
struct Drain {
    std::atomic<bool> stop{false};
    void run(int master) {
        char buffer[8192];
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && ::read(master, buffer, sizeof buffer) < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

} // namespace

int main() {
    unsetenv("ORVANE_DMX_PORT");
    std::vector<double> latency = frameLatencies();
    if (latency.size() != kFrames)
        return 1;
    bench::figure("remote_pipe_frame_to_line_p50", bench::percentile(latency, 50), "ms");
    bench::figure("remote_pipe_frame_to_line_p99", bench::percentile(latency, 99), "ms");
    bench::figure("remote_pipe_frame_to_line_max", bench::percentile(latency, 100), "ms");

    test::TempDir dir;
    RemoteOptions options;
    options.pipeFolder = dir.file("pipes");
    RemoteControl remote(options);
    remote.createPipeServers();
    int frameClient = connectLocal(dir.file("pipes/orvanepipeserver"));
    int systemClient = connectLocal(dir.file("pipes/orvanesystemserver"));
    if (frameClient < 0 || systemClient < 0)
        return 1;
    // The tick as it runs, on a pty as the DMX device; then its own code alone,
    // on a line that makes no system calls.
    test::PtyPair pty;
    Drain drain;
    std::thread drainer([&] { drain.run(pty.master()); });
    SerialLine line(nullptr);
    compareTickWork(
        "line", line, [&] { return pty.slavePath(); }, remote.tickHooks());
    drain.stop = true;
    drainer.join();
    test::NullLine nullLine;
    compareTickWork("no_syscalls", nullLine, {}, remote.tickHooks());
    ::close(frameClient);
    ::close(systemClient);
    return 0;
}
