// Renders the show time window, the timeline and the locked main window of a
// real main window on a show into PNG files, to look at them without a display.
//   showtimeshots <root> <show> <out-prefix> [step]
// Writes <prefix>-showtime.png, -showtime-large.png, -timeline.png,
// -timeline-wide.png and -main.png.

#include "app/orvanedlg.h"
#include "app/toolwindows.h"
#include "console/controlids.h"
#include "show/prompts.h"
#include "windows/showtime2.h"
#include "windows/timeline.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace orvane;

namespace {

bool save(QWidget* w, const std::string& path) {
    QApplication::processEvents();
    bool ok = w->grab().save(QString::fromStdString(path));
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s root show out-prefix [step]\n", argv[0]);
        return 2;
    }
    setenv("ORVANE_DMX_PORT", "/nonexistent/dmx", 0);
    setenv("ORVANE_NONINTERACTIVE", "1", 0);
    QApplication app(argc, argv);
    ProfileFiles profiles;
    NonInteractivePrompts prompts;
    StartOptions options;
    options.stepGiven = argc > 4;
    options.startStep = argc > 4 ? std::atoi(argv[4]) : 0;
    COrvaneDlg dlg(profiles, prompts, argv[1], argv[2], options);
    dlg.OnInitDialog();
    const std::string prefix = argv[3];
    ControlModel& m = dlg.controls();
    m.click(console::kShowTimeline);
    m.click(console::kShowTime);
    QApplication::processEvents();
    showtime2* st = dlg.tools()->showTime();
    timeline* tl = dlg.tools()->timelineWindow();
    bool ok = save(st, prefix + "-showtime.png") && save(tl, prefix + "-timeline.png") &&
              save(&dlg, prefix + "-main.png");
    st->resize(1280, 720);
    tl->state().zoom(ScrollAction::Track, 500);
    tl->resize(360, 900);
    ok = ok && save(st, prefix + "-showtime-large.png") && save(tl, prefix + "-timeline-wide.png");
    dlg.OnDestroy();
    return ok ? 0 : 1;
}
