// Global colour: one 50 ms tick with all three zones fading, each writing its five
// groups through the console (three captures and three displays).

#include "benchutil.h"
#include "console/controlids.h"
#include "console/showsession.h"
#include "fixtures/globalcolourcontroller.h"

using namespace orvane;
using namespace orvane::globalcolour;

int main() {
    ProfileFiles profiles;
    ControlModel controls;
    // About as many controls as the main window holds, so lookups cost what they do there.
    for (int id = 1000; id < 1500; ++id)
        controls.add(id, ControlKind::Label);
    for (int id : console::kFaders)
        controls.setRange(id, 0, 255);
    controls.setRange(console::kMaster, 0, 255);
    ShowSession session(profiles, controls);
    ControlModel window;
    GlobalColourController gc(window, session.console());
    gc.init(220, 200);
    for (const ZoneControls& z : kZones) {
        for (int box : z.groups)
            window.setChecked(box, true);
        window.setPos(z.fade, kFadeMaxMs);
    }
    Milliseconds now = 0ms;
    // First picks, then picks that start a long fade in every zone.
    for (PadPoint p : {PadPoint{110, 0}, PadPoint{219, 199}}) {
        TickInput in;
        in.picking = true;
        in.cursor = {p, p, p};
        gc.tick(now += Milliseconds{kTickMs}, in);
    }
    const TickInput idle;
    auto ticks = bench::sample(150, [&] { gc.tick(now += Milliseconds{kTickMs}, idle); });
    // The zones were fading all along: colour 1 is on its way from red to blue.
    const uint32_t c = controls.colour(console::kColourButtons[0]);
    if (redOf(c) == 0 || blueOf(c) == 0 || gc.zone(2).current == gc.zone(2).target)
        std::fprintf(stderr, "bench_fixtures_globalcolour: the zones were not fading\n");
    bench::figure("globalcolour_tick_p50", bench::percentile(ticks, 50), "us");
    bench::figure("globalcolour_tick_p99", bench::percentile(ticks, 99), "us");
    return 0;
}
