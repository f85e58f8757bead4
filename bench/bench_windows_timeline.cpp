// Timeline repaints: the whole client area drawn as the window draws it, at
// the default span (15 steps, 14 rows) and at the widest zoom (500, 499 rows),
// once the pictures are cached and when every visible step has just changed.

#include "benchshow.h"
#include "benchutil.h"
#include "support/qtapp.h"
#include "windows/timeline.h"

#include <QPainter>

#include <cstdlib>
#include <string>
#include <vector>

using namespace orvane;

namespace {

void repaints(timeline& window, int span, QSize size, const std::string& name) {
    window.state().setVisibleSteps(0, span);
    window.state().setCurrentStep(2);
    QImage image(size, QImage::Format_RGB32);
    auto paint = [&] {
        QPainter p(&image);
        window.paintRows(p, size);
    };
    paint(); // the cache fills
    auto warm = bench::sample(span > 100 ? 200 : 2000, paint);
    bench::figure((name + "_p50").c_str(), bench::percentile(warm, 50), "us");
    bench::figure((name + "_p99").c_str(), bench::percentile(warm, 99), "us");
}

// Times only the repaint after every visible step was saved anew.
void changedRepaints(timeline& window, ShowStore& store, int span, QSize size,
                     const std::string& name) {
    window.state().setVisibleSteps(0, span);
    QImage image(size, QImage::Format_RGB32);
    std::vector<double> times;
    for (int round = 1; round <= (span > 100 ? 50 : 500); ++round) {
        for (int s = 0; s < span && s < kStepCount; ++s) {
            StepRecord r = bench::fullRecord(s);
            r.fader[0] = round % 256;
            store.SaveStep(s, r);
        }
        double t0 = bench::nowMicros();
        QPainter p(&image);
        window.paintRows(p, size);
        p.end();
        times.push_back(bench::nowMicros() - t0);
    }
    bench::figure((name + "_all_changed_p50").c_str(), bench::percentile(times, 50), "us");
    bench::figure((name + "_all_changed_p99").c_str(), bench::percentile(times, 99), "us");
}

} // namespace

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testApp();
    ProfileFiles profiles;
    ShowStore store(profiles);
    bench::fillShow(store);
    ComposerOptions options;
    timeline window(nullptr, store, &options, [](int) {});
    for (auto [span, label] :
         {std::pair{15, "timeline_repaint_15rows"}, std::pair{500, "timeline_repaint_499rows"}}) {
        repaints(window, span, QSize(200, 600), label);
        changedRepaints(window, store, span, QSize(200, 600), label);
    }
    repaints(window, 500, QSize(400, 1000), "timeline_repaint_499rows_400x1000");
    return 0;
}
