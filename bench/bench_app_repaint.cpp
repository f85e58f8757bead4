// The main window painted whole on a 1920 x 1080 screen, as an expose, a
// resize or a theme change paints it: every control, the monitor bar and the
// stage preview. The window is on the demo show with the size it opens at.

#include "app/orvanedlg.h"
#include "benchutil.h"
#include "support/offscreenscreen.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <filesystem>

using namespace orvane;

int main() {
    test::useOffscreenScreen(1920, 1080);
    testApp();
    test::TempDir root, config;
    std::filesystem::copy(std::string(ORVANE_SOURCE_DIR) + "/demo/demo", root.file("demo"),
                          std::filesystem::copy_options::recursive);
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    setenv("ORVANE_DMX_PORT", "/nonexistent/orvane-bench", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ProfileFiles profiles;
    test::ScriptedPrompts prompts;
    COrvaneDlg dlg(profiles, prompts, root.path(), "demo", StartOptions{});
    dlg.OnInitDialog();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    // Rendered into an image: every widget paints, whether or not the
    // platform's backing store would skip an unchanged window.
    QImage image(dlg.size(), QImage::Format_ARGB32_Premultiplied);
    auto paintWhole = [&] {
        QPainter p(&image);
        dlg.render(&p);
    };
    for (int i = 0; i < 20; ++i)
        paintWhole();
    auto t = bench::sample(300, paintWhole);
    bench::figure("main_window_repaint_1920x1080_p50", bench::percentile(t, 50) / 1000, "ms");
    bench::figure("main_window_repaint_1920x1080_p99", bench::percentile(t, 99) / 1000, "ms");
    bench::figure("main_window_width_1920x1080", dlg.width(), "px");
    bench::figure("main_window_height_1920x1080", dlg.height(), "px");
    return 0;
}
