// The console's own drawing: the swatch update every playback tick, and the
// monitor bar and stage preview drawn once per published universe.

#include "app/consoledrawing.h"
#include "benchutil.h"
#include "console/consoletable.h"
#include "support/qtapp.h"

#include <QPainter>

#include <cstdlib>

using namespace orvane;

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testApp();
    ControlModel controls;
    populateConsole(controls);
    Console console(controls);
    Universe output{};
    for (int c = 0; c < kUniverseSize; ++c)
        output[size_t(c)] = uint8_t(c * 37);
    ConsoleDrawing drawing(console, output);

    // Every tick: the levels stay, so nothing is repainted.
    auto swatches = bench::sample(20000, [&] { drawing.repaintSwatches(); });
    bench::figure("swatch_update_p99", bench::percentile(swatches, 99), "us");
    // A tick on which every swatch changed.
    int step = 0;
    auto changed = bench::sample(2000, [&] {
        for (LampValues& l : console.lamps())
            l.intensity = uint8_t(++step);
        drawing.repaintSwatches();
    });
    bench::figure("swatch_update_all_changed_p99", bench::percentile(changed, 99), "us");

    auto stage = bench::sample(500, [&] {
        output[1] = uint8_t(output[1] + 1);
        QImage image = renderStage(output, QSize(352, 236));
        bench::keep(image);
    });
    bench::figure("stage_render_p50", bench::percentile(stage, 50), "us");
    bench::figure("stage_render_p99", bench::percentile(stage, 99), "us");

    QImage bar(1110, 80, QImage::Format_RGB32);
    auto monitor = bench::sample(500, [&] {
        QPainter p(&bar);
        paintMonitor(p, bar.rect(), output, 1);
    });
    bench::figure("monitor_paint_p50", bench::percentile(monitor, 50), "us");
    bench::figure("monitor_paint_p99", bench::percentile(monitor, 99), "us");
    return 0;
}
