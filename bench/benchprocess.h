#pragma once
// The real program as the process benchmarks run it, with a pseudo-terminal as
// its DMX line, and their instruments: the frames read from the line with
// their arrival times, a bare sender that does nothing but the line work of
// the output thread (to compare with), and a thread waking as an idle console
// wakes. ORVANE_BENCH_BINARY runs another build of the program instead
// (before and after figures).

#include "benchutil.h"
#include "core/clock.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <algorithm>
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
#include <optional>
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

namespace bench {

using orvane::Nanoseconds;
using orvane::test::PtyPair;
using orvane::test::TempDir;
using namespace std::chrono_literals;

constexpr int kFrameBytes = 513;
constexpr Nanoseconds kTick = 30ms;

inline Nanoseconds now() {
    return orvane::monotonicNow();
}

inline double ms(Nanoseconds t) {
    return std::chrono::duration<double, std::milli>(t).count();
}

// How the line sends: the usual cadence (a break tick, then a frame tick), or
// a chosen rate (a break of breakTime, a 12 µs mark, the frame, every period).
struct LineTiming {
    double rate = 0;
    Nanoseconds breakTime = 200us;

    bool chosen() const { return rate > 0; }
    Nanoseconds period() const {
        return chosen() ? Nanoseconds{std::llround(1e9 / rate)} : 2 * kTick;
    }
    // The profile line that asks for it.
    std::string setting() const {
        return chosen() ? "framerate=" + std::to_string(int(rate)) + "\r\n" : std::string();
    }
    // "16_7fps", "40fps": figure names.
    std::string label() const {
        return chosen() ? std::to_string(int(rate)) + "fps" : std::string("16_7fps");
    }
};

inline bool tryRealtime() {
    sched_param param{};
    param.sched_priority = 20; // the output thread's
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

inline void sleepUntil(Nanoseconds deadline) {
    timespec ts{time_t(deadline.count() / 1000000000), long(deadline.count() % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

inline void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

inline double threadCpuSeconds(std::thread& thread) {
    clockid_t clock;
    timespec ts{};
    if (pthread_getcpuclockid(thread.native_handle(), &clock) != 0 ||
        clock_gettime(clock, &ts) != 0)
        return 0;
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct ProgramSetup {
    std::string windows;  // ORVANE_OPEN_WINDOWS
    std::string profile;  // the user profile's text (CR LF lines)
    std::string showFile; // the show's dmx.ini instead of the demo show's
    std::vector<std::string> args = {"SHOW=demo"};
    std::vector<std::string> env; // more "NAME=value", overriding
};

// The program, started on a copy of the demo show; killed with the object
// (the modal builder may hold it open against SIGTERM).
class Program {
public:
    Program(const std::string& port, const ProgramSetup& setup) {
        std::filesystem::copy(ORVANE_SOURCE_DIR "/demo/demo", m_root.file("demo"),
                              std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(m_root.file("demo/step0"));
        if (!setup.showFile.empty())
            orvane::test::writeFile(m_root.file("demo/dmx.ini"), setup.showFile);
        std::filesystem::create_directories(m_config.file("orvane"));
        if (!setup.profile.empty())
            orvane::test::writeFile(m_config.file("orvane/profile.ini"), setup.profile);
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("ORVANE_", 0) != 0)
                env.push_back(*e);
        std::vector<std::string> own = {"ORVANE_ROOT=" + m_root.path(),
                                        "XDG_CONFIG_HOME=" + m_config.path(),
                                        "ORVANE_NONINTERACTIVE=1",
                                        "ORVANE_DMX_PORT=" + port,
                                        "ORVANE_PIPE_DIR=" + m_config.file("pipes"),
                                        "ORVANE_OPEN_WINDOWS=" + setup.windows,
                                        "QT_QPA_PLATFORM=offscreen",
                                        "SDL_AUDIODRIVER=dummy"};
        own.insert(own.end(), setup.env.begin(), setup.env.end());
        for (const std::string& e : own) {
            std::string name = e.substr(0, e.find('=') + 1);
            std::erase_if(env, [&](const std::string& have) { return have.rfind(name, 0) == 0; });
            env.push_back(e);
        }
        std::vector<char*> envp, argv;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        const char* other = std::getenv("ORVANE_BENCH_BINARY");
        std::string binary = other && *other ? other : ORVANE_BINARY;
        std::vector<std::string> args = setup.args;
        argv.push_back(binary.data());
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
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
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool ok() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

    // CPU time of every thread so far, in seconds.
    double cpuSeconds() const {
        double total = 0;
        for (const std::string& task : tasks())
            total += taskCpuSeconds(task);
        return total;
    }
    // The user-interface thread's share (the main thread's task has the pid).
    double uiCpuSeconds() const { return taskCpuSeconds(mainTask()); }
    // The CPU time of the threads with this name (as the program names them).
    double namedCpuSeconds(const std::string& name) const {
        double total = 0;
        for (const std::string& task : tasks()) {
            std::ifstream in(task + "/comm");
            std::string comm;
            std::getline(in, comm);
            if (comm == name)
                total += taskCpuSeconds(task);
        }
        return total;
    }
    static double taskCpuSeconds(const std::string& task) {
        std::ifstream in(task + "/schedstat");
        double ns = 0;
        in >> ns;
        return ns / 1e9;
    }
    // How many times the user-interface thread has been put on a core.
    double uiRuns() const {
        std::ifstream in(mainTask() + "/schedstat");
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
    std::string mainTask() const {
        return "/proc/" + std::to_string(m_pid) + "/task/" + std::to_string(m_pid);
    }
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

// Frames read from a pty master: when each was complete and its channel 1
// (the reader must not add a scheduling delay of its own).
class FrameReader {
public:
    static constexpr int kCapacity = 8000;

    // name: the reader thread's, for traces of the machine.
    explicit FrameReader(int master, const char* name = "frames")
        : m_thread([this, master, name] {
              pthread_setname_np(pthread_self(), name);
              run(master);
          }) {}
    ~FrameReader() {
        m_stop = true;
        m_thread.join();
    }
    void startCounting() { m_counting = true; }
    void stopCounting() { m_counting = false; }
    bool flowing() const { return m_frames.load() > 3; }
    // When the newest frame arrived, counted or not.
    Nanoseconds lastFrame() const { return Nanoseconds{m_last.load()}; }
    // The frames counted so far (the reserved buffers never move).
    std::vector<Nanoseconds> completed() const {
        int n = m_count.load(std::memory_order_acquire);
        return std::vector<Nanoseconds>(m_completed.begin(), m_completed.begin() + n);
    }
    std::vector<uint8_t> channel1() const {
        int n = m_count.load(std::memory_order_acquire);
        return std::vector<uint8_t>(m_channel1.begin(), m_channel1.begin() + n);
    }
    // The arrival of the first counted frame after `after` whose channel 1
    // holds value, if one came.
    std::optional<Nanoseconds> firstWith(Nanoseconds after, uint8_t value) const {
        int n = m_count.load(std::memory_order_acquire), i = n;
        while (i > 0 && m_completed[size_t(i - 1)] > after)
            --i;
        for (; i < n; ++i)
            if (m_channel1[size_t(i)] == value)
                return m_completed[size_t(i)];
        return std::nullopt;
    }

private:
    void run(int master) {
        tryRealtime();
        m_completed.reserve(kCapacity);
        m_channel1.reserve(kCapacity);
        uint8_t buffer[8192];
        int inFrame = 0;
        uint8_t level = 0;
        while (!m_stop) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            ssize_t n = ::read(master, buffer, sizeof buffer);
            Nanoseconds at = now();
            // Until its sender opens the slave side the master reports a
            // hang-up at once: wait instead of spinning at real-time priority.
            if (n <= 0) {
                sleepFor(0.005);
                continue;
            }
            for (ssize_t i = 0; i < n; ++i) {
                if (inFrame == 1)
                    level = buffer[i];
                if (++inFrame < kFrameBytes)
                    continue;
                inFrame = 0;
                ++m_frames;
                m_last = at.count();
                if (m_counting && m_completed.size() < m_completed.capacity()) {
                    m_completed.push_back(at);
                    m_channel1.push_back(level);
                    m_count.store(int(m_completed.size()), std::memory_order_release);
                }
            }
        }
    }

    std::atomic<bool> m_stop{false}, m_counting{false};
    std::atomic<int> m_frames{0}, m_count{0};
    std::atomic<int64_t> m_last{0};
    std::vector<Nanoseconds> m_completed;
    std::vector<uint8_t> m_channel1;
    std::thread m_thread;
};

// A sender with nothing but the line work of the output thread, at the same
// scheduling, to absolute deadlines: at the usual cadence a break on one
// 30 ms tick and break off and a frame on the next; at a chosen rate a break,
// a 12 µs mark and the frame every period. Its frames go out at frameAt plus
// whole frame periods.
class BareSender {
public:
    BareSender(const std::string& slave, Nanoseconds frameAt, LineTiming timing,
               const char* name = "bare-sender")
        : m_fd(::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)), m_frameAt(frameAt),
          m_timing(timing) {
        termios tio{};
        tcgetattr(m_fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
        m_thread = std::thread([this, name] {
            pthread_setname_np(pthread_self(), name);
            m_timing.chosen() ? runAtRate() : runUsual();
        });
    }
    ~BareSender() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    bool realtime() const { return m_realtime; }
    double cpuSeconds() { return threadCpuSeconds(m_thread); }

private:
    // The first deadline at or after now on the grid of frameAt - lead.
    Nanoseconds firstDeadline(Nanoseconds lead, Nanoseconds period) const {
        Nanoseconds deadline = m_frameAt - lead, at = now();
        if (deadline < at)
            deadline += (at - deadline) / period * period + period;
        return deadline;
    }
    void runUsual() {
        m_realtime = tryRealtime();
        uint8_t frame[kFrameBytes] = {};
        // The first deadline is a break, a tick before a frame instant.
        Nanoseconds deadline = firstDeadline(2 * kTick, 2 * kTick);
        for (int phase = 0; !m_stop; phase ^= 1) {
            deadline += kTick;
            sleepUntil(deadline);
            if (phase == 0) {
                ioctl(m_fd, TIOCSBRK);
                continue;
            }
            ioctl(m_fd, TIOCCBRK);
            [[maybe_unused]] ssize_t n = ::write(m_fd, frame, sizeof frame);
        }
    }
    void runAtRate() {
        m_realtime = tryRealtime();
        uint8_t frame[kFrameBytes] = {};
        Nanoseconds period = m_timing.period();
        Nanoseconds deadline = firstDeadline(m_timing.breakTime + 12us, period);
        for (; !m_stop; deadline += period) {
            sleepUntil(deadline);
            ioctl(m_fd, TIOCSBRK);
            sleepUntil(now() + m_timing.breakTime);
            ioctl(m_fd, TIOCCBRK);
            for (Nanoseconds mark = now() + 12us; now() < mark;) {
            }
            [[maybe_unused]] ssize_t n = ::write(m_fd, frame, sizeof frame);
        }
    }

    int m_fd;
    Nanoseconds m_frameAt;
    LineTiming m_timing;
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
        for (Nanoseconds deadline = now(); !m_stop;)
            sleepUntil(deadline += 250ms);
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// |interval - nominal| in ms.
inline std::vector<double> deviationsMs(const std::vector<Nanoseconds>& times,
                                        Nanoseconds nominal) {
    std::vector<double> out;
    for (size_t i = 1; i < times.size(); ++i)
        out.push_back(std::fabs(ms(times[i] - times[i - 1] - nominal)));
    return out;
}

inline double maxOf(const std::vector<double>& v) {
    double m = 0;
    for (double x : v)
        m = std::max(m, x);
    return m;
}

inline bool waitForFrames(const FrameReader& reader, double seconds) {
    for (double waited = 0; waited < seconds && !reader.flowing(); waited += 0.1)
        sleepFor(0.1);
    return reader.flowing();
}

struct SteadyRun {
    double p99VsBare = 0, maxVsBare = 0;
};

// One run of `seconds`, side by side: the program (every window open) and a
// bare sender at the same timing, each on its own pty, the bare sender's
// frames timed to go out when the program's do; a twin bare sender, half a
// period later, gives its own ratios to the first: what the timing alone
// changes here. Figures carry the timing's label and the run's number.
inline SteadyRun steadyFrames(const LineTiming& timing, int run, int seconds) {
    SteadyRun result;
    PtyPair programLine, bareLine, twinLine;
    if (!programLine.ok() || !bareLine.ok() || !twinLine.ok())
        return result;
    FrameReader programFrames(programLine.master(), "rd-program"),
        bareFrames(bareLine.master(), "rd-bare"), twinFrames(twinLine.master(), "rd-twin");
    ProgramSetup setup;
    setup.windows = "all";
    if (timing.chosen())
        setup.profile = "[settings]\r\n" + timing.setting();
    Program program(programLine.slavePath(), setup);
    // A start with SHOW= begins sending after 5 s; then the windows settle.
    if (!program.ok() || !waitForFrames(programFrames, 20))
        return result;
    sleepFor(3);
    Nanoseconds programFrame = programFrames.lastFrame();
    BareSender bare(bareLine.slavePath(), programFrame, timing, "bare-sender"),
        twin(twinLine.slavePath(), programFrame + timing.period() / 2, timing, "bare-twin");
    sleepFor(1);
    for (FrameReader* reader : {&programFrames, &bareFrames, &twinFrames})
        reader->startCounting();
    sleepFor(seconds);
    for (FrameReader* reader : {&programFrames, &bareFrames, &twinFrames})
        reader->stopCounting();

    // For a trace of the machine (scripts/trace-frames.sh): every frame's arrival.
    if (const char* out = std::getenv("ORVANE_BENCH_FRAMES_OUT")) {
        std::ofstream file(out);
        for (auto [who, reader] :
             {std::pair{"program", &programFrames}, {"bare", &bareFrames}, {"twin", &twinFrames}})
            for (Nanoseconds t : reader->completed())
                file << who << ' ' << t.count() << '\n';
    }
    std::string name = "app_" + timing.label() + "_run" + std::to_string(run) + "_";
    auto out = [&](const char* what, double value, const char* unit) {
        figure((name + what).c_str(), value, unit);
    };
    std::vector<Nanoseconds> appTimes = programFrames.completed(),
                             bareTimes = bareFrames.completed();
    std::vector<double> app = deviationsMs(appTimes, timing.period()),
                        base = deviationsMs(bareTimes, timing.period()),
                        twin2 = deviationsMs(twinFrames.completed(), timing.period());
    auto ratio = [](double x, double b) { return b > 0 ? x / b : 0; };
    double appP99 = percentile(app, 99), baseP99 = percentile(base, 99);
    double appMax = maxOf(app), baseMax = maxOf(base);
    out("output_fifo_threads", program.fifoThreads(), "threads");
    out("bare_sender_realtime", bare.realtime() ? 1 : 0, "flag");
    out("frames", double(appTimes.size()), "frames");
    out("bare_frames", double(bareTimes.size()), "frames");
    out("frame_dev_p99", appP99, "ms");
    out("bare_frame_dev_p99", baseP99, "ms");
    out("frame_dev_max", appMax, "ms");
    out("bare_frame_dev_max", baseMax, "ms");
    result.p99VsBare = ratio(appP99, baseP99);
    result.maxVsBare = ratio(appMax, baseMax);
    out("frame_dev_p99_vs_bare", result.p99VsBare, "x");
    out("frame_dev_max_vs_bare", result.maxVsBare, "x");
    out("bare_twin_frame_dev_p99_vs_bare", ratio(percentile(twin2, 99), baseP99), "x");
    out("bare_twin_frame_dev_max_vs_bare", ratio(maxOf(twin2), baseMax), "x");
    return result;
}

// `runs` steady runs and the worst of their ratios.
inline int steadyRuns(const LineTiming& timing, int runs, int seconds) {
    double worstP99 = 0, worstMax = 0;
    for (int run = 1; run <= runs; ++run) {
        SteadyRun r = steadyFrames(timing, run, seconds);
        if (r.maxVsBare == 0)
            return 1;
        worstP99 = std::max(worstP99, r.p99VsBare);
        worstMax = std::max(worstMax, r.maxVsBare);
    }
    std::string name = "app_" + timing.label() + "_worst_run_";
    figure((name + "frame_dev_p99_vs_bare").c_str(), worstP99, "x");
    figure((name + "frame_dev_max_vs_bare").c_str(), worstMax, "x");
    return 0;
}

// A whole number from the environment, or the default.
inline int setting(const char* name, int otherwise) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : otherwise;
}

} // namespace bench
