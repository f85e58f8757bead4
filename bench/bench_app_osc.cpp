// OSC show control in the real program (offscreen, a pseudo-terminal as its
// DMX line, a show of 500 steps that alternate two looks, each with a fade of
// no time):
// - /orvane/go to the first frame on the line that shows the next step, sent
//   after the console has come to rest (as an operator's cue comes), p50,
//   p99 and the worst of 120 cues; the target is one frame period (60 ms)
//   + 25 ms at p99;
// - the user-interface thread's CPU time with 16 subscribers renewing every
//   5 s and an idle show, in ms per second (target: at most 1), the OSC
//   thread's beside it, and the user-interface thread's with OSC off (the
//   idle console's own cost);
// - the whole program's CPU time idle with OSC off and on (no subscriber),
//   in % of a core, and their difference (target: within 0.1 %).
// CPU times come from the kernel's schedstat (nanoseconds).

#include "benchprocess.h"
#include "benchutil.h"
#include "remote/oscprotocol.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using orvane::test::PtyPair;
using orvane::test::TempDir;
using Steady = std::chrono::steady_clock;

constexpr int kFrameBytes = 513;
constexpr uint16_t kOscPort = 9000;
constexpr int kCues = 120;
constexpr int kIdleSeconds = 30;

// Steps alternate level 1 at 50 and at 200, full master, fades of no time.
std::string alternatingShow() {
    std::string show = "[GLOBAL]\r\nmanualstep=1\r\n";
    for (int step = 0; step < 500; ++step)
        show += std::to_string(step) + "$master=255\r\n" + std::to_string(step) +
                "$1=" + (step % 2 ? "200" : "50") + "\r\n" + std::to_string(step) + "$fadet=0\r\n";
    return show;
}

// The program on the alternating show, with OSC on or off.
bench::ProgramSetup oscSetup(bool osc) {
    bench::ProgramSetup setup;
    setup.showFile = alternatingShow();
    setup.profile = osc ? "[settings]\r\noscport=9000\r\n" : "";
    return setup;
}

