// The real program, as an operator runs it, on the bundled demo show under
// QT_QPA_PLATFORM=offscreen, with a pseudo-terminal as its DMX line, at the
// usual cadence (one frame every 60 ms):
// - steady frames: three runs of 60 s, side by side, the program and a bare
//   sender that does nothing but break, write a frame and clock_nanosleep to
//   the next 30 ms deadline (same priority), each on its own pty, the bare
//   sender's frames timed to go out when the program's do; the frame-period
//   deviation (|interval - 60 ms|) of both, and the program's as ratios of the
//   bare sender's (p99 and worst frame), per run and the worst run; a twin
//   bare sender, half a frame later, gives its own ratios to the first: what
//   the timing alone changes here;
// - an idle console: CPU time of the program over 30 s with nothing changing,
//   with every tool window open ("all windows") and with the main window
//   alone, the user-interface thread's share of it, and the resident memory
//   at the end; beside it, the CPU time of the same wake-ups without the
//   work (a bare sender and a thread waking when the idle user-interface
//   thread does): what this machine's kernel alone charges for them.
// ORVANE_BENCH_RUNS and ORVANE_BENCH_SECONDS shorten the steady runs (for a
// quick look; the figures of record use the defaults), ORVANE_BENCH_STEADY_ONLY
// leaves the rest out, ORVANE_BENCH_FRAMES_OUT keeps every frame's arrival
// (scripts/trace-frames.sh).
// bench_app_framerate has the same at 40 frames a second.

#include "benchprocess.h"

using namespace bench;

namespace {

constexpr int kIdleSeconds = 30;

int idleConsole(const char* name, const std::string& windows) {
    PtyPair line;
    if (!line.ok())
        return 1;
    FrameReader frames(line.master());
    ProgramSetup setup;
    setup.windows = windows;
    Program program(line.slavePath(), setup);
    if (!program.ok() || !waitForFrames(frames, 20))
        return 1;
    // Beside it, the same wake-ups with no work: the bare sender on a line of
    // its own and a thread waking with the idle user-interface thread.
    PtyPair bareLine;
    FrameReader bareFrames(bareLine.master());
    BareSender bare(bareLine.slavePath(), now(), LineTiming{});
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
    figure((prefix + "_cpu").c_str(), percent(used), "%core");
    // The rest is mostly the output thread's line work, as the bare sender's.
    figure((prefix + "_cpu_ui_thread").c_str(), percent(ui), "%core");
    figure((prefix + "_ui_thread_wakeups").c_str(), runs / kIdleSeconds, "wakeups/s");
    // What this machine charges for waking as often as the program does.
    figure((prefix + "_cpu_wakeup_floor").c_str(), percent(floor), "%core");
    figure((prefix + "_rss").c_str(), program.rssMegabytes(), "MB");
    return 0;
}

} // namespace

int main() {
    std::signal(SIGPIPE, SIG_IGN);
    int status = steadyRuns(LineTiming{}, setting("ORVANE_BENCH_RUNS", 3),
                            setting("ORVANE_BENCH_SECONDS", 60));
    if (setting("ORVANE_BENCH_STEADY_ONLY", 0))
        return status;
    status |= idleConsole("all_windows", "all");
    status |= idleConsole("main_window", "");
    return status;
}
