// Main timer figures: the work of one timer-1 tick without painting, and the
// time from a fader move to its bytes on a pseudo-terminal line.

#include "app/orvanedlg.h"
#include "benchutil.h"
#include "console/consoletable.h"
#include "playback/maintimer.h"
#include "show/prompts.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <unistd.h>

using namespace orvane;

static void tickWork() {
    ProfileFiles profiles;
    ControlModel controls;
    populateConsole(controls);
    ShowSession session(profiles, controls);
    session.open("/nonexistent-root", "bench");
    for (int s = 0; s < kStepCount; ++s) {
        StepRecord r;
        r.master = 255;
        r.fader.fill(s % 256);
        r.name = "a step name\\nsecond line";
        session.store().SaveStep(s, r);
    }
    session.ShowCurrentStep(false);
    InputState input;
    MainTimer timer(session, input, MainTimerHooks{});
    controls.setPos(1009, 100); // blending toward the next step every tick
    Milliseconds now = 0ms;
    auto ticks = bench::sample(5000, [&] {
        controls.setPos(1025, int(now / 20ms) % 256); // a fader moves: something to publish
        timer.OnTimer(timers::kPlayback, now += 20ms);
    });
    bench::figure("maintimer_tick_p50", bench::percentile(ticks, 50), "us");
    bench::figure("maintimer_tick_p99", bench::percentile(ticks, 99), "us");
}

// Moves fader 1 between two levels every 150 ms and times each move until a
// frame carrying it is read from the line.
static void faderToLine(int argc, char** argv) {
    orvane::test::PtyPair pty;
    orvane::test::TempDir root, config;
    setenv("ORVANE_DMX_PORT", pty.slavePath().c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    QApplication app(argc, argv);
    ProfileFiles profiles;
    NonInteractivePrompts prompts;
    COrvaneDlg dlg(profiles, prompts, root.path(), "bench", StartOptions{});
    dlg.OnInitDialog();
    std::vector<double> latencies;
    double movedAt = 0;
    int wanted = -1;
    std::vector<uint8_t> stream;
    QSocketNotifier notifier(pty.master(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        std::vector<uint8_t> bytes = pty.drain();
        stream.insert(stream.end(), bytes.begin(), bytes.end());
        while (stream.size() >= 513) {
            if (wanted >= 0 && stream[1] == wanted) {
                latencies.push_back((bench::nowMicros() - movedAt) / 1000.0);
                wanted = -1;
            }
            stream.erase(stream.begin(), stream.begin() + 513);
        }
    });
    // A loop of its own: the application's quit would first close the main
    // window, which refuses while its show cannot be saved.
    QEventLoop loop;
    QTimer mover;
    int level = 0;
    QObject::connect(&mover, &QTimer::timeout, [&] {
        level = level == 10 ? 240 : 10;
        wanted = level;
        movedAt = bench::nowMicros();
        dlg.controls().scroll(1025, 255 - level);
        if (latencies.size() >= 60)
            loop.quit();
    });
    dlg.controls().setPos(1005, 0); // master full
    mover.start(150);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    bench::figure("fader_to_line_p50", bench::percentile(latencies, 50), "ms");
    bench::figure("fader_to_line_p99", bench::percentile(latencies, 99), "ms");
    bench::figure("fader_to_line_samples", double(latencies.size()), "moves");
    dlg.OnDestroy();
}

int main(int argc, char** argv) {
    tickWork();
    faderToLine(argc, argv);
    return 0;
}
