// Global colour pads: a repaint of one pad (the cached field copied and the point
// drawn), and the painting of the field itself, which happens once per pad size.

#include "benchutil.h"
#include "console/showsession.h"
#include "support/qtapp.h"
#include "windows/globalcolor.h"

#include <QPixmap>

using namespace orvane;

int main() {
    testApp();
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session(profiles, controls);
    GlobalColor window(nullptr, session.console(), {});
    window.show();
    QWidget* pad = window.widget(globalcolour::kZones[0].pad);
    QPixmap target(pad->size());
    pad->render(&target); // the field is painted here, once
    auto repaints = bench::sample(500, [&] { pad->render(&target); });
    bench::figure("globalcolour_pad_repaint_p50", bench::percentile(repaints, 50) / 1000, "ms");
    bench::figure("globalcolour_pad_repaint_p99", bench::percentile(repaints, 99) / 1000, "ms");
    // A new pad size paints the whole field again.
    int i = 0;
    auto fields = bench::sample(
        40, [&] { bench::keep(window.fieldImage(++i % 2 ? QSize(220, 200) : QSize(221, 200))); });
    bench::figure("globalcolour_field_paint_p50", bench::percentile(fields, 50) / 1000, "ms");
    return 0;
}
