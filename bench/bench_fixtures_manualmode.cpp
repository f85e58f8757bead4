// Manual mode: one timer-1 tick of the main timer while the mode is open, with all
// 24 faders up over 24 full looks (24 compositions and the merge).

#include "benchshow.h"
#include "benchutil.h"
#include "fixtures/manualmodecontroller.h"
#include "playback/maintimer.h"

#include <memory>

using namespace orvane;

int main() {
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session(profiles, controls);
    session.open("/nonexistent-root", "bench");
    bench::fillShow(session.store());
    ManualModeController mode(session);
    mode.setFirstStep(10);
    mode.open();
    InputState input;
    std::unique_ptr<MainTimer> timer;
    MainTimerHooks hooks;
    hooks.manualModeOpen = [&] { return mode.isOpen(); };
    hooks.manualMerge = [&](Universe& staging) {
        mode.merge(timer->composer(), staging, timer->options());
    };
    timer = std::make_unique<MainTimer>(session, input, hooks);
    Milliseconds now = 0ms;
    uint8_t level = 255;
    auto ticks = bench::sample(5000, [&] {
        // Every fader up, one of them moving: something to publish each tick.
        mode.levels().fill(255);
        mode.levels()[0] = level--;
        timer->OnTimer(timers::kPlayback, now += 20ms);
    });
    bench::keep(timer->output());
    bench::figure("manualmode_tick_p50", bench::percentile(ticks, 50), "us");
    bench::figure("manualmode_tick_p99", bench::percentile(ticks, 99), "us");
    return 0;
}
