// The web remote in the real program (offscreen, a pseudo-terminal as its DMX
// line, in a network namespace of its own):
// - POST /api/go to the first changed frame on the line: a show whose steps
//   alternate channel 1 between two levels with no fade, the request sent at
//   moments spread over the frame period over one kept-alive connection, the
//   time from sending it to the end of the first frame that carries the next
//   step (p50, p99, worst), beside the frame period measured on the line;
// - the same while hostile peers flood the web remote (200 kB headers, wrong
//   tokens, connections left idle), and the line's frame period meanwhile;
// - an idle show: the program's CPU time over 30 s with the web remote off, on
//   with no one connected, and on with a page connected that asks for the
//   state every 3 s as the page does; the differences to "off".
// ORVANE_BENCH_BINARY is not used: these figures are of this build.

#include "benchutil.h"
#include "support/orvaneprocess.h"
#include "support/ownnetwork.h"
#include "support/pty.h"
#include "support/tempdir.h"
#include "support/webclient.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fstream>
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

using orvane::test::OrvaneProcess;
using orvane::test::PtyPair;
using orvane::test::TempDir;

constexpr int kFrameBytes = 513;
constexpr uint16_t kPort = 18090;
constexpr const char* kToken = "bench-token-0123456789abcdef";
constexpr int kSamples = 200;
constexpr int kIdleSeconds = 30;
constexpr int kSteps = 480;

int64_t nowNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

// Frames as they leave the line: the time each one ended and its channel 1.
// The line writes a frame at once every period, so a quiet moment on it is
// the gap between two frames: counting from there finds every frame's start.
class LineFrames {
public:
    explicit LineFrames(int master) : m_master(master), m_thread([this] { run(); }) {}
    ~LineFrames() {
        m_stop = true;
        m_thread.join();
    }
    struct Frame {
        int64_t endNs;
        uint8_t channel1;
    };
    std::vector<Frame> since(int64_t t) {
        std::lock_guard lock(m_mutex);
        std::vector<Frame> out;
        for (const Frame& f : m_frames)
            if (f.endNs > t)
                out.push_back(f);
        return out;
    }
    std::vector<Frame> all() {
        std::lock_guard lock(m_mutex);
        return m_frames;
    }

private:
    void run() {
        uint8_t buffer[8192];
        int inFrame = -1; // -1: not in step with the frames yet
        uint8_t channel1 = 0;
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 15) <= 0) {
                inFrame = 0; // a gap: the next byte starts a frame
                continue;
            }
            ssize_t n = ::read(m_master, buffer, sizeof buffer);
            int64_t t = nowNs();
            for (ssize_t i = 0; i < n && inFrame >= 0; ++i) {
                if (inFrame == 1)
                    channel1 = buffer[i];
                if (++inFrame == kFrameBytes) {
                    std::lock_guard lock(m_mutex);
                    m_frames.push_back({t, channel1});
                    inFrame = 0;
                }
            }
        }
    }

    int m_master;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<Frame> m_frames;
    std::thread m_thread;
};

// The program on a show of kSteps steps whose channel 1 alternates.
struct Stage {
    TempDir root, config;
    PtyPair pty;
    std::unique_ptr<OrvaneProcess> program;

    explicit Stage(bool web) {
        ::mkdir(root.file("bench").c_str(), 0755);
        std::string show = "[GLOBAL]\r\nmanualstep=490\r\n";
        for (int n = 0; n < kSteps; ++n)
            show += std::to_string(n) + "$master=255\r\n" + std::to_string(n) +
                    "$1=" + (n % 2 ? "200" : "100") + "\r\n";
        orvane::test::writeFile(root.file("bench/dmx.ini"), show);
        ::mkdir(config.file("orvane").c_str(), 0755);
        std::string profile = "[last]\r\nshowname=bench\r\n[settings]\r\n";
        if (web)
            profile += "webport=" + std::to_string(kPort) + "\r\nwebtoken=" + kToken + "\r\n";
        orvane::test::writeFile(config.file("orvane/profile.ini"), profile);
        program = std::make_unique<OrvaneProcess>(
            root, config, std::vector<std::string>{"STEP=0"},
            std::vector<std::string>{"ORVANE_DMX_PORT=" + pty.slavePath(),
                                     "SDL_AUDIODRIVER=dummy"});
    }
    bool ready() { return program->waitForProfile("stepnum=0", 20000); }

    double cpuSeconds() const {
        double total = 0;
        std::string folder = "/proc/" + std::to_string(program->pid()) + "/task";
        if (DIR* d = opendir(folder.c_str())) {
            while (dirent* e = readdir(d)) {
                if (e->d_name[0] == '.')
                    continue;
                std::ifstream in(folder + "/" + e->d_name + "/schedstat");
                double ns = 0;
                in >> ns;
                total += ns / 1e9;
            }
            closedir(d);
        }
        return total;
    }
};

int connectWeb() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            return fd;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::close(fd);
    return -1;
}

// POST /api/go on a kept-alive connection; true on 200.
bool postGo(int fd) {
    std::string request = std::string("POST /api/go HTTP/1.1\r\nHost: bench\r\n"
                                      "Authorization: Bearer ") +
                          kToken + "\r\nContent-Length: 0\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size()))
        return false;
    std::string answer;
    char buffer[4096];
    while (answer.find("\r\n\r\n") == std::string::npos ||
           answer.find("{\"ok\":true}") == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 2000) <= 0)
            return false;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        answer.append(buffer, size_t(n));
    }
    return answer.rfind("HTTP/1.1 200", 0) == 0;
}

