// Renders the "Global Color" and "Manual mode" windows with sample picks and fader
// levels into two PNGs, to look at them without a show or a DMX line.
//   showcolourwindows globalcolor.png manualmode.png

#include "console/showsession.h"
#include "windows/globalcolor.h"
#include "windows/manualmode.h"

#include <QApplication>
#include <QMouseEvent>

#include <cstdio>

using namespace orvane;

namespace {

void click(GlobalColor& w, int zone, QPoint client) {
    QWidget* pad = w.widget(globalcolour::kZones[size_t(zone)].pad);
    QPoint local = pad->contentsRect().topLeft() + client;
    QPoint global = pad->mapToGlobal(local);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, local, global, Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(pad, &e);
    }
    w.OnTimer();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: showcolourwindows globalcolor.png manualmode.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    ProfileFiles profiles;
    ControlModel console;
    ShowSession session(profiles, console);

    GlobalColor colour(nullptr, session.console(), {});
    colour.show();
    click(colour, 0, {70, 20});
    click(colour, 1, {165, 40});
    colour.controls().setPos(globalcolour::kZones[1].level, 20000);
    colour.controls().setPos(globalcolour::kZones[1].fade, 2500);
    colour.controls().setChecked(1341, true);
    colour.controls().setChecked(1347, true);
    bool ok = colour.grab().save(QString::fromLocal8Bit(argv[1]));

    ManualModeController mode(session);
    mode.setFirstStep(10);
    mode.open();
    manualmode manual(nullptr, mode);
    manual.show();
    for (int i = 0; i < kPredefinedCount; ++i)
        manual.controls().scroll(manualpanel::kFaders[size_t(i)], (i * 53) % 256);
    manual.OnTimer();
    ok = manual.grab().save(QString::fromLocal8Bit(argv[2])) && ok;
    return ok ? 0 : 1;
}
