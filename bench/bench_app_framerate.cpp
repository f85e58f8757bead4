// The real program at a chosen frame rate ("framerate=40") beside the usual
// cadence, on pseudo-terminals as DMX lines:
// - steady frames at 40 frames a second: three runs of 60 s beside a bare
//   sender at the same rate (break, 200 µs, break off, 12 µs, the frame, on
//   deadlines 25 ms apart), as bench_app_process does at the usual cadence;
// - a fade: how many levels per second of a 2 s fade of channel 1 reach the
//   line, at 16.7 and at 40 frames a second;
// - a key to the line (under Xvfb; skipped without it): fader 1 of the main
//   window has the focus, and Home and End, sent through the X server's test
//   extension at random moments, move it to the top and the bottom; from the
//   key to the first frame whose channel 1 shows it, p50, p99 and worst, at
//   both rates;
// - an idle console: both programs side by side, the main window alone,
//   three windows of 20 s: the CPU time of each, of its output thread, and
//   how much more the program at 40 frames a second takes.
// ORVANE_BENCH_RUNS, ORVANE_BENCH_SECONDS and ORVANE_BENCH_PRESSES shorten it,
// ORVANE_BENCH_STEADY_ONLY leaves all but the steady runs out.

#include "benchprocess.h"
#include "support/virtualdisplay.h"

#include <dlfcn.h>
#include <random>
#include <set>

using namespace bench;

namespace {

const LineTiming kUsual{};
const LineTiming kForty{40};

// The start step (1) fades channel 1 from 0 to 255 in 2 s as the program
// starts, the next one back to 0 in 2 s once the program has settled.
const char* const kFadeShow = "[GLOBAL]\r\nmanualstep=1\r\n"
                              "1$master=255\r\n1$1=0\r\n1$autofade=1\r\n1$fadet=2.000000\r\n"
                              "2$master=255\r\n2$1=255\r\n2$autofade=1\r\n2$fadet=2.000000\r\n"
                              "3$master=255\r\n3$1=0\r\n";

std::string profileFor(const LineTiming& timing) {
    return "[last]\r\nshowname=demo\r\n[settings]\r\n" + timing.setting();
}

int fadeLevels(const LineTiming& timing) {
    PtyPair line;
    FrameReader frames(line.master());
    frames.startCounting();
    ProgramSetup setup;
    setup.profile = profileFor(timing);
    setup.showFile = kFadeShow;
    setup.args = {"STEP=1"};
    Program program(line.slavePath(), setup);
    if (!program.ok() || !waitForFrames(frames, 20))
        return 1;
    // The fade down: from the highest level (255 itself may fall between
    // two frames) to the first frame at 0 after it.
    std::set<uint8_t> levels;
    for (int waited = 0; waited < 300 && levels.empty(); ++waited) {
        sleepFor(0.1);
        std::vector<uint8_t> level = frames.channel1();
        auto top = std::max_element(level.begin(), level.end());
        auto bottom = std::find(top, level.end(), 0);
        if (top != level.end() && *top > 200 && bottom != level.end())
            levels.insert(top, bottom + 1);
    }
    // Both ends are levels of the fade's 2 s.
    figure(("app_fade_levels_per_s_" + timing.label()).c_str(), double(levels.size()) / 2.0,
           "levels/s");
    return levels.empty() ? 1 : 0;
}

// Keys sent through the X server's test extension, as a keyboard would send
// them (libX11 and libXtst, which xdotool brings, are loaded at run time).
class TestKeys {
public:
    explicit TestKeys(const std::string& display) {
        m_x11 = dlopen("libX11.so.6", RTLD_NOW);
        m_xtst = dlopen("libXtst.so.6", RTLD_NOW);
        if (!m_x11 || !m_xtst)
            return;
        m_open = reinterpret_cast<OpenFn>(dlsym(m_x11, "XOpenDisplay"));
        m_close = reinterpret_cast<CloseFn>(dlsym(m_x11, "XCloseDisplay"));
        m_keysym = reinterpret_cast<KeysymFn>(dlsym(m_x11, "XStringToKeysym"));
        m_keycode = reinterpret_cast<KeycodeFn>(dlsym(m_x11, "XKeysymToKeycode"));
        m_flush = reinterpret_cast<FlushFn>(dlsym(m_x11, "XFlush"));
        m_fake = reinterpret_cast<FakeFn>(dlsym(m_xtst, "XTestFakeKeyEvent"));
        if (m_open && m_close && m_keysym && m_keycode && m_flush && m_fake)
            m_display = m_open(display.c_str());
    }
    ~TestKeys() {
        if (m_display)
            m_close(m_display);
        if (m_xtst)
            dlclose(m_xtst);
        if (m_x11)
            dlclose(m_x11);
    }
    bool ok() const { return m_display != nullptr; }
    // Press and release; the press is on its way when this returns.
    void tap(const char* name) {
        unsigned code = m_keycode(m_display, m_keysym(name));
        m_fake(m_display, code, 1, 0);
        m_flush(m_display);
        m_fake(m_display, code, 0, 0);
        m_flush(m_display);
    }

private:
    using OpenFn = void* (*)(const char*);
    using CloseFn = int (*)(void*);
    using KeysymFn = unsigned long (*)(const char*);
    using KeycodeFn = unsigned char (*)(void*, unsigned long);
    using FlushFn = int (*)(void*);
    using FakeFn = int (*)(void*, unsigned, int, unsigned long);

