// Shows the easy show builder on a sample show in a temporary root and saves a
// picture of the whole screen (or of the window on a platform without one), to
// look at the strip, the icons and the layout without a real show.
//   showbuilder out.png [--zoom n] [--drag cursor] [--sheet sheet.png]
// --drag draws that drag cursor over the third cell; --sheet also saves every
// picture and cursor side by side, enlarged.

#include "console/consoletable.h"
#include "console/showsession.h"
#include "show/inifile.h"
#include "show/showfolders.h"
#include "windows/builderart.h"
#include "windows/easyshowbuilder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <string>

using namespace orvane;

namespace {

void touch(const QString& path) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write("x");
}

StepRecord sample(int step) {
    StepRecord r;
    r.master = 255;
    r.colour[0] = makeColour(uint8_t(40 * step), uint8_t(255 - 30 * step), uint8_t(15 * step));
    r.name = "Tableau " + std::to_string(step);
    return r;
}

void fillShow(ShowStore& store) {
    for (int s = 0; s < 40; ++s)
        store.SaveStep(s, sample(s % 8));
    StepRecord r = sample(1);
    r.name = "Ouverture\\nrideau";
    r.autofade = 1;
    r.fadet = 2.5;
    r.playatbegin = 1;
    r.soundnameatbegin = "intro";
    store.SaveStep(10, r);
    r = sample(2);
    r.ple = "fond rouge";
    r.nextonstop = 1;
    r.stepsound = 1;
    r.sound1 = 2000;
    r.sound2 = 6000;
    store.SaveStep(11, r);
    r = sample(3);
    r.master = 128;
    r.colour[2] = r.colour[4] = r.colour[5] = 20;
    r.togglepause = 1;
    r.faderude = 1;
    r.fadet = 1;
    store.SaveStep(12, r);
    r = sample(4);
    r.playatbegin = 1;
    r.soundnameatbegin = "$ns$";
    r.ple = "bleu.EFE";
    store.SaveStep(13, r);
}

void saveSheet(const char* path) {
    const int numbers[] = {128, 129, 130, 131, 132, 136, 1324, 1390, 1006, 3};
    const int cursors[] = {140, 142, 145, 148, 150, 152, 1045, 1048, 1101, 1103, 1105};
    QImage sheet(11 * 80, 2 * 80, QImage::Format_RGB32);
    sheet.fill(QColor(236, 236, 236));
    QPainter p(&sheet);
    for (int i = 0; i < 10; ++i)
        p.drawPixmap(8 + 80 * i, 8, builderPicture(numbers[i], 64));
    for (int i = 0; i < 11; ++i)
        p.drawPixmap(8 + 80 * i, 88, builderCursor(cursors[i]).pixmap().scaled(64, 64));
    p.end();
    sheet.save(path);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: showbuilder out.png [--zoom n] [--drag cursor] [--sheet f]\n");
        return 2;
    }
    int zoom = 0, drag = 0;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--zoom"))
            zoom = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--drag"))
            drag = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--sheet"))
            saveSheet(argv[i + 1]);
    }
    QTemporaryDir root;
    QDir(root.path()).mkpath("demo/step0");
    for (const char* name :
         {"demo/step0/intro.wav", "demo/step0/storm LOOP=2.wav", "demo/step0/applause.wav",
          "demo/chase.EFE", "demo/strobe.EFE", "wave.EFE"})
        touch(root.filePath(name));
    ProfileFiles profiles;
    ControlModel mainControls;
    populateConsole(mainControls);
    ShowSession session(profiles, mainControls);
    session.open(root.path().toStdString(), "demo");
    fillShow(session.store());
    session.setCurrentStep(10);
    touch(root.filePath("demo/dmx.ini"));

    easyshowbuilder window(session, mainControls, BuilderHooks{});
    if (zoom) {
        window.model().controls().setPos(builder::kZoom, zoom);
        window.model().tick();
    }
    window.move(320, 190);
    window.show();
    for (int i = 0; i < 20; ++i)
        app.processEvents();
    QScreen* screen = app.primaryScreen();
    QImage shot = screen && app.platformName() == "xcb" ? screen->grabWindow(0).toImage()
                                                        : window.grab().toImage();
    if (drag) {
        QPainter p(&shot);
        QPoint at = window.widget(builder::kStrip)->geometry().topLeft() +
                    QPoint(window.model().cellSpan(2).left + 60, 80);
        if (app.platformName() == "xcb")
            at += window.geometry().topLeft();
        p.drawPixmap(at, builderCursor(drag).pixmap());
    }
    return shot.save(argv[1]) ? 0 : 1;
}