// Hostile peers on threads of their own until the object goes.
class Flood {
public:
    Flood() {
        m_threads.emplace_back([this] {
            std::string request = "GET /api/state HTTP/1.1\r\nX: " + std::string(200 * 1024, 'a');
            while (!m_stop)
                sendAndClose(request);
        });
        m_threads.emplace_back([this] {
            while (!m_stop)
                sendAndClose("POST /api/go HTTP/1.1\r\nAuthorization: Bearer guess\r\n\r\n");
        });
        m_threads.emplace_back([this] {
            std::vector<int> idle;
            while (!m_stop) {
                idle.push_back(connectWeb());
                if (idle.size() == 200) {
                    for (int fd : idle)
                        ::close(fd);
                    idle.clear();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            for (int fd : idle)
                ::close(fd);
        });
    }
    ~Flood() {
        m_stop = true;
        for (std::thread& t : m_threads)
            t.join();
    }

private:
    static void sendAndClose(const std::string& request) {
        int fd = connectWeb();
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        ::close(fd);
    }
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

struct GoSamples {
    std::vector<double> latencies;
    int lost = 0;
};

// count requests, spread over the frame period, each timed to the first
// frame that carries the step it made current.
GoSamples sampleGo(LineFrames& frames, int fd, int count) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(150, 250);
    GoSamples out;
    for (int i = 0; i < count; ++i) {
        std::vector<LineFrames::Frame> before = frames.all();
        uint8_t current = before.empty() ? 0 : before.back().channel1;
        int64_t sent = nowNs();
        if (!postGo(fd)) {
            ++out.lost;
            continue;
        }
        int64_t changedAt = 0;
        for (int wait = 0; wait < 400 && !changedAt; ++wait) {
            for (const LineFrames::Frame& f : frames.since(sent))
                if (f.channel1 != current) {
                    changedAt = f.endNs;
                    break;
                }
            if (!changedAt)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (changedAt)
            out.latencies.push_back(double(changedAt - sent) / 1e6);
        else
            ++out.lost;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
    }
    return out;
}

std::vector<double> periodsSince(LineFrames& frames, int64_t t) {
    std::vector<LineFrames::Frame> all = frames.since(t);
    std::vector<double> periods;
    for (size_t i = 1; i < all.size(); ++i)
        periods.push_back(double(all[i].endNs - all[i - 1].endNs) / 1e6);
    return periods;
}

void goFigures(const std::string& prefix, const GoSamples& go, const std::vector<double>& periods) {
    auto name = [&](const char* what) { return prefix + what; };
    bench::figure(name("_go_to_frame_p50").c_str(), bench::percentile(go.latencies, 50), "ms");
    bench::figure(name("_go_to_frame_p99").c_str(), bench::percentile(go.latencies, 99), "ms");
    bench::figure(name("_go_to_frame_worst").c_str(), bench::percentile(go.latencies, 100), "ms");
    bench::figure(name("_go_without_change").c_str(), go.lost, "requests");
    bench::figure(name("_frame_period_p50").c_str(), bench::percentile(periods, 50), "ms");
    bench::figure(name("_frame_period_worst").c_str(), bench::percentile(periods, 100), "ms");
}

int goLatency() {
    Stage stage(true);
    LineFrames frames(stage.pty.master());
    if (!stage.ready())
        return 1;
    int fd = connectWeb();
    if (fd < 0)
        return 1;
    std::this_thread::sleep_for(std::chrono::seconds(2));
    int64_t start = nowNs();
    GoSamples quiet = sampleGo(frames, fd, kSamples);
    goFigures("app_web", quiet, periodsSince(frames, start));
    GoSamples flooded;
    {
        Flood flood;
        std::this_thread::sleep_for(std::chrono::seconds(1));
        start = nowNs();
        flooded = sampleGo(frames, fd, kSamples / 2);
    }
    goFigures("app_web_flooded", flooded, periodsSince(frames, start));
    ::close(fd);
    return 0;
}

// The program's CPU time, as % of a core, over kIdleSeconds of an idle show;
// during it, `during` runs every 3 s.
double idleCpu(Stage& stage, const std::function<void()>& during) {
    std::this_thread::sleep_for(std::chrono::seconds(3));
    double before = stage.cpuSeconds();
    for (int s = 0; s < kIdleSeconds; s += 3) {
        during();
        orvane::test::spinUntil([] { return false; }, 3000);
    }
    return 100.0 * (stage.cpuSeconds() - before) / kIdleSeconds;
}

int idleFigures() {
    double off = 0, on = 0, page = 0;
    {
        Stage stage(false);
        if (!stage.ready())
            return 1;
        off = idleCpu(stage, [] {});
    }
    {
        Stage stage(true);
        int probe = stage.ready() ? connectWeb() : -1;
        if (probe < 0)
            return 1;
        ::close(probe);
        on = idleCpu(stage, [] {});
        orvane::test::LiveClient client;
        if (!client.open(kPort, kToken))
            return 1;
        page = idleCpu(stage, [&] { client.sendText(R"({"command":"state"})"); });
    }
    bench::figure("app_idle_web_off_cpu", off, "%core");
    bench::figure("app_idle_web_on_cpu", on, "%core");
    bench::figure("app_idle_web_on_with_page_cpu", page, "%core");
    bench::figure("app_idle_web_on_minus_off", on - off, "%core");
    bench::figure("app_idle_web_page_minus_off", page - off, "%core");
    return 0;
}

} // namespace

int main() {
    std::signal(SIGPIPE, SIG_IGN);
    // The program's IP device server listens on every address: here that is
    // this namespace's loopback alone, which the benchmark shares with it.
    std::string error;
    if (!orvane::test::enterOwnNetwork(&error)) {
        std::fprintf(stderr, "bench_app_webremote: no network namespace (%s)\n", error.c_str());
        return 1;
    }
    orvane::test::ensureCoreApp();
    int status = goLatency();
    status |= idleFigures();
    return status;
}