// Every frame from the line's first byte on, with the time its last byte came.
class Frames {
public:
    explicit Frames(int master) : m_thread([this, master] { run(master); }) {}
    ~Frames() {
        m_stop = true;
        m_thread.join();
    }
    size_t count() {
        std::lock_guard lock(m_mutex);
        return m_frames.size();
    }
    // The first frame after `after` whose channel 1 holds value.
    std::optional<Steady::time_point> first(Steady::time_point after, uint8_t value,
                                            std::chrono::milliseconds wait) {
        for (auto end = Steady::now() + wait; Steady::now() < end;) {
            {
                std::lock_guard lock(m_mutex);
                for (const Frame& f : m_frames)
                    if (f.at > after && f.channel1 == value)
                        return f.at;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::nullopt;
    }

private:
    struct Frame {
        Steady::time_point at;
        uint8_t channel1;
    };
    void run(int master) {
        std::vector<uint8_t> frame;
        uint8_t buffer[4096];
        while (!m_stop) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            ssize_t n = ::read(master, buffer, sizeof buffer);
            Steady::time_point now = Steady::now();
            for (ssize_t i = 0; i < n; ++i) {
                frame.push_back(buffer[i]);
                if (frame.size() == kFrameBytes) {
                    std::lock_guard lock(m_mutex);
                    m_frames.push_back({now, frame[1]});
                    frame.clear();
                }
            }
        }
    }
    std::mutex m_mutex;
    std::vector<Frame> m_frames;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class Peer {
public:
    Peer() {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~Peer() { ::close(m_fd); }
    void send(const std::string& address, const std::string& types = "",
              const std::vector<orvane::OscOut>& args = {}) {
        std::vector<uint8_t> bytes = orvane::encodeOscMessage(address, types, args);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(kOscPort);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    // Reads everything waiting; how many messages.
    int drain() {
        int n = 0;
        uint8_t buffer[2048];
        while (::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0)
            ++n;
        return n;
    }
    bool answered(int timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        return ::poll(&p, 1, timeoutMs) > 0;
    }

private:
    int m_fd = -1;
};

void sleepFor(std::chrono::milliseconds t) {
    std::this_thread::sleep_for(t);
}

bool waitForOsc(Peer& peer) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        peer.send("/orvane/subscribe");
        if (peer.answered(200))
            return true;
    }
    return false;
}

void goToLine() {
    PtyPair pty;
    bench::Program program(pty.slavePath(), oscSetup(true));
    Frames frames(pty.master());
    Peer peer;
    if (!program.ok() || !waitForOsc(peer)) {
        std::fprintf(stderr, "bench_app_osc: the program did not answer on OSC\n");
        return;
    }
    std::mt19937 random(27);
    std::vector<double> ms;
    for (int cue = 0; cue < kCues; ++cue) {
        // At rest (15 quiet rounds of 20 ms), and at any phase of the frames.
        sleepFor(std::chrono::milliseconds(400 + random() % 200));
        uint8_t next = cue % 2 ? 50 : 200; // step cue + 1
        Steady::time_point sent = Steady::now();
        peer.send("/orvane/go");
        std::optional<Steady::time_point> seen =
            frames.first(sent, next, std::chrono::milliseconds(2000));
        if (!seen) {
            std::fprintf(stderr, "bench_app_osc: cue %d never reached the line\n", cue);
            return;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(*seen - sent).count());
        peer.drain();
    }
    bench::figure("osc_go_to_line_p50", bench::percentile(ms, 50), "ms");
    bench::figure("osc_go_to_line_p99", bench::percentile(ms, 99), "ms");
    bench::figure("osc_go_to_line_worst", bench::percentile(ms, 100), "ms");
}

void subscribersIdle() {
    PtyPair pty;
    bench::Program program(pty.slavePath(), oscSetup(true));
    Frames frames(pty.master());
    std::vector<std::unique_ptr<Peer>> peers;
    for (int i = 0; i < 16; ++i)
        peers.push_back(std::make_unique<Peer>());
    if (!program.ok() || !waitForOsc(*peers[0])) {
        std::fprintf(stderr, "bench_app_osc: the program did not answer on OSC\n");
        return;
    }
    for (auto& p : peers)
        p->send("/orvane/subscribe");
    sleepFor(std::chrono::seconds(2)); // the console comes to rest
    double ui = program.uiCpuSeconds(), osc = program.namedCpuSeconds("orvane-osc");
    int messages = 0;
    for (int second = 0; second < kIdleSeconds; ++second) {
        if (second % 5 == 0)
            for (auto& p : peers)
                p->send("/orvane/subscribe");
        sleepFor(std::chrono::seconds(1));
        for (auto& p : peers)
            messages += p->drain();
    }
    bench::figure("osc_16_subscribers_ui_thread",
                  (program.uiCpuSeconds() - ui) * 1000 / kIdleSeconds, "ms/s");
    bench::figure("osc_16_subscribers_osc_thread",
                  (program.namedCpuSeconds("orvane-osc") - osc) * 1000 / kIdleSeconds, "ms/s");
    bench::figure("osc_16_subscribers_messages", double(messages) / kIdleSeconds, "msg/s");
}

struct Idle {
    double cpuPercent = 0; // the whole program
    double uiMsPerSecond = 0;
};

Idle idle(bool osc) {
    PtyPair pty;
    bench::Program program(pty.slavePath(), oscSetup(osc));
    Frames frames(pty.master());
    sleepFor(std::chrono::seconds(4)); // started and at rest
    double before = program.cpuSeconds(), ui = program.uiCpuSeconds();
    sleepFor(std::chrono::seconds(kIdleSeconds));
    return {(program.cpuSeconds() - before) * 100 / kIdleSeconds,
            (program.uiCpuSeconds() - ui) * 1000 / kIdleSeconds};
}

} // namespace

int main() {
    goToLine();
    subscribersIdle();
    Idle off = idle(false);
    Idle on = idle(true);
    bench::figure("osc_idle_ui_thread_off", off.uiMsPerSecond, "ms/s");
    bench::figure("osc_idle_cpu_off", off.cpuPercent, "%core");
    bench::figure("osc_idle_cpu_on", on.cpuPercent, "%core");
    bench::figure("osc_idle_cpu_difference", on.cpuPercent - off.cpuPercent, "%core");
    return 0;
}
