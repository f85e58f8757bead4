// The show time window's 10 ms tick against the main window's control table:
// idle, with Page Down held (one "Next step" every 500 ms) and with Shift +
// Page Down held (both locked faders and the main window's move every tick).

#include "benchshow.h"
#include "benchutil.h"
#include "console/consoletable.h"
#include "console/controlids.h"
#include "panels/showtimepanel.h"
#include "support/manualclock.h"

using namespace orvane;

int main() {
    ProfileFiles profiles;
    ShowStore store(profiles);
    bench::fillShow(store);
    ControlModel main;
    populateConsole(main);
    main.setText(console::kStepNumber, "12");
    main.setText(console::kStepName, "Opening\r\nwash");
    main.setChecked(console::kVolumeLocked, true);
    int fadeIns = 0;
    main.on(ControlEvent::Clicked, console::kFadeIn, [&] { ++fadeIns; });
    InputState input;
    test::ManualClock clock{0ms};
    ShowTimePanel panel(main, store, input, clock, ShowTimeHooks{});
    panel.init();
    panel.open(0, 0);
    auto ticks = [&](const char* name, std::initializer_list<uint16_t> keys) {
        for (uint16_t k : keys)
            input.keyDown(k);
        auto t = bench::sample(20000, [&] {
            clock.advance(10ms);
            panel.tick();
        });
        for (uint16_t k : keys)
            input.keyUp(k);
        bench::figure(name, bench::percentile(t, 99), "us");
    };
    ticks("showtime_tick_idle_p99", {});
    ticks("showtime_tick_next_step_held_p99", {vk::kPageDown});
    ticks("showtime_tick_volume_held_p99", {vk::kShift, vk::kPageDown});
    bench::keep(fadeIns);
    return 0;
}
