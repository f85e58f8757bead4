// Renders the scanner and moving-head windows with sample values into PNGs, to
// look at their layout without a show or a joystick.
//   showfixtures <folder>
// writes scanner1.png, scanner2.png, head1.png and head2.png there.

#include "console/inputstate.h"
#include "fixtures/fixturerig.h"
#include "windows/covscandlg.h"
#include "windows/ovmovinghead.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

using namespace orvane;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: showfixtures <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    ControlModel controls;
    Console console(controls);
    InputState input;
    FixtureRig rig(console, FixtureInputs{&input, {}});
    StepRecord step;
    step.scanner[0] = {{200, 90, 0, 0, 30, 0, 60}, 120, 80, 0};
    step.scanner[1] = {{40, 100, 48, 24, 0, 0, 30}, 300, 40, 0};
    step.head[0].channel = {128, 64, 0, 200, 0, 0, 0, 200, 255, 0, 0, 0, 0, 0, 0, 0};
    step.head[0].padX = 200;
    step.head[0].padY = 120;
    step.head[1].channel[6] = 180;
    step.head[1].padX = 80;
    step.head[1].padY = 60;
    for (int n = 1; n <= 2; ++n) {
        rig.createScanner(n);
        rig.createHead(n);
    }
    console.display(step, DisplayMode::Effect);
    rig.tickAll(1);
    CovscanDlg s1(*rig.scanner(1)), s2(*rig.scanner(2));
    ovmovinghead h1(*rig.head(1)), h2(*rig.head(2));
    const std::pair<QWidget*, const char*> shots[] = {
        {&s1, "scanner1.png"}, {&s2, "scanner2.png"}, {&h1, "head1.png"}, {&h2, "head2.png"}};
    for (auto [w, name] : shots) {
        w->show();
        QApplication::processEvents();
        if (!w->grab().save(folder + "/" + name))
            std::fprintf(stderr, "showfixtures: cannot write %s\n", name);
    }
    return 0;
}
