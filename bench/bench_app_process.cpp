// The real program, as an operator runs it, on the bundled demo show under
// QT_QPA_PLATFORM=offscreen, with a pseudo-terminal as its DMX line:
// - steady frames: for 60 s, side by side, the program and a bare sender that
//   does nothing but break, write a frame and clock_nanosleep to the next
//   30 ms deadline (same priority), each on its own pty, the bare sender's
//   frames timed to go out when the program's do; the frame-period deviation
//   (|interval - 60 ms|) of both, and the program's as ratios of the bare
//   sender's (p99 and worst frame); a twin bare sender, half a tick later,
//   gives its own ratios to the first: what the timing alone changes here;
// - an idle console: CPU time of the program over 30 s with nothing changing,
//   with every tool window open ("all windows") and with the main window
//   alone, the user-interface thread's share of it, and the resident memory
//   at the end; beside it, the CPU time of the same wake-ups without the
//   work (a bare sender and a thread waking when the idle user-interface
//   thread does): what this machine's kernel alone charges for them.
// ORVANE_BENCH_BINARY runs another build of the program instead (before and
// after figures).

#include "benchutil.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <spawn.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using orvane::test::PtyPair;
using orvane::test::TempDir;

constexpr int kFrameBytes = 513;
constexpr int64_t kTickNs = 30'000'000;
constexpr int64_t kFrameNs = 2 * kTickNs;
constexpr int kFramesSeconds = 60;
constexpr int kIdleSeconds = 30;

int64_t monotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

