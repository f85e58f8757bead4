// Pipe figures:
// - a frame written to "orvanepipeserver" until it has gone out on the line
//   (a pty as the DMX device, the real output thread): one tick to read it,
//   one break tick, then the frame; 200 frames written at random moments;
// - the output tick's own work (a line without system calls) with both pipes
//   connected and idle, against the tick with no remote side at all, in
//   alternating runs.

#include "benchutil.h"
#include "dmx/dmxoutput.h"
#include "dmx/serialline.h"
#include "remote/remotecontrol.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <atomic>
#include <cstring>
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

struct NullLine : DmxLine {
    int open(const LineSettings&) override { return 0; }
    void setDmxBaud() override {}
    void clearRts() override {}
    void close() override {}
    int breakOn() override { return 0; }
    int breakOff() override { return 0; }
    int writeFrame(std::span<const uint8_t> bytes) override { return int(bytes.size()); }
};

struct Work : TickTrace {
    void onTick(int64_t, int64_t woke, int64_t done) override {
        if (count < int(us.size()))
            us[size_t(count++)] = double(done - woke) / 1e3;
    }
    std::vector<double> us = std::vector<double>(1000);
    int count = 0;
};

// The tick's work for `ms` milliseconds, with the remote hooks or none.
std::vector<double> tickWork(TickHooks* hooks, int ms) {
    Work work;
    NullLine line;
    DmxOutputOptions o;
    o.hooks = hooks;
    o.trace = &work;
    DmxOutput output(line, o);
    output.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    output.stopTick();
    return {work.us.begin(), work.us.begin() + work.count};
}

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
    std::vector<double> bare, idle;
    for (int round = 0; round < 4; ++round) {
        for (double us : tickWork(nullptr, 4000))
            bare.push_back(us);
        for (double us : tickWork(&remote.tickHooks(), 4000))
            idle.push_back(us);
    }
    ::close(frameClient);
    ::close(systemClient);
    double bareP99 = bench::percentile(bare, 99);
    double idleP99 = bench::percentile(idle, 99);
    bench::figure("remote_tick_work_without_pipes_p99", bareP99, "us");
    bench::figure("remote_tick_work_pipes_idle_p99", idleP99, "us");
    bench::figure("remote_tick_work_pipes_idle_p99_added", idleP99 - bareP99, "us");
    bench::figure("remote_tick_work_pipes_idle_p50_added",
                  bench::percentile(idle, 50) - bench::percentile(bare, 50), "us");
    return 0;
}
