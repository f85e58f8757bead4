// The easy show builder's strip: a repaint with 10 cells as the window does it
// (caption boxes rebuilt from the show store, every cell loaded and drawn,
// gradient bands included), and the drawing alone into an image.

#include "benchshow.h"
#include "benchutil.h"
#include "console/showsession.h"
#include "show/inifile.h"
#include "support/qtapp.h"
#include "windows/easyshowbuilder.h"

#include <QPainter>

#include <cstdlib>

using namespace orvane;

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testApp();
    ProfileFiles profiles;
    ControlModel mainControls; // the window only reads the show store here
    ShowSession session(profiles, mainControls);
    session.open("/nonexistent-root", "bench");
    bench::fillShow(session.store());
    for (int s = 100; s < 110; ++s) {
        StepRecord r = bench::fullRecord(s);
        r.playatbegin = s % 2;
        r.soundnameatbegin = "$ns$";
        r.stepsound = 1;
        r.togglepause = s % 3 == 0;
        r.ple = s % 4 == 0 ? "fond bleu" : "";
        session.store().SaveStep(s, r);
    }
    session.setCurrentStep(100);

    easyshowbuilder window(session, mainControls, BuilderHooks{});
    window.model().controls().setPos(builder::kZoom, builder::kZoomMax);
    window.model().tick();
    window.show();
    QApplication::processEvents();
    QWidget* strip = window.widget(builder::kStrip);

    auto repaint = bench::sample(300, [&] {
        window.model().repaintStrip();
        strip->repaint();
    });
    bench::figure("builder_strip_repaint_10_cells_p50", bench::percentile(repaint, 50) / 1000.0,
                  "ms");
    bench::figure("builder_strip_repaint_10_cells_p99", bench::percentile(repaint, 99) / 1000.0,
                  "ms");

    QImage image(strip->contentsRect().size(), QImage::Format_RGB32);
    auto paint = bench::sample(300, [&] {
        QPainter p(&image);
        paintBuilderStrip(p, image.rect(), window.model().cells());
    });
    bench::figure("builder_strip_paint_10_cells_p99", bench::percentile(paint, 99) / 1000.0, "ms");
    return 0;
}