bool tryRealtime() {
    sched_param param{};
    param.sched_priority = 20; // the output thread's
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

void sleepUntilNs(int64_t deadline) {
    timespec ts{time_t(deadline / 1'000'000'000), long(deadline % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

double threadCpuSeconds(std::thread& thread) {
    clockid_t clock;
    timespec ts{};
    if (pthread_getcpuclockid(thread.native_handle(), &clock) != 0 ||
        clock_gettime(clock, &ts) != 0)
        return 0;
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// The program, started on a copy of the demo show; killed with the object
// (the modal builder may hold it open against SIGTERM).
class Program {
public:
    Program(const std::string& port, const std::string& windows) {
        std::filesystem::copy(ORVANE_SOURCE_DIR "/demo/demo", m_root.file("demo"),
                              std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(m_root.file("demo/step0"));
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("ORVANE_", 0) != 0)
                env.push_back(*e);
        env.push_back("ORVANE_ROOT=" + m_root.path());
        env.push_back("XDG_CONFIG_HOME=" + m_config.path());
        env.push_back("ORVANE_NONINTERACTIVE=1");
        env.push_back("ORVANE_DMX_PORT=" + port);
        env.push_back("ORVANE_PIPE_DIR=" + m_config.file("pipes"));
        env.push_back("ORVANE_OPEN_WINDOWS=" + windows);
        env.push_back("QT_QPA_PLATFORM=offscreen");
        env.push_back("SDL_AUDIODRIVER=dummy");
        std::vector<char*> envp, argv;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        // Another build of the program may be compared: ORVANE_BENCH_BINARY.
        const char* other = std::getenv("ORVANE_BENCH_BINARY");
        std::string binary = other && *other ? other : ORVANE_BINARY, show = "SHOW=demo";
        argv = {binary.data(), show.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, binary.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool ok() const { return m_pid > 0; }

    // CPU time of every thread so far, in seconds.
    double cpuSeconds() const {
        double total = 0;
        for (const std::string& task : tasks())
            total += taskCpuSeconds(task);
        return total;
    }
    // The user-interface thread's share (the main thread's task has the pid).
    double uiCpuSeconds() const {
        return taskCpuSeconds("/proc/" + std::to_string(m_pid) + "/task/" + std::to_string(m_pid));
    }
    static double taskCpuSeconds(const std::string& task) {
        std::ifstream in(task + "/schedstat");
        double ns = 0;
        in >> ns;
        return ns / 1e9;
    }
    // How many times the user-interface thread has been put on a core.
    double uiRuns() const {
        std::ifstream in("/proc/" + std::to_string(m_pid) + "/task/" + std::to_string(m_pid) +
                         "/schedstat");
        double ns = 0, waited = 0, runs = 0;
        in >> ns >> waited >> runs;
        return runs;
    }
    // Threads running under SCHED_FIFO (the output thread, the serial reader).
    int fifoThreads() const {
        int n = 0;
        for (const std::string& task : tasks()) {
            std::ifstream in(task + "/stat");
            std::string stat((std::istreambuf_iterator<char>(in)), {});
            std::string after = stat.substr(stat.rfind(')') + 2);
            std::vector<std::string> fields;
            for (size_t at = 0, next; at < after.size(); at = next + 1) {
                next = after.find(' ', at);
                if (next == std::string::npos)
                    next = after.size();
                fields.push_back(after.substr(at, next - at));
            }
            // Field 41 of /proc/<pid>/stat (the 39th after the name) is the policy.
            n += fields.size() > 38 && fields[38] == "1";
        }
        return n;
    }
    double rssMegabytes() const {
        std::ifstream in("/proc/" + std::to_string(m_pid) + "/status");
        for (std::string line; std::getline(in, line);)
            if (line.rfind("VmRSS:", 0) == 0)
                return std::atof(line.c_str() + 6) / 1024.0;
        return 0;
    }

private:
    std::vector<std::string> tasks() const {
        std::vector<std::string> out;
        std::string folder = "/proc/" + std::to_string(m_pid) + "/task";
        if (DIR* d = opendir(folder.c_str())) {
            while (dirent* e = readdir(d))
                if (e->d_name[0] != '.')
                    out.push_back(folder + "/" + e->d_name);
            closedir(d);
        }
        return out;
    }

    TempDir m_root, m_config;
    pid_t m_pid = -1;
};

// Completion times of the frames read from a pty master (the reader must not
// add a scheduling delay of its own).
class FrameReader {
public:
    explicit FrameReader(int master) : m_thread([this, master] { run(master); }) {}
    ~FrameReader() {
        m_stop = true;
        m_thread.join();
    }
    void startCounting() { m_counting = true; }
    void stopCounting() { m_counting = false; }
    bool flowing() const { return m_frames.load() > 3; }
    // When the newest frame arrived, counted or not.
    int64_t lastFrameNs() const { return m_last.load(); }
    // The frames counted so far (the reserved buffer never moves).
    std::vector<int64_t> completed() const {
        int n = m_count.load(std::memory_order_acquire);
        return std::vector<int64_t>(m_completed.begin(), m_completed.begin() + n);
    }

private:
    void run(int master) {
        tryRealtime();
        m_completed.reserve(4000);
        uint8_t buffer[8192];
        int inFrame = 0;
        while (!m_stop) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            ssize_t n = ::read(master, buffer, sizeof buffer);
            int64_t now = monotonicNs();
            // Until its sender opens the slave side the master reports a
            // hang-up at once: wait instead of spinning at real-time priority.
            if (n <= 0) {
                sleepFor(0.005);
                continue;
            }
            for (ssize_t i = 0; i < n; ++i) {
                if (++inFrame < kFrameBytes)
                    continue;
                inFrame = 0;
                ++m_frames;
                m_last = now;
                if (m_counting && m_completed.size() < m_completed.capacity()) {
                    m_completed.push_back(now);
                    m_count.store(int(m_completed.size()), std::memory_order_release);
                }
            }
        }
    }

    std::atomic<bool> m_stop{false}, m_counting{false};
    std::atomic<int> m_frames{0}, m_count{0};
    std::atomic<int64_t> m_last{0};
    std::vector<int64_t> m_completed;
    std::thread m_thread;
};

// A sender with nothing but the line work of the output tick: break on one
// tick, break off and a frame on the next, to absolute 30 ms deadlines. Its
// frames go out at frameAtNs plus whole frame periods.
class BareSender {
public:
    BareSender(const std::string& slave, int64_t frameAtNs)
        : m_fd(::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)), m_frameAt(frameAtNs) {
        termios tio{};
        tcgetattr(m_fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
        m_thread = std::thread([this] { run(); });
    }
    ~BareSender() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    bool realtime() const { return m_realtime; }
    double cpuSeconds() { return threadCpuSeconds(m_thread); }

private:
    void run() {
        m_realtime = tryRealtime();
        uint8_t frame[kFrameBytes] = {};
        // The first deadline is a break, a tick before a frame instant.
        int64_t now = monotonicNs(), deadline = m_frameAt - 2 * kTickNs;
        if (deadline < now)
            deadline += (now - deadline) / kFrameNs * kFrameNs;
        for (int phase = 0; !m_stop; phase ^= 1) {
            deadline += kTickNs;
            sleepUntilNs(deadline);
            if (phase == 0) {
                ioctl(m_fd, TIOCSBRK);
                continue;
            }
            ioctl(m_fd, TIOCCBRK);
            [[maybe_unused]] ssize_t n = ::write(m_fd, frame, sizeof frame);
        }
    }

    int m_fd;
    int64_t m_frameAt;
    std::atomic<bool> m_stop{false}, m_realtime{false};
    std::thread m_thread;
};

// A thread at normal priority that wakes when the idle user-interface thread
// does (its playback clock and windows rest: the line watch every 250 ms,
// which the one-second ticks meet) and does nothing else.
class IdleWaker {
public:
    IdleWaker() : m_thread([this] { run(); }) {}
    ~IdleWaker() {
        m_stop = true;
        m_thread.join();
    }
    double cpuSeconds() { return threadCpuSeconds(m_thread); }

private:
    void run() {
        constexpr int64_t kStepNs = 250'000'000;
        for (int64_t deadline = monotonicNs(); !m_stop;)
            sleepUntilNs(deadline += kStepNs);
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

std::vector<double> deviationsMs(const std::vector<int64_t>& times) {
    std::vector<double> out;
    for (size_t i = 1; i < times.size(); ++i)
        out.push_back(std::fabs(double(times[i] - times[i - 1] - kFrameNs)) / 1e6);
    return out;
}

double maxOf(const std::vector<double>& v) {
    double m = 0;
    for (double x : v)
        m = std::max(m, x);
    return m;
}

bool waitForFrames(const FrameReader& reader, double seconds) {
    for (double waited = 0; waited < seconds && !reader.flowing(); waited += 0.1)
        sleepFor(0.1);
    return reader.flowing();
}

// Frame counts and deviations of the program and of the bare sender, with
// both ratios, and the same ratios for the twin bare sender.
void frameFigures(const std::vector<int64_t>& appTimes, const std::vector<int64_t>& bareTimes,
                  const std::vector<int64_t>& twinTimes) {
    std::vector<double> app = deviationsMs(appTimes), base = deviationsMs(bareTimes),
                        twin = deviationsMs(twinTimes);
    double appP99 = bench::percentile(app, 99), baseP99 = bench::percentile(base, 99);
    double twinP99 = bench::percentile(twin, 99);
    double appMax = maxOf(app), baseMax = maxOf(base), twinMax = maxOf(twin);
    auto ratio = [](double x, double base) { return base > 0 ? x / base : 0; };
    bench::figure("app_frames", double(appTimes.size()), "frames");
    bench::figure("app_bare_frames", double(bareTimes.size()), "frames");
    bench::figure("app_frame_dev_p99", appP99, "ms");
    bench::figure("app_bare_frame_dev_p99", baseP99, "ms");
    bench::figure("app_frame_dev_max", appMax, "ms");
    bench::figure("app_bare_frame_dev_max", baseMax, "ms");
    bench::figure("app_frame_dev_p99_vs_bare", ratio(appP99, baseP99), "x");
    bench::figure("app_frame_dev_max_vs_bare", ratio(appMax, baseMax), "x");
    bench::figure("bare_twin_frame_dev_p99_vs_bare", ratio(twinP99, baseP99), "x");
    bench::figure("bare_twin_frame_dev_max_vs_bare", ratio(twinMax, baseMax), "x");
}

int steadyFrames() {
    PtyPair programLine, bareLine, twinLine;
    if (!programLine.ok() || !bareLine.ok() || !twinLine.ok())
        return 1;
    FrameReader programFrames(programLine.master()), bareFrames(bareLine.master()),
        twinFrames(twinLine.master());
    Program program(programLine.slavePath(), "all");
    // A start with SHOW= begins sending after 5 s; then the windows settle.
    if (!program.ok() || !waitForFrames(programFrames, 20))
        return 1;
    sleepFor(3);
    // The bare sender's frames go out when the program's arrive, so both meet
    // the same moments of the machine; the twin's half a tick later shows how
    // far that moment alone moves the ratios here.
    int64_t programFrame = programFrames.lastFrameNs();
    BareSender bare(bareLine.slavePath(), programFrame),
        twin(twinLine.slavePath(), programFrame + kTickNs / 2);
    sleepFor(1);
    for (FrameReader* reader : {&programFrames, &bareFrames, &twinFrames})
        reader->startCounting();
    sleepFor(kFramesSeconds);
    for (FrameReader* reader : {&programFrames, &bareFrames, &twinFrames})
        reader->stopCounting();

    bench::figure("app_output_fifo_threads", program.fifoThreads(), "threads");
    bench::figure("app_bare_sender_realtime", bare.realtime() ? 1 : 0, "flag");
    frameFigures(programFrames.completed(), bareFrames.completed(), twinFrames.completed());
    return 0;
}

int idleConsole(const char* name, const std::string& windows) {
    PtyPair line;
    if (!line.ok())
        return 1;
    FrameReader frames(line.master());
    Program program(line.slavePath(), windows);
    if (!program.ok() || !waitForFrames(frames, 20))
        return 1;
    // Beside it, the same wake-ups with no work: the bare sender on a line of
    // its own and a thread waking with the idle user-interface thread.
    PtyPair bareLine;
    FrameReader bareFrames(bareLine.master());
    BareSender bare(bareLine.slavePath(), monotonicNs());
    IdleWaker waker;
    sleepFor(3);
    double before = program.cpuSeconds(), uiBefore = program.uiCpuSeconds();
    double runsBefore = program.uiRuns();
    double floorBefore = bare.cpuSeconds() + waker.cpuSeconds();
    sleepFor(kIdleSeconds);
    double used = program.cpuSeconds() - before, ui = program.uiCpuSeconds() - uiBefore;
    double runs = program.uiRuns() - runsBefore;
    double floor = bare.cpuSeconds() + waker.cpuSeconds() - floorBefore;
    std::string prefix = std::string("app_idle_") + name;
    auto percent = [](double seconds) { return 100.0 * seconds / kIdleSeconds; };
    bench::figure((prefix + "_cpu").c_str(), percent(used), "%core");
    // The rest is mostly the output thread's line work, as the bare sender's.
    bench::figure((prefix + "_cpu_ui_thread").c_str(), percent(ui), "%core");
    bench::figure((prefix + "_ui_thread_wakeups").c_str(), runs / kIdleSeconds, "wakeups/s");
    // What this machine charges for waking as often as the program does.
    bench::figure((prefix + "_cpu_wakeup_floor").c_str(), percent(floor), "%core");
    bench::figure((prefix + "_rss").c_str(), program.rssMegabytes(), "MB");
    return 0;
}

} // namespace

int main() {
    std::signal(SIGPIPE, SIG_IGN);
    int status = steadyFrames();
    status |= idleConsole("all_windows", "all");
    status |= idleConsole("main_window", "");
    return status;
}
