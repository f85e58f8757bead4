// Figures for the eight fixture controllers: the user-interface thread time of
// one 20 ms period in which every window's 20 ms and 50 ms timers both fire, with
// the joystick steering, keypad keys held and "All" copying between heads.
// Painting is not part of it.

#include "benchutil.h"
#include "console/inputstate.h"
#include "fixtures/fixturecontrols.h"
#include "fixtures/fixturerig.h"

using namespace orvane;

int main() {
    ControlModel console;
    Console desk(console);
    InputState input;
    JoystickSamples samples{};
    FixtureRig rig(desk, FixtureInputs{&input, [&] { return &samples; }});
    FixtureView view;
    view.active = [] { return true; };
    view.cursor = [] { return std::optional<PadPoint>(PadPoint{120, 80}); };
    for (int n = 1; n <= kScannerCount; ++n)
        rig.createScanner(n);
    for (int n = 1; n <= kHeadCount; ++n)
        rig.createHead(n).setView(view);
    input.keyDown(0x66); // keypad 6
    input.keyDown(0x6A); // keypad *
    input.mouseDown(MouseButton::Left);
    rig.head(3)->controls().click(1335); // "All" beside the dimmer
    rig.head(3)->controls().click(1323); // and beside pan
    uint16_t x = 20000;
    auto period = [&] {
        // The stick sweeps, so every controller moves every period.
        x = uint16_t(x + 997);
        for (JoystickPosition& s : samples)
            s = {x, uint16_t(65535 - x), 1, x, true};
        rig.tickAll(fixture::kTimerFast);
        rig.tickAll(fixture::kTimerSlow);
        rig.head(3)->controls().setPos(1029, x & 0xFF);
    };
    bench::sample(2000, period); // warm up
    std::vector<double> us = bench::sample(20000, period);
    bench::figure("fixture_ticks_p50", bench::percentile(us, 50), "us");
    bench::figure("fixture_ticks_p99", bench::percentile(us, 99), "us");

    // The console's exchange with the controllers: a step put on the console and
    // captured back, as step activation and every main timer tick do.
    StepRecord step;
    std::vector<double> exchange = bench::sample(20000, [&] {
        step.head[1].channel[0] = uint8_t(step.head[1].channel[0] + 1);
        desk.display(step, DisplayMode::Effect);
        bench::keep(desk.capture());
    });
    bench::figure("fixture_display_capture_p99", bench::percentile(exchange, 99), "us");
    return 0;
}