    void* m_x11 = nullptr;
    void* m_xtst = nullptr;
    void* m_display = nullptr;
    OpenFn m_open = nullptr;
    CloseFn m_close = nullptr;
    KeysymFn m_keysym = nullptr;
    KeycodeFn m_keycode = nullptr;
    FlushFn m_flush = nullptr;
    FakeFn m_fake = nullptr;
};

// Fader 1 of the main window (client pixels): its handle at the bottom.
constexpr int kFader1Handle[] = {72, 276};

int keyToFrame(const LineTiming& timing, int presses) {
    using orvane::test::VirtualDisplay;
    if (!VirtualDisplay::available()) {
        std::fprintf(stderr, "bench_app_framerate: no Xvfb or xdotool: key to frame skipped\n");
        return 0;
    }
    VirtualDisplay x;
    PtyPair line;
    FrameReader frames(line.master());
    ProgramSetup setup;
    setup.profile = profileFor(timing);
    setup.showFile = "[GLOBAL]\r\nmanualstep=1\r\n0$master=255\r\n";
    setup.args = {"STEP=0"};
    setup.env = {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + x.display()};
    Program program(line.slavePath(), setup);
    std::optional<std::string> window = x.waitForWindow("orvane 2022.001 - OV - DMX on", 20000);
    TestKeys keys(x.display());
    if (!program.ok() || !window || !keys.ok() || !waitForFrames(frames, 20))
        return 1;
    x.click(*window, kFader1Handle[0], kFader1Handle[1]); // the fader takes the focus
    frames.startCounting();
    sleepFor(1);
    std::mt19937 rng(7);
    std::vector<double> latency;
    for (int i = 0; i < presses; ++i) {
        sleepFor(double(rng() % 1000) / 1000.0 * ms(timing.period()) / 1000.0 + 0.05);
        uint8_t value = i % 2 == 0 ? 255 : 0;
        Nanoseconds pressed = now();
        keys.tap(value == 255 ? "Home" : "End");
        std::optional<Nanoseconds> seen;
        for (int waited = 0; waited < 2000 && !seen; ++waited) {
            sleepFor(0.001);
            seen = frames.firstWith(pressed, value);
        }
        if (!seen)
            return 1;
        latency.push_back(ms(*seen - pressed));
    }
    std::string name = "app_key_to_frame_" + timing.label();
    figure((name + "_p50").c_str(), percentile(latency, 50), "ms");
    figure((name + "_p99").c_str(), percentile(latency, 99), "ms");
    figure((name + "_max").c_str(), maxOf(latency), "ms");
    return 0;
}

// Both programs at once, so that whatever else the machine does falls on both;
// beside them, a bare sender at each timing: what the kernel alone charges
// here for the same line work (its wake-ups, breaks and writes).
int idleSideBySide() {
    PtyPair usualLine, fortyLine, usualBareLine, fortyBareLine;
    FrameReader usualFrames(usualLine.master()), fortyFrames(fortyLine.master());
    FrameReader usualBareFrames(usualBareLine.master()), fortyBareFrames(fortyBareLine.master());
    ProgramSetup usualSetup, fortySetup;
    fortySetup.profile = "[settings]\r\n" + kForty.setting();
    Program usual(usualLine.slavePath(), usualSetup), forty(fortyLine.slavePath(), fortySetup);
    if (!usual.ok() || !forty.ok() || !waitForFrames(usualFrames, 20) ||
        !waitForFrames(fortyFrames, 20))
        return 1;
    BareSender usualBare(usualBareLine.slavePath(), now(), kUsual),
        fortyBare(fortyBareLine.slavePath(), now(), kForty);
    sleepFor(3);
    constexpr double kWindow = 20;
    struct Use {
        std::vector<double> all, output, bare;
    } u, f;
    std::vector<double> above, bareAbove;
    auto percent = [&](double seconds) { return 100.0 * seconds / kWindow; };
    for (int round = 0; round < 3; ++round) {
        double u0 = usual.cpuSeconds(), f0 = forty.cpuSeconds();
        double uo = usual.namedCpuSeconds("orvane-output");
        double fo = forty.namedCpuSeconds("orvane-output");
        double ub = usualBare.cpuSeconds(), fb = fortyBare.cpuSeconds();
        sleepFor(kWindow);
        u.all.push_back(percent(usual.cpuSeconds() - u0));
        f.all.push_back(percent(forty.cpuSeconds() - f0));
        u.output.push_back(percent(usual.namedCpuSeconds("orvane-output") - uo));
        f.output.push_back(percent(forty.namedCpuSeconds("orvane-output") - fo));
        u.bare.push_back(percent(usualBare.cpuSeconds() - ub));
        f.bare.push_back(percent(fortyBare.cpuSeconds() - fb));
        above.push_back(f.all.back() - u.all.back());
        bareAbove.push_back(f.bare.back() - u.bare.back());
    }
    figure("app_idle_main_window_16_7fps_cpu", percentile(u.all, 50), "%core");
    figure("app_idle_main_window_40fps_cpu", percentile(f.all, 50), "%core");
    figure("app_idle_output_thread_16_7fps_cpu", percentile(u.output, 50), "%core");
    figure("app_idle_output_thread_40fps_cpu", percentile(f.output, 50), "%core");
    figure("app_idle_40fps_above_16_7fps_cpu", percentile(above, 50), "%core");
    figure("app_idle_40fps_above_16_7fps_cpu_max", maxOf(above), "%core");
    figure("app_idle_bare_sender_16_7fps_cpu", percentile(u.bare, 50), "%core");
    figure("app_idle_bare_sender_40fps_cpu", percentile(f.bare, 50), "%core");
    figure("app_idle_bare_sender_40fps_above_16_7fps_cpu", percentile(bareAbove, 50), "%core");
    return 0;
}

} // namespace

int main() {
    std::signal(SIGPIPE, SIG_IGN);
    int status =
        steadyRuns(kForty, setting("ORVANE_BENCH_RUNS", 3), setting("ORVANE_BENCH_SECONDS", 60));
    if (setting("ORVANE_BENCH_STEADY_ONLY", 0))
        return status;
    for (const LineTiming& timing : {kUsual, kForty})
        status |= fadeLevels(timing);
    for (const LineTiming& timing : {kUsual, kForty})
        status |= keyToFrame(timing, setting("ORVANE_BENCH_PRESSES", 100));
    status |= idleSideBySide();
    return status;
}
